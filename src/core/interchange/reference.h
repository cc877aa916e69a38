#pragma once
// A literature reference as the interchange formats (RIS, BibTeX, CSL-JSON)
// see it, and its passage to and from a record of the bank.
//
// Every field of a record has a place here, so a record written out and read
// back gives the same record: the style as the type, the author and editor
// lists person by person, the title without its stored end mark, the journal
// or publisher by name (the record holds only its JP code), the volume split
// into volume and issue ("12(3)"), the pages, the year, the keywords, the memo
// as the note, the registration date, and the URL and DOI of the URL/DOI table.

#include "core/store/pdf_table.h"
#include "core/store/record.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace tz {

// The record styles: 1 journal article, 2 chapter in an edited book,
// 3 book, 4 anything else.
enum class RefType { Article = 1, Chapter = 2, Book = 3, Other = 4 };

// One person. Western names are split (family with its particles, given names
// or initials, generation suffix); a name that is not split (Japanese names
// without a blank, an institution) is literal.
struct RefPerson
{
    QString family;
    QString given;
    QString suffix;
    QString literal;

    bool operator==(const RefPerson &) const = default;
};

struct Reference
{
    RefType type = RefType::Article;
    QList<RefPerson> authors;
    bool authorsEtAl = false;
    QList<RefPerson> editors;
    bool editorsEtAl = false;
    QString title;
    QString journal;   // the journal of an article
    QString bookTitle; // the book that holds a chapter
    QString publisher; // the publisher of a chapter or a book, the source of anything else
    QString volume;
    QString issue;
    QString firstPage;
    QString lastPage;
    QString year; // as written; the record takes its number
    QString keywords;
    QString note;
    QString url;
    QString doi;
    QDate registered; // null: the day of the import

    // Fields the record has no place for, as "label: value"; the import puts
    // them into the memo where it has room and reports the rest.
    QStringList extras;
    int line = 0; // where the entry starts in its file (1-based)
};

// What a reader makes of a whole file.
struct ReadResult
{
    QList<Reference> refs;
    QString error; // empty when the whole file was read; names the line otherwise
};

// The reference of a stored record; jpName is the name of its JP code.
Reference ReferenceFromRecord(const Record &rec, const PdfEntry &pdf, const QString &jpName);

// The JP code name the reference refers to: the journal of an article, the
// publisher of anything else.
QString ReferenceSourceName(const Reference &ref);

// A reference made into a record (JP code not yet assigned) as the card would
// store it typed: names in the stored form, the title with its end mark, the
// last page completed, characters code page 932 cannot hold replaced by their
// closest form, every text cut to its field. `notes` says, in the program's
// words, what was changed, cut or left out.
struct ImportedRecord
{
    Record rec;
    PdfEntry pdf;
    QString jpName;
    QStringList notes;
};
ImportedRecord RecordFromReference(const Reference &ref, QDate today);

// A DOI in its bare form "10.xxxx/yyy": blanks, a "doi:" prefix and a
// "https://doi.org/" (or dx.doi.org, http) address removed.
QString BareDoi(const QString &text);

// A person list written as people type it on the card, and back.
QList<RefPerson> PersonsFromStored(const QString &stored, bool *etAl);
QString StoredFromPersons(const QList<RefPerson> &persons, bool etAl);

// A person written "Family, Given, Suffix" (RIS and BibTeX order) or
// "Given Family" parsed into its parts.
RefPerson PersonFromText(const QString &text);
// "Family, Given" with ", Suffix" when there is one; the literal as it is.
QString PersonToText(const RefPerson &person);

// Person names that stand for "and others".
bool IsEtAlName(const QString &text);

// Text read from a file with its line breaks and tabs as single blanks (a
// run of blanks that holds one becomes one blank) and no blanks at either
// end; runs of plain blanks stay as they are, as the card keeps them.
QString TidyBlanks(const QString &text);

} // namespace tz
