#include "core/interchange/reference.h"

#include "core/card/record_check.h"
#include "core/common/basic.h"
#include "core/common/field_text.h"
#include "core/common/ole_date.h"
#include "core/common/storable_text.h"
#include "core/common/text.h"
#include "core/format/name_list.h"
#include "core/store/jpcode.h"

#include <QRegularExpression>

namespace tz {

namespace {

// The generation suffixes the stored form joins to the family name by "_".
bool isSuffix(const QString &word)
{
    static const QStringList suffixes = {QStringLiteral("Jr"),  QStringLiteral("Sr"), QStringLiteral("II"),
                                         QStringLiteral("III"), QStringLiteral("IV"), QStringLiteral("2nd"),
                                         QStringLiteral("3rd"), QStringLiteral("3d")};
    QString w = word;
    if (w.endsWith(u'.'))
        w.chop(1);
    return suffixes.contains(w, Qt::CaseInsensitive);
}

QString suffixWord(const QString &word)
{
    return word.endsWith(u'.') ? word.chopped(1) : word;
}

// "J.D." is written "J. D." for the other programs.
QString spacedInitials(const QString &given)
{
    QString out;
    for (qsizetype i = 0; i < given.size(); ++i) {
        out += given[i];
        if (given[i] == u'.' && i + 1 < given.size() && given[i + 1] != u' ')
            out += u' ';
    }
    return out;
}

QString withoutEndMark(const QString &title)
{
    if (title.endsWith(u'.') && TitlePeriod(title.chopped(1)) == title)
        return title.chopped(1);
    return title;
}

bool isParticle(const QString &word)
{
    return !word.isEmpty() && word[0].isLower();
}

// One field made storable: code page 932's closest forms, no line breaks,
// cut to `width` bytes. What happened goes to notes under the field's label.
// Control characters (a JSON "\u0000", a stray form feed) are no text.
QString withoutControls(const QString &text)
{
    QString out = text;
    out.removeIf(
        [](QChar c) { return c.category() == QChar::Other_Control && c != u'\n' && c != u'\r' && c != u'\t'; });
    return out;
}

QString fitField(const QString &text, int width, const QString &label, QStringList &notes)
{
    const StorableText storable = MakeStorable(WithoutLineBreaks(withoutControls(text)));
    if (const QString message = StorableMessage(storable); !message.isEmpty())
        notes << label + QStringLiteral(": ") + message;
    const QString fitted = RTrim(FitBytes(storable.text, width));
    if (fitted.size() < RTrim(storable.text).size())
        notes << QStringLiteral("%1: %2 バイトを超える部分を切りました").arg(label).arg(width);
    return fitted;
}

QString storedList(const QList<RefPerson> &persons, bool etAl, int width, const QString &label, QStringList &notes)
{
    QList<RefPerson> kept = persons;
    bool endsEtAl = etAl;
    for (RefPerson &p : kept)
        for (QString *part : {&p.family, &p.given, &p.suffix, &p.literal})
            *part = withoutControls(*part);
    QString stored = StoredFromPersons(kept, endsEtAl);
    const StorableText storable = MakeStorable(stored);
    if (const QString message = StorableMessage(storable); !message.isEmpty())
        notes << label + QStringLiteral(": ") + message;
    stored = storable.text;
    // A list too long for its field keeps the persons that fit and ends in
    // "et al.", rather than ending inside a name.
    const qsizetype before = kept.size();
    while (!kept.isEmpty() && FitBytes(stored, width) != stored) {
        kept.removeLast();
        endsEtAl = true;
        stored = MakeStorable(StoredFromPersons(kept, endsEtAl)).text;
    }
    if (kept.size() < before)
        notes
            << QStringLiteral("%1: %2 名のうち %3 名までにしました（et al.）").arg(label).arg(before).arg(kept.size());
    return FitBytes(stored, width);
}

} // namespace

QString TidyBlanks(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (!text[i].isSpace()) {
            out += text[i++];
            continue;
        }
        const qsizetype start = i;
        bool plain = true;
        for (; i < text.size() && text[i].isSpace(); ++i)
            if (text[i] != u' ')
                plain = false;
        out += plain ? text.mid(start, i - start) : QStringLiteral(" ");
    }
    return out.trimmed();
}

bool IsEtAlName(const QString &text)
{
    QString t = text.simplified().toLower();
    t.remove(u'.');
    t.replace(u'_', u' ');
    return t == QLatin1String("others") || t == QLatin1String("et al") || t == QLatin1String("etal") ||
           t == QStringLiteral("他") || t == QStringLiteral("ほか") || t == QStringLiteral("等");
}

RefPerson PersonFromText(const QString &text)
{
    RefPerson p;
    const QString t = text.simplified();
    if (t.contains(u',')) {
        const QStringList parts = t.split(u',');
        p.family = parts.value(0).trimmed();
        p.given = parts.value(1).trimmed();
        if (parts.size() > 2)
            p.suffix = suffixWord(parts.mid(2).join(u' ').trimmed());
        return p;
    }
    QStringList words = t.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return p;
    if (HasDoubleByte(t)) {
        // Japanese names are written family name first.
        p.family = words.takeFirst();
        p.given = words.join(u' ');
        if (p.given.isEmpty()) {
            p.literal = p.family;
            p.family.clear();
        }
        return p;
    }
    if (words.size() > 1 && isSuffix(words.last()))
        p.suffix = suffixWord(words.takeLast());
    QStringList family{words.takeLast()};
    while (words.size() > 1 && isParticle(words.last()))
        family.prepend(words.takeLast());
    p.family = family.join(u' ');
    p.given = words.join(u' ');
    return p;
}

QString PersonToText(const RefPerson &person)
{
    if (!person.literal.isEmpty())
        return person.literal;
    QString text = person.family;
    if (!person.given.isEmpty())
        text += QStringLiteral(", ") + person.given;
    if (!person.suffix.isEmpty())
        text += QStringLiteral(", ") + person.suffix;
    return text;
}

QList<RefPerson> PersonsFromStored(const QString &stored, bool *etAl)
{
    const ParsedNameList list = NameListParse(Trim(stored));
    if (etAl)
        *etAl = list.etAl;
    QList<RefPerson> persons;
    for (const ParsedPerson &pp : list.persons) {
        const QString &s = pp.stored;
        RefPerson p;
        if (pp.kept) {
            const qsizetype blank = s.indexOf(u' ');
            if (blank < 0) {
                p.literal = s;
            } else {
                p.family = s.left(blank);
                p.given = s.mid(blank + 1).trimmed();
            }
            persons << p;
            continue;
        }
        const qsizetype at = std::max(s.lastIndexOf(u'.'), s.lastIndexOf(u' ')) + 1;
        QStringList pieces = s.mid(at).split(u'_', Qt::SkipEmptyParts);
        if (pieces.size() > 1 && isSuffix(pieces.last()))
            p.suffix = pieces.takeLast();
        p.family = pieces.join(u' ');
        p.given = spacedInitials(s.left(at).trimmed());
        persons << p;
    }
    return persons;
}

QString StoredFromPersons(const QList<RefPerson> &persons, bool etAl)
{
    QStringList typed;
    for (const RefPerson &p : persons) {
        if (!p.literal.isEmpty()) {
            typed << QString(p.literal).replace(u',', u' ');
            continue;
        }
        if (p.family.isEmpty() && p.given.isEmpty())
            continue;
        if (HasDoubleByte(p.family + p.given)) {
            typed << Trim(p.family + u' ' + p.given);
            continue;
        }
        QString family = p.family.simplified().replace(u' ', u'_');
        if (!p.suffix.isEmpty())
            family += u'_' + suffixWord(p.suffix);
        typed << Trim(p.given.simplified() + u' ' + family);
    }
    // "et al" follows the last person as it is typed on the card
    // ("F.Faloona et_al"), not as a person of its own.
    QString list = typed.join(QStringLiteral(", "));
    if (etAl && !typed.isEmpty())
        list += QStringLiteral(" et al");
    return NameListNormalize(list);
}

QString BareDoi(const QString &text)
{
    QString t = text.trimmed();
    static const QRegularExpression prefix(QStringLiteral("^(?:doi:\\s*|https?://(?:dx\\.)?doi\\.org/)"),
                                           QRegularExpression::CaseInsensitiveOption);
    t.remove(prefix);
    return t.trimmed();
}

Reference ReferenceFromRecord(const Record &rec, const PdfEntry &pdf, const QString &jpName)
{
    Reference ref;
    ref.type = rec.Style >= 1 && rec.Style <= 3 ? RefType(rec.Style) : RefType::Other;
    ref.authors = PersonsFromStored(rec.Author, &ref.authorsEtAl);
    ref.editors = PersonsFromStored(rec.Editor, &ref.editorsEtAl);
    // The stored end marks of the titles are the program's, not the titles'.
    ref.title = withoutEndMark(rec.Title);
    if (ref.type == RefType::Article)
        ref.journal = jpName;
    else
        ref.publisher = jpName;
    ref.bookTitle = withoutEndMark(rec.Book);
    static const QRegularExpression volumeIssue(QStringLiteral("^(.*[^ ])\\(([^()]+)\\)$"));
    if (const QRegularExpressionMatch m = volumeIssue.match(rec.Volume); m.hasMatch()) {
        ref.volume = m.captured(1);
        ref.issue = m.captured(2);
    } else {
        ref.volume = rec.Volume;
    }
    ref.firstPage = rec.Page1;
    ref.lastPage = rec.Page2;
    if (rec.Year != 0)
        ref.year = QString::number(rec.Year);
    ref.keywords = rec.Keyword;
    ref.note = rec.Memo;
    ref.url = pdf.URL;
    ref.doi = pdf.DOI;
    ref.registered = OleToDate(rec.RegDate);
    return ref;
}

QString ReferenceSourceName(const Reference &ref)
{
    if (ref.type == RefType::Article)
        return ref.journal;
    if (ref.type == RefType::Other && ref.publisher.isEmpty())
        return ref.journal;
    return ref.publisher;
}

ImportedRecord RecordFromReference(const Reference &ref, QDate today)
{
    ImportedRecord out;
    Record &rec = out.rec;
    QStringList &notes = out.notes;
    rec.Style = qint16(ref.type);
    rec.Author = storedList(ref.authors, ref.authorsEtAl, RecordLayout::Author.width, QStringLiteral("Author"), notes);
    rec.Editor = storedList(ref.editors, ref.editorsEtAl, RecordLayout::Editor.width, QStringLiteral("Editor"), notes);
    // Room is left for the end mark the card's check adds.
    rec.Title = fitField(ref.title, RecordLayout::Title.width - 1, QStringLiteral("Title"), notes);
    rec.Book = fitField(ref.bookTitle, RecordLayout::Book.width - 1, QStringLiteral("Book"), notes);

    QString volume = Trim(ref.volume);
    if (!Trim(ref.issue).isEmpty())
        volume += u'(' + Trim(ref.issue) + u')';
    rec.Volume = fitField(volume, RecordLayout::Volume.width, QStringLiteral("vol"), notes);
    rec.Page1 = fitField(Trim(ref.firstPage), RecordLayout::Page1.width, QStringLiteral("pp."), notes);
    QString last = Trim(ref.lastPage);
    if (!rec.Page1.isEmpty() && !last.isEmpty())
        last = PageEndFill(rec.Page1, last);
    rec.Page2 = fitField(last, RecordLayout::Page2.width, QStringLiteral("pp."), notes);

    const QString year = Trim(ref.year);
    if (!year.isEmpty()) {
        const double value = Val(year);
        if (value >= 1 && value <= 9999)
            rec.Year = qint16(value);
        else
            notes << QStringLiteral("Year: 「%1」は年として取り込めません").arg(year);
    }
    rec.Keyword = fitField(ref.keywords, RecordLayout::Keyword.width, QStringLiteral("Keyword"), notes);

    // The memo takes the note and then what has no field of its own, as far
    // as it has room; the rest is reported. A record names one source (an
    // article its journal, anything else its publisher, failing that its
    // journal); a journal or publisher besides it is such a field.
    QStringList extras = ref.extras;
    const QString source = ReferenceSourceName(ref);
    if (!Trim(ref.publisher).isEmpty() && ref.publisher != source)
        extras.prepend(QStringLiteral("Publisher: ") + Trim(ref.publisher));
    if (!Trim(ref.journal).isEmpty() && ref.journal != source)
        extras.prepend(QStringLiteral("Journal: ") + Trim(ref.journal));
    QString memo = fitField(ref.note, RecordLayout::Memo.width, QStringLiteral("Memo"), notes);
    for (const QString &extra : extras) {
        const QString storable = MakeStorable(WithoutLineBreaks(withoutControls(extra))).text.simplified();
        const QString joined = memo.isEmpty() ? storable : memo + QStringLiteral("; ") + storable;
        if (FitBytes(joined, RecordLayout::Memo.width) == joined) {
            memo = joined;
            notes << QStringLiteral("Memo に入れました: %1").arg(storable);
        } else {
            notes << QStringLiteral("入れる欄がないので取り込みませんでした: %1").arg(storable);
        }
    }
    rec.Memo = memo;
    rec.JPcode = 0;
    rec.RegDate = DateToOle(ref.registered.isValid() ? ref.registered : today);

    // Each box as the card's field check leaves it, so that showing and
    // saving the record on the card changes nothing.
    const RecX untouched;
    const RecCheckContext ctx{untouched, QString(), rec.Page1};
    for (auto [box, field] : {std::pair{CardBox::Memo, &rec.Memo},
                              {CardBox::Author, &rec.Author},
                              {CardBox::Title, &rec.Title},
                              {CardBox::Editor, &rec.Editor},
                              {CardBox::Book, &rec.Book},
                              {CardBox::Volume, &rec.Volume},
                              {CardBox::Page1, &rec.Page1},
                              {CardBox::Page2, &rec.Page2},
                              {CardBox::Keyword, &rec.Keyword}})
        *field = Trim(P3RecCheck(box, *field, ctx).text);

    out.jpName = fitField(ReferenceSourceName(ref), kJPnameMax * 2, QStringLiteral("JP code"), notes);
    out.jpName = Trim(out.jpName.left(kJPnameMax));
    out.pdf.URL = fitField(Trim(ref.url), kPdfFieldWidth, QStringLiteral("URL"), notes);
    out.pdf.DOI = fitField(BareDoi(ref.doi), kPdfFieldWidth, QStringLiteral("DOI"), notes);
    return out;
}

} // namespace tz
