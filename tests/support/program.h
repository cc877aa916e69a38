#pragma once
// The whole program for the window tests, built through its application
// object as it starts (offscreen) on a program folder made by the test.

#include "gui/application.h"
#include "gui/bank/bank_window.h"
#include "gui/card/card_window.h"
#include "gui/search/search_window.h"
#include "support/program_folder.h"

#include <QTest>
#include <memory>

namespace tz::testing {

struct Program : ProgramFolder
{
    std::unique_ptr<Application> app;

    // The program started as it starts for the person (answered by `face`
    // instead of the scripted user interface).
    Application &start(UserInterface *face = nullptr)
    {
        app = std::make_unique<Application>(face ? *face : ui, dir.path());
        app->start();
        QCoreApplication::processEvents();
        return *app;
    }
    Session &session() { return app->session(); }
    CardWindow &card() { return app->card(); }
    SearchWindow &search() { return app->search(); }
    BankWindow &bank() { return app->bank(); }

    // A control or menu item of a window by its object name.
    template <typename T = QWidget> static T *control(const QWidget &window, const QString &name)
    {
        T *w = window.findChild<T *>(name);
        if (!w)
            qFatal("no control %s in %s", qPrintable(name), qPrintable(window.objectName()));
        return w;
    }
    void trigger(const QWidget &window, const char *item)
    {
        control<QAction>(window, QString::fromLatin1(item))->trigger();
    }
    // The window shown and made the active one, as a click on it does.
    static void activate(QWidget *w)
    {
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            qWarning("%s did not become active", qPrintable(w->objectName()));
    }
};

} // namespace tz::testing
