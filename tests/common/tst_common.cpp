// The shared routines: the classic number and text conversions, OLE dates, the
// code page 932 codec, the field normalisers, the comb sorts and print paging.

#include "common/basic.h"
#include "common/comb_sort.h"
#include "common/cp932.h"
#include "common/field_text.h"
#include "common/ole_date.h"
#include "common/print_lines.h"
#include "common/test_rows.h"
#include "common/text.h"

#include <cmath>
#include <limits>

using namespace tz;
using namespace Qt::StringLiterals;

class TestCommon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Leading numeric value ("Val") and "is numeric" of typed text.
    void numbers_data()
    {
        rows::columns({"text", "value", "numeric"});
        rows::add({
            {"  42 ", "42", "1"},
            {"12abc", "12", "0"},
            {"-3.5", "-3.5", "1"},
            {".5", "0.5", "1"},
            {"1.5E3", "1500", "1"},
            {"2d2", "200", "1"},
            {"1e", "1", "0"},
            {"1.2.3", "1.2", "0"},
            {"abc", "0", "0"},
            {".", "0", "0"},
            {"", "0", "0"},
            {"1e999", "0", "0"}, // overflow gives 0
            {"１２", "0", "0"},
        });
    }
    void numbers()
    {
        QCOMPARE(Val(rows::text("text")), rows::text("value").toDouble());
        QCOMPARE(IsNumeric(rows::text("text")), rows::number("numeric") == 1);
    }

    // 16 bits, halves to even, overflow reported instead of wrapped.
    void toInt16()
    {
        QStringList results;
        for (double v : {2.5, 3.5, -2.5, 32767.4, 32767.5, -32768.0, -32768.5, -32769.0, std::nan("")}) {
            const std::optional<qint16> n = ToInt16(v);
            results.append(n ? QString::number(*n) : QStringLiteral("overflow"));
        }
        QCOMPARE(results,
                 QStringList({"2", "4", "-2", "32767", "overflow", "-32768", "-32768", "overflow", "overflow"}));
        QCOMPARE(QList<int>({RoundClamp(4.5, 0, 10), RoundClamp(1e300, 0, 10), RoundClamp(-1e300, 0, 10),
                             RoundClamp(std::nan(""), 3, 10)}),
                 QList<int>({4, 10, 0, 3}));
    }

    // Only blanks are trimmed: tabs and the ideographic space stay.
    void trimsBlanksOnly()
    {
        QCOMPARE(
            QStringList({Trim(u"  a b  "), Trim(u"\tx\t"), Trim(u"　x"), LTrim(u"  a "), RTrim(u"  a "), Trim(u"  ")}),
            QStringList({"a b", "\tx\t", "　x", "a ", "  a", ""}));
    }

    void oleDates_data()
    {
        QTest::addColumn<double>("ole");
        QTest::addColumn<QDateTime>("dateTime");
        QTest::newRow("2014-07-26") << 41846.0 << QDateTime(QDate(2014, 7, 26), QTime(0, 0));
        QTest::newRow("evening") << 41846.75 << QDateTime(QDate(2014, 7, 26), QTime(18, 0));
        QTest::newRow("epoch noon") << 0.5 << QDateTime(QDate(1899, 12, 30), QTime(12, 0));
        // Before the epoch the fraction still counts forward from midnight.
        QTest::newRow("before epoch") << -1.25 << QDateTime(QDate(1899, 12, 29), QTime(6, 0));
    }
    void oleDates()
    {
        QFETCH(double, ole);
        QFETCH(QDateTime, dateTime);
        QCOMPARE(OleToDateTime(ole), dateTime);
        QCOMPARE(OleToDate(ole), dateTime.date());
        QCOMPARE(DateTimeToOle(dateTime), ole);
    }

    // 0 is no date; values far out of range or NaN give no date either.
    void oleDatesUnset()
    {
        for (double ole : {0.0, 1e12, -1e12, std::nan("")})
            QVERIFY(!OleToDate(ole).isValid() && !OleToDateTime(ole).isValid());
        QCOMPARE(DateToOle(QDate()), 0.0);
        QCOMPARE(DateTimeToOle(QDateTime()), 0.0);
        QCOMPARE(DateToOle(QDate(2014, 7, 26)), 41846.0);
    }

    void typedDates_data()
    {
        rows::columns({"text", "date"});
        rows::add({
            {"99/04/28", "1999-04-28"},
            {"05/1/2", "2005-01-02"},
            {"49/12/31", "2049-12-31"},
            {"50/01/01", "1950-01-01"},
            {" 2014/07/26 ", "2014-07-26"},
            {"2014-07-26", "2014-07-26"},
            {"2014/02/30", ""},
            {"2014/13/01", ""},
            {"tomorrow", ""},
            {"", ""},
        });
    }
    void typedDates() { QCOMPARE(ParseTypedDate(rows::text("text")).toString(Qt::ISODate), rows::text("date")); }

    // The Linux and the Windows form of six characters share their bytes.
    void cp932Pairs_data()
    {
        QTest::addColumn<QString>("linuxForm");
        QTest::addColumn<QString>("windowsForm");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("wave dash") << QStringLiteral("\u301C") << QStringLiteral("\uFF5E") << QByteArray("\x81\x60");
        QTest::newRow("double bar") << QStringLiteral("\u2016") << QStringLiteral("\u2225") << QByteArray("\x81\x61");
        QTest::newRow("minus") << QStringLiteral("\u2212") << QStringLiteral("\uFF0D") << QByteArray("\x81\x7C");
        QTest::newRow("cent") << QStringLiteral("\u00A2") << QStringLiteral("\uFFE0") << QByteArray("\x81\x91");
        QTest::newRow("pound") << QStringLiteral("\u00A3") << QStringLiteral("\uFFE1") << QByteArray("\x81\x92");
        QTest::newRow("not") << QStringLiteral("\u00AC") << QStringLiteral("\uFFE2") << QByteArray("\x81\xCA");
    }
    void cp932Pairs()
    {
        QFETCH(QString, linuxForm);
        QFETCH(QString, windowsForm);
        QFETCH(QByteArray, bytes);
        bool lossy = false;
        QCOMPARE(cp932::encode(linuxForm, &lossy) + cp932::encode(windowsForm, &lossy), bytes + bytes);
        QVERIFY(!lossy);
        QCOMPARE(cp932::decode(bytes), windowsForm);
        QCOMPARE(cp932::charBytes(linuxForm[0].unicode()), 2);
    }

    // Bytes that do not decode become U+FFFD; nothing vanishes.
    void cp932Decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii and kana") << QByteArray("a\xB1\x82\xA0") << QStringLiteral("aｱあ");
        QTest::newRow("trail byte 0x5C") << QByteArray("\x95\x5C\\") << QStringLiteral("表\\");
        QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QStringView(u"a\0b", 3).toString();
        QTest::newRow("lone lead byte at end") << QByteArray("ab\x82") << QStringLiteral("ab\uFFFD");
        QTest::newRow("lead byte before a non-trail") << QByteArray("\x82 x") << QStringLiteral("\uFFFD x");
        QTest::newRow("outside the code page")
            << QByteArray("\x80\xA0\xFD\xFE\xFFz") << QStringLiteral("\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDz");
        QTest::newRow("unassigned pair") << QByteArray("\x85\x40!") << QStringLiteral("\uFFFD@!");
    }
    void cp932Decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(cp932::decode(bytes), text);
    }

    // What code page 932 cannot hold is written as "?" and sets the lossy flag,
    // which a clean text leaves alone.
    void cp932Unencodable()
    {
        bool lossy = false;
        QCOMPARE(cp932::encode(QStringLiteral("a\u00E9b"), &lossy), QByteArray("a?b"));
        QVERIFY(lossy);
        lossy = false;
        QCOMPARE(cp932::encode(QStringLiteral("x\U0001F600y"), &lossy), QByteArray("x?y")); // one "?" per pair
        QVERIFY(lossy);
        QCOMPARE(cp932::encodedLength(QStringLiteral("x\U0001F600y")), 3);
        QCOMPARE(cp932::encodedLength(QStringLiteral("aあｱ〜")), 6);
        QCOMPARE(cp932::encode(QStringLiteral("研究ｱ"), &lossy), QByteArray("\x8C\xA4\x8B\x86\xB1"));
        QVERIFY(lossy);
        lossy = false;
        cp932::encode(QStringLiteral("研究ｱ"), &lossy);
        QVERIFY(!lossy);
    }

    // Fixed widths: padded with blanks, a double-byte character never split.
    void cp932Fixed_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("padded") << QStringLiteral("ab") << 4 << QByteArray("ab  ");
        QTest::newRow("cut") << QStringLiteral("abcdef") << 3 << QByteArray("abc");
        QTest::newRow("double byte fits") << QStringLiteral("あい") << 4 << QByteArray("\x82\xA0\x82\xA2");
        QTest::newRow("double byte would split") << QStringLiteral("あい") << 3 << QByteArray("\x82\xA0 ");
        QTest::newRow("after a single byte") << QStringLiteral("aあ") << 2 << QByteArray("a ");
        QTest::newRow("nothing fits") << QStringLiteral("あ") << 1 << QByteArray(" ");
        QTest::newRow("zero width") << QStringLiteral("abc") << 0 << QByteArray();
    }
    void cp932Fixed()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QByteArray, bytes);
        QCOMPARE(cp932::encodeFixed(text, width), bytes);
        QByteArray buffer(width + 2, '#');
        cp932::encodeFixedInto(text, buffer.data() + 1, width);
        QCOMPARE(buffer, '#' + bytes + '#'); // exactly width bytes written
    }

    // The record scans rely on these: padding blanks can be cut off as bytes,
    // and an ASCII character in decoded text always stands for its own byte.
    void cp932AsciiOnlyFromItsOwnByte()
    {
        for (int b = 0x80; b <= 0xFF; ++b) {
            const QString c = cp932::decode(QByteArray(1, char(b)));
            QVERIFY2(c.size() == 1 && c[0].unicode() >= 0x80, qPrintable(QString::number(b, 16)));
        }
        int pairs = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0; trail <= 0xFF; ++trail) {
                const char bytes[2] = {char(lead), char(trail)};
                const QString c = cp932::decode(QByteArrayView(bytes, 2));
                if (c.size() != 1)
                    continue; // not a pair: each byte on its own, as above
                ++pairs;
                if (c[0].unicode() < 0x80)
                    QFAIL(qPrintable(QStringLiteral("%1 %2").arg(lead, 0, 16).arg(trail, 0, 16)));
            }
        }
        QVERIFY(pairs > 7000);
    }

    void titlePeriod_data()
    {
        rows::columns({"text", "result"});
        rows::add({
            {"A study of X", "A study of X."},
            {"Why?", "Why?"},
            {"Done.", "Done."},
            {"研究。", "研究。"},
            {"なぜ？", "なぜ？"},
            {"研究", "研究."},
            {"   ", ""},
            {"Part 2:", "Part 2:."}, // a colon is no end mark
        });
    }
    void titlePeriod() { QCOMPARE(TitlePeriod(rows::text("text")), rows::text("result")); }

    void pageEndFill_data()
    {
        rows::columns({"first", "last", "result"});
        rows::add({
            {"123", "45", "145"},
            {"123", "5", "125"},
            {"198", "2", "202"},
            {"45", "12", "112"},
            {"S123", "S130", "S130"},
            {"e12", "15", "e15"},
            {"12", "130", "130"},
            {"1234", "56", "1256"},
            {"99", "3", "103"},
            {"1998", "05", "2005"},
            {"", "45", "45"},
            {"123", "", ""},
            {"12a", "5", "5"},
            {"S123", "5", "S125"},
            {"5", "03", "03"},
            {"999999999", "5", "1000000005"},
            // Page texts of more than nine digits: the last page as typed.
            {"1234567890", "5", "5"},
            {"12345678901234567890", " 99 ", "99"},
            {"123456789", "12345678901234567890", "12345678901234567890"},
        });
    }
    void pageEndFill() { QCOMPARE(PageEndFill(rows::text("first"), rows::text("last")), rows::text("result")); }

    void linkListNorm_data()
    {
        rows::columns({"record", "typed", "records", "maxHits", "result"});
        rows::add({
            {"4", "12, 3-6; 30 /9,12", "20", "200", "3,5,6,9,12"},
            {"1", "5-3", "20", "200", ""},
            {"1", "2,5-3,8", "20", "200", "2,8"},
            {"1", "7,2,7,7", "20", "200", "2,7"},
            {"1", "120-5", "200", "200", "120,121,122,123,124,125"},
            {"1", "18-25", "20", "200", "18,19,20"},
            {"9", ",-3", "20", "200", "1,2,3"},
            {"5", "5", "20", "200", ""},
            {"1", "0,21,20", "20", "200", "20"},
            {"1", "No. 3 and #4", "40", "200", "34"}, // blanks and letters dropped, not separators
            {"1", "", "20", "200", ""},
            {"1", "9,8,7,6", "20", "3", "7,8,9"}, // limited by maxHits in typed order
            {"1", "1-99999999", "20", "200", "2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20"},
            {"0", "1-99999999", "32767", "3", "1,2,3"},
            {"1", "99999999999999999999,3", "20", "200", "3"},
        });
    }
    void linkListNorm()
    {
        QCOMPARE(
            LinkListNorm(rows::number("record"), rows::text("typed"), rows::number("records"), rows::number("maxHits")),
            rows::text("result"));
    }

    void suffixes_data()
    {
        rows::columns({"text", "suffix", "added", "stripped"});
        rows::add({
            {"/a/b", "/", "/a/b/", "/a/b"},
            {"/a/b/", "/", "/a/b/", "/a/b"},
            {"x.bnk.bnk", ".bnk", "x.bnk.bnk", "x.bnk"},
            {"x.BNK", ".bnk", "x.BNK.bnk", "x.BNK"},
            {"abc", "", "abc", "abc"},
        });
    }
    void suffixes()
    {
        QCOMPARE(AddSuffix(rows::text("text"), rows::text("suffix")), rows::text("added"));
        QCOMPARE(StripSuffix(rows::text("text"), rows::text("suffix")), rows::text("stripped"));
    }

    void findSep_data()
    {
        rows::columns({"start", "text", "sep", "pos"});
        rows::add({
            {"1", "a,b,c", ",", "2"},
            {"3", "a,b,c", ",", "4"},
            {"5", "a,b,c", ",", "0"},
            {"0", "a,b", ",", "2"},
            {"1", ",a", ",", "1"},
            {"1", "aBc", "b", "0"},
            {"1", "abc", "", "0"},
            {"1", "", ",", "0"},
            // Characters before the hit that are not single lead-range bytes.
            {"1", "表,", ",", "2"},
            {"1", "ｱ,", ",", "2"},
        });
    }
    void findSep()
    {
        QCOMPARE(FindSep(rows::number("start"), rows::text("text"), rows::text("sep")), rows::number("pos"));
    }

    void lastPosAndDoubleBytes()
    {
        QCOMPARE(QList<int>({LastPos(u"/a/bb/c.bnk"_s, u"/"_s), LastPos(u"a/b/"_s, u"/"_s), LastPos(u"abc"_s, u"/"_s),
                             LastPos(u"表/文献/表"_s, u"/"_s)}),
                 QList<int>({6, 4, 0, 5}));
        // Half-width kana and characters outside the code page are no double bytes.
        QCOMPARE(QList<int>({HasDoubleByte(u""_s), HasDoubleByte(u"Smith, J."_s), HasDoubleByte(u"ｽﾐｽ"_s),
                             HasDoubleByte(u"Smith 山田"_s), HasDoubleByte(u"\u301C"_s), HasDoubleByte(u"\u00E9"_s)}),
                 QList<int>({0, 0, 0, 1, 1, 0}));
    }

    void replaceAll_data()
    {
        rows::columns({"text", "sought", "replacement", "result"});
        rows::add({
            {",,,", ",,", ",", ","},
            {"a,,,,b,,c", ",,", ",", "a,b,c"},
            {"a  , b", " ", ",", "a,,,,b"},
            // The restart from the front catches a match the replacement formed.
            {"xaab", "ab", "b", "xb"},
            {"aaab", "ab", "b", "b"},
            {"a.b.c", ".", ". ", "a. b. c"},
            {"a-b--c", "-", "", "abc"},
            {"aAa", "A", "b", "aba"},
            {"abc", "", "x", "abc"},
            {"ab", "a", "aa", "aab"}, // the replacement holds the sought text: it still ends
        });
    }
    void replaceAll()
    {
        QCOMPARE(ReplaceAll(rows::text("text"), rows::text("sought"), rows::text("replacement")), rows::text("result"));
    }

    // The comb sort's order of equal keys, traced by hand through the gaps.
    void combSortEqualKeys_data()
    {
        rows::columns({"keys", "up", "items"});
        rows::add({
            {"3,1,3,2,1", "1", "2,5,4,1,3"}, // gaps 3, 2, 1, 1: swaps (1,4) (3,5) (1,2) (2,3)
            {"2,2,1", "1", "3,2,1"},         // gap 2 exchanges entries 1 and 3
            {"1,1,2", "0", "3,2,1"},
            // Twelve entries: the first gap 9 becomes 11 and exchanges entries 1
            // and 12 only (gap 9 would have moved item 3 to the end instead).
            {"1,1,1,1,1,1,1,1,1,1,1,0", "1", "12,2,3,4,5,6,7,8,9,10,11,1"},
        });
    }
    void combSortEqualKeys()
    {
        const bool up = rows::number("up") == 1;
        QList<qint16> keys{-99}, items{-99}; // entry 0 is a sentinel the sorts must not touch
        for (const QString &k : rows::text("keys").split(u',')) {
            keys.append(qint16(k.toInt()));
            items.append(qint16(items.size()));
        }
        if (up)
            SortByNumUp(keys, items, keys.size() - 1, 0);
        else
            SortByNumDown(keys, items, keys.size() - 1);
        QStringList order;
        for (qint16 i : items.mid(1))
            order.append(QString::number(i));
        QCOMPARE(order.join(u','), rows::text("items"));
        QCOMPARE(keys.first(), qint16(-99));
        QVERIFY(std::is_sorted(keys.begin() + 1, keys.end(), [&](qint16 a, qint16 b) { return up ? a < b : a > b; }));
    }

    void combSortTextsAndRanges()
    {
        // Gap 3 exchanges entries 1 and 4; nothing moves afterwards. Texts
        // compare by their codes.
        QStringList keys{QString(), "b", "a", "b", "a"};
        QList<qint16> items{0, 1, 2, 3, 4};
        SortByText(keys, items, 4, 0);
        QCOMPARE(items, (QList<qint16>{0, 4, 2, 3, 1}));
        QStringList mixed{QString(), "smith", "Smith", "jones", "Émile"};
        SortByText(mixed, items, 4, 0);
        QCOMPARE(mixed, (QStringList{QString(), "Smith", "jones", "smith", "Émile"}));

        // An offset sorts entries offset+1..offset+count only.
        QList<qint16> numbers{0, 9, 8, 3, 2, 1, 7};
        items = {0, 1, 2, 3, 4, 5, 6};
        SortByNumUp(numbers, items, 3, 2);
        QCOMPARE(numbers, (QList<qint16>{0, 9, 8, 1, 2, 3, 7}));
        QCOMPARE(items, (QList<qint16>{0, 1, 2, 5, 4, 3, 6}));

        // A count beyond the list is clamped to it.
        QList<qint16> hits{77, 5, 3, 4};
        SortHitsUp(hits, 100);
        QCOMPARE(hits, (QList<qint16>{77, 3, 4, 5}));
        SortHitsDown(hits, 2);
        SortHitsUp(hits, 0);
        QCOMPARE(hits, (QList<qint16>{77, 4, 3, 5}));
    }

    // Pages joined by "#", lines by "|"; an ASCII character is one unit wide,
    // any other two.
    void printPages_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("perPage");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("ideographic comma hangs") << u"あい、う"_s << 4.0 << 9 << u"あい、|う"_s;
        QTest::newRow("comma and full stop hang") << u"abcd,.e"_s << 4.0 << 9 << u"abcd,.|e"_s;
        QTest::newRow("several hang") << u"abcd、。，．　 x"_s << 4.0 << 9 << u"abcd、。，．　 |x"_s;
        QTest::newRow("semicolon breaks") << u"abcd;e"_s << 4.0 << 9 << u"abcd|;e"_s;
        QTest::newRow("CR LF, CR, LF") << u"a\r\nb\rc\nd"_s << 9.0 << 9 << u"a|b|c|d"_s;
        QTest::newRow("blank line kept") << u"a\r\n\r\nb"_s << 9.0 << 9 << u"a||b"_s;
        QTest::newRow("final line end") << u"a\r\n"_s << 9.0 << 9 << u"a"_s;
        QTest::newRow("empty text") << u""_s << 9.0 << 9 << u""_s;
        QTest::newRow("line end resets the width") << u"abc\r\nabcd"_s << 4.0 << 9 << u"abc|abcd"_s;
        QTest::newRow("long line") << u"abcdefghij"_s << 3.0 << 9 << u"abc|def|ghi|j"_s;
        QTest::newRow("pages") << u"1\r2\r3\r4\r5\r6\r7"_s << 9.0 << 3 << u"1|2|3#4|5|6#7"_s;
        QTest::newRow("page exactly full") << u"1\r2\r3\r4\r5\r6\r\n"_s << 9.0 << 3 << u"1|2|3#4|5|6"_s;
        QTest::newRow("surrogate pair whole") << u"ab\U0001D49Cc"_s << 2.0 << 9 << u"ab|\U0001D49C|c"_s;
        QTest::newRow("zero width") << u"ab、c"_s << 0.0 << 9 << u"a|b、|c"_s;
        QTest::newRow("negative width") << u"abc"_s << -5.0 << 9 << u"a|b|c"_s;
        QTest::newRow("width not a number") << u"abc"_s << std::nan("") << 9 << u"abc"_s;
        QTest::newRow("zero lines per page") << u"a\rb"_s << 9.0 << 0 << u"a#b"_s;
        // clang-format on
    }
    void printPages()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(int, perPage);
        QFETCH(QString, expected);
        const auto cells = [](QStringView c) { return c.size() == 1 && c.at(0).unicode() < 0x80 ? 1.0 : 2.0; };
        QStringList pages;
        for (const QStringList &page : PrintPages(text, width, perPage, cells))
            pages.append(page.join(u'|'));
        QCOMPARE(pages.join(u'#'), expected);
    }

    void printPageLength()
    {
        QCOMPARE(
            QList<int>({PrintLinesPerPage(257.0, 10.0), PrintLinesPerPage(5.0, 10.0), PrintLinesPerPage(250.0, 0.0),
                        PrintLinesPerPage(std::nan(""), 10.0), PrintLinesPerPage(1e300, 1e-300)}),
            QList<int>({25, 1, 1, 1, std::numeric_limits<int>::max()}));
        QCOMPARE(PrintHeader(u"Search Result"_s, 12), u"Search Result   (12)"_s);
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"
