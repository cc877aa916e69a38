#pragma once
// Author and editor lists: the stored canonical form of a typed list, the cut
// of a stored list into persons, and the list written in the name style of an
// output form.
//
// Stored form: persons separated by ",", each person given names or initials
// first ("J.R.Smith"); particles and generation suffixes joined to their word by
// "_" ("A.Van_Der_Berg", "J.Smith_Jr"); "et_al" at the end; names with Japanese
// (double-byte) characters as typed.

#include "core/format/name_rule.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tz {

// A list holds at most this many persons; the 31st and later are dropped.
inline constexpr int kMaxNamePersons = 30;

// One person of a stored list.
struct ParsedPerson
{
    QString stored;          // the person's text as stored, blanks removed at both ends
    QString name;            // initial pieces each followed by "." and then the surname:
                             // "J.R.Smith" (given names written out become initials)
    qsizetype surnameAt = 0; // where the surname begins in name: after the last dot
    bool kept = false;       // holds a double-byte character: written exactly as stored

    // The initial pieces: the texts up to each dot ("J", "R").
    QStringList initials() const;
    // The text after the last dot (may be empty).
    QStringView surname() const { return QStringView(name).sliced(surnameAt); }
};

// A stored list cut into persons: parse once, write in any number of rules.
struct ParsedNameList
{
    QList<ParsedPerson> persons; // at most kMaxNamePersons, in order
    bool etAl = false;           // the list ended in "et_al"
};

// The sort key rule (author sort): every person as "Smith JR", all persons,
// joined by ", ", no upper-casing.
constexpr NameRule SortKeyRule()
{
    return NameRule{8, 8, 5, 1, 2};
}

// The canonical stored form of a typed list; an empty text gives an empty text.
// "et al", the particles, the generation suffixes and " and" are taken as whole
// words only ("R. Srinivasan" keeps its "Sr"); a suffix typed as a list item of
// its own after a comma stays one, for every person of the list.
QString NameListNormalize(const QString &typed);

// Cuts a stored list (the field, trimmed) into persons. A comma just before
// "et_al" ends no person; a run of blanks between given names counts as one.
ParsedNameList NameListParse(const QString &stored);

// The parsed list written by a rule. Empty for an empty list and for an et_al
// value outside 1..14. Rules 3..6 shorten lists of three or more persons (a
// shorter list is written in full); N of "other(N)s" and "other N members"
// counts the persons left out. A list marked et al. ends in the et-al text also
// when it holds one person or Japanese names, except under rule 2
// (first person only) and where a closing word already follows. A punctures
// value outside 1..6 joins like 5 (", " throughout).
QString NameListFormat(const ParsedNameList &list, const NameRule &rule);

// The stored list written for a reference: mode 1 by the author rule, mode 2
// by the editor rule, mode 3 as the sort key (SortKeyRule). Any other mode
// gives an empty text.
QString NameListFormat(const QString &stored, int mode, const NameRule &authorRule, const NameRule &editorRule);

} // namespace tz
