#pragma once
// The search kinds (`SearchItem`), their names in the search window's kind box
// and on the command line, and the search menu that both the record card and
// the search window carry.

#include <QList>
#include <QString>

namespace tz {

enum SearchKind : int {
    KindFreeKeyword = 0,
    KindMemo = 1,
    KindAuthorEditor = 2,
    KindTitleKeyword = 3,
    KindJPcode = 4,
    KindYear = 5,
    KindRecord = 6,
    KindBlank = 7,
    KindDouble = 8,
    KindSimilar = 9,
    KindSimilarAuto = 10,
    KindCurrent = 11,
    KindLinked = 12,
};

// Whether a kind searches for key words or numbers. The others (blank,
// double-booked and similar records) need no key: chosen from a menu, they
// are searched at once.
inline bool KindNeedsKey(int kind)
{
    return (kind >= KindFreeKeyword && kind <= KindRecord) || kind == KindCurrent || kind == KindLinked;
}

// Texts of the kind box for the searches the card starts.
inline const QString kKindSimilar = QStringLiteral("Similar Record");
inline const QString kKindCurrent = QStringLiteral("Current record");
inline const QString kKindLinked = QStringLiteral("Linked record");

// One entry of the search menu: the kinds 0..8, in menu order.
struct SearchKindItem
{
    SearchKind kind;
    QString name;          // the kind box's entry, also the command line's name
    const char *menuName;  // the menu item's object name in both windows
    QString cardCaption;   // the card's search menu
    QString searchCaption; // the search window's search menu
    int help;              // help context of the menu item
    bool separatorBefore;  // a separator stands before the item
};

const QList<SearchKindItem> &SearchKindItems();

// The kind box's entries 0..8.
QStringList SearchKindNames();

// A kind from its name (any letter case) or its number 0..12; -1 for neither.
int SearchKindFromText(const QString &text);

} // namespace tz
