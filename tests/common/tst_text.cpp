// The shared text routines: suffixes, separator search with its lead-byte
// refusal, last position, replacement restarting at the front, double bytes.

#include "common/text.h"

#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;

class TestText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void suffixes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("stripped");
        QTest::newRow("absent") << u"/a/b"_s << u"/"_s << u"/a/b/"_s << u"/a/b"_s;
        QTest::newRow("present") << u"/a/b/"_s << u"/"_s << u"/a/b/"_s << u"/a/b"_s;
        QTest::newRow("only once") << u"x.bnk.bnk"_s << u".bnk"_s << u"x.bnk.bnk"_s << u"x.bnk"_s;
        QTest::newRow("case-sensitive") << u"x.BNK"_s << u".bnk"_s << u"x.BNK.bnk"_s << u"x.BNK"_s;
        QTest::newRow("empty suffix") << u"abc"_s << u""_s << u"abc"_s << u"abc"_s;
    }
    void suffixes()
    {
        QFETCH(QString, text);
        QFETCH(QString, suffix);
        QFETCH(QString, added);
        QFETCH(QString, stripped);
        QCOMPARE(AddSuffix(text, suffix), added);
        QCOMPARE(StripSuffix(text, suffix), stripped);
    }

    void findSep_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sep");
        QTest::addColumn<int>("pos");
        QTest::newRow("first") << 1 << u"a,b,c"_s << u","_s << 2;
        QTest::newRow("after start") << 3 << u"a,b,c"_s << u","_s << 4;
        QTest::newRow("none after start") << 5 << u"a,b,c"_s << u","_s << 0;
        QTest::newRow("start below 1") << 0 << u"a,b"_s << u","_s << 2;
        QTest::newRow("first character") << 1 << u",a"_s << u","_s << 1;
        QTest::newRow("case-sensitive") << 1 << u"aBc"_s << u"b"_s << 0;
        QTest::newRow("empty separator") << 1 << u"abc"_s << u""_s << 0;
        QTest::newRow("empty text") << 1 << u""_s << u","_s << 0;
        // Characters before the hit that are not single lead-range bytes.
        QTest::newRow("after double byte with trail 0x5C") << 1 << u"表,"_s << u","_s << 2;
        QTest::newRow("after kana 0xB1") << 1 << u"ｱ,"_s << u","_s << 2;
    }
    void findSep()
    {
        QFETCH(int, start);
        QFETCH(QString, text);
        QFETCH(QString, sep);
        QFETCH(int, pos);
        QCOMPARE(FindSep(start, text, sep), pos);
    }

    void lastPos_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("ch");
        QTest::addColumn<int>("pos");
        QTest::newRow("several") << u"/a/bb/c.bnk"_s << u"/"_s << 6;
        QTest::newRow("last character") << u"a/b/"_s << u"/"_s << 4;
        QTest::newRow("only") << u"/"_s << u"/"_s << 1;
        QTest::newRow("none") << u"abc"_s << u"/"_s << 0;
        QTest::newRow("japanese") << u"表/文献/表"_s << u"/"_s << 5;
    }
    void lastPos()
    {
        QFETCH(QString, text);
        QFETCH(QString, ch);
        QFETCH(int, pos);
        QCOMPARE(LastPos(text, ch), pos);
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sought");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("result");
        QTest::newRow("three commas become one") << u",,,"_s << u",,"_s << u","_s << u","_s;
        QTest::newRow("runs anywhere") << u"a,,,,b,,c"_s << u",,"_s << u","_s << u"a,b,c"_s;
        QTest::newRow("blanks then commas") << u"a  , b"_s << u" "_s << u","_s << u"a,,,,b"_s;
        // The restart catches a match the replacement has just formed.
        QTest::newRow("match formed to the left") << u"xaab"_s << u"ab"_s << u"b"_s << u"xb"_s;
        QTest::newRow("match formed repeatedly") << u"aaab"_s << u"ab"_s << u"b"_s << u"b"_s;
        QTest::newRow("longer replacement") << u"a.b.c"_s << u"."_s << u". "_s << u"a. b. c"_s;
        QTest::newRow("to nothing") << u"a-b--c"_s << u"-"_s << u""_s << u"abc"_s;
        QTest::newRow("case-sensitive") << u"aAa"_s << u"A"_s << u"b"_s << u"aba"_s;
        QTest::newRow("empty sought") << u"abc"_s << u""_s << u"x"_s << u"abc"_s;
        // Outside what callers may pass, but it must still end.
        QTest::newRow("replacement holds the sought text") << u"ab"_s << u"a"_s << u"aa"_s << u"aab"_s;
    }
    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, sought);
        QFETCH(QString, replacement);
        QFETCH(QString, result);
        QCOMPARE(ReplaceAll(text, sought, replacement), result);
    }

    void hasDoubleByte_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("result");
        QTest::newRow("empty") << u""_s << 0;
        QTest::newRow("ascii") << u"Smith, J."_s << 0;
        QTest::newRow("half-width kana") << u"ｽﾐｽ"_s << 0;
        QTest::newRow("kanji") << u"Smith 山田"_s << 1;
        QTest::newRow("linux wave dash") << u"\u301C"_s << 1;
        QTest::newRow("not in the code page") << u"\u00E9"_s << 0;
    }
    void hasDoubleByte()
    {
        QFETCH(QString, text);
        QFETCH(int, result);
        QCOMPARE(HasDoubleByte(text), result);
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
