#pragma once
// Normalisers of typed field text shared by the record check, query parsing
// and the link table: title end marks, abbreviated last pages, link lists.

#include <QString>

namespace tz {

// Empty for a blank text; the text itself when it ends in one of
// ? ! . ？ ！ 。 ．; otherwise the text followed by ".".
QString TitlePeriod(const QString &text);

// The completed last page b of a range starting at page a ("123", "45" gives
// "145"; "S123", "S130" gives "S130"). A last page that is no number ("ff",
// "e123") and page texts too long to be numbers of a page (more than 9
// digits) are left as typed.
QString PageEndFill(const QString &a, const QString &b);

// Canonical link list of record r from typed text s: ascending distinct record
// numbers within 1..recCount, without r, joined by ",". Ranges ("3-6", "120-5")
// are expanded; a range whose end is below its start ("5-3") gives nothing; at
// most maxHits numbers are taken from the text.
QString LinkListNorm(int r, const QString &s, int recCount, int maxHits);

} // namespace tz
