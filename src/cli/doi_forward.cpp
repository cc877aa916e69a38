// tessellane-cli doi: the command runs in tessellane-doi, the program beside
// tessellane-cli with the same commands and the DOI look-up, so that
// tessellane-cli itself starts without Qt Network.
#include "cli/interchange_command.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

namespace tz {

int RunDoiCommand(const QStringList &args, std::FILE *out, std::FILE *err, QString *error)
{
    const QString program =
        QStandardPaths::findExecutable(QStringLiteral("tessellane-doi"), {QCoreApplication::applicationDirPath()});
    if (program.isEmpty()) {
        *error = QStringLiteral("tessellane-doi, which looks up DOIs, is not in %1")
                     .arg(QCoreApplication::applicationDirPath());
        return 2;
    }
    // Its output and messages go where this program's go, in order.
    std::fflush(out);
    std::fflush(err);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setInputChannelMode(QProcess::ForwardedInputChannel);
    process.start(program, args.mid(1));
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit) {
        *error = QStringLiteral("%1 did not finish (%2)").arg(program, process.errorString());
        return 2;
    }
    return process.exitCode(); // what failed, it told itself
}

} // namespace tz
