#pragma once
// tessellane-cli jpcode: the JP code editor's operations on a bank.

#include <QString>
#include <QStringList>
#include <cstdio>

namespace tz {

// Usage lines of the command, for the program's help.
extern const char *const kJPcodeUsage;

// Runs "jpcode BANKDIR <action>" (args[0] is the program, args[1] "jpcode").
// 0 on success with the results on out (and warnings on err); 2 with *error on
// any refusal or failure.
int RunJPcodeCommand(const QStringList &args, std::FILE *out, std::FILE *err, QString *error);

} // namespace tz
