// The bank-path log: reading logs built by hand, the exact bytes written.

#include "core/session/bank_log.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace tz;

namespace {

// "/home/田中/文献表" in code page 932.
const QByteArray kJpPath("/home/\x93\x63\x92\x86/\x95\xb6\x8c\xa3\x95\x5c");

void row(const char *name, const QByteArray &bytes, QStringList entries, const QString &inexact = {})
{
    entries.resize(kBankPathCount);
    QTest::newRow(name) << bytes << entries << inexact;
}

} // namespace

class TestBankLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The log's bytes, its entries (the rest empty), and the lines told as not
    // read exactly: a line with control bytes is an empty entry. Only the first
    // ten lines count, and of an oversized log only complete lines.
    void logs_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("inexact");
        QByteArray twelve;
        for (int i = 1; i <= 12; ++i)
            twelve += "/b" + QByteArray::number(i) + "\r\n";
        row("empty file", "", {});
        row("CR LF", "/a/x.bnk\r\n/b/y.bnk\r\n", {"/a/x.bnk", "/b/y.bnk"});
        row("LF, no last line end", "/a/x.bnk\n/b/y.bnk", {"/a/x.bnk", "/b/y.bnk"});
        row("empty line kept in place", "/a\r\n\r\n/c\r\n", {"/a", "", "/c"});
        row("code page 932", kJpPath + ".bnk\r\n", {"/home/田中/文献表.bnk"});
        row("control bytes", QByteArray("/a\r\n/b\0y\r\n/c\x01\r\n", 14), {"/a", "", ""}, "2, 3 行目");
        row("the first ten lines", twelve, {"/b1", "/b2", "/b3", "/b4", "/b5", "/b6", "/b7", "/b8", "/b9", "/b10"});
        row("oversized: complete lines only", "/a/x.bnk\r\n" + QByteArray(2 * 1024 * 1024, 'y'), {"/a/x.bnk"});
    }
    // Read through the name in other letter case.
    void logs()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, inexact);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("BPATH.LOG"), bytes));
        ConfigReadState state;
        QTEST(BankLogLoad(dir.filePath("Bpath.log"), dir.path(), &state), "entries");
        QCOMPARE(state.exact, inexact.isEmpty());
        QVERIFY2(state.message.contains(inexact), qPrintable(state.message));
    }

    // No log offers the program folder's sample bank. Entries are saved
    // trimmed, empty ones left out; a log with lines that did not read
    // exactly is replaced only with the person's agreement; a failed save
    // names the file or entry and leaves the old log.
    void saves()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("Bpath.log");
        QCOMPARE(BankLogLoad(file, dir.path() + u'/').value(0), dir.path() + "/sample.bnk");
        QStringList paths{"  /a/x.bnk ", "   ", "", "/home/田中/文献表.bnk"};
        for (int i = 5; i <= 11; ++i)
            paths.append(QStringLiteral("/b/%1.bnk").arg(i));
        QString error;
        QVERIFY2(BankLogSave(file, paths, &error), qPrintable(error));
        QCOMPARE(readFile(file), "/a/x.bnk\r\n" + kJpPath +
                                     ".bnk\r\n/b/5.bnk\r\n/b/6.bnk\r\n/b/7.bnk\r\n/b/8.bnk\r\n"
                                     "/b/9.bnk\r\n/b/10.bnk\r\n");

        const QByteArray utf8 = "/a/x.bnk\r\n" + QStringLiteral("/home/田中/文献表.bnk").toUtf8() + "\r\n";
        QVERIFY(writeFile(file, utf8));
        QVERIFY2(!BankLogSave(file, {"/new.bnk"}, &error) && error.contains(file) && error.contains("2 行目"),
                 qPrintable(error));
        QCOMPARE(readFile(file), utf8);
        QVERIFY(BankLogSave(file, {"/new.bnk"}, &error, true) && readFile(file) == "/new.bnk\r\n");

        QVERIFY(!BankLogSave(file, {"/a\nb.bnk"}, &error));
        QVERIFY2(!BankLogSave(file, {"/\U0001F600.bnk"}, &error) && error.contains("1 番目のバンク"),
                 qPrintable(error));
        QVERIFY2(!BankLogSave(dir.filePath("gone/Bpath.log"), {"/a"}, &error) && error.contains("Bpath.log"),
                 qPrintable(error));
        QCOMPARE(readFile(file), "/new.bnk\r\n");
    }
};

QTEST_GUILESS_MAIN(TestBankLog)
#include "tst_bank_log.moc"
