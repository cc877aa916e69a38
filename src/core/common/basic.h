#pragma once
// The classic conversions that stored files and typed input rely on.

#include <QString>
#include <QStringView>
#include <optional>

namespace tz {

// Leading numeric value: leading blanks skipped, optional sign, digits, one
// decimal point, optional exponent (E or D); conversion stops at the first
// character that cannot continue the number. No number gives 0.
double Val(QStringView text);

// True when the whole text (surrounding blanks allowed) is one number of the
// form Val reads; an empty text is not numeric.
bool IsNumeric(QStringView text);

// Rounds half to even and converts to a signed 16-bit value; nothing when the
// rounded value does not fit (never wraps).
std::optional<qint16> ToInt16(double value);

// Rounds half to even and clamps into [lo, hi] (NaN gives lo).
int RoundClamp(double value, int lo, int hi);

// Blanks (U+0020) removed at both ends, at the start, at the end.
QString Trim(QStringView text);
QString LTrim(QStringView text);
QString RTrim(QStringView text);

} // namespace tz
