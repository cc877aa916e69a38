// tessellane-cli: the bank and the reference-list engine without windows.
#include "cli/cli.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return tz::RunCli(QCoreApplication::arguments(), stdout, stderr);
}
