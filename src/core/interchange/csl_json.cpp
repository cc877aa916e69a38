#include "core/interchange/csl_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace tz {

namespace {

// A variable that may be a text, a number or (as the registration agencies
// give "container-title") an array of texts.
QString text(const QJsonValue &v)
{
    if (v.isString())
        return v.toString();
    if (v.isDouble())
        return QString::number(v.toDouble());
    if (v.isArray())
        return text(v.toArray().at(0));
    return {};
}

// Titles from the registration agencies carry HTML markup and entities.
QString plain(const QString &s)
{
    static const QRegularExpression tags(
        QStringLiteral("</?(?:i|b|em|strong|sub|sup|sc|span|scp|mml:[a-z]+|jats:[a-z-]+)(?:\\s[^>]*)?>"));
    QString t = s;
    t.remove(tags);
    t.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
    return TidyBlanks(t);
}

void readPersons(const QJsonValue &v, QList<RefPerson> &persons, bool &etAl)
{
    for (const QJsonValue &item : v.toArray()) {
        const QJsonObject o = item.toObject();
        RefPerson p;
        QStringList family;
        for (const char *part : {"dropping-particle", "non-dropping-particle", "family"})
            if (const QString s = plain(text(o.value(QLatin1String(part)))); !s.isEmpty())
                family << s;
        p.family = family.join(u' ');
        p.given = plain(text(o.value(QLatin1String("given"))));
        p.suffix = plain(text(o.value(QLatin1String("suffix"))));
        p.literal = plain(text(o.value(QLatin1String("literal"))));
        if (p.literal.isEmpty() && p.family.isEmpty() && !p.given.isEmpty())
            std::swap(p.literal, p.given); // a name given in one piece
        if (IsEtAlName(p.literal))
            etAl = true;
        else if (!(p.literal + p.family + p.given).isEmpty())
            persons << p;
    }
}

QString yearOf(const QJsonValue &date)
{
    const QJsonObject o = date.toObject();
    const QJsonArray parts = o.value(QLatin1String("date-parts")).toArray().at(0).toArray();
    if (!parts.isEmpty())
        return text(parts.at(0));
    static const QRegularExpression year(QStringLiteral("\\d{4}"));
    for (const char *key : {"raw", "literal"})
        if (const QString s = text(o.value(QLatin1String(key))); !s.isEmpty())
            return year.match(s).captured();
    return {};
}

QDate dateOf(const QJsonValue &date)
{
    const QJsonArray parts = date.toObject().value(QLatin1String("date-parts")).toArray().at(0).toArray();
    if (parts.size() < 3)
        return {};
    return QDate(parts.at(0).toInt(), parts.at(1).toInt(), parts.at(2).toInt());
}

RefType typeOf(const QString &type)
{
    if (type.startsWith(QLatin1String("article")) || type == QLatin1String("journal-article"))
        return RefType::Article;
    if (type == QLatin1String("chapter") || type == QLatin1String("paper-conference") ||
        type == QLatin1String("entry-encyclopedia") || type == QLatin1String("entry-dictionary") ||
        type == QLatin1String("book-chapter"))
        return RefType::Chapter;
    if (type == QLatin1String("book") || type == QLatin1String("monograph") || type == QLatin1String("edited-book"))
        return RefType::Book;
    return RefType::Other;
}

Reference referenceOf(const QJsonObject &o, int line)
{
    Reference ref;
    ref.line = line;
    ref.type = typeOf(text(o.value(QLatin1String("type"))));
    readPersons(o.value(QLatin1String("author")), ref.authors, ref.authorsEtAl);
    readPersons(o.value(QLatin1String("editor")), ref.editors, ref.editorsEtAl);
    ref.title = plain(text(o.value(QLatin1String("title"))));
    const QString container = plain(text(o.value(QLatin1String("container-title"))));
    if (ref.type == RefType::Chapter)
        ref.bookTitle = container;
    else
        ref.journal = container;
    if (ref.type != RefType::Chapter && o.contains(QLatin1String("collection-title")))
        ref.bookTitle = plain(text(o.value(QLatin1String("collection-title"))));
    ref.publisher = plain(text(o.value(QLatin1String("publisher"))));
    ref.volume = plain(text(o.value(QLatin1String("volume"))));
    ref.issue = plain(text(o.value(QLatin1String("issue"))));
    const QString page = text(o.value(QLatin1String("page")));
    static const QRegularExpression range(QStringLiteral("^\\s*(.*?)\\s*[-–]+\\s*(.*?)\\s*$"));
    if (const QRegularExpressionMatch m = range.match(page); m.hasMatch()) {
        ref.firstPage = m.captured(1);
        ref.lastPage = m.captured(2);
    } else {
        ref.firstPage = page.trimmed();
    }
    if (ref.firstPage.isEmpty())
        ref.firstPage = text(o.value(QLatin1String("article-number")));
    for (const char *key : {"issued", "published-print", "published-online", "published", "created"}) {
        ref.year = yearOf(o.value(QLatin1String(key)));
        if (!ref.year.isEmpty())
            break;
    }
    ref.keywords = plain(text(o.value(QLatin1String("keyword"))));
    ref.note = TidyBlanks(text(o.value(QLatin1String("note"))));
    ref.url = text(o.value(QLatin1String("URL"))).trimmed();
    ref.doi = text(o.value(QLatin1String("DOI"))).trimmed();
    ref.registered = dateOf(o.value(QLatin1String("accessed")));

    // What a person would want to see again; the bookkeeping of the agencies
    // (reference lists, counts, licences, links, indexing dates) is left out.
    // Every value of an array is kept ("ISSN": [print, electronic]); of the
    // container titles, those after the one taken.
    static const QStringList kept = {
        "ISSN",   "ISBN",  "publisher-place", "event",   "event-place", "language",       "edition",
        "number", "genre", "medium",          "archive", "abstract",    "original-title", "collection-number",
        "PMID",   "PMCID", "subject"};
    auto all = [&o](const QString &key, qsizetype from) {
        const QJsonValue v = o.value(key);
        if (!v.isArray())
            return from == 0 ? plain(text(v)) : QString();
        QStringList values;
        for (const QJsonValue &item : v.toArray())
            values << plain(text(item));
        return values.mid(from).join(QStringLiteral(", "));
    };
    if (const QString more = all(QStringLiteral("container-title"), 1); !more.isEmpty())
        ref.extras << QStringLiteral("container-title: ") + more;
    for (const QString &key : kept)
        if (const QString value = all(key, 0); !value.isEmpty())
            ref.extras << key + QStringLiteral(": ") + value;
    if (ref.type == RefType::Other) {
        const QString type = text(o.value(QLatin1String("type")));
        if (!type.isEmpty() && type != QLatin1String("document"))
            ref.extras.prepend(QStringLiteral("type: ") + type);
    }
    return ref;
}

QJsonArray personsJson(const QList<RefPerson> &persons, bool etAl)
{
    QJsonArray out;
    for (const RefPerson &p : persons) {
        QJsonObject o;
        if (!p.literal.isEmpty()) {
            o.insert(QLatin1String("literal"), p.literal);
        } else {
            o.insert(QLatin1String("family"), p.family);
            if (!p.given.isEmpty())
                o.insert(QLatin1String("given"), p.given);
            if (!p.suffix.isEmpty())
                o.insert(QLatin1String("suffix"), p.suffix);
        }
        out.append(o);
    }
    if (etAl)
        out.append(QJsonObject{{QLatin1String("literal"), QLatin1String("et al.")}});
    return out;
}

} // namespace

ReadResult ReadCslJson(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(utf8, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        // The offset counts bytes of the UTF-8 text and lies past the blanks
        // that follow the token found wrong (before them for text after the
        // end); the line is that token's.
        qsizetype at = std::clamp<qsizetype>(parseError.offset, 0, utf8.size());
        while (parseError.error != QJsonParseError::GarbageAtEnd && at > 0 &&
               QByteArrayView(" \t\r\n").contains(utf8[at - 1]))
            --at;
        const int line = int(utf8.left(at).count('\n')) + 1;
        return {{}, QStringLiteral("%1 行目: JSON として読めません（%2）").arg(line).arg(parseError.errorString())};
    }
    QJsonArray items;
    if (doc.isObject())
        items.append(doc.object());
    else
        items = doc.array();
    // Where each item starts, for the report: every value of the array (or
    // the one object), lines counted in the same pass.
    QList<int> lines;
    {
        const int itemDepth = doc.isObject() ? 0 : 1;
        int depth = 0;
        int line = 1;
        bool inString = false;
        bool expectItem = itemDepth == 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == u'\n')
                ++line;
            if (inString) {
                if (c == u'\\')
                    ++i;
                else if (c == u'"')
                    inString = false;
                continue;
            }
            if (expectItem && depth == itemDepth && !c.isSpace() && c != u',' && c != u']') {
                lines << line;
                expectItem = false;
            }
            if (c == u'"') {
                inString = true;
            } else if (c == u'{' || c == u'[') {
                if (++depth == 1 && itemDepth == 1)
                    expectItem = true;
            } else if (c == u'}' || c == u']') {
                --depth;
            } else if (c == u',' && depth == itemDepth) {
                expectItem = true;
            }
        }
    }
    ReadResult out;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (!items.at(i).isObject())
            return {{},
                    QStringLiteral("%1 行目: %2 番目の項目が文献（JSON のオブジェクト）ではありません")
                        .arg(lines.value(i, 1))
                        .arg(i + 1)};
        out.refs << referenceOf(items.at(i).toObject(), lines.value(i, 1));
    }
    return out;
}

QByteArray WriteCslJson(const QList<Reference> &refs)
{
    static const char *const types[] = {"", "article-journal", "chapter", "book", "document"};
    QJsonArray items;
    int n = 0;
    for (const Reference &ref : refs) {
        QJsonObject o;
        o.insert(QLatin1String("id"), QStringLiteral("ref%1").arg(++n));
        o.insert(QLatin1String("type"), QLatin1String(types[int(ref.type)]));
        auto put = [&o](const char *key, const QString &value) {
            if (!value.isEmpty())
                o.insert(QLatin1String(key), value);
        };
        if (!ref.authors.isEmpty() || ref.authorsEtAl)
            o.insert(QLatin1String("author"), personsJson(ref.authors, ref.authorsEtAl));
        if (!ref.editors.isEmpty() || ref.editorsEtAl)
            o.insert(QLatin1String("editor"), personsJson(ref.editors, ref.editorsEtAl));
        put("title", ref.title);
        if (ref.type == RefType::Chapter) {
            put("container-title", ref.bookTitle);
        } else {
            put("container-title", ref.journal);
            put("collection-title", ref.bookTitle);
        }
        put("publisher", ref.publisher);
        put("volume", ref.volume);
        put("issue", ref.issue);
        put("page", ref.lastPage.isEmpty() ? ref.firstPage : ref.firstPage + u'-' + ref.lastPage);
        if (!ref.year.isEmpty())
            o.insert(QLatin1String("issued"),
                     QJsonObject{{QLatin1String("date-parts"), QJsonArray{QJsonArray{ref.year.toInt()}}}});
        put("keyword", ref.keywords);
        put("note", ref.note);
        put("URL", ref.url);
        put("DOI", ref.doi);
        if (ref.registered.isValid())
            o.insert(QLatin1String("accessed"),
                     QJsonObject{{QLatin1String("date-parts"),
                                  QJsonArray{QJsonArray{ref.registered.year(), ref.registered.month(),
                                                        ref.registered.day()}}}});
        items.append(o);
    }
    return QJsonDocument(items).toJson(QJsonDocument::Indented);
}

} // namespace tz
