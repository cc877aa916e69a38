#pragma once
// The user-interface services with real dialogs, windows and sounds.

#include "core/session/settings.h"
#include "core/session/user_interface.h"

#include <QPointer>
#include <memory>

class QWidget;

namespace tz {

class HelpWindow;
class ProgressWindow;

class QtUserInterface : public UserInterface
{
public:
    QtUserInterface();
    ~QtUserInterface() override;

    // Folders searched for help topics.
    void setHelpFolders(const QStringList &folders);
    // The saved place of the search window; the progress window opens 1000
    // twips to the right of its left edge and 1500 twips below its top.
    void setSearchPos(const WindowPos *pos) { m_searchPos = pos; }
    // Signals sound only where a sound device exists.
    void setSoundDevice(bool present) { m_sound = present; }

    MsgAnswer message(const QString &text, MsgButtons buttons, MsgIcon icon) override;
    MsgAnswer titledMessage(const QString &title, const QString &text, MsgButtons buttons, MsgIcon icon) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString openFileName(const QString &title, const QString &folder, const QStringList &filters) override;
    QString saveFileName(const QString &title, const QString &file, const QStringList &filters, int selectedFilter = 0,
                         int *chosenFilter = nullptr) override;
    bool printDialog(int pageCount, PrintChoice &choice) override;
    void playTones(const QList<Tone> &tones) override;
    void openWebPage(const QUrl &url) override;
    void showHelp(int topic) override;
    void progressOpen(std::function<void()> onCancel) override;
    void progressClose() override;
    void processEvents() override;

    HelpWindow *helpWindow();
    ProgressWindow *progressWindow() { return m_progress.get(); }

private:
    std::unique_ptr<HelpWindow> m_help;
    std::unique_ptr<ProgressWindow> m_progress;
    QStringList m_helpFolders;
    const WindowPos *m_searchPos = nullptr;
    bool m_sound = true;
    // Where a file dialog without a folder of its own starts: the folder of
    // the last file chosen, at first the documents folder.
    QString m_lastFolder;
    QString startIn(const QString &file) const;
    void chosen(const QString &file);
};

// True when the system offers a sound device.
bool SoundDevicePresent();

} // namespace tz
