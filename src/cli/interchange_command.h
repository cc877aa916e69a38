#pragma once
// tessellane-cli import, export and doi: references in and out of a bank.

#include <QString>
#include <QStringList>
#include <cstdio>

namespace tz {

extern const char *const kInterchangeUsage;

// Runs "import", "export" or "doi" (args[1]). 0 on success with the results
// on out and the import report on err; 2 with *error on any refusal or
// failure.
int RunInterchangeCommand(const QStringList &args, std::FILE *out, std::FILE *err, QString *error);

} // namespace tz
