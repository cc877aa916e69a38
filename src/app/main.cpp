// The desktop program.

#include "gui/application.h"
#include "gui/widgets/qt_texts.h"

#include <QApplication>

int main(int argc, char **argv)
{
    tz::UseJapaneseDates(); // before the application object reads the locale
    QApplication app(argc, argv);
    return tz::RunProgram();
}
