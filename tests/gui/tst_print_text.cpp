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
    QStringList entries;
    for (int i = 1; i <= 120; ++i)
        entries.append(u"%1. 山田太郎、鈴木花子、佐藤次郎, Smith, J. A., Jones, B.: 日本語の長い題名、それに続く副題、"
                       "さらに続く説明の文章。 A study of tessellated surfaces, their symmetry, and their use. "
                       "Journal of Applied Geometry, %2, %3-%4."_s.arg(i)
                           .arg(i % 40)
                           .arg(i * 3)
                           .arg(i * 3 + 9));
    return entries.join(u"\r\n"_s) + u"\r\n"_s;
}

QFont printFont()
{
    return QFont(QFontDatabase::families().contains(u"IPAMincho"_s) ? u"IPAMincho"_s : QString(), 11);
}

// A printer writing into the PDF file.
void toPdf(QPrinter &printer, const QString &pdf, int from = 0, int to = 0)
{
    ApplyPrintChoice(printer, PrintChoice{1, from, to, true, pdf});
    const QString keep = qEnvironmentVariable("TZ_SHOTS_DIR");
    if (!keep.isEmpty())
        printer.setOutputFileName(keep + u'/' + QFileInfo(pdf).fileName());
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

// pdftotext's pages, split at its form feeds.
QStringList pdfPages(const QPrinter &printer)
{
    const QString text = run(u"pdftotext"_s, {u"-layout"_s, printer.outputFileName(), u"-"_s});
    return text.split(u'\f').mid(0, text.count(u'\f')); // nothing after the last form feed
}

} // namespace

class TestPrintText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textOverSeveralPages()
    {
        QTemporaryDir dir;
        const QString text = referenceList();
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, dir.filePath(u"result.pdf"_s));
        const int count = PrintTextPageCount(printer, text, printFont());
        QVERIFY(count >= 3);
        QString error;
        QVERIFY2(PrintText(printer, u"Search Result"_s, text, printFont(), &error), qPrintable(error));

        const QStringList pages = pdfPages(printer);
        QCOMPARE(pages.size(), count);
        QString body;
        for (int p = 0; p < pages.size(); ++p) {
            QString page = pages.at(p);
            const QRegularExpression header(u"Search Result\\s+\\(%1\\)"_s.arg(p + 1));
            QVERIFY2(page.contains(header), qPrintable(page.left(200)));
            page.remove(header);
            for (const QString &line : page.split(u'\n')) {
                const QString t = line.trimmed();
                QVERIFY2(t.isEmpty() || !u"、,.。"_s.contains(t.front()), qPrintable(t));
            }
            body += page;
        }
        QCOMPARE(body.remove(QRegularExpression(u"\\s"_s)), QString(text).remove(QRegularExpression(u"\\s"_s)));
    }

    void pageRange()
    {
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, dir.filePath(u"range.pdf"_s), 2, 3);
        QVERIFY(PrintText(printer, u"list of 分類"_s, referenceList(), printFont()));
        const QStringList pages = pdfPages(printer);
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages.at(0).contains(QRegularExpression(u"list of 分類\\s+\\(2\\)"_s)));
        QVERIFY(pages.at(1).contains(QRegularExpression(u"list of 分類\\s+\\(3\\)"_s)));
    }

    void imageOnOnePageAndUnwritableFile()
    {
        QTemporaryDir dir;
        QImage image(1600, 700, QImage::Format_RGB32); // wider than the paper
        image.fill(Qt::darkBlue);
        QPrinter printer(QPrinter::HighResolution);
        toPdf(printer, dir.filePath(u"card.pdf"_s));
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
