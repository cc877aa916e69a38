#pragma once
// File names are matched without regard to letter case: a bank copied from
// another system may hold "Record.tzd", "record.tzd" or "RECORD.TZD".

#include <QString>

namespace tz {

// Path of the entry of folder whose name equals name ignoring case (an exact
// match preferred), or an empty text when there is none.
QString FindFileNoCase(const QString &folder, const QString &name);

// The existing entry found by FindFileNoCase, or folder/name with the spelling
// given (for a file about to be created).
QString FilePathNoCase(const QString &folder, const QString &name);

} // namespace tz
