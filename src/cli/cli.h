#pragma once
// The commands of tessellane-cli, callable without starting a process.

#include <QStringList>
#include <cstdio>

namespace tz {

// Runs the command line args (args[0] is the program) and returns the exit
// status: 0 on success, 2 on any failure, whose reason then goes to err as
// "tessellane-cli: <reason>". Results go to out.
int RunCli(const QStringList &args, std::FILE *out, std::FILE *err);

} // namespace tz
