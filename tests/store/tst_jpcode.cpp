#include "store/jpcode.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

const QByteArray kNihongo("\x93\xfa\x96\x7b\x8c\xea"); // 日本語

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray emptyLines(int n)
{
    return QByteArray("\r\n").repeated(n);
}

void checkEnds(const JPcodeTable &t, int T, int J, int P, int E)
{
    QCOMPARE(t.JPendT, qint16(T));
    QCOMPARE(t.JPendJ, qint16(J));
    QCOMPARE(t.JPendP, qint16(P));
    QCOMPARE(t.JPendE, qint16(E));
    QCOMPARE(t.JPname.size(), qsizetype(E + 1));
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
        QTest::addColumn<QStringList>("names"); // names 1..n; the rest must be empty
        const QString nihongo = QString::fromUtf8("日本語");
        QTest::newRow("current") << "3d\r\n2-3-4-5\r\nNature\r\nScience, Tokyo\r\n\r\n" + kNihongo + "\r\n"
                                 << QList<int>{2, 3, 4, 5} << QStringList{"Nature", "Science, Tokyo", "", nihongo};
        QTest::newRow("old J form") << QByteArray("J\r\n1-2-3\r\nA\r\nB\r\nC\r\nnot a name\r\n")
                                    << QList<int>{1, 2, 3, 53} << QStringList{"A", "B", "C"};
        QTest::newRow("old bare form") << QByteArray("5-10-15\r\n") + QByteArray("n\r\n").repeated(15)
                                       << QList<int>{5, 10, 15, 65} << QStringList(15, "n");
        QTest::newRow("LF and CR lines") << QByteArray("3d\n1-2-2-3\rA\nB\r\nC") << QList<int>{1, 2, 2, 3}
                                         << QStringList{"A", "B", "C"};
        QTest::newRow("quoted tag, comma field")
            << QByteArray("\"3d\",x\r\n 1-1-1-2 ,9\r\nA,B\r\n") << QList<int>{1, 1, 1, 2} << QStringList{"A,B"};
        QTest::newRow("names cut to 70, then trimmed")
            << "3d\r\n0-0-0-2\r\n" + QByteArray(65, 'a') + "     bbbbbbbbbb\r\n   x  \r\n"
            << QList<int>{0, 0, 0, 2} << QStringList{QString(65, u'a'), "x"};
        QTest::newRow("file ends early") << QByteArray("3d\r\n1-2-3-4\r\nA") << QList<int>{1, 2, 3, 4}
                                         << QStringList{"A"};
        QTest::newRow("empty file") << QByteArray() << QList<int>{0, 0, 0, 50} << QStringList();
        QTest::newRow("ends out of order")
            << QByteArray("3d\r\n100-20-150-140\r\n") << QList<int>{100, 100, 150, 150} << QStringList();
        QTest::newRow("ends too large") << QByteArray("3d\r\n1-2-40000-99999\r\n") << QList<int>{1, 2, 32767, 32767}
                                        << QStringList();
        QTest::newRow("old form near the limit")
            << QByteArray("1-2-32750\r\n") << QList<int>{1, 2, 32750, 32767} << QStringList();
        QTest::newRow("leading dash") << QByteArray("3d\r\n-5-10\r\n") << QList<int>{0, 5, 10, 10} << QStringList();
        QTest::newRow("two numbers") << QByteArray("3d\r\n20-100\r\n") << QList<int>{20, 100, 100, 100}
                                     << QStringList();
        QTest::newRow("no numbers") << QByteArray("3d\r\nabc\r\nx\r\n") << QList<int>{0, 0, 0, 0} << QStringList();
        QTest::newRow("rounded halves to even")
            << QByteArray("3d\r\n2.5-3.5-4.5-5.5\r\n") << QList<int>{2, 4, 4, 6} << QStringList();
    }

    void parsesEveryForm()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, ends);
        QFETCH(QStringList, names);
        const JPcodeTable t = ParseJPcode(bytes);
        checkEnds(t, ends[0], ends[1], ends[2], ends[3]);
        for (int k = 1; k <= t.JPendE; ++k)
            QCOMPARE(t.JPname[k], k <= names.size() ? names[k - 1] : QString());
    }

    void garbageLoadsWithSoundEnds()
    {
        QRandomGenerator gen(70);
        for (int i = 0; i < 200; ++i) {
            QByteArray bytes(gen.bounded(400), Qt::Uninitialized);
            for (char &c : bytes)
                c = char(gen.bounded(256));
            if (i % 2)
                bytes.prepend(i % 4 == 1 ? "3d\r\n" : "J\n");
            const JPcodeTable t = ParseJPcode(bytes);
            QVERIFY(0 <= t.JPendT && t.JPendT <= t.JPendJ && t.JPendJ <= t.JPendP && t.JPendP <= t.JPendE);
            QCOMPARE(t.JPname.size(), qsizetype(t.JPendE) + 1);
            QCOMPARE(ParseJPcode(SerializeJPcode(t)).JPendE, t.JPendE);
        }
    }

    void writesTheCurrentForm()
    {
        QCOMPARE(SerializeJPcode(DefaultJPcodeTable()), "3d\r\n20-100-150-200\r\n" + emptyLines(200));

        JPcodeTable t = ParseJPcode("5-10-15\r\n" + QByteArray("n\r\n").repeated(15));
        QCOMPARE(SerializeJPcode(t), "3d\r\n5-10-15-65\r\n" + QByteArray("n\r\n").repeated(15) + emptyLines(50));

        t = JPcodeTable();
        t.JPendT = 5;
        t.JPendJ = 3;
        t.JPendP = -2;
        t.JPendE = 6;
        t.JPname = {"", QString(75, u'x'), "  pad  ", "line\r\nbreak", QString::fromUtf8("日本語")};
        bool lossy = false;
        SerializeJPcode(t, &lossy);
        QVERIFY(!lossy);
        t.JPname.append(QString::fromUtf8("café"));
        const QByteArray bytes = SerializeJPcode(t, &lossy);
        QCOMPARE(bytes, "3d\r\n5-5-5-6\r\n" + QByteArray(70, 'x') + "\r\npad\r\nline  break\r\n" + kNihongo +
                            "\r\ncaf?\r\n\r\n");
        QVERIFY(lossy);
    }

    void lookups_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("group");
        QTest::addColumn<QString>("name");
        QTest::newRow("none") << 0 << 0 << QString();
        QTest::newRow("negative") << -5 << 0 << QString();
        QTest::newRow("first T") << 1 << 1 << "T1";
        QTest::newRow("last T") << 20 << 1 << "T20";
        QTest::newRow("first J") << 21 << 2 << "";
        QTest::newRow("last J") << 100 << 2 << "";
        QTest::newRow("first P") << 101 << 3 << "P101";
        QTest::newRow("last P") << 150 << 3 << "";
        QTest::newRow("first E") << 151 << 4 << "";
        QTest::newRow("last E") << 200 << 4 << "E200";
        QTest::newRow("beyond E") << 201 << 0 << QString();
    }

    void lookups()
    {
        QFETCH(int, code);
        QFETCH(int, group);
        QFETCH(QString, name);
        JPcodeTable t = DefaultJPcodeTable();
        t.JPname[1] = "T1";
        t.JPname[20] = "T20";
        t.JPname[101] = "P101";
        t.JPname[200] = "E200";
        QCOMPARE(JPcodeGroup(t, code), group);
        QCOMPARE(JPcodeName(t, code), name);
    }

    void listPerStyle()
    {
        const JPcodeTable t = DefaultJPcodeTable();
        const QList<QPair<int, int>> want{{0, 100}, {100, 150}, {100, 150}, {150, 200}, {150, 200}, {150, 200}};
        for (int style = 1; style <= 6; ++style) {
            QCOMPARE(JPlistBase(t, style), want[style - 1].first);
            QCOMPARE(JPlistEnd(t, style), want[style - 1].second);
        }
        QCOMPARE(JPlistBase(t, 2) + 2 + 1, 103); // style 2, third entry of the list
    }

    void newBankGetsTheDefaultFile()
    {
        QTemporaryDir bank;
        JPcodeTable t;
        QVERIFY(JPcodeLoad(bank.filePath("jpcode.tzd"), t));
        QCOMPARE(t, DefaultJPcodeTable());
        const QByteArray file = readFile(bank.filePath("JPcode.tzd"));
        QCOMPARE(file.count("\r\n"), 202);
        QCOMPARE(file, "3d\r\n20-100-150-200\r\n" + emptyLines(200));
    }

    void loadsAndSavesWhateverTheLetterCase()
    {
        QTemporaryDir bank;
        const QByteArray old = "5-10-15\r\n" + QByteArray("Journal, A\r\n").repeated(15);
        QVERIFY(writeFile(bank.filePath("JPCODE.TZD"), old));
        JPcodeTable t;
        QVERIFY(JPcodeLoad(bank.filePath("JPcode.tzd"), t));
        checkEnds(t, 5, 10, 15, 65);
        QCOMPARE(t.JPname[15], QString("Journal, A"));
        QVERIFY(JPcodeSave(bank.filePath("JPcode.tzd"), t));
        QCOMPARE(QDir(bank.path()).entryList(QDir::Files), QStringList{"JPCODE.TZD"});
        const QByteArray saved = readFile(bank.filePath("JPCODE.TZD"));
        QCOMPARE(saved, "3d\r\n5-10-15-65\r\n" + QByteArray("Journal, A\r\n").repeated(15) + emptyLines(50));

        JPcodeTable again;
        QVERIFY(JPcodeLoad(bank.filePath("JPCODE.TZD"), again));
        QCOMPARE(again, t);
    }

    void failuresAreReported()
    {
        QTemporaryDir bank;
        QString error;
        QVERIFY(!JPcodeSave(bank.filePath("gone/JPcode.tzd"), DefaultJPcodeTable(), &error));
        QVERIFY2(error.contains("JPcode.tzd"), qPrintable(error));

        error.clear();
        JPcodeTable t;
        QVERIFY(!JPcodeLoad(bank.filePath("gone/jpcode.tzd"), t, &error));
        QCOMPARE(t, DefaultJPcodeTable());
        QVERIFY2(error.contains("JPcode.tzd"), qPrintable(error));

        // A folder in the file's place is never read nor replaced.
        QVERIFY(QDir(bank.path()).mkdir("JPcode.tzd"));
        error.clear();
        QVERIFY(!JPcodeLoad(bank.filePath("JPcode.tzd"), t, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo(bank.filePath("JPcode.tzd")).isDir());
    }
};

QTEST_GUILESS_MAIN(TestJPcode)
#include "tst_jpcode.moc"
