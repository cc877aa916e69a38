// The bank-path log: reading logs built by hand, the exact bytes written.

#include "app/bank_log.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
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
    void missingLogOffersTheSampleBank()
    {
        QTemporaryDir dir;
        const QStringList paths = BankLogLoad(dir.filePath(QStringLiteral("Bpath.log")), dir.path() + u'/');
        QCOMPARE(paths, padded({dir.path() + QStringLiteral("/sample.bnk")}));
    }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("CR LF") << QByteArray("/a/x.bnk\r\n/b/y.bnk\r\n") << QStringList{"/a/x.bnk", "/b/y.bnk"};
        QTest::newRow("LF and no last line end")
            << QByteArray("/a/x.bnk\n/b/y.bnk") << QStringList{"/a/x.bnk", "/b/y.bnk"};
        QTest::newRow("empty line kept in place")
            << QByteArray("/a/x.bnk\r\n\r\n/c/z.bnk\r\n") << QStringList{"/a/x.bnk", "", "/c/z.bnk"};
        QTest::newRow("code page 932") << QByteArray("/home/\x93\x63\x92\x86/\x95\xb6\x8c\xa3\x95\x5c.bnk\r\n")
                                       << QStringList{QStringLiteral("/home/田中/文献表.bnk")};
        QTest::newRow("control bytes make an empty entry")
            << QByteArray("/a/x.bnk\r\n/b/\0y.bnk\r\n/c/z.bnk\r\n", 31) << QStringList{"/a/x.bnk", "", "/c/z.bnk"};
        QByteArray twelve;
        QStringList ten;
        for (int i = 1; i <= 12; ++i) {
            twelve += "/banks/b" + QByteArray::number(i) + ".bnk\r\n";
            if (i <= 10)
                ten.append(QStringLiteral("/banks/b%1.bnk").arg(i));
        }
        QTest::newRow("more than ten lines give the first ten") << twelve << ten;
    }
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, entries);
        QCOMPARE(BankLogParse(bytes), padded(entries));
    }

    void oversizedLogReadsCompleteLinesOnly()
    {
        const QByteArray bytes = "/a/x.bnk\r\n" + QByteArray(2 * 1024 * 1024, 'y');
        QCOMPARE(BankLogParse(bytes), padded({QStringLiteral("/a/x.bnk")}));
    }

    void loadIgnoresCaseOfName()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("BPATH.LOG")), "/a/x.bnk\r\n"));
        QCOMPARE(BankLogLoad(dir.filePath(QStringLiteral("Bpath.log")), dir.path()), padded({"/a/x.bnk"}));
    }

    void savesTrimmedEntriesExactly()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Bpath.log"));
        QStringList paths{QStringLiteral("  /a/x.bnk "), QStringLiteral("   "), QString(),
                          QStringLiteral("/home/田中/文献表.bnk")};
        for (int i = 5; i <= 11; ++i)
            paths.append(QStringLiteral("/b/%1.bnk").arg(i));
        QString error;
        QVERIFY2(BankLogSave(file, paths, &error), qPrintable(error));
        QCOMPARE(readFile(file),
                 QByteArray("/a/x.bnk\r\n"
                            "/home/\x93\x63\x92\x86/\x95\xb6\x8c\xa3\x95\x5c.bnk\r\n"
                            "/b/5.bnk\r\n/b/6.bnk\r\n/b/7.bnk\r\n/b/8.bnk\r\n/b/9.bnk\r\n/b/10.bnk\r\n"));
    }

    void saveReportsFailure()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!BankLogSave(dir.filePath(QStringLiteral("gone/Bpath.log")), {QStringLiteral("/a")}, &error));
        QVERIFY2(error.contains(QStringLiteral("Bpath.log")), qPrintable(error));

        const QString file = dir.filePath(QStringLiteral("Bpath.log"));
        QVERIFY(writeFile(file, "/old.bnk\r\n"));
        error.clear();
        QVERIFY(!BankLogSave(file, {QStringLiteral("/a\nb.bnk")}, &error));
        QVERIFY(!BankLogSave(file, {QStringLiteral("/\U0001F600.bnk")}, &error));
        QVERIFY2(error.contains(QStringLiteral("entry 1")), qPrintable(error));
        QCOMPARE(readFile(file), QByteArray("/old.bnk\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestBankLog)
#include "tst_bank_log.moc"
