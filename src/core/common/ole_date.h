#pragma once
// Registration dates are OLE Automation dates: days since 1899-12-30 as a
// double, the fraction being the time of day. 0 means "unset".

#include <QDate>

namespace tz {

// The date part; a null QDate for 0 (unset) or a value out of QDate's range.
QDate OleToDate(double ole);
// Whole days; 0 for a null date.
double DateToOle(QDate date);

// Parses a typed date: yy/MM/dd, yyyy/MM/dd, yyyy-MM-dd, or the locale's short
// form. Two-digit years below 50 are 20xx, the others 19xx. Null when not a date.
QDate ParseTypedDate(const QString &text);

} // namespace tz
