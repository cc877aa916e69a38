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

// A row of the files read: their group ends, names 1..n (the others empty)
// and the lines not read exactly.
void row(const char *name, const QByteArray &bytes, const QList<int> &ends, const QStringList &names,
         const QList<int> &inexact = {})
{
    QTest::newRow(name) << bytes << ends << names << inexact;
}

} // namespace

class TestJPcode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A malformed group line gives 0 for each number it lacks; the ends are
    // brought into order and into 16 bits; the old forms get 50 free codes.
    // Both forms of a character in the NEC and IBM rows read exactly.
    void parsesEveryForm_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("ends");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QList<int>>("inexact");
        // clang-format off
        row("current", "3d\r\n2-3-4-5\r\nNature\r\nScience, Tokyo\r\n\r\n" + kNihongo + "\r\n", {2, 3, 4, 5},
            {"Nature", "Science, Tokyo", "", "日本語"});
        row("old J form", "J\r\n1-2-3\r\nA\r\nB\r\nC\r\nD\r\n", {1, 2, 3, 53}, {"A", "B", "C"});
        row("old bare form", "5-10-15\r\n" + lines("n", 15), {5, 10, 15, 65}, QStringList(15, "n"));
        row("empty file", "", {0, 0, 0, 50}, {});
        row("LF and CR lines", "3d\n1-2-2-3\rA\nB\r\nC", {1, 2, 2, 3}, {"A", "B", "C"});
        row("quoted tag, comma field", "\"3d\",x\r\n 1-1-1-2 ,9\r\nA,B\r\n", {1, 1, 1, 2}, {"A,B"});
        row("cut to 70, then trimmed", "3d\r\n0-0-0-2\r\n" + QByteArray(65, 'a') + "     bbbb\r\n  x \r\n", {0, 0, 0, 2},
            {QString(65, u'a'), "x"});
        row("comma ends the tag", "3d, x\r\n1-2-3-4", {1, 2, 3, 4}, {});
        row("out of order", "3d\r\n100-20-150-140", {100, 100, 150, 150}, {});
        row("too large", "3d\r\n1-2-40000-99999", {1, 2, 32767, 32767}, {});
        row("old form at the limit", "1-2-32750", {1, 2, 32750, 32767}, {});
        row("leading dash", "3d\r\n-5-10", {0, 5, 10, 10}, {});
        row("halves to even", "3d\r\n2.5-3.5-4.5-5.5", {2, 4, 4, 6}, {});
        row("NUL and broken bytes", QByteArray("3d\r\n\x81\x00\xff-\x82-2\r\n\x81", 14), {0, 0, 2, 2},
            {QString(QChar(0xFFFD))}, {2, 3});
        row("NEC-selected IBM row", "3d\r\n0-0-0-2\r\n\xed\x40\r\n\xfa\x5c", {0, 0, 0, 2}, {"\u7e8a", "\u7e8a"});
        row("cut double-byte character", "3d\r\n1-2-3-4\r\nNature\r\n\x93", {1, 2, 3, 4}, {"Nature", "\uFFFD"}, {4});
        // clang-format on
    }
    void parsesEveryForm()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, ends);
        QFETCH(QStringList, names);
        QFETCH(QList<int>, inexact);
        const JPcodeTable t = ParseJPcode(bytes);
        QCOMPARE((QList<int>{t.JPendT, t.JPendJ, t.JPendP, t.JPendE}), ends);
        QCOMPARE(t.JPname, QStringList{QString()} + names + QStringList(t.JPendE - names.size(), QString()));
        QCOMPARE(t.inexactLines, inexact);
    }

    // Ends in order, names cut to 70 characters and trimmed, line breaks as
    // blanks; what code page 932 cannot hold is told.
    void writesTheCurrentForm()
    {
        JPcodeTable t{{"", QString(75, u'x'), "  pad  ", "line\r\nbreak", "日本語"}, 5, 3, -2, 6, {}, false};
        bool lossy = false;
        SerializeJPcode(t, &lossy);
        QVERIFY(!lossy);
        t.JPname.append("café");
        QCOMPARE(SerializeJPcode(t, &lossy), "3d\r\n5-5-5-6\r\n" + QByteArray(70, 'x') + "\r\npad\r\nline  break\r\n" +
                                                 kNihongo + "\r\ncaf?\r\n\r\n");
        QVERIFY(lossy);
    }

    // Each group from its first code to its last; names of codes 1..JPendE
    // only; the card's name list of styles 3 and 4 (1 and 2 are the card's).
    void lookups()
    {
        JPcodeTable t = DefaultJPcodeTable(); // groups end at 20, 100, 150, 200
        t.JPname[0] = "unused";
        t.JPname[200] = "E200";
        QList<int> groups;
        QStringList names;
        for (int code : {-5, 0, 1, 20, 21, 100, 101, 150, 151, 200, 201}) {
            groups << JPcodeGroup(t, code);
            names << JPcodeName(t, code);
        }
        QCOMPARE(groups, (QList<int>{0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 0}));
        QCOMPARE(names.join(u','), QString(",,,,,,,,,E200,"));
        QCOMPARE(QList<int>({JPlistBase(t, 3), JPlistEnd(t, 3), JPlistBase(t, 4), JPlistEnd(t, 4)}),
                 QList<int>({100, 150, 150, 200}));
    }

    // A new bank's table is written at once; an old file in any letter case
    // is read and replaced in the current form under its own name. A table
    // whose names did not decode exactly is kept as read but never written
    // back without the person's agreement; the lines are named. A folder in
    // the file's place stays: the table is the default one, marked as not
    // read, and is not written over it.
    void loadsAndSavesFiles()
    {
        QTemporaryDir bank;
        const QString path = bank.filePath("JPcode.tzd");
        JPcodeTable t;
        QString error;
        QVERIFY(JPcodeLoad(bank.filePath("jpcode.tzd"), t) && t == DefaultJPcodeTable());
        QCOMPARE(readFile(path), "3d\r\n20-100-150-200\r\n" + lines("", 200));
        QVERIFY(QFile::remove(path) && writeFile(bank.filePath("JPCODE.TZD"), "5-10-15\r\n" + lines("Journal, A", 15)));
        QVERIFY(JPcodeLoad(path, t) && t.JPendE == 65 && t.JPname[15] == "Journal, A" && JPcodeSave(path, t));
        QCOMPARE(QDir(bank.path()).entryList(QDir::Files), QStringList{"JPCODE.TZD"});
        QCOMPARE(readFile(bank.filePath("JPCODE.TZD")),
                 "3d\r\n5-10-15-65\r\n" + lines("Journal, A", 15) + lines("", 50));

        const QByteArray utf8 = "3d\r\n1-2-3-4\r\n" + QString::fromUtf8("雑誌\r\nNature\r\n岩波書店\r\n").toUtf8();
        QVERIFY(QFile::remove(bank.filePath("JPCODE.TZD")) && writeFile(path, utf8));
        QVERIFY(!JPcodeLoad(path, t, &error) && t.JPname[2] == "Nature" && t.inexactLines == QList<int>({3, 5}));
        QVERIFY2(error.contains("JPcode.tzd") && error.contains("5 行目"), qPrintable(error));
        t.JPname[4] = "Edited";
        QVERIFY2(!JPcodeSave(path, t, &error) && error.contains("5 行目") && readFile(path) == utf8, qPrintable(error));
        QVERIFY(JPcodeSave(path, t, &error, true) && readFile(path).contains("Edited")); // the person agreed

        QVERIFY(QFile::remove(path) && QDir(bank.path()).mkdir("JPcode.tzd"));
        JPcodeTable unread = DefaultJPcodeTable();
        unread.notRead = true;
        QVERIFY(!JPcodeLoad(bank.filePath("jpcode.tzd"), t, &error) && t == unread);
        QVERIFY2(error.contains("JPcode.tzd") && error.contains("フォルダ"), qPrintable(error));
        QVERIFY(!JPcodeSave(path, t, &error) && QFileInfo(path).isDir());
    }
};

QTEST_GUILESS_MAIN(TestJPcode)
#include "tst_jpcode.moc"
