// Printing into PDF files, read back with poppler's pdftotext and pdfinfo: a
// text list of several pages carries its header with the page number on every
// page, no line starts with a comma, every character arrives in order, a page
// range prints only its pages; a window image prints on one page; a PDF file
// that cannot be written is reported. With TZ_SHOTS_DIR set the PDF files are
// kept there for a look by eye.

#include "app/print_text_gui.h"

#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;

namespace {

// A reference list as the search window renders it: long lines of Japanese and
// English with many commas, CR LF between the entries.
QString referenceList()
{
    QStringList entries;
    for (int i = 1; i <= 120; ++i)
        entries.append(u"%1. 山田太郎、鈴木花子、佐藤次郎, Smith, J. A., Jones, B.: 日本語の長い題名、それに続く副題、"
                       "さらに続く説明の文章。 A study of tessellated surfaces, their symmetry, and their use. "
                       "Journal of Applied Geometry, %2, %3-%4 (19%5)."_s.arg(i)
                           .arg(i % 40)
                           .arg(i * 3)
                           .arg(i * 3 + 9)
                           .arg(50 + i % 50));
    return entries.join(u"\r\n"_s) + u"\r\n"_s;
}

QFont printFont()
{
    const QStringList families = QFontDatabase::families();
    for (const QString &f : {u"IPAMincho"_s, u"IPAGothic"_s})
        if (families.contains(f))
            return QFont(f, 11);
    return QFont(QString(), 11);
}

// The output of a poppler tool; fails the test when the tool is missing.
QString runTool(const QString &tool, const QStringList &args)
{
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty()) {
        qWarning("%s is missing (package poppler-utils)", qPrintable(tool));
        return QString();
    }
    QProcess p;
    p.start(exe, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfText(const QString &pdf)
{
    return runTool(u"pdftotext"_s, {u"-layout"_s, u"-enc"_s, u"UTF-8"_s, pdf, u"-"_s});
}

int pdfPages(const QString &pdf)
{
    const QRegularExpressionMatch m = QRegularExpression(u"^Pages:\\s+(\\d+)"_s, QRegularExpression::MultilineOption)
                                          .match(runTool(u"pdfinfo"_s, {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// The pages of pdftotext's output (split at form feeds), without the empty
// piece after the last one.
QStringList pagesOf(const QString &text)
{
    QStringList pages = text.split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QString withoutBlanks(QString s)
{
    s.remove(QRegularExpression(u"\\s"_s));
    return s;
}

void keep(const QString &pdf)
{
    const QString dir = qEnvironmentVariable("TZ_SHOTS_DIR");
    if (!dir.isEmpty()) {
        const QString to = dir + u'/' + QFileInfo(pdf).fileName();
        QFile::remove(to);
        QVERIFY(QFile::copy(pdf, to));
    }
}

} // namespace

class TestPrintText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textOverSeveralPages()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"result.pdf"_s);
        const QString text = referenceList();
        QPrinter printer(QPrinter::HighResolution);
        PrintChoice choice;
        choice.toPdf = true;
        choice.pdfFile = pdf;
        ApplyPrintChoice(printer, choice);
        const int expectedPages = PrintTextPageCount(printer, text, printFont());
        QVERIFY2(expectedPages >= 3, qPrintable(QString::number(expectedPages)));
        QString error;
        QVERIFY2(PrintText(printer, u"Search Result"_s, text, printFont(), &error), qPrintable(error));
        keep(pdf);

        const QString out = pdfText(pdf);
        QVERIFY2(!out.isEmpty(), "pdftotext gave nothing");
        const QStringList pages = pagesOf(out);
        QCOMPARE(pages.size(), expectedPages);
        QString body;
        for (int p = 0; p < pages.size(); ++p) {
            const QRegularExpression header(u"Search Result\\s+\\(%1\\)"_s.arg(p + 1));
            QString page = pages.at(p);
            QVERIFY2(page.contains(header), qPrintable(u"header of page %1"_s.arg(p + 1)));
            page.remove(header);
            const QStringList lines = page.split(u'\n');
            for (const QString &line : lines) {
                const QString t = line.trimmed();
                QVERIFY2(!t.startsWith(u'、') && !t.startsWith(u',') && !t.startsWith(u'.') && !t.startsWith(u'。'),
                         qPrintable(t));
            }
            body += page;
        }
        QCOMPARE(withoutBlanks(body), withoutBlanks(text));
    }

    void pageRange()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"range.pdf"_s);
        QPrinter printer(QPrinter::HighResolution);
        PrintChoice choice;
        choice.toPdf = true;
        choice.pdfFile = pdf;
        choice.fromPage = 2;
        choice.toPage = 3;
        ApplyPrintChoice(printer, choice);
        QVERIFY(PrintText(printer, u"list of 分類"_s, referenceList(), printFont()));
        const QStringList pages = pagesOf(pdfText(pdf));
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages.at(0).contains(QRegularExpression(u"list of 分類\\s+\\(2\\)"_s)));
        QVERIFY(pages.at(1).contains(QRegularExpression(u"list of 分類\\s+\\(3\\)"_s)));
    }

    void emptyTextPrintsTheHeader()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"empty.pdf"_s);
        QPrinter printer(QPrinter::HighResolution);
        ApplyPrintChoice(printer, PrintChoice{1, 0, 0, true, pdf});
        QCOMPARE(PrintTextPageCount(printer, QString(), printFont()), 1);
        QVERIFY(PrintText(printer, u"Search Result"_s, QString(), printFont()));
        QCOMPARE(withoutBlanks(pdfText(pdf)), u"SearchResult(1)"_s);
    }

    void imageOnOnePage()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"card.pdf"_s);
        // Wider than the paper, so that it must be made smaller.
        QImage image(1600, 700, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.fillRect(0, 0, 1600, 40, Qt::darkBlue);
        painter.drawRect(10, 60, 1580, 600);
        painter.end();
        QPrinter printer(QPrinter::HighResolution);
        ApplyPrintChoice(printer, PrintChoice{1, 0, 0, true, pdf});
        QString error;
        QVERIFY2(PrintImage(printer, image, &error), qPrintable(error));
        keep(pdf);
        QCOMPARE(pdfPages(pdf), 1);
        QVERIFY(!PrintImage(printer, QImage(), &error));
    }

    void unwritableFile()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(u"missing/folder/out.pdf"_s);
        QPrinter printer(QPrinter::HighResolution);
        ApplyPrintChoice(printer, PrintChoice{1, 0, 0, true, pdf});
        QString error;
        QVERIFY(!PrintText(printer, u"Search Result"_s, u"abc"_s, printFont(), &error));
        QVERIFY2(error.contains(u"out.pdf"_s) && error.contains(u"書き込めません"_s), qPrintable(error));
        error.clear();
        QImage image(10, 10, QImage::Format_RGB32);
        image.fill(Qt::black);
        QVERIFY(!PrintImage(printer, image, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(TestPrintText)
#include "tst_print_text.moc"
