// The shared routines: the classic number and text conversions, OLE dates, the
// code page 932 codec, the field normalisers, the comb sorts and print paging.

#include "core/common/basic.h"
#include "core/common/comb_sort.h"
#include "core/common/cp932.h"
#include "core/common/field_text.h"
#include "core/common/ole_date.h"
#include "core/common/print_lines.h"
#include "core/common/storable_text.h"
#include "core/common/text.h"
#include "support/test_rows.h"

#include <cmath>
#include <limits>

using namespace tz;
using namespace Qt::StringLiterals;

namespace {

// Texts with U+FFFD written as "?" and NUL as "0", for the codec tables.
QString shown(QString s)
{
    return s.replace(QChar(0xFFFD), u'?').replace(QChar(0), u'0');
}

} // namespace

class TestCommon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Leading numeric value ("Val") and "is numeric" of typed text.
    void numbers_data()
    {
        // clang-format off
        rows::table({"text", "value", "numeric"}, {
            {"  42 ", "42", "1"}, {"12abc", "12", "0"}, {"-3.5", "-3.5", "1"}, {".5", "0.5", "1"},
            {"1.5E3", "1500", "1"}, {"2d2", "200", "1"}, {"1e", "1", "0"}, {"1.2.3", "1.2", "0"}, {"abc", "0", "0"},
            {".", "0", "0"}, {"", "0", "0"}, {"1e999", "0", "0"}, {"１２", "0", "0"},
        });
        // clang-format on
    }
    void numbers()
    {
        QCOMPARE(Val(rows::text("text")), rows::text("value").toDouble());
        QCOMPARE(IsNumeric(rows::text("text")), rows::number("numeric") == 1);
    }

    // 16 bits, halves to even, overflow reported instead of wrapped; only
    // blanks are trimmed.
    void conversions()
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
        QCOMPARE(
            QStringList({Trim(u"  a b  "), Trim(u"\tx\t"), Trim(u"　x"), LTrim(u"  a "), RTrim(u"  a "), Trim(u"  ")}),
            QStringList({"a b", "\tx\t", "　x", "a ", "  a", ""}));
        // Printed pages hold at least one line.
        QCOMPARE(
            QList<int>({PrintLinesPerPage(257.0, 10.0), PrintLinesPerPage(5.0, 10.0), PrintLinesPerPage(250.0, 0.0),
                        PrintLinesPerPage(std::nan(""), 10.0), PrintLinesPerPage(1e300, 1e-300)}),
            QList<int>({25, 1, 1, 1, std::numeric_limits<int>::max()}));
        QCOMPARE(PrintHeader(QStringLiteral("Search Result"), 12), QStringLiteral("Search Result   (12)"));
    }

    // The fraction is the time of day, also before the epoch (counted forward
    // from midnight); 0 is no date, and so are values far out of range.
    void oleDates_data()
    {
        // clang-format off
        rows::table({"ole", "dateTime"}, {
            {"41846", "2014-07-26T00:00:00"}, {"41846.75", "2014-07-26T18:00:00"}, {"0.5", "1899-12-30T12:00:00"},
            {"-1.25", "1899-12-29T06:00:00"},
        });
        // clang-format on
    }
    void oleDates()
    {
        const double ole = rows::text("ole").toDouble();
        const QDateTime dateTime = QDateTime::fromString(rows::text("dateTime"), Qt::ISODate);
        QCOMPARE(OleToDate(ole), dateTime.date());
        for (double none : {0.0, 1e12, -1e12, std::nan("")})
            QVERIFY(!OleToDate(none).isValid());
        QCOMPARE(DateToOle(QDate()), 0.0);
        QCOMPARE(DateToOle(QDate(2014, 7, 26)), 41846.0);
    }

    void typedDates_data()
    {
        // clang-format off
        rows::table({"text", "date"}, {
            {"99/04/28", "1999-04-28"}, {"05/1/2", "2005-01-02"}, {"49/12/31", "2049-12-31"},
            {"50/01/01", "1950-01-01"}, {" 2014/07/26 ", "2014-07-26"}, {"2014-07-26", "2014-07-26"},
            {"2014/02/30", ""}, {"2014/13/01", ""}, {"tomorrow", ""}, {"", ""},
        });
        // clang-format on
    }
    void typedDates() { QCOMPARE(ParseTypedDate(rows::text("text")).toString(Qt::ISODate), rows::text("date")); }

    // The Linux and the Windows form of six characters share their bytes.
    void cp932Pairs_data()
    {
        // clang-format off
        rows::table({"linuxForm", "windowsForm", "bytes"}, {
            {"\u301C", "\uFF5E", "8160"}, {"\u2016", "\u2225", "8161"}, {"\u2212", "\uFF0D", "817C"},
            {"\u00A2", "\uFFE0", "8191"}, {"\u00A3", "\uFFE1", "8192"}, {"\u00AC", "\uFFE2", "81CA"},
        });
        // clang-format on
    }
    void cp932Pairs()
    {
        const QString linuxForm = rows::text("linuxForm");
        const QByteArray bytes = QByteArray::fromHex(rows::text("bytes").toLatin1());
        bool lossy = false;
        QCOMPARE(cp932::encode(linuxForm, &lossy) + cp932::encode(rows::text("windowsForm"), &lossy), bytes + bytes);
        QVERIFY(!lossy);
        QCOMPARE(cp932::decode(bytes), rows::text("windowsForm"));
        QCOMPARE(cp932::charBytes(linuxForm[0].unicode()), 2);
    }

    // Bytes that do not decode become U+FFFD (shown "?"); nothing vanishes.
    void cp932Decode_data()
    {
        // clang-format off
        rows::table({"bytes", "text"}, {
            {"61B182A0", "aｱあ"}, {"955C5C", "表\\"}, {"610062", "a0b"}, {"616282", "ab?"}, {"822078", "? x"},
            {"80A0FDFEFF7A", "?????z"}, {"854021", "?@!"},
        });
        // clang-format on
    }
    void cp932Decode()
    {
        QCOMPARE(shown(cp932::decode(QByteArray::fromHex(rows::text("bytes").toLatin1()))), rows::text("text"));
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
        // clang-format off
        rows::table({"text", "width", "bytes"}, {
            {"ab", "4", "61622020"}, {"abcdef", "3", "616263"}, {"あい", "4", "82A082A2"}, {"あい", "3", "82A020"},
            {"aあ", "2", "6120"}, {"あ", "1", "20"}, {"abc", "0", ""}, {"", "2", "2020"},
        });
        // clang-format on
    }
    void cp932Fixed()
    {
        const int width = rows::number("width");
        const QByteArray bytes = QByteArray::fromHex(rows::text("bytes").toLatin1());
        QCOMPARE(cp932::encodeFixed(rows::text("text"), width), bytes);
        QByteArray buffer(width + 2, '#');
        cp932::encodeFixedInto(rows::text("text"), buffer.data() + 1, width);
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
                pairs += c.size() == 1; // else not a pair: each byte on its own, as above
                QVERIFY2(c.size() != 1 || c[0].unicode() >= 0x80, qPrintable(QString::number(lead * 256 + trail, 16)));
            }
        }
        QVERIFY(pairs > 7000);
    }

    // A colon is no end mark.
    void titlePeriod_data()
    {
        // clang-format off
        rows::table({"text", "result"}, {
            {"A study of X", "A study of X."}, {"Why?", "Why?"}, {"Done.", "Done."}, {"研究。", "研究。"}, {"なぜ？", "なぜ？"},
            {"研究", "研究."}, {"   ", ""}, {"Chapter 2:", "Chapter 2:."},
        });
        // clang-format on
    }
    void titlePeriod() { QCOMPARE(TitlePeriod(rows::text("text")), rows::text("result")); }

    // Page texts of more than nine digits give the last page as typed.
    void pageEndFill_data()
    {
        // clang-format off
        rows::table({"first", "last", "result"}, {
            {"123", "45", "145"}, {"123", "5", "125"}, {"198", "2", "202"}, {"45", "12", "112"},
            {"S123", "S130", "S130"}, {"e12", "15", "e15"}, {"12", "130", "130"}, {"1234", "56", "1256"},
            {"99", "3", "103"}, {"1998", "05", "2005"}, {"", "45", "45"}, {"123", "", ""}, {"12a", "5", "5"},
            {"S123", "5", "S125"}, {"5", "03", "03"}, {"999999999", "5", "1000000005"}, {"1234567890", "5", "5"},
            {"12345678901234567890", " 99 ", "99"}, {"123456789", "12345678901234567890", "12345678901234567890"},
            // A last page that is no number stays as typed.
            {"123", "ff", "ff"}, {"123", "e123", "e123"}, {"S12", "S1x", "S1x"},
        });
        // clang-format on
    }
    void pageEndFill() { QCOMPARE(PageEndFill(rows::text("first"), rows::text("last")), rows::text("result")); }

    // Text typed or pasted into a box, as the record file can hold it.
    void storableText_data()
    {
        // clang-format off
        rows::table({"typed", "stored", "changed", "refused"}, {
            {"Gödel – Erdős", "Godel - Erdos", "ö→o –→- ő→o", ""},
            {"Poincaré, Müller, Æsop, straße", "Poincare, Muller, AEsop, strasse", "é→e ü→u Æ→AE ß→ss", ""},
            {"“quoted” ‘kept’ 日本語 ①", "“quoted” ‘kept’ 日本語 ①", "", ""},
            {"ﬁne\u00a0x", "fine x", "ﬁ→fi \u00a0→ ", ""},
            {"smile 😀 ok ☃", "smile  ok ", "", "😀 ☃"},
        });
        // clang-format on
    }
    void storableText()
    {
        auto unescape = [](QString t) { return t.replace(QStringLiteral("\\u00a0"), QString(QChar(0xA0))); };
        const StorableText r = MakeStorable(unescape(rows::text("typed")));
        QCOMPARE(r.text, rows::text("stored"));
        QCOMPARE(r.changed.join(u' '), unescape(rows::text("changed")));
        QCOMPARE(r.refused.join(u' '), rows::text("refused"));
        bool lossy = false;
        cp932::encode(r.text, &lossy);
        QVERIFY(!lossy);
    }

    // Line breaks, full-width forms, and an edit cut to the room of a field
    // at the cursor.
    void boxEdits()
    {
        QCOMPARE(WithoutLineBreaks(u"a\r\nb\nc\rd\u2029e"_s), u"a b c d e"_s);
        QCOMPARE(PlainWidth(u"１９６７　ＡＢｃ－（）"_s), u"1967 ABc-()"_s);
        QCOMPARE(FitBytes(u"ab漢字c"_s, 5), u"ab漢"_s);
        // 40 kanji typed one by one into a memo of 70 bytes: the last five stay out.
        QString memo;
        for (int i = 0; i < 40; ++i) {
            const BoxEdit e = FitBoxEdit(memo + u'漢', memo.size() + 1, 70);
            memo = e.text;
        }
        QCOMPARE(memo, QString(35, u'漢'));
        // A paste in the middle is cut where it was pasted, the text after it kept.
        const BoxEdit paste = FitBoxEdit(u"12345678901234|tail"_s, 14, 10);
        QCOMPARE(paste.text, u"12345|tail"_s);
        QCOMPARE(paste.removed, 9);
        QCOMPARE(paste.cursor, 5);
        QCOMPARE(FitBoxEdit(u"one\ntwo"_s, 7, 100).text, u"one two"_s);
    }

    // Record, typed list, record count, most hits: the stored list. A reversed
    // range gives nothing; an end shorter than its start is abbreviated; blanks
    // and letters are dropped, not separators; ranges stay within the bank and
    // the most hits.
    void linkListNorm_data()
    {
        // clang-format off
        rows::table({"record", "typed", "records", "maxHits", "result"}, {
            {"4", "12, 3-6; 30 /9,12", "20", "200", "3,5,6,9,12"}, {"1", "2,5-3,8", "20", "200", "2,8"},
            {"1", "7,2,7,7", "20", "200", "2,7"}, {"1", "120-5", "200", "200", "120,121,122,123,124,125"},
            {"9", ",-3", "20", "200", "1,2,3"}, {"5", "5", "20", "200", ""}, {"1", "0,21,20", "20", "200", "20"},
            {"1", "No. 3 and #4", "40", "200", "34"}, {"1", "", "20", "200", ""}, {"1", "9,8,7,6", "20", "3", "7,8,9"},
            {"1", "1-99999999", "20", "200", "2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20"},
            {"0", "1-99999999", "32767", "3", "1,2,3"}, {"1", "99999999999999999999,3", "20", "200", "3"},
        });
        // clang-format on
    }
    void linkListNorm()
    {
        QCOMPARE(
            LinkListNorm(rows::number("record"), rows::text("typed"), rows::number("records"), rows::number("maxHits")),
            rows::text("result"));
    }

    void textRoutines()
    {
        QCOMPARE(QStringList({AddSuffix(u"/a/b"_s, u"/"_s), AddSuffix(u"/a/b/"_s, u"/"_s),
                              AddSuffix(u"x.BNK"_s, u".bnk"_s), StripSuffix(u"x.bnk.bnk"_s, u".bnk"_s),
                              StripSuffix(u"x.BNK"_s, u".bnk"_s), StripSuffix(u"abc"_s, u""_s)}),
                 QStringList({"/a/b/", "/a/b/", "x.BNK.bnk", "x.bnk", "x.BNK", "abc"}));
        QCOMPARE(QList<int>({LastPos(u"/a/bb/c.bnk"_s, u"/"_s), LastPos(u"a/b/"_s, u"/"_s), LastPos(u"abc"_s, u"/"_s),
                             LastPos(u"表/文献/表"_s, u"/"_s)}),
                 QList<int>({6, 4, 0, 5}));
        // Half-width kana and characters outside the code page are no double bytes.
        QCOMPARE(QList<int>({HasDoubleByte(u""_s), HasDoubleByte(u"Smith, J."_s), HasDoubleByte(u"ｽﾐｽ"_s),
                             HasDoubleByte(u"Smith 山田"_s), HasDoubleByte(u"\u301C"_s), HasDoubleByte(u"\u00E9"_s)}),
                 QList<int>({0, 0, 0, 1, 1, 0}));
    }

    // Start, text, separator: the position. The last two: the characters
    // before the hit are not single lead-range bytes.
    void findSep_data()
    {
        // clang-format off
        rows::table({"start", "text", "sep", "pos"}, {
            {"1", "a,b,c", ",", "2"}, {"3", "a,b,c", ",", "4"}, {"5", "a,b,c", ",", "0"}, {"0", "a,b", ",", "2"},
            {"1", ",a", ",", "1"}, {"1", "aBc", "b", "0"}, {"1", "abc", "", "0"}, {"1", "", ",", "0"},
            {"1", "表,", ",", "2"}, {"1", "ｱ,", ",", "2"},
        });
        // clang-format on
    }
    void findSep()
    {
        QCOMPARE(FindSep(rows::number("start"), rows::text("text"), rows::text("sep")), rows::number("pos"));
    }

    // Replacing restarts from the front, catching a match the replacement
    // formed ("xaab"); a replacement holding the sought text still ends.
    void replaceAll_data()
    {
        // clang-format off
        rows::table({"text", "sought", "replacement", "result"}, {
            {",,,", ",,", ",", ","}, {"a,,,,b,,c", ",,", ",", "a,b,c"}, {"a  , b", " ", ",", "a,,,,b"},
            {"xaab", "ab", "b", "xb"}, {"aaab", "ab", "b", "b"}, {"a.b.c", ".", ". ", "a. b. c"},
            {"a-b--c", "-", "", "abc"}, {"aAa", "A", "b", "aba"}, {"abc", "", "x", "abc"}, {"ab", "a", "aa", "aab"},
        });
        // clang-format on
    }
    void replaceAll()
    {
        QCOMPARE(ReplaceAll(rows::text("text"), rows::text("sought"), rows::text("replacement")), rows::text("result"));
    }

    // The comb sort's order of equal keys, traced by hand through the gaps:
    // 3,1,3,2,1 swaps (1,4) (3,5) (1,2) (2,3) at gaps 3, 2, 1, 1; in 2,2,1 gap
    // 2 exchanges entries 1 and 3; of twelve entries the first gap 9 becomes 11
    // and exchanges entries 1 and 12 only (gap 9 would move item 3 to the end).
    void combSortEqualKeys_data()
    {
        // clang-format off
        rows::table({"keys", "up", "items"}, {
            {"3,1,3,2,1", "1", "2,5,4,1,3"}, {"2,2,1", "1", "3,2,1"}, {"1,1,2", "0", "3,2,1"},
            {"1,1,1,1,1,1,1,1,1,1,1,0", "1", "12,2,3,4,5,6,7,8,9,10,11,1"},
        });
        // clang-format on
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
        // Texts compare by their codes; gap 3 exchanges entries 1 and 4, then nothing moves.
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

    // Text, width, lines per page: the pages joined by "#", their lines by
    // "|"; an ASCII character is one unit wide, any other two. Break marks
    // hang past the margin, ";" does not; a surrogate pair stays whole.
    void printPages_data()
    {
        // clang-format off
        rows::table({"text", "width", "perPage", "expected"}, {
            {"あい、う", "4", "9", "あい、|う"}, {"abcd,.e", "4", "9", "abcd,.|e"}, {"abcd、。，．　 x", "4", "9", "abcd、。，．　 |x"},
            {"abcd;e", "4", "9", "abcd|;e"}, {"a\r\nb\rc\nd", "9", "9", "a|b|c|d"}, {"a\r\n\r\nb", "9", "9", "a||b"},
            {"a\r\n", "9", "9", "a"}, {"", "9", "9", ""}, {"abc\r\nabcd", "4", "9", "abc|abcd"},
            {"abcdefghij", "3", "9", "abc|def|ghi|j"}, {"1\r2\r3\r4\r5\r6\r7", "9", "3", "1|2|3#4|5|6#7"},
            {"1\r2\r3\r4\r5\r6\r\n", "9", "3", "1|2|3#4|5|6"}, {"ab\U0001D49Cc", "2", "9", "ab|\U0001D49C|c"},
            {"ab、c", "0", "9", "a|b、|c"}, {"abc", "-5", "9", "a|b|c"}, {"abc", "nan", "9", "abc"},
            {"a\rb", "9", "0", "a#b"},
        });
        // clang-format on
    }
    void printPages()
    {
        const auto cells = [](QStringView c) { return c.size() == 1 && c.at(0).unicode() < 0x80 ? 1.0 : 2.0; };
        QStringList pages;
        for (const QStringList &page :
             PrintPages(rows::text("text"), rows::text("width").toDouble(), rows::number("perPage"), cells))
            pages.append(page.join(u'|'));
        QCOMPARE(pages.join(u'#'), rows::text("expected"));
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"
