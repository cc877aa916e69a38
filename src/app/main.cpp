// The desktop program.

#include "gui/application.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return tz::RunProgram();
}
