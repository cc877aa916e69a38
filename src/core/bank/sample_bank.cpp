#include "core/bank/sample_bank.h"

#include "core/bank/bank_files.h"
#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/common/field_text.h"
#include "core/common/file_io.h"
#include "core/common/ole_date.h"
#include "core/format/name_list.h"
#include "core/store/link_table.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <optional>

namespace tz {

namespace {

// A source file larger than this is surely not a record list.
constexpr qint64 kMaxSourceBytes = 16 * 1024 * 1024;

// The lines of a text without their line ends (LF, CR LF or CR).
QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' || text[i] == u'\r') {
            lines.append(text.sliced(start, i - start));
            if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.append(text.sliced(start));
    return lines;
}

// Blank lines and comments ("#" as the first character that is not blank)
// carry nothing.
bool isEmptyLine(QStringView line)
{
    const QStringView t = line.trimmed();
    return t.isEmpty() || t.startsWith(u'#');
}

// Collects faults as "FILE:LINE: message".
class Faults
{
public:
    Faults(const QString &fileName, QStringList &errors) : m_fileName(fileName), m_errors(errors) {}

    void add(int line, const QString &message)
    {
        m_errors.append(QStringLiteral("%1:%2: %3").arg(m_fileName).arg(line).arg(message));
        ++m_count;
    }
    int count() const { return m_count; }

private:
    QString m_fileName;
    QStringList &m_errors;
    int m_count = 0;
};

// The fault of a text that a field of `width` bytes cannot hold, or nothing.
std::optional<QString> storageFault(const QString &what, const QString &text, int width)
{
    bool lossy = false;
    cp932::encode(text, &lossy);
    if (lossy) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            bool bad = false;
            cp932::encode(QStringView(text).sliced(i, len), &bad);
            if (bad)
                return QStringLiteral("%1: \"%2\" cannot be stored in code page 932").arg(what, text.mid(i, len));
            i += len - 1;
        }
    }
    const qsizetype bytes = cp932::encodedLength(text);
    if (bytes > width)
        return QStringLiteral("%1 takes %2 bytes in code page 932, at most %3 fit").arg(what).arg(bytes).arg(width);
    return std::nullopt;
}

// A whole decimal number in lo..hi, or nothing.
std::optional<int> wholeNumber(QStringView text, int lo, int hi)
{
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const int n = text.toInt();
    if (n < lo || n > hi)
        return std::nullopt;
    return n;
}

// ---- JP code list -------------------------------------------------------------

struct GroupRange
{
    int first; // first code of the group
    int last;  // last code of the group
};

GroupRange groupRange(const JPcodeTable &t, int group)
{
    switch (group) {
    case 1:
        return {1, t.JPendT};
    case 2:
        return {t.JPendT + 1, t.JPendJ};
    case 3:
        return {t.JPendJ + 1, t.JPendP};
    default:
        return {t.JPendP + 1, t.JPendE};
    }
}

const char16_t *const kGroupLetters = u"TJPE";
constexpr QStringView kGroupNames[4] = {u"よく使う雑誌", u"普通の雑誌", u"出版社", u"その他"};

// ---- Record list ----------------------------------------------------------------

enum class Key {
    Style,
    Memo,
    Author,
    Title,
    Editor,
    Book,
    JP,
    Volume,
    Pages,
    Page1,
    Page2,
    Month,
    Day,
    Year,
    Keyword,
    URL,
    DOI,
    Links,
    Registered
};

const QHash<QString, Key> &keyNames()
{
    static const QHash<QString, Key> names{
        {QStringLiteral("style"), Key::Style},
        {QStringLiteral("memo"), Key::Memo},
        {QStringLiteral("author"), Key::Author},
        {QStringLiteral("title"), Key::Title},
        {QStringLiteral("editor"), Key::Editor},
        {QStringLiteral("book"), Key::Book},
        {QStringLiteral("jp"), Key::JP},
        {QStringLiteral("volume"), Key::Volume},
        {QStringLiteral("pages"), Key::Pages},
        {QStringLiteral("page1"), Key::Page1},
        {QStringLiteral("page2"), Key::Page2},
        {QStringLiteral("month"), Key::Month},
        {QStringLiteral("day"), Key::Day},
        {QStringLiteral("year"), Key::Year},
        {QStringLiteral("keyword"), Key::Keyword},
        {QStringLiteral("url"), Key::URL},
        {QStringLiteral("doi"), Key::DOI},
        {QStringLiteral("links"), Key::Links},
        {QStringLiteral("registered"), Key::Registered},
    };
    return names;
}

// The style a "style:" value names: 1..4 or their words.
std::optional<qint16> styleOf(QStringView value)
{
    const QString v = value.toString().toLower();
    if (v == u"1" || v == u"journal")
        return 1;
    if (v == u"2" || v == u"book" || v == u"book (edt)")
        return 2;
    if (v == u"3" || v == u"monograph")
        return 3;
    if (v == u"4" || v == u"etc" || v == u"etc.")
        return 4;
    return std::nullopt;
}

// Which keys a style uses (the boxes the card has in use for it).
bool styleUses(qint16 style, Key key)
{
    switch (key) {
    case Key::Editor:
    case Key::Book:
        return style == 2;
    case Key::Volume:
    case Key::Pages:
    case Key::Page1:
    case Key::Page2:
        return style == 1 || style == 2;
    case Key::Month:
    case Key::Day:
        return style == 4;
    default:
        return true;
    }
}

struct Entry
{
    int line = 0;
    QString value;
};

// One record block as read, before it is checked.
struct Block
{
    int line = 0;
    QString label;
    QMap<Key, Entry> entries;
};

constexpr QStringView kStyleWords[5] = {u"", u"a journal article", u"a book chapter", u"a monograph",
                                        u"an etc. record"};

QString keyText(Key key)
{
    const auto &names = keyNames();
    for (auto it = names.begin(); it != names.end(); ++it)
        if (it.value() == key)
            return it.key();
    return QString();
}

class RecordReader
{
public:
    RecordReader(const JPcodeTable &jp, QDate today, Faults &faults) : m_jp(jp), m_today(today), m_faults(faults)
    {
        for (int code = 1; code <= m_jp.JPendE && code < m_jp.JPname.size(); ++code)
            if (!m_jp.JPname[code].isEmpty())
                m_codes.insert(m_jp.JPname[code], code);
    }

    void setDefaultDate(QDate date) { m_today = date; }

    // Checks a block and turns it into a record.
    SampleRecord build(const Block &b)
    {
        SampleRecord out;
        out.line = b.line;
        out.label = b.label;
        QDate registered = m_today;
        if (auto it = b.entries.find(Key::Registered); it != b.entries.end()) {
            const QDate d = parseDate(it->value);
            if (d.isValid())
                registered = d;
            else
                m_faults.add(it->line, QStringLiteral("registered: \"%1\" is not a date (yyyy-mm-dd)").arg(it->value));
        }
        Record &rec = out.record;
        rec = BlankRecord(registered);

        const auto styleEntry = b.entries.find(Key::Style);
        if (styleEntry == b.entries.end()) {
            m_faults.add(b.line, QStringLiteral("record %1 has no style").arg(b.label));
            return out;
        }
        const std::optional<qint16> style = styleOf(styleEntry->value);
        if (!style) {
            m_faults.add(
                styleEntry->line,
                QStringLiteral("style: \"%1\" is none of journal, book, monograph, etc.").arg(styleEntry->value));
            return out;
        }
        rec.Style = *style;
        for (auto it = b.entries.begin(); it != b.entries.end(); ++it)
            if (!styleUses(rec.Style, it.key()))
                m_faults.add(it->line,
                             QStringLiteral("%1 is not used by %2").arg(keyText(it.key()), kStyleWords[rec.Style]));

        auto value = [&](Key k) { return b.entries.value(k).value; };
        auto lineOf = [&](Key k) { return b.entries.contains(k) ? b.entries.value(k).line : b.line; };
        auto store = [&](Key k, const QString &what, const QString &text, int width, QString &field) {
            if (const auto fault = storageFault(what, text, width))
                m_faults.add(lineOf(k), *fault);
            field = text;
        };

        if (!b.entries.contains(Key::Title))
            m_faults.add(b.line, QStringLiteral("record %1 has no title").arg(b.label));
        store(Key::Memo, QStringLiteral("memo"), Trim(value(Key::Memo)), RecordLayout::Memo.width, rec.Memo);
        store(Key::Author, QStringLiteral("author"), NameListNormalize(Trim(value(Key::Author))),
              RecordLayout::Author.width, rec.Author);
        store(Key::Title, QStringLiteral("title"), TitlePeriod(Trim(value(Key::Title))), RecordLayout::Title.width,
              rec.Title);
        store(Key::Editor, QStringLiteral("editor"), NameListNormalize(Trim(value(Key::Editor))),
              RecordLayout::Editor.width, rec.Editor);
        store(Key::Book, QStringLiteral("book"), TitlePeriod(Trim(value(Key::Book))), RecordLayout::Book.width,
              rec.Book);
        store(Key::Keyword, QStringLiteral("keyword"), Trim(value(Key::Keyword)), RecordLayout::Keyword.width,
              rec.Keyword);
        store(Key::URL, QStringLiteral("url"), Trim(value(Key::URL)), kPdfFieldWidth, out.address.URL);
        store(Key::DOI, QStringLiteral("doi"), Trim(value(Key::DOI)), kPdfFieldWidth, out.address.DOI);
        if (!out.address.DOI.isEmpty() && !(out.address.DOI.startsWith(u"10.") && out.address.DOI.contains(u'/')))
            m_faults.add(lineOf(Key::DOI),
                         QStringLiteral("doi: \"%1\" is no DOI (10.prefix/suffix, without a resolver address)")
                             .arg(out.address.DOI));

        pagesAndVolume(b, rec);
        year(b, rec);
        jpcode(b, rec);
        return out;
    }

private:
    static QDate parseDate(const QString &text) { return QDate::fromString(Trim(text), Qt::ISODate); }

    void pagesAndVolume(const Block &b, Record &rec)
    {
        auto entry = [&](Key k) { return b.entries.value(k); };
        auto check = [&](Key k, const QString &what, const QString &text, int width) {
            if (const auto fault = storageFault(what, text, width))
                m_faults.add(entry(k).line, *fault);
        };
        if (rec.Style == 4) {
            // The volume box holds the month and the first page box the day.
            if (b.entries.contains(Key::Month)) {
                const QString m = Trim(entry(Key::Month).value);
                if (!wholeNumber(m, 1, 12))
                    m_faults.add(entry(Key::Month).line, QStringLiteral("month: \"%1\" is not 1 to 12").arg(m));
                rec.Volume = m;
            }
            if (b.entries.contains(Key::Day)) {
                const QString d = Trim(entry(Key::Day).value);
                if (!wholeNumber(d, 1, 31))
                    m_faults.add(entry(Key::Day).line, QStringLiteral("day: \"%1\" is not 1 to 31").arg(d));
                else if (rec.Volume.isEmpty())
                    m_faults.add(entry(Key::Day).line, QStringLiteral("a day needs a month"));
                rec.Page1 = d;
            }
            return;
        }
        rec.Volume = Trim(entry(Key::Volume).value);
        check(Key::Volume, QStringLiteral("volume"), rec.Volume, RecordLayout::Volume.width);
        if (b.entries.contains(Key::Pages) && (b.entries.contains(Key::Page1) || b.entries.contains(Key::Page2))) {
            m_faults.add(entry(Key::Pages).line, QStringLiteral("pages and page1/page2 are given both"));
            return;
        }
        QString first, last;
        Key lastKey = Key::Page2;
        if (b.entries.contains(Key::Pages)) {
            const QString p = Trim(entry(Key::Pages).value);
            const qsizetype dash = p.indexOf(u'-');
            first = dash < 0 ? p : Trim(p.left(dash));
            last = dash < 0 ? QString() : Trim(p.mid(dash + 1));
            lastKey = Key::Pages;
            if (dash >= 0 && (first.isEmpty() || last.isEmpty()))
                m_faults.add(entry(Key::Pages).line,
                             QStringLiteral("pages: \"%1\" lacks a page before or after \"-\"").arg(p));
        } else {
            first = Trim(entry(Key::Page1).value);
            last = Trim(entry(Key::Page2).value);
            if (first.isEmpty() && !last.isEmpty())
                m_faults.add(entry(Key::Page2).line, QStringLiteral("a last page needs a first page"));
        }
        rec.Page1 = first;
        rec.Page2 = PageEndFill(first, last);
        check(lastKey == Key::Pages ? Key::Pages : Key::Page1, QStringLiteral("first page"), rec.Page1,
              RecordLayout::Page1.width);
        check(lastKey, QStringLiteral("last page"), rec.Page2, RecordLayout::Page2.width);
    }

    void year(const Block &b, Record &rec)
    {
        if (!b.entries.contains(Key::Year))
            return;
        const Entry e = b.entries.value(Key::Year);
        const QString y = Trim(e.value);
        if (const auto n = wholeNumber(y, 1, 9999))
            rec.Year = static_cast<qint16>(*n);
        else
            m_faults.add(e.line, QStringLiteral("year: \"%1\" is not a year (1 to 9999)").arg(y));
    }

    void jpcode(const Block &b, Record &rec)
    {
        if (!b.entries.contains(Key::JP))
            return;
        const Entry e = b.entries.value(Key::JP);
        const QString name = Trim(e.value);
        const int code = m_codes.value(name, 0);
        if (code == 0) {
            m_faults.add(e.line, QStringLiteral("jp: \"%1\" is not in the JP code list").arg(name));
            return;
        }
        if (code <= JPlistBase(m_jp, rec.Style) || code > JPlistEnd(m_jp, rec.Style)) {
            const int group = JPcodeGroup(m_jp, code);
            m_faults.add(e.line, QStringLiteral("jp: \"%1\" is in group %2 (%3), which %4 cannot use")
                                     .arg(name)
                                     .arg(QChar(kGroupLetters[group - 1]))
                                     .arg(kGroupNames[group - 1], kStyleWords[rec.Style]));
            return;
        }
        rec.JPcode = static_cast<qint16>(code);
    }

    const JPcodeTable &m_jp;
    QDate m_today;
    Faults &m_faults;
    QHash<QString, int> m_codes;
};

bool validLabel(QStringView label)
{
    if (label.isEmpty())
        return false;
    for (const QChar c : label)
        if (!(c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.'))
            return false;
    return true;
}

bool readText(const QString &path, QString &text, QStringList &errors)
{
    QString why;
    const qint64 size = RegularFileSize(path, &why);
    if (size > kMaxSourceBytes) {
        errors.append(
            QStringLiteral("%1: larger than %2 bytes").arg(QDir::toNativeSeparators(path)).arg(kMaxSourceBytes));
        return false;
    }
    QByteArray bytes;
    if (size < 0 || !ReadFileHead(path, kMaxSourceBytes, bytes, &why)) {
        errors.append(why);
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    text = utf8(bytes);
    if (utf8.hasError()) {
        errors.append(QStringLiteral("%1: not UTF-8 text").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return true;
}

} // namespace

JPcodeTable ParseSampleJPcodes(QStringView text, const QString &fileName, QStringList &errors)
{
    Faults faults(fileName, errors);
    JPcodeTable table = DefaultJPcodeTable();
    QSet<QString> seen;
    QHash<QString, int> lineOfName;
    int group = 0; // 1..4 once a group line was read
    int next = 0;  // the code the next name takes
    bool groupsSeen[4] = {};
    const QList<QStringView> lines = splitLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QStringView line = lines[i].trimmed();
        if (isEmptyLine(line))
            continue;
        if (line.startsWith(u"ends:")) {
            if (group != 0) {
                faults.add(lineNo, QStringLiteral("the group ends must come before the first group"));
                continue;
            }
            const QStringList parts = line.sliced(5).trimmed().toString().split(u'-');
            QList<int> ends;
            for (const QString &p : parts)
                if (const auto n = wholeNumber(Trim(p), 0, kJPcodeMax))
                    ends.append(*n);
            if (parts.size() != 4 || ends.size() != 4 || !std::is_sorted(ends.begin(), ends.end())) {
                faults.add(
                    lineNo,
                    QStringLiteral("ends: \"%1\" is not four ascending numbers T-J-P-E").arg(line.sliced(5).trimmed()));
                continue;
            }
            table.JPendT = static_cast<qint16>(ends[0]);
            table.JPendJ = static_cast<qint16>(ends[1]);
            table.JPendP = static_cast<qint16>(ends[2]);
            table.JPendE = static_cast<qint16>(ends[3]);
            table.JPname = QStringList(ends[3] + 1);
            continue;
        }
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QString letter = close < 0 ? QString() : line.sliced(1, close - 1).trimmed().toString().toUpper();
            const qsizetype at = letter.size() == 1 ? QStringView(kGroupLetters).indexOf(letter[0]) : -1;
            if (at < 0) {
                faults.add(lineNo,
                           QStringLiteral("\"%1\" names no group; the groups are [T], [J], [P] and [E]").arg(line));
                group = -1;
                continue;
            }
            if (groupsSeen[at])
                faults.add(lineNo, QStringLiteral("group %1 is listed twice").arg(letter));
            groupsSeen[at] = true;
            group = static_cast<int>(at) + 1;
            next = groupRange(table, group).first;
            continue;
        }
        if (group == 0) {
            faults.add(lineNo, QStringLiteral("a name before the first group line ([T], [J], [P] or [E])"));
            continue;
        }
        if (group < 0)
            continue; // the names of a group line that was refused
        const QString name = line.toString();
        const GroupRange range = groupRange(table, group);
        if (name.size() > kJPnameMax) {
            faults.add(lineNo,
                       QStringLiteral("the name holds %1 characters, at most %2").arg(name.size()).arg(kJPnameMax));
            continue;
        }
        if (const auto fault = storageFault(QStringLiteral("the name"), name, 2 * kJPnameMax)) {
            faults.add(lineNo, *fault);
            continue;
        }
        if (seen.contains(name)) {
            faults.add(lineNo, QStringLiteral("\"%1\" is listed already (line %2)").arg(name).arg(lineOfName[name]));
            continue;
        }
        if (next > range.last) {
            faults.add(lineNo, QStringLiteral("group %1 holds at most %2 names")
                                   .arg(QChar(kGroupLetters[group - 1]))
                                   .arg(range.last - range.first + 1));
            continue;
        }
        seen.insert(name);
        lineOfName.insert(name, lineNo);
        table.JPname[next++] = name;
    }
    return table;
}

QList<SampleRecord> ParseSampleRecords(QStringView text, const QString &fileName, const JPcodeTable &jpcodes,
                                       QDate today, QStringList &errors)
{
    Faults faults(fileName, errors);
    RecordReader reader(jpcodes, today, faults);
    QList<Block> blocks;
    QHash<QString, int> labels; // label -> record number
    const QList<QStringView> lines = splitLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNo = i + 1;
        const QStringView line = lines[i].trimmed();
        if (isEmptyLine(line))
            continue;
        if (line.startsWith(u'@')) {
            const QString label = line.sliced(1).trimmed().toString();
            if (!validLabel(label))
                faults.add(
                    lineNo,
                    QStringLiteral("\"%1\" is no record label (letters, digits, \"-\", \"_\", \".\")").arg(label));
            else if (labels.contains(label))
                faults.add(lineNo, QStringLiteral("the label %1 is taken by record %2").arg(label).arg(labels[label]));
            else
                labels.insert(label, static_cast<int>(blocks.size()) + 1);
            blocks.append(Block{lineNo, label, {}});
            if (blocks.size() > kMaxRecords)
                faults.add(lineNo, QStringLiteral("a bank holds at most %1 records").arg(kMaxRecords));
            continue;
        }
        const qsizetype colon = line.indexOf(u':');
        if (colon <= 0) {
            faults.add(lineNo, QStringLiteral("\"%1\" is neither \"@label\" nor \"key: value\"").arg(line));
            continue;
        }
        const QString keyName = line.first(colon).trimmed().toString().toLower();
        const QString value = line.sliced(colon + 1).trimmed().toString();
        const auto key = keyNames().constFind(keyName);
        if (key == keyNames().constEnd()) {
            faults.add(lineNo, QStringLiteral("unknown key \"%1\"").arg(keyName));
            continue;
        }
        if (blocks.isEmpty()) {
            if (*key != Key::Registered) {
                faults.add(lineNo,
                           QStringLiteral("\"%1\" before the first record (only \"registered\" may stand there)")
                               .arg(keyName));
                continue;
            }
            const QDate d = QDate::fromString(value, Qt::ISODate);
            if (d.isValid())
                reader.setDefaultDate(d);
            else
                faults.add(lineNo, QStringLiteral("registered: \"%1\" is not a date (yyyy-mm-dd)").arg(value));
            continue;
        }
        Block &b = blocks.last();
        if (b.entries.contains(*key)) {
            faults.add(lineNo, QStringLiteral("%1 is given twice (line %2)").arg(keyName).arg(b.entries[*key].line));
            continue;
        }
        b.entries.insert(*key, Entry{lineNo, value});
    }
    if (blocks.isEmpty())
        faults.add(qMax(1, static_cast<int>(lines.size())), QStringLiteral("the file holds no record"));

    QList<SampleRecord> records;
    records.reserve(blocks.size());
    for (const Block &b : blocks)
        records.append(reader.build(b));

    // Links by label, made symmetric.
    QList<QSet<int>> partners(records.size());
    const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    for (int n = 1; n <= blocks.size(); ++n) {
        const auto it = blocks[n - 1].entries.constFind(Key::Links);
        if (it == blocks[n - 1].entries.constEnd())
            continue;
        const QStringList names = it->value.split(separators, Qt::SkipEmptyParts);
        for (const QString &name : names) {
            const int m = labels.value(name, 0);
            if (m == 0)
                faults.add(it->line, QStringLiteral("links: no record is labelled %1").arg(name));
            else if (m == n)
                faults.add(it->line, QStringLiteral("links: record %1 cannot link to itself").arg(name));
            else {
                partners[n - 1].insert(m);
                partners[m - 1].insert(n);
            }
        }
    }
    for (int n = 0; n < records.size(); ++n) {
        records[n].links = QList<int>(partners[n].begin(), partners[n].end());
        std::sort(records[n].links.begin(), records[n].links.end());
    }
    return records;
}

bool ReadSampleSource(const QString &folder, QDate today, SampleSource &source, QStringList &errors)
{
    const int before = static_cast<int>(errors.size());
    const QString jpPath = QDir(folder).filePath(QString(kSampleJPcodeSource));
    const QString recPath = QDir(folder).filePath(QString(kSampleRecordSource));
    QString jpText, recText;
    if (!readText(jpPath, jpText, errors) || !readText(recPath, recText, errors))
        return false;
    source.jpcodes = ParseSampleJPcodes(jpText, QString(kSampleJPcodeSource), errors);
    source.records = ParseSampleRecords(recText, QString(kSampleRecordSource), source.jpcodes, today, errors);
    return errors.size() == before;
}

bool WriteSampleBank(const SampleSource &source, const QString &bankPath, QString *error)
{
    const QString target = QDir::cleanPath(bankPath);
    auto refuse = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (PathKindOf(target) != PathKind::Missing || QFileInfo(target).isSymLink())
        return refuse(QStringLiteral("%1: already exists").arg(QDir::toNativeSeparators(target)));
    if (source.records.isEmpty() || source.records.size() > kMaxRecords)
        return refuse(
            QStringLiteral("a bank holds 1 to %1 records, not %2").arg(kMaxRecords).arg(source.records.size()));

    // The bank is built beside its place and takes its name only when
    // complete: a run cut short leaves no half-made bank, only the building
    // folder, which the next run clears away.
    const QString building = BuildingFolderFor(target);
    const QFileInfo stale(building);
    if (stale.isSymLink() || (stale.exists() && !stale.isDir()))
        return refuse(QStringLiteral("%1: is in the way of building the bank; remove it")
                          .arg(QDir::toNativeSeparators(building)));
    if (stale.exists() && !QDir(building).removeRecursively())
        return refuse(QStringLiteral("%1: the unfinished bank of an earlier run cannot be removed")
                          .arg(QDir::toNativeSeparators(building)));
    auto failed = [&](const QString &why) {
        QDir(building).removeRecursively();
        return refuse(why);
    };
    const QDate firstDate = OleToDate(source.records.first().record.RegDate);
    QString why;
    if (!CreateBank(building, firstDate.isValid() ? firstDate : QDate::currentDate(), &why))
        return failed(why);
    for (int n = 1; n <= source.records.size(); ++n) {
        const SampleRecord &s = source.records[n - 1];
        if (!RecWrite(building, n, s.record, true, &why) || !PdfWrite(building, n, s.address, true, &why))
            return failed(why);
    }
    if (!JPcodeSave(QDir(building).filePath(QString(kJPcodeFileName)), source.jpcodes, &why))
        return failed(why);
    // Record n's stored list holds the partners below n, which earlier records
    // wrote; its own write adds those above.
    for (int n = 1; n <= source.records.size(); ++n) {
        const QList<int> &links = source.records[n - 1].links;
        QStringList wanted, stored;
        for (const int m : links) {
            wanted.append(QString::number(m));
            if (m < n)
                stored.append(QString::number(m));
        }
        if (wanted.size() != stored.size() && !LinkWrite(building, n, wanted.join(u','), stored.join(u','), &why))
            return failed(why);
    }
    if (!PutFolderInPlace(building, target, &why))
        return failed(why);
    return true;
}

} // namespace tz
