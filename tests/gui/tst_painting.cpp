// What the program prints and paints: PDF files read back with poppler's
// pdftotext and pdfinfo, and a grab of every window, which must be the
// window's size and not one plain colour. With TZ_SHOTS_DIR set the PDF files
// and the grabs (as PNG files) are kept there for a look by eye.
#include "core/bank/sample_bank.h"
#include "gui/formedit/form_editor_window.h"
#include "gui/jpcode/jp_editor_window.h"
#include "gui/widgets/print_text.h"
#include "gui/widgets/progress_window.h"
#include "gui/widgets/version_window.h"
#include "support/program.h"

#include <QFontDatabase>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;

namespace {

// A reference list as the search window renders it: lines of Japanese and
// English longer than the paper is wide, with many commas; CR LF between.
QString referenceList()
{
    QString list;
    for (int i = 1; i <= 120; ++i)
        list += QString::asprintf(
            "%d. 山田太郎、鈴木花子、佐藤次郎, Smith, J. A., Jones, B.: 日本語の長い題名、それに続く副題、"
            "さらに続く説明の文章。 A study of tessellated surfaces, their symmetry, and their use. "
            "Journal of Applied Geometry, %d, %d-%d.\r\n",
            i, i % 40, i * 3, i * 3 + 9);
    return list;
}

QFont printFont()
{
    return QFont(QFontDatabase::families().contains(u"IPAMincho"_s) ? u"IPAMincho"_s : QString(), 11);
}

// A printer writing into the PDF file `name` (kept in TZ_SHOTS_DIR when set).
void toPdf(QPrinter &printer, const QString &dir, const QString &name, int from = 0, int to = 0)
{
    const QString keep = qEnvironmentVariable("TZ_SHOTS_DIR");
    ApplyPrintChoice(printer, PrintChoice{1, from, to, true, (keep.isEmpty() ? dir : keep) + u'/' + name});
}

// The output of a poppler tool; empty (failing the test) when it is missing.
QString run(const QString &tool, const QStringList &args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        qWarning("%s failed or is missing (package poppler-utils)", qPrintable(tool));
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The window shown and grabbed: its size, and more than a few colours.
void check(QWidget *w, const QString &name)
{
    w->show();
    QApplication::processEvents();
    const QImage image = w->grab().toImage();
    QCOMPARE(image.size(), w->size() * image.devicePixelRatio());
    QVERIFY2(testing::Program::colours(image) > 8, qPrintable(name));
    if (const QString dir = qEnvironmentVariable("TZ_SHOTS_DIR"); !dir.isEmpty())
        QVERIFY(image.save(dir + u'/' + name + u".png"_s));
}

} // namespace

class TestPainting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // All pages, and pages 2 to 3: the header and page number on every page,
    // no line starting with a comma, every character in order.
    void textOverPages()
    {
        QTemporaryDir dir;
        const QString text = referenceList();
        // No line starts with a comma or a full stop.
        const QRegularExpression breakFirst(u"^[ \\t]*[、,.。].*$"_s, QRegularExpression::MultilineOption);
        for (const auto &[from, to] : {std::pair{0, 0}, {2, 3}}) {
            QPrinter printer(QPrinter::HighResolution);
            toPdf(printer, dir.path(), u"result%1.pdf"_s.arg(from), from, to);
            const int count = PrintTextPageCount(printer, text, printFont());
            QVERIFY(count >= 3);
            QString error;
            QVERIFY2(PrintText(printer, u"Search Result 分類"_s, text, printFont(), &error), qPrintable(error));

            // pdftotext's pages, split at its form feeds.
            const QString printed = run(u"pdftotext"_s, {u"-layout"_s, printer.outputFileName(), u"-"_s});
            const QStringList pages = printed.split(u'\f').mid(0, printed.count(u'\f'));
            QCOMPARE(pages.size(), from ? to - from + 1 : count);
            QString body;
            for (int p = 0; p < pages.size(); ++p) {
                QString page = pages.at(p);
                const QRegularExpression header(u"Search Result 分類\\s+\\(%1\\)"_s.arg(p + std::max(from, 1)));
                QVERIFY2(page.contains(header), qPrintable(page.left(200)));
                page.remove(header);
                QVERIFY2(!page.contains(breakFirst), qPrintable(breakFirst.match(page).captured()));
                body += page;
            }
            if (!from)
                QCOMPARE(body.remove(QRegularExpression(u"\\s"_s)), QString(text).remove(QRegularExpression(u"\\s"_s)));
        }
    }

    void imageOnOnePageAndUnwritableFile()
    {
        QTemporaryDir dir;
        QImage image(1600, 700, QImage::Format_RGB32); // wider than the paper
        image.fill(Qt::darkBlue);
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, dir.path(), u"card.pdf"_s);
        QString error;
        QVERIFY2(PrintImage(printer, image, &error), qPrintable(error));
        QVERIFY(run(u"pdfinfo"_s, {printer.outputFileName()}).contains(QRegularExpression(u"Pages:\\s+1\\n"_s)));

        ApplyPrintChoice(printer, PrintChoice{1, 0, 0, true, dir.filePath(u"missing/out.pdf"_s)});
        QVERIFY(!PrintText(printer, u"Search Result"_s, u"abc"_s, printFont(), &error));
        QVERIFY2(error.contains(u"out.pdf"_s) && error.contains(u"書き込めません"_s), qPrintable(error));
        QVERIFY(!PrintImage(printer, image, &error));
    }

    void windowsPaint()
    {
        testing::Program program;
        SampleSource source;
        QStringList errors;
        QVERIFY2(ReadSampleSource(QStringLiteral(TZ_SOURCE_DATA "/sample"), QDate(2024, 1, 2), source, errors),
                 qPrintable(errors.join(u'\n')));
        QVERIFY(WriteSampleBank(source, program.root() + u"sample.bnk/"_s, nullptr));
        program.start();
        for (BankMode mode : {BankMode::Open, BankMode::New, BankMode::Duplicate}) {
            program.bank().BankView(mode);
            check(&program.bank(), u"bank_mode%1"_s.arg(int(mode)));
        }
        check(&program.app->versionWindow(), u"version"_s);
        ProgressWindow progress;
        check(&progress, u"progress"_s);
        SearchWindow &search = program.search();
        search.SearchSet(KindFreeKeyword);
        search.findChild<QLineEdit *>(u"BoxKeys"_s)->setText(u"the of"_s);
        search.SearD_click(SearOr);
        QVERIFY(search.model().hitCount() > 0);
        check(&search, u"search"_s);
        program.trigger(program.card(), "mnuOJ");
        for (int k = 0; k < 4; ++k) {
            program.trigger(program.app->jpEditor(), (QByteArray("mnuFC") + "TJPE"[k]).constData());
            check(&program.app->jpEditor(), u"jp_editor_%1"_s.arg(k));
        }
        // The form editor, its preview on records among those hits.
        program.trigger(program.card(), "mnuOR");
        check(&program.app->formEditor(), u"form_editor"_s);

        // The card in each style, in the smallest, a middle and the largest font
        // size: everything fits the fixed height.
        CardWindow &card = program.card();
        auto *quit = card.findChild<QPushButton *>(u"CommandQuit"_s);
        auto *doi = card.findChild<QWidget *>(u"EditRecBox_15"_s);
        for (int style = 1; style <= 4; ++style) {
            const auto &all = source.records;
            const auto first = std::find_if(all.begin(), all.end(), [&](auto &e) { return e.record.Style == style; });
            QVERIFY(card.card().goTo(int(first - all.begin()) + 1));
            card.refresh();
            for (int size : {0, 4, 5}) {
                card.findChild<QAction *>(u"fontz_%1"_s.arg(size))->trigger();
                check(&card, u"card_style%1_size%2"_s.arg(style).arg(size));
                QVERIFY(quit->mapTo(&card, QPoint(0, quit->height())).y() <= card.height());
                QVERIFY(doi->mapTo(&card, QPoint(0, doi->height())).y() < quit->mapTo(&card, QPoint(0, 0)).y());
            }
        }
    }
};

QTEST_MAIN(TestPainting)
#include "tst_painting.moc"
