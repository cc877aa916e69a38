#pragma once
// The whole program for the window tests, built through its application
// object as it starts (offscreen) on a program folder made by the test.

#include "gui/application.h"
#include "gui/bank/bank_window.h"
#include "gui/card/card_window.h"
#include "gui/search/search_window.h"
#include "support/program_folder.h"

#include <QImage>
#include <QSet>
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
    // The colours of every other pixel of a grab: a painted window has more
    // than a few.
    static qsizetype colours(const QImage &image)
    {
        QSet<QRgb> seen;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                seen.insert(image.pixel(x, y));
        return seen.size();
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
