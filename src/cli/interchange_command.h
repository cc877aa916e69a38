#pragma once
// tessellane-cli import, export and doi: references in and out of a bank.

#include "core/interchange/doi_lookup.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>

namespace tz {

extern const char *const kInterchangeUsage;

// What asks the resolver for the reference of a DOI (LookUpDoi).
using DoiLookUp = std::function<DoiAnswer(const QString &doi)>;

// Runs "import", "export" or "doi" (args[1]; "doi" with lookUp). 0 on
// success with the results on out and the import report on err; 2 with
// *error on any refusal or failure.
int RunInterchangeCommand(const QStringList &args, std::FILE *out, std::FILE *err, QString *error,
                          const DoiLookUp &lookUp = {});

// Runs "doi". tessellane-cli starts without Qt Network, whose libraries
// cost a third of its start-up: there the command runs in the program
// beside it, tessellane-doi (the same commands with the DOI look-up), and
// *error stays empty when that program told what failed. 0 on success.
int RunDoiCommand(const QStringList &args, std::FILE *out, std::FILE *err, QString *error);

} // namespace tz
