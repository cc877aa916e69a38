#include "core/format/name_list.h"

#include "core/common/basic.h"
#include "core/common/text.h"

namespace tz {
namespace {

// The generation suffixes the stored form joins to their word, and the suffixes
// a written person carries at its end, each table read as 4-character cells
// from the given 1-based position on, leading blanks removed.
QStringList suffixCells(const QString &table, int firstPos, int cellCount)
{
    QStringList cells;
    for (int k = 0; k < cellCount; ++k)
        cells.append(LTrim(QStringView(table).mid(firstPos - 1 + 4 * k, 4)));
    return cells;
}

const QStringList &storedSuffixes()
{
    static const QStringList cells = suffixCells(QStringLiteral("000  Sr  Jr 2nd III 3rd  3d  IV00"), 4, 7);
    return cells;
}

const QStringList &writtenSuffixes()
{
    static const QStringList cells = suffixCells(QStringLiteral("000 _IV_III _II  _I _Sr _Jr _3d_3rd0"), 4, 8);
    return cells;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber();
}

// Which end of a sought word must stand at a word boundary.
enum class Edge { Start, End };

bool boundedAt(const QString &s, qsizetype at, qsizetype len, Edge edge)
{
    if (edge == Edge::Start)
        return at == 0 || !isWordChar(s[at - 1]);
    const qsizetype after = at + len;
    return after == s.size() || !isWordChar(s[after]);
}

// ReplaceAll for words: an occurrence counts only when its open end is a word
// boundary, so that "R. Srinivasan" keeps its "Sr" and "J.Bennet al" its "et".
// As with ReplaceAll every counted occurrence is replaced, and a replacement can
// complete a new one. The replacement must not contain the sought text.
QString replaceWord(const QString &text, const QString &sought, const QString &replacement, Edge edge)
{
    QString s = text;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = s.indexOf(sought, from);
        if (at < 0)
            return s;
        if (!boundedAt(s, at, sought.size(), edge)) {
            from = at + 1;
            continue;
        }
        s.replace(at, sought.size(), replacement);
        // An occurrence starting before this point saw none of the change, not
        // even in the character next to it.
        from = qMax<qsizetype>(0, at - sought.size());
    }
}

// A generation suffix typed as a list item of its own ("J.Smith, Jr.") stays
// one: the "_" joined to it after a comma goes again.
QString unjoinAfterComma(const QString &text, const QString &joined)
{
    QString s = text;
    qsizetype from = 1;
    for (;;) {
        const qsizetype at = s.indexOf(joined, from);
        if (at < 0)
            return s;
        if (s[at - 1] == u',' && boundedAt(s, at, joined.size(), Edge::End))
            s.remove(at, 1);
        from = at + 1;
    }
}

// Position of the first " et_al" in text, or -1 (found from its "_", which
// few lists hold).
qsizetype findEtAl(QStringView text)
{
    constexpr QStringView mark = u" et_al";
    for (qsizetype u = text.indexOf(u'_', 3); u >= 0; u = text.indexOf(u'_', u + 1)) {
        if (text.sliced(u - 3).startsWith(mark))
            return u - 3;
    }
    return -1;
}

// --- writing one person -----------------------------------------------------

// The text written after each initial piece.
QStringView initialSeparator(int style)
{
    switch (style) {
    case 1:
    case 5:
    case 10:
        return u". ";
    case 2:
    case 6:
    case 11:
    case 14:
        return u".";
    case 3:
    case 7:
    case 12:
        return u" ";
    default:
        return {};
    }
}

char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

// First occurrence of a written suffix in text[0, end) that ends a word, its
// letters matched without regard to case (an upper-cased "SMITH_JR" carries its
// suffix like "Smith_Jr"), or -1. Every suffix begins with "_".
qsizetype findSuffix(const QString &text, qsizetype end, const QString &suffix)
{
    const QStringView body = QStringView(text).first(end);
    const qsizetype len = suffix.size();
    for (qsizetype at = body.indexOf(u'_'); at >= 0 && at + len <= end; at = body.indexOf(u'_', at + 1)) {
        qsizetype k = 1;
        while (k < len && asciiLower(body[at + k].unicode()) == asciiLower(suffix[k].unicode()))
            ++k;
        if (k == len && (at + len == end || !isWordChar(body[at + len])))
            return at;
    }
    return -1;
}

// Generation suffixes move to the very end, in the order of the table; a suffix
// already moved is not searched again. Then every "_" becomes a blank.
void finishPerson(QString &person)
{
    if (!person.contains(u'_'))
        return;
    qsizetype end = person.size(); // person[end..] holds the suffixes moved so far
    for (const QString &suffix : writtenSuffixes()) {
        const qsizetype at = findSuffix(person, end, suffix);
        if (at < 0)
            continue;
        const QString found = person.mid(at, suffix.size());
        person.remove(at, suffix.size());
        person.append(found);
        end -= suffix.size();
    }
    person.replace(u'_', u' ');
}

// Writes a person in a name style at the end of out; initials is a buffer the
// caller keeps between persons. Returns whether the written person holds a
// double-byte character.
bool writePerson(const ParsedPerson &person, int style, bool capitalize, QString &out, QString &initials)
{
    if (person.kept) {
        out += person.stored;
        return true;
    }

    const QStringView sep = initialSeparator(style);
    initials.truncate(0); // keeps the room
    const QStringView name(person.name);
    qsizetype start = 0;
    for (qsizetype dot; start < person.surnameAt && (dot = name.indexOf(u'.', start)) >= 0; start = dot + 1) {
        initials += name.sliced(start, dot - start);
        initials += sep;
    }
    const QString trimmed = Trim(initials);

    QString upper;
    QStringView surname = person.surname();
    if (capitalize) {
        upper = surname.toString().toUpper();
        surname = upper;
    }

    const qsizetype begin = out.size();
    if (trimmed.isEmpty()) {
        out += surname;
    } else if (style >= 1 && style <= 9) {
        out += surname;
        out += style <= 4 ? QStringView(u", ") : style <= 8 ? QStringView(u" ") : QStringView(u"-");
        out += trimmed;
    } else if (style >= 10 && style <= 14) {
        out += trimmed;
        if (style != 14)
            out += u' ';
        out += surname;
    } else {
        out += person.stored;
    }
    if (QStringView(out).sliced(begin).contains(u'_')) {
        QString written = out.sliced(begin);
        out.truncate(begin);
        finishPerson(written);
        out += written;
    }
    return !upper.isEmpty() && HasDoubleByte(upper) == 1;
}

// --- joining ----------------------------------------------------------------

QStringView finalJoiner(int punctures)
{
    switch (punctures) {
    case 1:
        return u" and ";
    case 2:
        return u", and ";
    case 3:
        return u" & ";
    case 4:
        return u", & ";
    case 6:
        return u"; ";
    default:
        return u", ";
    }
}

QStringView plainJoiner(int punctures)
{
    return punctures == 6 ? QStringView(u"; ") : QStringView(u", ");
}

// What follows the last person of a list marked et al.; also the closing
// "et al." of a list cut short.
QStringView etAlText(int punctures)
{
    switch (punctures) {
    case 1:
    case 3:
        return u" et al.";
    case 6:
        return u"; et al.";
    default:
        return u", et al.";
    }
}

class ListWriter
{
public:
    ListWriter(const ParsedNameList &list, const NameRule &rule)
        : m_list(list), m_rule(rule), m_punctures(rule.punctures >= 1 && rule.punctures <= 6 ? rule.punctures : 5)
    {
        qsizetype room = 32;
        for (const ParsedPerson &person : list.persons)
            room += person.stored.size() + 8;
        m_out.reserve(room);
    }

    // Person i (1-based) opens the list.
    void first(qsizetype i) { append(i); }

    // Person i between the first and the last.
    void middle(qsizetype i)
    {
        m_out += plainJoiner(m_punctures);
        append(i);
    }

    // Person i closes the list; etAl: the list is marked et al.
    void last(qsizetype i, bool etAl)
    {
        // After a Japanese name the last person takes no "and" but the plain joiner.
        m_out += (m_hasDoubleByte || etAl) ? plainJoiner(m_punctures) : finalJoiner(m_punctures);
        append(i);
        if (etAl)
            m_out += etAlText(m_punctures);
    }

    void etAlAfterSingle() { m_out += etAlText(m_punctures); }

    // The closing word of kind 3..6 after a list cut short; omitted persons are
    // those of the list that were not written.
    void closing(int kind, qsizetype omitted)
    {
        if (kind == 3) {
            m_out += etAlText(m_punctures);
            return;
        }
        m_out += finalJoiner(m_punctures);
        if (kind == 4)
            m_out += u"others";
        else if (kind == 5)
            m_out += QStringLiteral("other(%1)s").arg(omitted);
        else
            m_out += QStringLiteral("other %1 members").arg(omitted);
    }

    QString result() const { return m_out; }

private:
    void append(qsizetype i)
    {
        const ParsedPerson &person = m_list.persons[i - 1];
        const int style = i == 1 ? m_rule.firstPerson : m_rule.secondPerson;
        if (writePerson(person, style, m_rule.capitalize == 1, m_out, m_initials))
            m_hasDoubleByte = true;
    }

    const ParsedNameList &m_list;
    const NameRule &m_rule;
    const int m_punctures;
    QString m_out;
    QString m_initials;
    bool m_hasDoubleByte = false;
};

} // namespace

QStringList ParsedPerson::initials() const
{
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype dot; start < surnameAt && (dot = name.indexOf(u'.', start)) >= 0; start = dot + 1)
        pieces.append(name.sliced(start, dot - start));
    return pieces;
}

QString NameListNormalize(const QString &typed)
{
    if (typed.isEmpty())
        return {};
    QString s = typed;
    // Full-width separators.
    s = ReplaceAll(s, QStringLiteral("、"), QStringLiteral(", "));
    s = ReplaceAll(s, QStringLiteral("；"), QStringLiteral(", "));
    s = ReplaceAll(s, QStringLiteral("，"), QStringLiteral(", "));
    s = ReplaceAll(s, QStringLiteral("："), QStringLiteral(", "));
    // "et al" and the particles, hyphenated and then blank-separated.
    s = replaceWord(s, QStringLiteral("et-al"), QStringLiteral("et_al"), Edge::Start);
    s = replaceWord(s, QStringLiteral("Le-"), QStringLiteral("Le_"), Edge::Start);
    s = replaceWord(s, QStringLiteral("St-"), QStringLiteral("St_"), Edge::Start);
    s = replaceWord(s, QStringLiteral("Van-Der-"), QStringLiteral("Van_Der_"), Edge::Start);
    s = replaceWord(s, QStringLiteral("De-"), QStringLiteral("De_"), Edge::Start);
    s = replaceWord(s, QStringLiteral("et al"), QStringLiteral("et_al"), Edge::Start);
    s = replaceWord(s, QStringLiteral("Le "), QStringLiteral("Le_"), Edge::Start);
    s = replaceWord(s, QStringLiteral("St "), QStringLiteral("St_"), Edge::Start);
    s = replaceWord(s, QStringLiteral("Van Der "), QStringLiteral("Van_Der_"), Edge::Start);
    s = replaceWord(s, QStringLiteral("De "), QStringLiteral("De_"), Edge::Start);
    // Generation suffixes.
    for (const QString &suffix : storedSuffixes()) {
        const QString joined = u'_' + suffix;
        s = ReplaceAll(s, u'-' + suffix + u'.', joined);
        s = replaceWord(s, u'-' + suffix, joined, Edge::End);
        s = ReplaceAll(s, u' ' + suffix + u'.', joined);
        s = replaceWord(s, u' ' + suffix, joined, Edge::End);
        s = unjoinAfterComma(s, joined);
    }
    // Person separators.
    s = ReplaceAll(s, QStringLiteral("/"), QStringLiteral(","));
    s = ReplaceAll(s, QStringLiteral(";"), QStringLiteral(","));
    s = ReplaceAll(s, QStringLiteral("&&"), QString());
    s = replaceWord(s, QStringLiteral(" and"), QStringLiteral(","), Edge::End);
    s = ReplaceAll(s, QStringLiteral(" &"), QStringLiteral(","));
    s = ReplaceAll(s, QStringLiteral(". "), QStringLiteral("."));
    s = ReplaceAll(s, QStringLiteral(", ,"), QStringLiteral(","));
    s = ReplaceAll(s, QStringLiteral(",,"), QStringLiteral(","));
    return StripSuffix(RTrim(s), QStringLiteral(","));
}

ParsedNameList NameListParse(const QString &stored)
{
    ParsedNameList list;
    QString text = Trim(StripSuffix(StripSuffix(stored, QStringLiteral(".")), QStringLiteral(",")));
    if (text.isEmpty())
        return list;

    const qsizetype etAl = findEtAl(text);
    if (etAl >= 0) {
        list.etAl = true;
        // "A.Jones, et_al": the comma before the mark ends no person.
        text = StripSuffix(RTrim(QStringView(text).left(etAl)), QStringLiteral(","));
        if (Trim(text).isEmpty())
            return list;
    }

    list.persons.reserve(qMin<qsizetype>(text.count(u',') + 1, kMaxNamePersons));
    qsizetype from = 0;
    while (list.persons.size() < kMaxNamePersons) {
        const qsizetype comma = text.indexOf(u',', from);
        const qsizetype end = comma < 0 ? text.size() : comma;
        ParsedPerson person;
        person.stored = Trim(QStringView(text).mid(from, end - from));
        person.kept = HasDoubleByte(person.stored) == 1;
        if (!person.kept) {
            // Given names become initials: "John Ronald Smith" is "J.R.Smith".
            person.name = person.stored;
            if (person.name.contains(u' ')) {
                const QString &typed = person.stored;
                QString work;
                qsizetype pos = 0;
                for (qsizetype blank; (blank = typed.indexOf(u' ', pos)) >= 0; pos = blank + 1) {
                    if (blank > pos) { // a run of blanks parts two words once
                        work += typed[pos];
                        work += u'.';
                    }
                }
                work += QStringView(typed).sliced(pos);
                person.name = work;
            }
            person.surnameAt = person.name.lastIndexOf(u'.') + 1;
        }
        list.persons.append(std::move(person));
        if (comma < 0)
            break;
        from = comma + 1;
    }
    return list;
}

QString NameListFormat(const ParsedNameList &list, const NameRule &rule)
{
    const qsizetype n = list.persons.size();
    if (n == 0)
        return {};
    const int e = rule.et_al;
    if (e < 1 || e > 14)
        return {};

    ListWriter w(list, rule);
    w.first(1);
    if (e == 2) // the first person only
        return w.result();

    if (e >= 3 && e <= 6 && n >= 3) {
        w.closing(e, n - 1);
    } else if (e >= 7 && e <= 10 && n > 6) {
        for (qsizetype i = 2; i <= 6; ++i)
            w.middle(i);
        w.closing(e - 4, n - 6);
    } else if (e >= 11 && n > 25) {
        for (qsizetype i = 2; i <= 24; ++i)
            w.middle(i);
        w.last(n, false); // the closing word says that the list goes on
        w.closing(e - 8, n - 25);
    } else {
        for (qsizetype i = 2; i < n; ++i)
            w.middle(i);
        if (n > 1)
            w.last(n, list.etAl);
        else if (list.etAl)
            w.etAlAfterSingle();
    }
    return w.result();
}

QString NameListFormat(const QString &stored, int mode, const NameRule &authorRule, const NameRule &editorRule)
{
    switch (mode) {
    case 1:
        return NameListFormat(NameListParse(stored), authorRule);
    case 2:
        return NameListFormat(NameListParse(stored), editorRule);
    case 3:
        return NameListFormat(NameListParse(stored), SortKeyRule());
    default:
        return {};
    }
}

} // namespace tz
