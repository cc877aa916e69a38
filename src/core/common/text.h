#pragma once
// Shared text routines. Positions are 1-based, as the rest of the program counts
// them; 0 means "not found".

#include <QList>
#include <QString>

namespace tz {

// text unchanged when it already ends with suffix, else text + suffix.
QString AddSuffix(const QString &text, const QString &suffix);

// text without one trailing occurrence of suffix, when it ends with it.
QString StripSuffix(const QString &text, const QString &suffix);

// 1-based position of the first occurrence of sep in text at or after start,
// compared exactly, or 0. A hit after a character that encodes to a single
// code page 932 lead byte (128..159, 224..255) is refused: the result is then 0
// and the search does not go on.
int FindSep(int start, const QString &text, const QString &sep);

// 1-based position of the last occurrence of ch in text, or 0; found by
// repeating FindSep from one past the previous hit.
int LastPos(const QString &text, const QString &ch);

// Every occurrence of sought replaced by replacement, the search starting again
// at the first character after each single replacement (so ",,," with ",," -> ","
// becomes ","). An empty sought text changes nothing.
QString ReplaceAll(const QString &text, const QString &sought, const QString &replacement);

// Line numbers for a message: "3, 5, 8", the first ten and then how many
// more ("... ほか 4 行").
QString LineNumberList(const QList<int> &lines);

// 1 when some character of text takes two bytes in code page 932, else 0.
int HasDoubleByte(const QString &text);

} // namespace tz
