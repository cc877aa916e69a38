// The bank-path log: reading logs built by hand, the exact bytes written.

#include "core/session/bank_log.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace tz;

namespace {

QStringList padded(QStringList entries)
{
    while (entries.size() < kBankPathCount)
        entries.append(QString());
    return entries;
}

} // namespace

class TestBankLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        QByteArray twelve;
        for (int i = 1; i <= 12; ++i)
            twelve += "/b" + QByteArray::number(i) + "\r\n";
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("CR LF") << QByteArray("/a/x.bnk\r\n/b/y.bnk\r\n") << QStringList{"/a/x.bnk", "/b/y.bnk"};
        QTest::newRow("LF, no last line end")
            << QByteArray("/a/x.bnk\n/b/y.bnk") << QStringList{"/a/x.bnk", "/b/y.bnk"};
        QTest::newRow("empty line kept in place") << QByteArray("/a\r\n\r\n/c\r\n") << QStringList{"/a", "", "/c"};
        QTest::newRow("code page 932") << QByteArray("/home/\x93\x63\x92\x86/\x95\xb6\x8c\xa3\x95\x5c.bnk\r\n")
                                       << QStringList{QStringLiteral("/home/田中/文献表.bnk")};
        QTest::newRow("control bytes make an empty entry")
            << QByteArray("/a\r\n/b\0y\r\n/c\r\n", 13) << QStringList{"/a", "", "/c"};
        QTest::newRow("the first ten lines")
            << twelve << QStringList{"/b1", "/b2", "/b3", "/b4", "/b5", "/b6", "/b7", "/b8", "/b9", "/b10"};
        QTest::newRow("oversized: complete lines only")
            << "/a/x.bnk\r\n" + QByteArray(2 * 1024 * 1024, 'y') << QStringList{"/a/x.bnk"};
    }
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        QCOMPARE(BankLogParse(bytes), padded(entries));
    }

    // No log offers the program folder's sample bank; the name's letter case
    // does not matter.
    void load()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Bpath.log"));
        QCOMPARE(BankLogLoad(file, dir.path() + u'/'), padded({dir.path() + QStringLiteral("/sample.bnk")}));
        QVERIFY(writeFile(dir.filePath(QStringLiteral("BPATH.LOG")), "/a/x.bnk\r\n"));
        QCOMPARE(BankLogLoad(file, dir.path()), padded({"/a/x.bnk"}));
    }

    void savesTrimmedEntriesExactly()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Bpath.log"));
        QStringList paths{"  /a/x.bnk ", "   ", "", QStringLiteral("/home/田中/文献表.bnk")};
        for (int i = 5; i <= 11; ++i)
            paths.append(QStringLiteral("/b/%1.bnk").arg(i));
        QString error;
        QVERIFY2(BankLogSave(file, paths, &error), qPrintable(error));
        QCOMPARE(readFile(file),
                 QByteArray("/a/x.bnk\r\n/home/\x93\x63\x92\x86/\x95\xb6\x8c\xa3\x95\x5c.bnk\r\n"
                            "/b/5.bnk\r\n/b/6.bnk\r\n/b/7.bnk\r\n/b/8.bnk\r\n/b/9.bnk\r\n/b/10.bnk\r\n"));
    }

    // A log with lines that did not read exactly is reported when read and
    // replaced only with the person's agreement.
    void inexactLogIsNotRewritten_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("lines");
        QTest::newRow("exact") << QByteArray("/a/x.bnk\r\n/home/\x93\x63\x92\x86/y.bnk\r\n") << QString();
        QTest::newRow("UTF-8 path") << "/a/x.bnk\r\n" + QString::fromUtf8("/home/田中/文献表.bnk").toUtf8() + "\r\n"
                                    << QStringLiteral("2 行目");
        QTest::newRow("control bytes") << QByteArray("/a\r\n/b\0y\r\n/c\x01\r\n", 14) << QStringLiteral("2, 3 行目");
    }
    void inexactLogIsNotRewritten()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, lines);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Bpath.log"));
        QVERIFY(writeFile(file, bytes));
        ConfigReadState state;
        BankLogLoad(file, dir.path(), &state);
        QCOMPARE(state.exact, lines.isEmpty());
        QVERIFY2(state.message.contains(lines), qPrintable(state.message));
        QString error;
        QCOMPARE(BankLogSave(file, {"/new.bnk"}, &error), lines.isEmpty());
        if (lines.isEmpty())
            return;
        QCOMPARE(readFile(file), bytes);
        QVERIFY2(error.contains(file) && error.contains(lines), qPrintable(error));
        QVERIFY(BankLogSave(file, {"/new.bnk"}, &error, true)); // the person agreed
        QCOMPARE(readFile(file), "/new.bnk\r\n");
    }

    // A failed save names the file or entry and leaves the old log.
    void saveReportsFailure()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!BankLogSave(dir.filePath(QStringLiteral("gone/Bpath.log")), {"/a"}, &error));
        QVERIFY2(error.contains(QStringLiteral("Bpath.log")), qPrintable(error));
        const QString file = dir.filePath(QStringLiteral("Bpath.log"));
        QVERIFY(writeFile(file, "/old.bnk\r\n"));
        QVERIFY(!BankLogSave(file, {"/a\nb.bnk"}, &error));
        QVERIFY(!BankLogSave(file, {QStringLiteral("/\U0001F600.bnk")}, &error));
        QVERIFY2(error.contains(QStringLiteral("1 番目のバンク")), qPrintable(error));
        QCOMPARE(readFile(file), QByteArray("/old.bnk\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestBankLog)
#include "tst_bank_log.moc"
