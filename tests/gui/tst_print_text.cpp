// Printing into PDF files, read back with poppler's pdftotext and pdfinfo: a
// text list of several pages has its header and page number on every page, no
// line starting with a comma and every character in order; a page range prints
// its pages only; a window image takes one page; a PDF file that cannot be
// written is reported. With TZ_SHOTS_DIR set the PDF files are kept there.

#include "gui/widgets/print_text.h"

#include <QFontDatabase>
#include <QImage>
#include <QPrinter>
#include <QProcess>
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

} // namespace

class TestPrintText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // All pages, and pages 2 to 3.
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
};

QTEST_MAIN(TestPrintText)
#include "tst_print_text.moc"
