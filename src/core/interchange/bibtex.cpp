#include "core/interchange/bibtex.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace tz {

namespace {

// Accent commands and the combining marks they put on a letter.
const QHash<QChar, QChar> &accentMarks()
{
    static const QHash<QChar, QChar> marks = {{u'\'', QChar(0x0301)}, {u'`', QChar(0x0300)}, {u'^', QChar(0x0302)},
                                              {u'"', QChar(0x0308)},  {u'~', QChar(0x0303)}, {u'=', QChar(0x0304)},
                                              {u'.', QChar(0x0307)},  {u'u', QChar(0x0306)}, {u'v', QChar(0x030C)},
                                              {u'H', QChar(0x030B)},  {u'c', QChar(0x0327)}, {u'k', QChar(0x0328)},
                                              {u'r', QChar(0x030A)},  {u'd', QChar(0x0323)}, {u'b', QChar(0x0331)}};
    return marks;
}

// Named letters and symbols.
const QHash<QString, QString> &namedLetters()
{
    static const QHash<QString, QString> letters = {
        {QStringLiteral("ss"), QStringLiteral("ß")},
        {QStringLiteral("o"), QStringLiteral("ø")},
        {QStringLiteral("O"), QStringLiteral("Ø")},
        {QStringLiteral("ae"), QStringLiteral("æ")},
        {QStringLiteral("AE"), QStringLiteral("Æ")},
        {QStringLiteral("oe"), QStringLiteral("œ")},
        {QStringLiteral("OE"), QStringLiteral("Œ")},
        {QStringLiteral("aa"), QStringLiteral("å")},
        {QStringLiteral("AA"), QStringLiteral("Å")},
        {QStringLiteral("l"), QStringLiteral("ł")},
        {QStringLiteral("L"), QStringLiteral("Ł")},
        {QStringLiteral("i"), QStringLiteral("ı")},
        {QStringLiteral("j"), QStringLiteral("ȷ")},
        {QStringLiteral("textendash"), QStringLiteral("–")},
        {QStringLiteral("textemdash"), QStringLiteral("—")},
        {QStringLiteral("ldots"), QStringLiteral("…")},
        {QStringLiteral("dots"), QStringLiteral("…")},
        {QStringLiteral("textasciitilde"), QStringLiteral("~")},
        {QStringLiteral("textasciicircum"), QStringLiteral("^")},
        {QStringLiteral("textbackslash"), QStringLiteral("\\")},
        {QStringLiteral("textbraceleft"), QStringLiteral("{")},
        {QStringLiteral("textbraceright"), QStringLiteral("}")},
        {QStringLiteral("LaTeX"), QStringLiteral("LaTeX")},
        {QStringLiteral("TeX"), QStringLiteral("TeX")},
        {QStringLiteral("S"), QStringLiteral("§")},
        {QStringLiteral("P"), QStringLiteral("¶")},
        {QStringLiteral("copyright"), QStringLiteral("©")},
        {QStringLiteral("pounds"), QStringLiteral("£")},
        {QStringLiteral("textquoteright"), QStringLiteral("'")},
        {QStringLiteral("textquoteleft"), QStringLiteral("`")},
        {QStringLiteral("textdegree"), QStringLiteral("°")},
    };
    return letters;
}

bool isSpecial(QChar c)
{
    return QStringLiteral("&%$#_{}").contains(c);
}

class LatexReader
{
public:
    explicit LatexReader(const QString &s) : m_s(s) {}

    QString read()
    {
        QString out;
        while (m_at < m_s.size()) {
            const QChar c = m_s[m_at];
            if (c == u'\\') {
                out += command();
            } else if (c == u'{' || c == u'}' || c == u'$') {
                ++m_at;
            } else if (c == u'~') {
                out += u' ';
                ++m_at;
            } else if (c == u'-' && m_s.mid(m_at, 3) == QLatin1String("---")) {
                out += QStringLiteral("—");
                m_at += 3;
            } else if (c == u'-' && m_s.mid(m_at, 2) == QLatin1String("--")) {
                out += QStringLiteral("–");
                m_at += 2;
            } else if (m_s.mid(m_at, 2) == QLatin1String("``")) {
                out += QStringLiteral("“");
                m_at += 2;
            } else if (m_s.mid(m_at, 2) == QLatin1String("''")) {
                out += QStringLiteral("”");
                m_at += 2;
            } else {
                out += c;
                ++m_at;
            }
        }
        return TidyBlanks(out);
    }

private:
    // The argument of an accent: one letter, a braced group or a named letter.
    QString argument()
    {
        while (m_at < m_s.size() && m_s[m_at] == u' ')
            ++m_at;
        if (m_at >= m_s.size())
            return {};
        if (m_s[m_at] == u'{') {
            int depth = 0;
            const qsizetype start = m_at;
            for (; m_at < m_s.size(); ++m_at) {
                if (m_s[m_at] == u'{')
                    ++depth;
                else if (m_s[m_at] == u'}' && --depth == 0)
                    break;
            }
            const QString inner = m_s.mid(start + 1, m_at - start - 1);
            ++m_at;
            return LatexReader(inner).read();
        }
        if (m_s[m_at] == u'\\')
            return command();
        return QString(m_s[m_at++]);
    }

    QString command()
    {
        ++m_at; // the backslash
        if (m_at >= m_s.size())
            return {};
        const QChar c = m_s[m_at];
        if (accentMarks().contains(c) && (!c.isLetter() || m_at + 1 >= m_s.size() || !m_s[m_at + 1].isLetter())) {
            ++m_at;
            QString arg = argument();
            if (arg.isEmpty())
                return {};
            // {\'\i} and \"{\j}: the accent takes the place of the dot.
            if (arg[0] == QChar(0x0131) || arg[0] == QChar(0x0237))
                arg[0] = arg[0] == QChar(0x0131) ? u'i' : u'j';
            return (arg.left(1) + accentMarks().value(c) + arg.mid(1)).normalized(QString::NormalizationForm_C);
        }
        if (!c.isLetter()) {
            ++m_at;
            if (c == u'\\')
                return QStringLiteral(" ");
            return QString(c); // \& \% \$ \# \_ \{ \} "\ "
        }
        const qsizetype start = m_at;
        while (m_at < m_s.size() && m_s[m_at].isLetter())
            ++m_at;
        const QString name = m_s.mid(start, m_at - start);
        if (namedLetters().contains(name)) {
            if (m_at < m_s.size() && m_s[m_at] == u' ')
                ++m_at; // the blank that ends the command name
            else if (m_s.mid(m_at, 2) == QLatin1String("{}"))
                m_at += 2;
            return namedLetters().value(name);
        }
        // \emph{x}, \textit{x} and other commands: their text stays.
        while (m_at < m_s.size() && m_s[m_at] == u' ')
            ++m_at;
        return {};
    }

    const QString &m_s;
    qsizetype m_at = 0;
};

} // namespace

QString LatexToText(const QString &latex)
{
    return LatexReader(latex).read();
}

QString TextToLatex(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // BibTeX counts every brace, escaped or not: a brace of the text
        // is written as a command.
        if (c == u'{' || c == u'}') {
            out += c == u'{' ? QStringLiteral("\\textbraceleft{}") : QStringLiteral("\\textbraceright{}");
            continue;
        }
        if (isSpecial(c)) {
            out += u'\\' + QString(c);
            continue;
        }
        if (c == u'\\') {
            out += QStringLiteral("\\textbackslash{}");
            continue;
        }
        if (c == u'~' || c == u'^') {
            out += c == u'~' ? QStringLiteral("\\textasciitilde{}") : QStringLiteral("\\textasciicircum{}");
            continue;
        }
        if (c == u'-' && i + 1 < text.size() && text[i + 1] == u'-') {
            out += QStringLiteral("-{}");
            continue;
        }
        if ((c == u'`' || c == u'\'') && i + 1 < text.size() && text[i + 1] == c) {
            out += QString(c) + QStringLiteral("{}");
            continue;
        }
        if (c.unicode() < 0x80) {
            out += c;
            continue;
        }
        bool named = false;
        for (auto it = namedLetters().cbegin(); it != namedLetters().cend(); ++it)
            if (it.value() == QString(c) && it.key().size() <= 2) {
                out += QStringLiteral("{\\") + it.key() + u'}';
                named = true;
                break;
            }
        if (named)
            continue;
        const QString d = QString(c).normalized(QString::NormalizationForm_D);
        if (d.size() == 2 && d[0].unicode() < 0x80 && d[0].isLetter()) {
            const QChar mark = accentMarks().key(d[1], QChar());
            if (!mark.isNull()) {
                out += QStringLiteral("{\\") + mark + (mark.isLetter() ? QStringLiteral(" ") : QString()) + d[0] + u'}';
                continue;
            }
        }
        out += c;
    }
    return out;
}

namespace {

struct BibEntry
{
    QString type;
    QString key;
    int line = 0;
    QList<std::pair<QString, QString>> fields; // names in lower case, LaTeX values

    QString value(const QString &name) const
    {
        for (const auto &[n, v] : fields)
            if (n == name)
                return v;
        return {};
    }
    bool has(const QString &name) const
    {
        return std::any_of(fields.cbegin(), fields.cend(), [&](const auto &f) { return f.first == name; });
    }
};

class BibParser
{
public:
    explicit BibParser(const QString &text) : m_s(text)
    {
        for (qsizetype i = 0; i < m_s.size(); ++i)
            if (m_s[i] == u'\n')
                m_lineStarts << i + 1;
        static const char *const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                             "jul", "aug", "sep", "oct", "nov", "dec"};
        for (int m = 0; m < 12; ++m)
            m_macros.insert(QLatin1String(months[m]), QString::number(m + 1));
    }

    QList<BibEntry> entries;
    QString error;

    bool parse()
    {
        while (true) {
            const qsizetype at = m_s.indexOf(u'@', m_at);
            if (at < 0)
                return true;
            m_at = at + 1;
            const int line = lineOf(at);
            skipBlanks();
            const QString type = identifier().toLower();
            if (type.isEmpty())
                continue; // an "@" in the text between entries
            skipBlanks();
            if (m_at >= m_s.size() || (m_s[m_at] != u'{' && m_s[m_at] != u'('))
                return fail(line, QStringLiteral("「@%1」の後に { がありません").arg(type));
            const QChar close = m_s[m_at] == u'{' ? u'}' : u')';
            ++m_at;
            if (type == QLatin1String("comment") || type == QLatin1String("preamble")) {
                if (!skipGroup(close, line))
                    return false;
                continue;
            }
            if (type == QLatin1String("string")) {
                skipBlanks();
                const QString name = identifier().toLower();
                skipBlanks();
                if (name.isEmpty() || !take(u'='))
                    return fail(lineOf(m_at), QStringLiteral("@string は「名前 = 値」の形で書いてください"));
                QString value;
                if (!readValue(value, line))
                    return false;
                m_macros.insert(name, value);
                skipBlanks();
                if (!take(close))
                    return fail(lineOf(m_at), QStringLiteral("@string の終わりの %1 がありません").arg(close));
                continue;
            }
            BibEntry entry;
            entry.type = type;
            entry.line = line;
            skipBlanks();
            const qsizetype keyStart = m_at;
            while (m_at < m_s.size() && m_s[m_at] != u',' && m_s[m_at] != close && !m_s[m_at].isSpace())
                ++m_at;
            entry.key = m_s.mid(keyStart, m_at - keyStart);
            skipBlanks();
            while (true) {
                skipBlanks();
                if (m_at >= m_s.size())
                    return fail(line, QStringLiteral("この行から始まる項目が終わらないままファイルが終わりました"
                                                     "（括弧 { } が釣り合っていません）"));
                if (take(close))
                    break;
                if (!take(u','))
                    return fail(lineOf(m_at), QStringLiteral("フィールドの間に「,」がありません"));
                skipBlanks();
                if (take(close))
                    break;
                const int fieldLine = lineOf(m_at);
                const QString name = identifier().toLower();
                skipBlanks();
                if (name.isEmpty() || !take(u'='))
                    return fail(fieldLine, QStringLiteral("フィールドは「名前 = 値」の形で書いてください"));
                QString value;
                if (!readValue(value, line))
                    return false;
                entry.fields.append({name, value});
            }
            entries << entry;
        }
    }

private:
    bool fail(int line, const QString &what)
    {
        error = QStringLiteral("%1 行目: %2").arg(line).arg(what);
        return false;
    }

    int lineOf(qsizetype at) const
    {
        return int(std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), at) - m_lineStarts.cbegin()) + 1;
    }

    void skipBlanks()
    {
        while (m_at < m_s.size() && m_s[m_at].isSpace())
            ++m_at;
    }

    bool take(QChar c)
    {
        if (m_at < m_s.size() && m_s[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    QString identifier()
    {
        const qsizetype start = m_at;
        while (m_at < m_s.size() && (m_s[m_at].isLetterOrNumber() || QStringLiteral("_-:.+/'").contains(m_s[m_at])))
            ++m_at;
        return m_s.mid(start, m_at - start);
    }

    // Past the closing character of a group whose opening was just read.
    bool skipGroup(QChar close, int line)
    {
        int depth = 1;
        const QChar open = close == u'}' ? u'{' : u'(';
        for (; m_at < m_s.size(); ++m_at) {
            if (m_s[m_at] == open)
                ++depth;
            else if (m_s[m_at] == close && --depth == 0) {
                ++m_at;
                return true;
            }
        }
        return fail(line, QStringLiteral("この行から始まる項目の括弧 %1 が閉じていません").arg(close));
    }

    // value = part { "#" part }; a part is {…}, "…", a number or a macro.
    bool readValue(QString &value, int entryLine)
    {
        while (true) {
            skipBlanks();
            if (m_at >= m_s.size())
                return fail(entryLine, QStringLiteral("この行から始まる項目が値の途中で終わりました"));
            const QChar c = m_s[m_at];
            if (c == u'{' || c == u'"') {
                const int partLine = lineOf(m_at);
                ++m_at;
                int depth = 0;
                const qsizetype start = m_at;
                for (; m_at < m_s.size(); ++m_at) {
                    const QChar d = m_s[m_at];
                    if (d == u'\\') {
                        ++m_at;
                        continue;
                    }
                    if (d == u'{')
                        ++depth;
                    else if (d == u'}' && depth > 0)
                        --depth;
                    else if (depth == 0 && d == (c == u'{' ? u'}' : u'"'))
                        break;
                }
                if (m_at >= m_s.size())
                    return fail(partLine, QStringLiteral("この行から始まる値の括弧 { } または引用符 \" が"
                                                         "釣り合っていません"));
                value += m_s.mid(start, m_at - start);
                ++m_at;
            } else if (c.isDigit()) {
                const qsizetype start = m_at;
                while (m_at < m_s.size() && m_s[m_at].isDigit())
                    ++m_at;
                value += m_s.mid(start, m_at - start);
            } else {
                const int partLine = lineOf(m_at);
                const QString name = identifier().toLower();
                if (name.isEmpty())
                    return fail(partLine, QStringLiteral("値がありません"));
                if (!m_macros.contains(name))
                    return fail(partLine, QStringLiteral("@string で定義されていない略語「%1」です").arg(name));
                value += m_macros.value(name);
            }
            skipBlanks();
            if (!take(u'#'))
                return true;
        }
    }

    const QString &m_s;
    qsizetype m_at = 0;
    QList<qsizetype> m_lineStarts;
    QHash<QString, QString> m_macros;
};

// Splits at a separator outside braces.
QStringList splitOutside(const QString &s, const QRegularExpression &sep)
{
    QStringList out;
    int depth = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'{')
            ++depth;
        else if (s[i] == u'}')
            --depth;
        else if (depth == 0) {
            const QRegularExpressionMatch m =
                sep.match(s, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
            if (m.hasMatch()) {
                out << s.mid(start, i - start);
                i = m.capturedEnd() - 1;
                start = m.capturedEnd();
            }
        }
    }
    out << s.mid(start);
    return out;
}

// True when the whole text is one braced group: "{World Health Organization}".
bool oneGroup(const QString &t)
{
    if (!t.startsWith(u'{'))
        return false;
    int depth = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == u'{')
            ++depth;
        else if (t[i] == u'}' && --depth == 0)
            return i == t.size() - 1;
    }
    return false;
}

RefPerson personOf(const QString &name)
{
    const QString t = name.trimmed();
    if (oneGroup(t))
        return RefPerson{{}, {}, {}, LatexToText(t)};
    static const QRegularExpression comma(QStringLiteral(","));
    const QStringList parts = splitOutside(t, comma);
    if (parts.size() == 3) // von Last, Jr, First
        return RefPerson{LatexToText(parts[0]), LatexToText(parts[2]), LatexToText(parts[1]), {}};
    if (parts.size() == 2)
        return RefPerson{LatexToText(parts[0]), LatexToText(parts[1]), {}, {}};
    return PersonFromText(LatexToText(t));
}

void readPersons(const QString &value, QList<RefPerson> &persons, bool &etAl)
{
    if (value.trimmed().isEmpty())
        return;
    static const QRegularExpression andSep(QStringLiteral("\\s+and\\s+"), QRegularExpression::CaseInsensitiveOption);
    for (const QString &name : splitOutside(value.simplified(), andSep)) {
        if (IsEtAlName(LatexToText(name)))
            etAl = true;
        else if (!name.trimmed().isEmpty())
            persons << personOf(name);
    }
}

RefType typeOf(const QString &type)
{
    if (type == QLatin1String("article"))
        return RefType::Article;
    if (QStringList{"incollection", "inbook", "inproceedings", "conference"}.contains(type))
        return RefType::Chapter;
    if (QStringList{"book", "proceedings", "booklet", "collection", "mvbook", "mvcollection"}.contains(type))
        return RefType::Book;
    return RefType::Other;
}

Reference referenceOf(const BibEntry &e)
{
    Reference ref;
    ref.line = e.line;
    ref.type = typeOf(e.type);
    QSet<QString> used = {QStringLiteral("crossref")};
    auto take = [&](std::initializer_list<const char *> names) {
        for (const char *n : names) {
            const QString name = QLatin1String(n);
            if (e.has(name)) {
                used.insert(name);
                return LatexToText(e.value(name));
            }
        }
        return QString();
    };
    readPersons(e.value(QStringLiteral("author")), ref.authors, ref.authorsEtAl);
    readPersons(e.value(QStringLiteral("editor")), ref.editors, ref.editorsEtAl);
    used << QStringLiteral("author") << QStringLiteral("editor");
    ref.title = take({"title"});
    ref.journal = take({"journal", "journaltitle"});
    ref.bookTitle = take({"booktitle"});
    // "howpublished = {\url{…}}" says where a work is found, not who published it.
    static const QRegularExpression urlOnly(QStringLiteral("^\\s*\\\\url\\s*\\{([^{}]*)\\}\\s*$"));
    const QRegularExpressionMatch howUrl = urlOnly.match(e.value(QStringLiteral("howpublished")));
    if (ref.type != RefType::Other)
        ref.publisher = take({"publisher"});
    else if (howUrl.hasMatch())
        ref.publisher = take({"publisher", "institution", "organization", "school"});
    else
        ref.publisher = take({"publisher", "howpublished", "institution", "organization", "school"});
    ref.volume = take({"volume"});
    ref.issue = take({"number", "issue"});
    const QString pages = e.value(QStringLiteral("pages"));
    if (!pages.isEmpty()) {
        used << QStringLiteral("pages");
        static const QRegularExpression range(
            QStringLiteral("^\\s*(.*?)\\s*(?:-+|–|—|\\\\textendash\\s*)\\s*(.*?)\\s*$"));
        if (const QRegularExpressionMatch m = range.match(pages); m.hasMatch()) {
            ref.firstPage = LatexToText(m.captured(1));
            ref.lastPage = LatexToText(m.captured(2));
        } else {
            ref.firstPage = LatexToText(pages);
        }
    }
    ref.year = take({"year"});
    if (ref.year.isEmpty())
        ref.year = take({"date"}).left(4);
    ref.keywords = take({"keywords"});
    ref.note = take({"note"});
    // Addresses are not LaTeX text.
    auto raw = [&](const char *name) {
        used.insert(QLatin1String(name));
        // Some programs escape LaTeX's specials in addresses too ("a\\_b").
        static const QRegularExpression escaped(QStringLiteral("\\\\([_%&#~$])"));
        return e.value(QLatin1String(name))
            .remove(u'{')
            .remove(u'}')
            .replace(escaped, QStringLiteral("\\1"))
            .simplified();
    };
    ref.url = raw("url");
    if (ref.url.isEmpty() && howUrl.hasMatch()) {
        ref.url = howUrl.captured(1).simplified();
        used << QStringLiteral("howpublished");
    }
    ref.doi = raw("doi");
    const QString stamp = take({"timestamp"});
    ref.registered = QDate::fromString(stamp.left(10).replace(u'.', u'-').replace(u'/', u'-'), Qt::ISODate);
    for (const auto &[name, value] : e.fields)
        if (!used.contains(name) && !value.trimmed().isEmpty())
            ref.extras << name + QStringLiteral(": ") + LatexToText(value);
    return ref;
}

} // namespace

ReadResult ReadBibtex(const QString &text)
{
    BibParser parser(text);
    if (!parser.parse())
        return {{}, parser.error};
    // A crossref entry lends the fields its children lack; its title becomes
    // their book title.
    QHash<QString, qsizetype> byKey;
    for (qsizetype i = 0; i < parser.entries.size(); ++i)
        byKey.insert(parser.entries[i].key.toLower(), i);
    ReadResult out;
    for (BibEntry e : parser.entries) {
        const QString parentKey = e.value(QStringLiteral("crossref")).trimmed().toLower();
        if (!parentKey.isEmpty()) {
            if (byKey.contains(parentKey)) {
                const BibEntry &parent = parser.entries[byKey.value(parentKey)];
                for (const auto &[name, value] : parent.fields) {
                    const QString target = name == QLatin1String("title") ? QStringLiteral("booktitle") : name;
                    if (!e.has(target) && name != QLatin1String("crossref") && name != QLatin1String("booktitle"))
                        e.fields.append({target, value});
                }
            } else {
                e.fields.append({QStringLiteral("crossref-missing"), e.value(QStringLiteral("crossref"))});
            }
        }
        out.refs << referenceOf(e);
    }
    return out;
}

namespace {

QString personLatex(const RefPerson &p)
{
    if (!p.literal.isEmpty())
        return u'{' + TextToLatex(p.literal) + u'}';
    QString s = TextToLatex(p.family);
    if (!p.suffix.isEmpty())
        s += QStringLiteral(", ") + TextToLatex(p.suffix);
    if (!p.given.isEmpty() || !p.suffix.isEmpty())
        s += QStringLiteral(", ") + TextToLatex(p.given);
    return s;
}

QString personsLatex(const QList<RefPerson> &persons, bool etAl)
{
    QStringList names;
    for (const RefPerson &p : persons)
        names << personLatex(p);
    if (etAl)
        names << QStringLiteral("others");
    return names.join(QStringLiteral(" and "));
}

QString keyBase(const Reference &ref)
{
    QString base;
    const RefPerson first = ref.authors.value(0, ref.editors.value(0));
    for (const QChar c :
         QString(first.family.isEmpty() ? first.literal : first.family).normalized(QString::NormalizationForm_D))
        if (c.unicode() < 0x80 && c.isLetter())
            base += c.toLower();
    if (base.isEmpty())
        base = QStringLiteral("ref");
    // A key holds letters and digits only, whatever the year says ("in press").
    for (const QChar c : ref.year)
        if (c.unicode() < 0x80 && c.isLetterOrNumber())
            base += c;
    return base;
}

} // namespace

QByteArray WriteBibtex(const QList<Reference> &refs)
{
    QString out;
    QSet<QString> keys;
    for (const Reference &ref : refs) {
        const QString base = keyBase(ref);
        QString key = base;
        for (int n = 0; keys.contains(key); ++n)
            key = base + QString(QChar(u'a' + n % 26)) + (n >= 26 ? QString::number(n / 26) : QString());
        keys.insert(key);
        static const char *const types[] = {"", "article", "incollection", "book", "misc"};
        out += u'@' + QLatin1String(types[int(ref.type)]) + u'{' + key + u',' + u'\n';
        auto field = [&out](const char *name, const QString &value, bool latex = true) {
            if (!value.isEmpty())
                out += QStringLiteral("  %1 = {%2},\n").arg(QLatin1String(name), latex ? TextToLatex(value) : value);
        };
        field("author", personsLatex(ref.authors, ref.authorsEtAl), false);
        field("editor", personsLatex(ref.editors, ref.editorsEtAl), false);
        if (!ref.title.isEmpty())
            out += QStringLiteral("  title = {{%1}},\n").arg(TextToLatex(ref.title));
        field("journal", ref.journal);
        field("booktitle", ref.bookTitle);
        field(ref.type == RefType::Other ? "howpublished" : "publisher", ref.publisher);
        field("volume", ref.volume);
        field("number", ref.issue);
        field("pages",
              ref.lastPage.isEmpty() ? TextToLatex(ref.firstPage)
                                     : TextToLatex(ref.firstPage) + QStringLiteral("--") + TextToLatex(ref.lastPage),
              false);
        field("year", ref.year);
        field("keywords", ref.keywords);
        field("note", ref.note);
        field("url", ref.url, false);
        field("doi", ref.doi, false);
        if (ref.registered.isValid())
            field("timestamp", ref.registered.toString(Qt::ISODate));
        out += QStringLiteral("}\n\n");
    }
    return out.toUtf8();
}

} // namespace tz
