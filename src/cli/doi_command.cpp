// tessellane-cli doi with the DOI look-up in the program's own process
// (tessellane-doi, and the tests that run the commands in their process).
#include "cli/interchange_command.h"

#include "core/interchange/doi_lookup.h"

namespace tz {

int RunDoiCommand(const QStringList &args, std::FILE *out, std::FILE *err, QString *error)
{
    return RunInterchangeCommand(args, out, err, error, [](const QString &doi) { return LookUpDoi(doi); });
}

} // namespace tz
