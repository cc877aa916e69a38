#pragma once
// A bank as a whole: the folder NAME.bnk and its four files.

#include <QDate>
#include <QString>

namespace tz {

// Creates the bank folder (with its parents) holding one blank record, the
// default JP code table, an empty link table and a blank URL/DOI entry. False
// with *error naming the path and the system's reason; a folder this call made
// is removed again on failure.
bool CreateBank(const QString &bankPath, QDate today, QString *error);

// True when the folder holds a record file (found without regard to case).
bool IsBank(const QString &bankPath);

} // namespace tz
