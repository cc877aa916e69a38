#include "core/interchange/ris.h"

#include "core/common/basic.h"
#include "core/common/text.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace tz {

namespace {

// The tags of the format's published description.
const QSet<QString> &knownTags()
{
    static const QSet<QString> tags = [] {
        QSet<QString> t;
        for (const char *tag :
             {"TY", "ER", "A1", "A2", "A3", "A4", "AB", "AD", "AN", "AU", "AV", "BT", "C1", "C2", "C3", "C4",
              "C5", "C6", "C7", "C8", "CA", "CN", "CP", "CT", "CY", "DA", "DB", "DO", "DP", "ED", "EP", "ET",
              "ID", "IS", "J1", "J2", "JA", "JF", "JO", "KW", "L1", "L2", "L3", "L4", "LA", "LB", "LK", "M1",
              "M2", "M3", "N1", "N2", "NV", "OP", "PB", "PP", "PY", "RI", "RN", "RP", "SE", "SN", "SP", "ST",
              "T1", "T2", "T3", "TA", "TI", "TT", "U1", "U2", "U3", "U4", "U5", "UR", "VL", "VO", "Y1", "Y2"})
            t.insert(QString::fromLatin1(tag));
        return t;
    }();
    return tags;
}

// Tags whose long text some programs wrap onto lines without a tag.
bool continues(const QString &tag)
{
    return tag == QLatin1String("AB") || tag == QLatin1String("N1") || tag == QLatin1String("N2");
}

RefType typeOf(const QString &ty)
{
    static const QStringList articles = {"JOUR", "JFULL", "EJOUR", "MGZN", "NEWS", "ABST", "INPR"};
    static const QStringList chapters = {"CHAP", "ECHAP", "CPAPER", "CONF"};
    static const QStringList books = {"BOOK", "EBOOK", "EDBOOK", "CLASSIC"};
    const QString t = ty.trimmed().toUpper();
    if (articles.contains(t))
        return RefType::Article;
    if (chapters.contains(t))
        return RefType::Chapter;
    if (books.contains(t))
        return RefType::Book;
    return RefType::Other;
}

QString yearOf(const QString &date)
{
    static const QRegularExpression year(QStringLiteral("\\d{4}"));
    return year.match(date).captured();
}

// One entry's tag lines, in order.
struct Entry
{
    int line = 0;
    QList<std::pair<QString, QString>> fields;

    QStringList all(std::initializer_list<const char *> tags) const
    {
        QStringList out;
        for (const auto &[tag, value] : fields)
            for (const char *t : tags)
                if (tag == QLatin1String(t) && !value.isEmpty())
                    out << value;
        return out;
    }
    QString first(std::initializer_list<const char *> tags) const
    {
        for (const char *t : tags)
            for (const auto &[tag, value] : fields)
                if (tag == QLatin1String(t) && !value.isEmpty())
                    return value;
        return {};
    }
};

Reference referenceOf(const Entry &e)
{
    Reference ref;
    ref.line = e.line;
    ref.type = typeOf(e.first({"TY"}));
    for (const QString &name : e.all({"AU", "A1"})) {
        if (IsEtAlName(name))
            ref.authorsEtAl = true;
        else
            ref.authors << PersonFromText(name);
    }
    for (const QString &name : e.all({"A2", "ED"})) {
        if (IsEtAlName(name))
            ref.editorsEtAl = true;
        else
            ref.editors << PersonFromText(name);
    }
    ref.title = e.first({"TI", "T1", "CT"});
    const QString bt = e.first({"BT"});
    const QString t2 = e.first({"T2"});
    switch (ref.type) {
    case RefType::Article:
    case RefType::Other:
        ref.journal = e.first({"T2", "JF", "JO", "JA", "J2", "J1"});
        ref.bookTitle = bt;
        break;
    case RefType::Chapter:
        ref.bookTitle = bt.isEmpty() ? t2 : bt;
        if (!bt.isEmpty() && !t2.isEmpty() && t2 != bt)
            ref.extras << QStringLiteral("T2: ") + t2;
        break;
    case RefType::Book:
        if (ref.title.isEmpty())
            ref.title = bt;
        else
            ref.bookTitle = bt;
        if (!t2.isEmpty())
            ref.extras << QStringLiteral("T2: ") + t2;
        break;
    }
    ref.publisher = e.first({"PB"});
    ref.volume = e.first({"VL", "VO"});
    ref.issue = e.first({"IS", "CP"});
    ref.firstPage = e.first({"SP"});
    ref.lastPage = e.first({"EP"});
    if (ref.lastPage.isEmpty()) {
        // "SP  - 132-148" holds the whole range.
        static const QRegularExpression range(QStringLiteral("^\\s*([^-–]+?)\\s*[-–]+\\s*(.+?)\\s*$"));
        if (const QRegularExpressionMatch m = range.match(ref.firstPage); m.hasMatch()) {
            ref.firstPage = m.captured(1);
            ref.lastPage = m.captured(2);
        }
    }
    const QString py = e.first({"PY", "Y1"});
    ref.year = yearOf(py.isEmpty() ? e.first({"DA"}) : py);
    ref.keywords = e.all({"KW"}).join(QStringLiteral("; "));
    ref.note = e.first({"N1"});
    ref.url = e.first({"UR", "L2"});
    ref.doi = e.first({"DO"});
    const QString y2 = e.first({"Y2"});
    ref.registered = QDate::fromString(y2.left(10).replace(u'/', u'-'), Qt::ISODate);

    // Every other value has no field of its own; a second value of a field
    // that takes one is reported too. A value counts as taken only under a
    // tag of the field it was taken for.
    const std::pair<QStringList, QString> taken[] = {
        {{"TY"}, e.first({"TY"})},
        {{"TI", "T1", "CT", "BT"}, ref.title},
        {{"BT"}, bt},
        {{"T2"}, t2},
        {{"T2", "JF", "JO", "JA", "J2", "J1"}, ref.journal},
        {{"BT", "T2"}, ref.bookTitle},
        {{"PB"}, ref.publisher},
        {{"VL", "VO"}, ref.volume},
        {{"IS", "CP"}, ref.issue},
        {{"SP"}, e.first({"SP"})},
        {{"EP"}, ref.lastPage},
        {{"PY", "Y1"}, py},
        {{"N1"}, ref.note},
        {{"UR", "L2"}, ref.url},
        {{"DO"}, ref.doi},
        {{"Y2"}, y2},
    };
    static const QSet<QString> lists = {"AU", "A1", "A2", "ED", "KW", "ID"};
    for (const auto &field : e.fields) {
        const QString &tag = field.first;
        const QString &value = field.second;
        if (value.isEmpty() || lists.contains(tag))
            continue;
        if (std::any_of(std::cbegin(taken), std::cend(taken),
                        [&field](const auto &t) { return t.first.contains(field.first) && t.second == field.second; }))
            continue;
        if (tag == QLatin1String("DA") && yearOf(value) == ref.year)
            continue; // only the year again
        ref.extras << tag + QStringLiteral(": ") + value;
    }
    return ref;
}

} // namespace

ReadResult ReadRis(const QString &text)
{
    ReadResult out;
    static const QRegularExpression tagLine(QStringLiteral("^([A-Z][A-Z0-9]) {1,2}-(?: (.*)|\\s*)$"));
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    std::optional<Entry> entry;
    bool seenTag = false;
    QString lastTag;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNo = int(i) + 1;
        QString line = lines[i];
        if (i == 0 && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        if (line.trimmed().isEmpty())
            continue;
        const QRegularExpressionMatch m = tagLine.match(line);
        if (!m.hasMatch()) {
            if (entry && continues(lastTag)) {
                entry->fields.last().second += u' ' + line.trimmed();
                continue;
            }
            if (!entry && out.refs.isEmpty() && !seenTag)
                continue; // a database's header lines ("Provider: ...") before the first entry
            out.error = QStringLiteral("%1 行目: RIS のタグ行（「TY  - 」の形）ではありません").arg(lineNo);
            return {{}, out.error};
        }
        seenTag = true;
        const QString tag = m.captured(1);
        const QString value = m.captured(2).trimmed();
        if (!knownTags().contains(tag)) {
            out.error = QStringLiteral("%1 行目: RIS にないタグ「%2」です").arg(lineNo).arg(tag);
            return {{}, out.error};
        }
        if (tag == QLatin1String("TY")) {
            if (entry) {
                out.error = QStringLiteral("%1 行目: %2 行目からの文献が「ER」で終わらないうちに次の「TY」が来ました")
                                .arg(lineNo)
                                .arg(entry->line);
                return {{}, out.error};
            }
            entry = Entry{lineNo, {}};
        } else if (!entry) {
            out.error = QStringLiteral("%1 行目: 「TY」より前にタグ「%2」があります").arg(lineNo).arg(tag);
            return {{}, out.error};
        }
        if (tag == QLatin1String("ER")) {
            out.refs << referenceOf(*entry);
            entry.reset();
            lastTag.clear();
            continue;
        }
        entry->fields.append({tag, value});
        lastTag = tag;
    }
    if (entry) {
        out.error = QStringLiteral("%1 行目: この行から始まる文献が「ER」で終わっていません").arg(entry->line);
        return {{}, out.error};
    }
    return out;
}

namespace {

void put(QString &out, const char *tag, const QString &value)
{
    if (value.isEmpty())
        return;
    out += QLatin1String(tag) + QStringLiteral("  - ") + value + QStringLiteral("\r\n");
}

const char *typeTag(RefType type)
{
    switch (type) {
    case RefType::Article:
        return "JOUR";
    case RefType::Chapter:
        return "CHAP";
    case RefType::Book:
        return "BOOK";
    case RefType::Other:
        break;
    }
    return "GEN";
}

} // namespace

QByteArray WriteRis(const QList<Reference> &refs)
{
    QString out;
    for (const Reference &ref : refs) {
        put(out, "TY", QLatin1String(typeTag(ref.type)));
        for (const RefPerson &p : ref.authors)
            put(out, "AU", PersonToText(p));
        if (ref.authorsEtAl)
            put(out, "AU", QStringLiteral("et al."));
        for (const RefPerson &p : ref.editors)
            put(out, "A2", PersonToText(p));
        if (ref.editorsEtAl)
            put(out, "A2", QStringLiteral("et al."));
        put(out, "TI", ref.title);
        if (ref.type == RefType::Chapter) {
            put(out, "T2", ref.bookTitle);
        } else {
            put(out, "T2", ref.journal);
            put(out, "BT", ref.bookTitle);
        }
        put(out, "PB", ref.publisher);
        put(out, "VL", ref.volume);
        put(out, "IS", ref.issue);
        put(out, "SP", ref.firstPage);
        put(out, "EP", ref.lastPage);
        put(out, "PY", ref.year);
        // Keywords one per line where the text is a list of them.
        const QStringList keywords = ref.keywords.split(QStringLiteral("; "));
        if (keywords.size() > 1 && !keywords.contains(QString()) && !ref.keywords.contains(u'\n'))
            for (const QString &k : keywords)
                put(out, "KW", k);
        else
            put(out, "KW", ref.keywords);
        put(out, "N1", ref.note);
        put(out, "UR", ref.url);
        put(out, "DO", ref.doi);
        if (ref.registered.isValid())
            put(out, "Y2", ref.registered.toString(QStringLiteral("yyyy/MM/dd")));
        out += QStringLiteral("ER  - \r\n\r\n");
    }
    return out.toUtf8();
}

} // namespace tz
