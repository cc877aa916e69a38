#include "core/store/jpcode.h"
#include "support/test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

const QByteArray kNihongo("\x93\xfa\x96\x7b\x8c\xea"); // 日本語 in code page 932

QByteArray lines(const QByteArray &line, int n)
{
    return (line + "\r\n").repeated(n);
}

} // namespace

class TestJPcode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parsesEveryForm_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("ends");
        QTest::addColumn<QStringList>("names"); // names 1..n; the others must be empty
        QTest::newRow("current") << "3d\r\n2-3-4-5\r\nNature\r\nScience, Tokyo\r\n\r\n" + kNihongo + "\r\n"
                                 << QList<int>{2, 3, 4, 5}
                                 << QStringList{"Nature", "Science, Tokyo", "", QString::fromUtf8("日本語")};
        QTest::newRow("old J form") << QByteArray("J\r\n1-2-3\r\nA\r\nB\r\nC\r\nD\r\n") << QList<int>{1, 2, 3, 53}
                                    << QStringList{"A", "B", "C"};
        QTest::newRow("old bare form") << "5-10-15\r\n" + lines("n", 15) << QList<int>{5, 10, 15, 65}
                                       << QStringList(15, "n");
        QTest::newRow("LF and CR lines") << QByteArray("3d\n1-2-2-3\rA\nB\r\nC") << QList<int>{1, 2, 2, 3}
                                         << QStringList{"A", "B", "C"};
        QTest::newRow("quoted tag, comma field")
            << QByteArray("\"3d\",x\r\n 1-1-1-2 ,9\r\nA,B\r\n") << QList<int>{1, 1, 1, 2} << QStringList{"A,B"};
        QTest::newRow("cut to 70, then trimmed") << "3d\r\n0-0-0-2\r\n" + QByteArray(65, 'a') + "     bbbb\r\n  x \r\n"
                                                 << QList<int>{0, 0, 0, 2} << QStringList{QString(65, u'a'), "x"};
        QTest::newRow("ends early") << QByteArray("3d\r\n1-2-3-4\r\nA") << QList<int>{1, 2, 3, 4} << QStringList{"A"};
        QTest::newRow("empty file") << QByteArray() << QList<int>{0, 0, 0, 50} << QStringList();
        QTest::newRow("out of order") << QByteArray("3d\r\n100-20-150-140") << QList<int>{100, 100, 150, 150}
                                      << QStringList();
        QTest::newRow("too large") << QByteArray("3d\r\n1-2-40000-99999") << QList<int>{1, 2, 32767, 32767}
                                   << QStringList();
        QTest::newRow("old form at the limit")
            << QByteArray("1-2-32750") << QList<int>{1, 2, 32750, 32767} << QStringList();
        QTest::newRow("leading dash") << QByteArray("3d\r\n-5-10") << QList<int>{0, 5, 10, 10} << QStringList();
        QTest::newRow("no numbers") << QByteArray("3d\r\nabc\r\nx") << QList<int>{0, 0, 0, 0} << QStringList();
        QTest::newRow("halves to even") << QByteArray("3d\r\n2.5-3.5-4.5-5.5") << QList<int>{2, 4, 4, 6}
                                        << QStringList();
        QTest::newRow("garbage") << QByteArray("3d\r\n\x81\x00\xff-\x82-2\r\n\x81", 14) << QList<int>{0, 0, 2, 2}
                                 << QStringList{QString(QChar(0xFFFD))};
    }

    void parsesEveryForm()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, ends);
        QFETCH(QStringList, names);
        const JPcodeTable t = ParseJPcode(bytes);
        QCOMPARE((QList<int>{t.JPendT, t.JPendJ, t.JPendP, t.JPendE}), ends);
        QCOMPARE(t.JPname.size(), qsizetype(t.JPendE) + 1);
        for (int k = 1; k <= t.JPendE; ++k)
            QCOMPARE(t.JPname[k], k <= names.size() ? names[k - 1] : QString());
    }

    void writesTheCurrentForm()
    {
        QCOMPARE(SerializeJPcode(DefaultJPcodeTable()), "3d\r\n20-100-150-200\r\n" + lines("", 200));
        const JPcodeTable old = ParseJPcode("5-10-15\r\n" + lines("n", 15));
        QCOMPARE(SerializeJPcode(old), "3d\r\n5-10-15-65\r\n" + lines("n", 15) + lines("", 50));

        JPcodeTable t;
        t.JPendT = 5;
        t.JPendJ = 3;
        t.JPendP = -2;
        t.JPendE = 6;
        t.JPname = {"", QString(75, u'x'), "  pad  ", "line\r\nbreak", QString::fromUtf8("日本語")};
        bool lossy = false;
        SerializeJPcode(t, &lossy);
        QVERIFY(!lossy);
        t.JPname.append(QString::fromUtf8("café"));
        QCOMPARE(SerializeJPcode(t, &lossy), "3d\r\n5-5-5-6\r\n" + QByteArray(70, 'x') + "\r\npad\r\nline  break\r\n" +
                                                 kNihongo + "\r\ncaf?\r\n\r\n");
        QVERIFY(lossy);
    }

    void lookups()
    {
        JPcodeTable t = DefaultJPcodeTable(); // groups end at 20, 100, 150, 200
        t.JPname[0] = "unused";
        t.JPname[200] = "E200";
        QList<int> groups;
        for (int code : {-5, 0, 1, 20, 21, 100, 101, 150, 151, 200, 201})
            groups << JPcodeGroup(t, code);
        QCOMPARE(groups, (QList<int>{0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 0}));
        QCOMPARE(JPcodeName(t, 200), QString("E200"));
        for (int code : {-1, 0, 201, 32767})
            QCOMPARE(JPcodeName(t, code), QString());
        QList<std::pair<int, int>> lists; // the name list of each style
        for (int style = 1; style <= 6; ++style)
            lists << std::make_pair(JPlistBase(t, style), JPlistEnd(t, style));
        QCOMPARE(lists,
                 (QList<std::pair<int, int>>{{0, 100}, {100, 150}, {100, 150}, {150, 200}, {150, 200}, {150, 200}}));
    }

    void loadsAndSavesFiles()
    {
        QTemporaryDir bank;
        JPcodeTable t;
        QVERIFY(JPcodeLoad(bank.filePath("jpcode.tzd"), t)); // a new bank
        QCOMPARE(t, DefaultJPcodeTable());
        QCOMPARE(readFile(bank.filePath("JPcode.tzd")), "3d\r\n20-100-150-200\r\n" + lines("", 200));

        QVERIFY(QFile::remove(bank.filePath("JPcode.tzd")));
        QVERIFY(writeFile(bank.filePath("JPCODE.TZD"), "5-10-15\r\n" + lines("Journal, A", 15)));
        QVERIFY(JPcodeLoad(bank.filePath("JPcode.tzd"), t));
        QCOMPARE(t.JPendE, qint16(65));
        QCOMPARE(t.JPname[15], QString("Journal, A"));
        QVERIFY(JPcodeSave(bank.filePath("JPcode.tzd"), t));
        QCOMPARE(QDir(bank.path()).entryList(QDir::Files), QStringList{"JPCODE.TZD"});
        QCOMPARE(readFile(bank.filePath("JPCODE.TZD")),
                 "3d\r\n5-10-15-65\r\n" + lines("Journal, A", 15) + lines("", 50));
    }

    // A table whose names did not decode exactly is kept as read but never
    // written back without the person's agreement; the lines are named.
    void inexactTableIsNotRewritten_data()
    {
        QTest::addColumn<QByteArray>("names");
        QTest::addColumn<QList<int>>("inexact");
        QTest::newRow("code page 932") << "Nature\r\n" + kNihongo << QList<int>{};
        // Both forms of a character in the NEC and IBM rows read exactly.
        QTest::newRow("NEC-selected IBM row") << QByteArray("\xed\x40\r\n\xfa\x5c") << QList<int>{};
        QTest::newRow("UTF-8 names") << QString::fromUtf8("雑誌\r\nNature\r\n岩波書店").toUtf8() << QList<int>{3, 5};
        QTest::newRow("cut double-byte character") << QByteArray("Nature\r\n\x93") << QList<int>{4};
    }
    void inexactTableIsNotRewritten()
    {
        QFETCH(QByteArray, names);
        QFETCH(QList<int>, inexact);
        QTemporaryDir bank;
        const QString path = bank.filePath("JPcode.tzd");
        const QByteArray file = "3d\r\n1-2-3-4\r\n" + names + "\r\n";
        QVERIFY(writeFile(path, file));
        JPcodeTable t;
        QString error;
        QCOMPARE(JPcodeLoad(path, t, &error), inexact.isEmpty());
        QCOMPARE(t.inexactLines, inexact);
        QCOMPARE(JPcodeReadExactly(t), inexact.isEmpty());
        t.JPname[4] = "Edited";
        if (inexact.isEmpty())
            return;
        const QString named = QString::number(inexact.last()) + QStringLiteral(" 行目");
        QVERIFY2(error.contains("JPcode.tzd") && error.contains(named), qPrintable(error));
        QVERIFY(!JPcodeSave(path, t, &error));
        QVERIFY2(error.contains(named), qPrintable(error));
        QCOMPARE(readFile(path), file);
        QVERIFY(JPcodeSave(path, t, &error, true)); // the person agreed
        QVERIFY(readFile(path).contains("Edited"));
    }

    void failuresAreReported()
    {
        QTemporaryDir bank;
        QString error;
        QVERIFY(!JPcodeSave(bank.filePath("gone/JPcode.tzd"), DefaultJPcodeTable(), &error));
        QVERIFY2(error.contains("JPcode.tzd"), qPrintable(error));
        JPcodeTable t;
        QVERIFY(QDir(bank.path()).mkdir("JPcode.tzd")); // a folder in the file's place stays
        QVERIFY(!JPcodeLoad(bank.filePath("jpcode.tzd"), t, &error));
        QVERIFY2(error.contains("JPcode.tzd") && error.contains("フォルダ"), qPrintable(error));
        JPcodeTable unread = DefaultJPcodeTable();
        unread.notRead = true;
        QCOMPARE(t, unread);
        // A table that was not read is not written over it.
        QVERIFY(!JPcodeSave(bank.filePath("JPcode.tzd"), t, &error));
        QVERIFY(QFileInfo(bank.filePath("JPcode.tzd")).isDir());
    }
};

QTEST_GUILESS_MAIN(TestJPcode)
#include "tst_jpcode.moc"
