#pragma once
// The program as one object: the session and the windows, built in the order
// the program starts and connected with signals and slots. Start-up reads the
// settings before any window is built, so every window opens at its saved
// place, in the saved font and with the saved switches; the windows follow the
// session's changes from then on.

#include "core/session/session.h"

#include <QObject>
#include <memory>

namespace tz {

class BankWindow;
class CardWindow;
class FormEditorWindow;
class JPEditorWindow;
class SearchWindow;
class VersionWindow;

class Application : public QObject
{
    Q_OBJECT
public:
    // The program on the program folder appFolder, with banks by default in
    // bankHome (empty: the program folder); the person is asked through ui.
    Application(UserInterface &ui, const QString &appFolder, const QString &bankHome = {});
    ~Application() override;

    // Start-up: the version window, the settings, the output forms and
    // scripts and the recent banks, the windows built on them, then the last
    // bank on the card or the bank window in open mode.
    void start();

    Session &session() { return m_session; }
    CardWindow &card() { return *m_card; }
    SearchWindow &search() { return *m_search; }
    BankWindow &bank() { return *m_bank; }
    JPEditorWindow &jpEditor() { return *m_jpEditor; }
    FormEditorWindow &formEditor() { return *m_formEditor; }
    VersionWindow &versionWindow() { return *m_splash; }

Q_SIGNALS:
    // The run is over: the card was closed (its closing sequence ran and the
    // settings were written), or the bank window was closed with no bank open.
    void finished();

private:
    void connectWindows();
    void showVersion();

    Session m_session;
    std::unique_ptr<VersionWindow> m_splash;
    std::unique_ptr<CardWindow> m_card;
    std::unique_ptr<SearchWindow> m_search;
    std::unique_ptr<BankWindow> m_bank;
    std::unique_ptr<JPEditorWindow> m_jpEditor;
    std::unique_ptr<FormEditorWindow> m_formEditor;
};

// The desktop program: one running copy per program folder, real dialogs,
// the application started and run; the exit status.
int RunProgram();

} // namespace tz
