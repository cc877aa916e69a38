// The shared routines: the classic number and text conversions, OLE dates, the
// code page 932 codec, the field normalisers, the comb sorts, print paging and
// the file routines. These open only regular files (a named pipe in a file's
// place must never hang the program) and replace a whole file without losing
// what makes it the file (a symbolic link, its permissions).

#include "core/common/basic.h"
#include "core/common/comb_sort.h"
#include "core/common/cp932.h"
#include "core/common/field_text.h"
#include "core/common/file_io.h"
#include "core/common/ole_date.h"
#include "core/common/print_lines.h"
#include "core/common/storable_text.h"
#include "core/common/text.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <iconv.h>
#include <sys/stat.h> // mkfifo

using namespace tz;
using namespace Qt::StringLiterals;

namespace {

using Args = const QStringList &;

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

// Decoded text with U+FFFD written as "?" and NUL as "0".
QString shown(QString s)
{
    return s.replace(QChar(0xFFFD), u'?').replace(QChar(0), u'0');
}

// Exactly `width` bytes written in place, or the buffer that shows more.
QString fixed(Args a)
{
    const int width = a[1].toInt();
    const QByteArray bytes = cp932::encodeFixed(a[0], width);
    QByteArray buffer(width + 2, '#');
    cp932::encodeFixedInto(a[0], buffer.data() + 1, width);
    return buffer == '#' + bytes + '#' ? hex(bytes) : "into " + hex(buffer);
}

QString encoded(Args a)
{
    bool lossy = false, kept = true; // a clean text leaves a set flag alone
    const QByteArray bytes = cp932::encode(a[0], &lossy);
    cp932::encode(a[0], &kept);
    return hex(bytes) + (lossy ? " lossy" : "") +
           (cp932::encodedLength(a[0]) == bytes.size() ? "" : " length differs") + (kept ? "" : " flag cleared");
}

QString storable(Args a)
{
    const StorableText r = MakeStorable(a[0]);
    bool lossy = false;
    cp932::encode(r.text, &lossy);
    return QStringList{r.text, r.changed.join(u' '), r.refused.join(u' '), lossy ? "lossy" : ""}.join(u';');
}

QString pages(Args a)
{
    const auto cells = [](QStringView c) { return c.size() == 1 && c.at(0).unicode() < 0x80 ? 1.0 : 2.0; };
    QStringList pages;
    for (const QStringList &page : PrintPages(a[0], a[1].toDouble(), a[2].toInt(), cells))
        pages.append(page.join(u'|'));
    return pages.join(u'#');
}

QString boxEdit(Args a)
{
    const BoxEdit e = FitBoxEdit(a[0], a[1].toInt(), a[2].toInt());
    return u"%1;%2;%3"_s.arg(e.text).arg(e.cursor).arg(e.removed);
}

QString oleDate(Args a)
{
    const QDate d = OleToDate(a[0].toDouble());
    return (d.isValid() ? d.toString(Qt::ISODate) : u"none"_s) + ' ' + QString::number(DateToOle(d));
}

// Kind|keys|count|offset: the items in their order (the keys for a hit list).
// Entry 0 is a sentinel the sorts must not touch.
QString sorted(Args a)
{
    QStringList texts{u"-99"_s};
    QList<qint16> keys{-99}, items{-99};
    for (const QString &k : a[1].split(u',')) {
        texts.append(k);
        keys.append(qint16(k.toInt()));
        items.append(qint16(items.size()));
    }
    const int count = a[2].toInt(), offset = a[3].toInt();
    if (a[0] == u"up")
        SortByNumUp(keys, items, count, offset);
    else if (a[0] == u"down")
        SortByNumDown(keys, items, count);
    else if (a[0] == u"text")
        SortByText(texts, items, count, offset);
    else
        a[0] == u"hits up" ? SortHitsUp(keys, count) : SortHitsDown(keys, count);
    QStringList order;
    for (qint16 i : (a[0].startsWith(u"hits") ? keys : items).mid(1))
        order.append(QString::number(i));
    return keys[0] == -99 && items[0] == -99 && texts[0] == u"-99" ? order.join(u',') : u"sentinel moved"_s;
}

// The routines from texts to a text; numbers in digits, dates in ISO form.
const QMap<QString, std::function<QString(Args)>> kRoutines{
    {"Val", [](Args a) { return QString::number(Val(a[0])) + (IsNumeric(a[0]) ? " numeric" : ""); }},
    {"ToInt16",
     [](Args a) { return ToInt16(a[0].toDouble()) ? QString::number(*ToInt16(a[0].toDouble())) : "overflow"; }},
    {"RoundClamp", [](Args a) { return QString::number(RoundClamp(a[0].toDouble(), a[1].toInt(), a[2].toInt())); }},
    {"Trim", [](Args a) { return Trim(a[0]) + u'|' + LTrim(a[0]) + u'|' + RTrim(a[0]); }},
    {"OleToDate", oleDate},
    {"ParseTypedDate", [](Args a) { return ParseTypedDate(a[0]).toString(Qt::ISODate); }},
    {"decode", [](Args a) { return shown(cp932::decode(QByteArray::fromHex(a[0].toLatin1()))); }},
    {"encode", encoded},
    {"encodeFixed", fixed},
    {"MakeStorable", storable},
    {"WithoutLineBreaks", [](Args a) { return WithoutLineBreaks(a[0]); }},
    {"PlainWidth", [](Args a) { return PlainWidth(a[0]); }},
    {"FitBytes", [](Args a) { return FitBytes(a[0], a[1].toInt()); }},
    {"FitBoxEdit", boxEdit},
    {"TitlePeriod", [](Args a) { return TitlePeriod(a[0]); }},
    {"PageEndFill", [](Args a) { return PageEndFill(a[0], a[1]); }},
    {"LinkListNorm", [](Args a) { return LinkListNorm(a[0].toInt(), a[1], a[2].toInt(), a[3].toInt()); }},
    {"AddSuffix", [](Args a) { return AddSuffix(a[0], a[1]); }},
    {"StripSuffix", [](Args a) { return StripSuffix(a[0], a[1]); }},
    {"LastPos", [](Args a) { return QString::number(LastPos(a[0], a[1])); }},
    {"HasDoubleByte", [](Args a) { return QString::number(HasDoubleByte(a[0])); }},
    {"FindSep", [](Args a) { return QString::number(FindSep(a[0].toInt(), a[1], a[2])); }},
    {"ReplaceAll", [](Args a) { return ReplaceAll(a[0], a[1], a[2]); }},
    {"PrintPages", pages},
    {"PrintLinesPerPage", [](Args a) { return QString::number(PrintLinesPerPage(a[0].toDouble(), a[1].toDouble())); }},
    {"PrintHeader", [](Args a) { return PrintHeader(a[0], a[1].toInt()); }},
    {"sort", sorted},
};

} // namespace

class TestCommon : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Routine, its inputs split at "|", its result. Val reads the leading
    // number; ToInt16 halves to even and reports an overflow instead of
    // wrapping; only blanks are trimmed. An OLE date's fraction is the time of
    // day, also before the epoch. Undecodable bytes become "?", nothing
    // vanishes; what code page 932 cannot hold is written "?" (one per
    // surrogate pair); the Linux and Windows forms of six characters share
    // their bytes; fixed widths never split a double-byte character. A colon
    // is no end mark; page texts of more than nine digits, or a last page that
    // is no number, give the last page as typed. Link lists: a reversed range
    // gives nothing, an end shorter than its start is abbreviated, letters are
    // dropped, ranges stay within the bank and the most hits. FindSep: the
    // character before a hit is no single lead-range byte. ReplaceAll restarts
    // from the front unless the replacement holds the sought text. Print pages
    // ("#") of lines ("|"): ASCII is one unit wide, all else two; break marks
    // hang past the margin, ";" does not; a surrogate pair stays whole; a page
    // holds at least one line. The comb sort's order of equal keys, traced by
    // hand through the gaps: 3,1,3,2,1 swaps (1,4) (3,5) (1,2) (2,3) at gaps
    // 3, 2, 1, 1; in 2,2,1 gap 2 exchanges entries 1 and 3; of twelve entries
    // the first gap 9 becomes 11 and exchanges entries 1 and 12 only (gap 9
    // would move item 3 to the end). Texts compare by their codes; an offset
    // sorts entries offset+1..offset+count only; a count beyond the list is
    // clamped to it.
    void routines_data()
    {
        rows::table({"routine", "inputs", "result"}, {});
        // clang-format off
        rows::group("Val", {{"  42 ", "42 numeric"}, {"12abc", "12"}, {"-3.5", "-3.5 numeric"}, {".5", "0.5 numeric"},
            {"2d2", "200 numeric"}, {"1e", "1"}, {"abc", "0"}, {"1e999", "0"}, {"１２", "0"}});
        rows::group("ToInt16", {{"2.5", "2"}, {"3.5", "4"}, {"-2.5", "-2"}, {"32767.4", "32767"}, {"32767.5", "overflow"},
            {"-32768", "-32768"}, {"-32768.5", "-32768"}, {"-32769", "overflow"}, {"nan", "overflow"}});
        rows::group("RoundClamp", {{"4.5|0|10", "4"}, {"1e300|0|10", "10"}, {"-1e300|0|10", "0"}, {"nan|3|10", "3"}});
        rows::group("Trim", {{"  a b  ", "a b|a b  |  a b"}, {"\tx\t", "\tx\t|\tx\t|\tx\t"}, {"　x", "　x|　x|　x"},
            {"  ", "||"}});
        rows::group("OleToDate", {{"41846.75", "2014-07-26 41846"}, {"-1.25", "1899-12-29 -1"}, {"0", "none 0"},
            {"-1e12", "none 0"}, {"nan", "none 0"}});
        rows::group("ParseTypedDate", {{"05/1/2", "2005-01-02"}, {"49/12/31", "2049-12-31"}, {"50/01/01", "1950-01-01"},
            {" 2014-07-26 ", "2014-07-26"}, {"2014/02/30", ""}});
        rows::group("decode", {{"61B182A0", "aｱあ"}, {"955C5C", "表\\"}, {"610062", "a0b"}, {"616282", "ab?"},
            {"822078", "? x"}, {"80A0FDFEFF7A", "?????z"}, {"854021", "?@!"},
            {"81608161817C8191819281CA", "\uFF5E\u2225\uFF0D\uFFE0\uFFE1\uFFE2"}});
        rows::group("encode", {{"研究ｱ", "8CA48B86B1"}, {"a\u00E9b", "613F62 lossy"}, {"x\U0001F600y", "783F79 lossy"},
            {"\u301C\u2016\u2212\u00A2\u00A3\u00AC\uFF5E\u2225\uFF0D\uFFE0\uFFE1\uFFE2",
             "81608161817C8191819281CA81608161817C8191819281CA"}});
        rows::group("encodeFixed", {{"abcdef|3", "616263"}, {"あい|4", "82A082A2"}, {"あい|3", "82A020"},
            {"aあ|2", "6120"}, {"abc|0", ""}});
        rows::group("MakeStorable", {{"Æsop, straße", "AEsop, strasse;Æ→AE ß→ss;;"},
            {"“quoted” ‘kept’ 日本語 ①", "“quoted” ‘kept’ 日本語 ①;;;"}, {"ﬁne\u00a0x", "fine x;ﬁ→fi \u00a0→ ;;"},
            {"smile 😀 ok ☃", "smile  ok ;;😀 ☃;"}});
        rows::group("WithoutLineBreaks", {{"a\r\nb\nc\rd\u2029e", "a b c d e"}});
        rows::group("PlainWidth", {{"１９６７　ＡＢｃ－（）", "1967 ABc-()"}});
        rows::group("FitBytes", {{"ab漢字c|5", "ab漢"}});
        rows::group("FitBoxEdit", {{"12345678901234 tail|14|10", "12345 tail;5;9"}, {"one\ntwo|7|100", "one two;7;0"},
            {"漢漢漢漢|4|7", "漢漢漢;3;1"}});
        rows::group("TitlePeriod", {{"Why?", "Why?"}, {"研究", "研究."}, {"   ", ""}, {"Chapter 2:", "Chapter 2:."}});
        rows::group("PageEndFill", {{"198|2", "202"}, {"S123|5", "S125"}, {"S123|S130", "S130"}, {"12|130", "130"},
            {"5|03", "03"}, {"|45", "45"}, {"123|", ""}, {"12a|5", "5"}, {"999999999|5", "1000000005"},
            {"1234567890| 5 ", "5"}, {"123|ff", "ff"}});
        rows::group("LinkListNorm", {{"1|2,5-3,8|20|200", "2,8"}, {"1|7,2,7,7|20|200", "2,7"},
            {"1|120-5|200|200", "120,121,122,123,124,125"}, {"9|,-3|20|200", "1,2,3"}, {"5|5|20|200", ""},
            {"1|0,21,20|20|200", "20"}, {"1|No. 3 and #4|40|200", "34"}, {"1|9,8,7,6|20|3", "7,8,9"},
            {"1|1-99999999|5|200", "2,3,4,5"}, {"1|99999999999999999999,3|20|200", "3"}});
        rows::group("AddSuffix", {{"/a/b/|/", "/a/b/"}, {"x.BNK|.bnk", "x.BNK.bnk"}});
        rows::group("StripSuffix", {{"x.bnk.bnk|.bnk", "x.bnk"}, {"x.BNK|.bnk", "x.BNK"}, {"abc|", "abc"}});
        rows::group("LastPos", {{"/a/bb/c.bnk|/", "6"}, {"abc|/", "0"}, {"表/文献/表|/", "5"}});
        rows::group("HasDoubleByte", {{"ｽﾐｽ", "0"}, {"Smith 山田", "1"}, {"\u301C", "1"}, {"\u00E9", "0"}});
        rows::group("FindSep", {{"3|a,b,c|,", "4"}, {"5|a,b,c|,", "0"}, {"0|a,b|,", "2"}, {"1|aBc|b", "0"},
            {"1|abc|", "0"}, {"1|表,|,", "2"}, {"1|ｱ,|,", "2"}});
        rows::group("ReplaceAll", {{",,,|,,|,", ","}, {"aaab|ab|b", "b"}, {"ab|a|aa", "aab"}, {"a-b--c|-|", "abc"},
            {"aAa|A|b", "aba"}, {"abc||x", "abc"}});
        rows::group("PrintPages", {{"abcd,.、。，．　 x|4|9", "abcd,.、。，．　 |x"}, {"abcd;e|4|9", "abcd|;e"},
            {"a\r\nb\rc\nd|9|9", "a|b|c|d"}, {"a\r\n\r\nb|9|9", "a||b"}, {"|9|9", ""}, {"abc\r\nabcd|4|9", "abc|abcd"},
            {"abcdefghij|3|9", "abc|def|ghi|j"}, {"1\r2\r3\r4\r5\r6\r7|9|3", "1|2|3#4|5|6#7"},
            {"1\r2\r3\r4\r5\r6\r\n|9|3", "1|2|3#4|5|6"}, {"ab\U0001D49Cc|2|9", "ab|\U0001D49C|c"},
            {"ab、c|0|9", "a|b、|c"}, {"abc|nan|9", "abc"}, {"a\rb|9|0", "a#b"}});
        rows::group("PrintLinesPerPage", {{"257|10", "25"}, {"5|10", "1"}, {"250|0", "1"}, {"nan|10", "1"},
            {"1e300|1e-300", "2147483647"}});
        rows::group("PrintHeader", {{"Search Result|12", "Search Result   (12)"}});
        rows::group("sort", {{"up|3,1,3,2,1|5|0", "2,5,4,1,3"}, {"up|2,2,1|3|0", "3,2,1"}, {"down|1,1,2|3|0", "3,2,1"},
            {"up|1,1,1,1,1,1,1,1,1,1,1,0|12|0", "12,2,3,4,5,6,7,8,9,10,11,1"}, {"up|9,8,3,2,1,7|3|2", "1,2,5,4,3,6"},
            {"text|b,a,b,a|4|0", "4,2,3,1"}, {"text|smith,Smith,jones,Émile|4|0", "2,3,1,4"},
            {"hits up|5,3,4|100|0", "3,4,5"}, {"hits down|3,4,5|2|0", "4,3,5"}, {"hits up|5,3,4|0|0", "5,3,4"}});
        // clang-format on
    }
    void routines()
    {
        QCOMPARE(kRoutines.value(rows::text("routine"))(rows::text("inputs").split(u'|')), rows::text("result"));
    }

    // The codec's constant tables read and write exactly what the system's
    // CP932 converter does: every single byte and byte pair decoded (in text,
    // the pair followed by a blank), every UTF-16 code unit encoded. A line
    // is read exactly when what it decodes to can be encoded again. A pair
    // the converter refuses, or one without a lead byte, reads as its first
    // byte alone and then its second: so the record scans can cut padding
    // blanks as bytes, and an ASCII character always stands for its own byte.
    void cp932AsTheSystemConverter()
    {
        const auto exactness = [](const QByteArray &line) {
            if (line.contains('\r') || line.contains('\n'))
                return true; // ends the line
            bool lossy = false;
            cp932::encode(cp932::decode(line), &lossy);
            return lossy == !cp932::inexactLines(line + "\r\nx", 2).isEmpty();
        };
        iconv_t toUtf16 = iconv_open("UTF-16LE", "CP932");
        iconv_t fromUtf16 = iconv_open("CP932", "UTF-16LE");
        QVERIFY(toUtf16 != iconv_t(-1) && fromUtf16 != iconv_t(-1));
        // The converter's answer for one piece, or nothing when it fails.
        const auto convert = [](iconv_t cd, QByteArray in) -> std::optional<QByteArray> {
            char out[8];
            char *inp = in.data(), *outp = out;
            size_t inLeft = size_t(in.size()), outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == size_t(-1) || inLeft != 0)
                return std::nullopt;
            return QByteArray(out, qsizetype(sizeof out - outLeft));
        };
        const auto unit = [](const QByteArray &utf16) {
            return utf16.size() == 2 ? QString(QChar(char16_t(uchar(utf16[0]) | uchar(utf16[1]) << 8))) : QString();
        };
        for (int b = 0; b < 256; ++b) {
            const QByteArray in(1, char(b));
            const auto c = cp932::isLeadByte(uchar(b)) ? std::nullopt : convert(toUtf16, in);
            QCOMPARE(cp932::decode(in), c && c->size() == 2 ? unit(*c) : QStringLiteral("\uFFFD"));
            QVERIFY(exactness(in));
        }
        int pairs = 0;
        for (int lead = 0x80; lead <= 0xFF; ++lead) {
            const bool isLead = cp932::isLeadByte(uchar(lead));
            for (int trail = 0; trail <= 0xFF; ++trail) {
                const char pair[2] = {char(lead), char(trail)};
                const QByteArray in(pair, 2);
                const auto c = isLead ? convert(toUtf16, in) : std::nullopt;
                const QString decoded = cp932::decode(in + ' ');
                if (c && c->size() == 2 && (c->at(0) != 0 || c->at(1) != 0)) {
                    ++pairs;
                    QVERIFY2(decoded == unit(*c) + u' ', qPrintable(hex(in)));
                } else {
                    const QString first = isLead ? u"\uFFFD"_s : cp932::decode(in.first(1));
                    QVERIFY2(decoded == first + cp932::decode(in.sliced(1)) + u' ', qPrintable(hex(in)));
                }
                QVERIFY2(isLead ? exactness(in) : decoded[0].unicode() >= 0x80, qPrintable(hex(in)));
            }
        }
        QCOMPARE(pairs, 9604); // the user-defined area 0xF040-0xF9FC included
        for (char16_t u = 1; u != 0; ++u) {
            if (QChar::isSurrogate(u))
                continue;
            const char utf16[2] = {char(u & 0xFF), char(u >> 8)};
            const QByteArray in(utf16, 2);
            const auto c = convert(fromUtf16, in);
            bool lossy = false;
            const QByteArray encoded = cp932::encode(QStringView(&u, 1), &lossy);
            QVERIFY2(c && !c->isEmpty() && (*c)[0] != 0 ? encoded == *c && !lossy : encoded == "?" && lossy,
                     qPrintable(QString::number(u, 16)));
        }
        iconv_close(toUtf16);
        iconv_close(fromUtf16);
    }

    // What has the file's name, and what the error says of it; nothing is
    // written through it, it stays in place, and a missing file is not made up.
    void onlyRegularFiles_data()
    {
        // clang-format off
        rows::table({"kind", "said"}, {
            {"folder", "フォルダです"}, {"named pipe", "名前付きパイプです"}, {"device", "デバイスです"},
            {"link loop", "開けません（Too many levels of symbolic links）"}, {"missing", "見つかりません"},
        });
        // clang-format on
    }
    void onlyRegularFiles()
    {
        const QString kind = rows::text("kind");
        QTemporaryDir dir;
        const QString path = dir.filePath("record.tzd");
        QVERIFY(kind == "folder"       ? QDir().mkdir(path)
                : kind == "named pipe" ? ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0
                : kind == "device"     ? QFile::link("/dev/zero", path)
                : kind == "link loop"  ? QFile::link(path, path)
                                       : true);
        const PathKind before = PathKindOf(path);
        QString error;
        QByteArray bytes;
        QVERIFY(!ReadFileHead(path, 100, bytes, &error));
        QVERIFY2(error.contains("record.tzd") && error.contains(rows::text("said")), qPrintable(error));
        QCOMPARE(RegularFileSize(path, &error), -1);
        QVERIFY2(!WriteFileAt(path, 0, "x", " ", {}, &error) && error.contains("record.tzd"), qPrintable(error));
        if (kind != "missing")
            QVERIFY2(!EnsureFile(path, &error) && !WriteFileAtomic(path, "x", &error) && error.contains("record.tzd"),
                     qPrintable(error));
        QCOMPARE(PathKindOf(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 kind == "missing" ? QStringList() : QStringList{"record.tzd"});
    }

    // A symbolic link keeps pointing to the file, which gets the new bytes and
    // keeps its permissions, also those the umask would take away; no
    // temporary file is left.
    void replacingKeepsLinkAndPermissions()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("real.cfg"), link = dir.filePath("tz.cfg");
        QVERIFY(writeFile(file, "old") && QFile::link(file, link));
        QVERIFY(
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup));
        const QFile::Permissions permissions = QFile::permissions(file);
        QString error;
        QVERIFY2(WriteFileAtomic(link, "new", &error) && QFileInfo(link).isSymLink() && readFile(file) == "new",
                 qPrintable(error));
        QCOMPARE(QFile::permissions(file), permissions);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // A finished folder takes its name only where nothing has it.
    void folderTakesFreeNameOnly()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("x.bnk"), building = BuildingFolderFor(target);
        QVERIFY(QDir().mkpath(building) && QDir().mkpath(target));
        QString error;
        QVERIFY2(!PutFolderInPlace(building, target, &error) && error.contains("x.bnk") && QFileInfo(building).isDir(),
                 qPrintable(error));
        QVERIFY2(QDir().rmdir(target) && PutFolderInPlace(building, target, &error), qPrintable(error));
        QVERIFY(QFileInfo(target).isDir() && !QFileInfo::exists(building));
    }
};

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"
