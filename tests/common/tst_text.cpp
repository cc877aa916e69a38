// The shared text routines: suffixes, separator search with its lead-byte
// refusal, last position, replacement restarting at the front, double bytes.

#include "common/text.h"

#include <QtTest>

using namespace tz;

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
        QTest::newRow("absent") << "/a/b"
                                << "/"
                                << "/a/b/"
                                << "/a/b";
        QTest::newRow("present") << "/a/b/"
                                 << "/"
                                 << "/a/b/"
                                 << "/a/b";
        QTest::newRow("empty text") << ""
                                    << "/"
                                    << "/"
                                    << "";
        QTest::newRow("only once") << "x.bnk.bnk"
                                   << ".bnk"
                                   << "x.bnk.bnk"
                                   << "x.bnk";
        QTest::newRow("case-sensitive") << "x.BNK"
                                        << ".bnk"
                                        << "x.BNK.bnk"
                                        << "x.BNK";
        QTest::newRow("empty suffix") << "abc"
                                      << ""
                                      << "abc"
                                      << "abc";
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
        QTest::newRow("first") << 1 << "a,b,c"
                               << "," << 2;
        QTest::newRow("at start") << 2 << "a,b,c"
                                  << "," << 2;
        QTest::newRow("after start") << 3 << "a,b,c"
                                     << "," << 4;
        QTest::newRow("none after start") << 5 << "a,b,c"
                                          << "," << 0;
        QTest::newRow("start beyond text") << 9 << "a,b"
                                           << "," << 0;
        QTest::newRow("start below 1") << 0 << "a,b"
                                       << "," << 2;
        QTest::newRow("first character") << 1 << ",a"
                                         << "," << 1;
        QTest::newRow("longer separator") << 1 << "a--b"
                                          << "--" << 2;
        QTest::newRow("case-sensitive") << 1 << "aBc"
                                        << "b" << 0;
        QTest::newRow("empty separator") << 1 << "abc"
                                         << "" << 0;
        QTest::newRow("empty text") << 1 << ""
                                    << "," << 0;
        // Characters before the hit that are not single lead-range bytes.
        QTest::newRow("after double byte with trail 0x5C") << 1 << "表,"
                                                           << "," << 2;
        QTest::newRow("after kana 0xB1") << 1 << "ｱ,"
                                         << "," << 2;
        QTest::newRow("after kana 0xDF") << 1 << "ﾟ,"
                                         << "," << 2;
        QTest::newRow("after tilde 0x7E") << 1 << "~,"
                                          << "," << 2;
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
        QTest::newRow("several") << "/a/bb/c.bnk"
                                 << "/" << 6;
        QTest::newRow("last character") << "a/b/"
                                        << "/" << 4;
        QTest::newRow("only") << "/"
                              << "/" << 1;
        QTest::newRow("none") << "abc"
                              << "/" << 0;
        QTest::newRow("empty") << ""
                               << "/" << 0;
        QTest::newRow("japanese") << "表/文献/表"
                                  << "/" << 5;
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
        QTest::newRow("three commas become one") << ",,,"
                                                 << ",,"
                                                 << ","
                                                 << ",";
        QTest::newRow("runs anywhere") << "a,,,,b,,c"
                                       << ",,"
                                       << ","
                                       << "a,b,c";
        QTest::newRow("blanks then commas") << "a  , b"
                                            << " "
                                            << ","
                                            << "a,,,,b";
        // The restart catches a match the replacement has just formed.
        QTest::newRow("match formed to the left") << "xaab"
                                                  << "ab"
                                                  << "b"
                                                  << "xb";
        QTest::newRow("match formed repeatedly") << "aaab"
                                                 << "ab"
                                                 << "b"
                                                 << "b";
        QTest::newRow("longer replacement") << "a.b.c"
                                            << "."
                                            << ". "
                                            << "a. b. c";
        QTest::newRow("to nothing") << "a-b--c"
                                    << "-"
                                    << ""
                                    << "abc";
        QTest::newRow("not found") << "abc"
                                   << "x"
                                   << "y"
                                   << "abc";
        QTest::newRow("case-sensitive") << "aAa"
                                        << "A"
                                        << "b"
                                        << "aba";
        QTest::newRow("empty sought") << "abc"
                                      << ""
                                      << "x"
                                      << "abc";
        // Outside what callers may pass, but it must still end.
        QTest::newRow("replacement holds the sought text") << "ab"
                                                           << "a"
                                                           << "aa"
                                                           << "aab";
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
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("ascii") << "Smith, J." << 0;
        QTest::newRow("half-width kana") << "ｽﾐｽ" << 0;
        QTest::newRow("kanji") << "Smith 山田" << 1;
        QTest::newRow("full-width letter") << "Ａ" << 1;
        QTest::newRow("linux wave dash") << "\u301C" << 1;
        QTest::newRow("not in the code page") << "\u00E9" << 0;
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
