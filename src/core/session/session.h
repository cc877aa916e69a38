#pragma once
// The program-wide state, owned once and handed to every window by reference:
// the program folder, the settings, the recent-bank list, the open bank, the
// JP code table, the output forms and scripts, and the cancel flag of long
// operations. It tells the windows when the open bank or a setting they show
// changes.

#include "core/format/form_file.h"
#include "core/format/script_file.h"
#include "core/session/bank_log.h"
#include "core/session/build_info.h"
#include "core/session/config_io.h"
#include "core/session/services.h"
#include "core/session/settings.h"
#include "core/session/user_interface.h"
#include "core/store/jpcode.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace tz {

class Session : public QObject
{
    Q_OBJECT
public:
    // bankHome: where banks live by default (the sample bank, the folder of
    // the first bank when no settings name one); empty: the program folder.
    Session(UserInterface &ui, const QString &appFolder, const QString &bankHome = {});

    UserInterface &ui;

    // The program folder, ending in "/"; every configuration file lives there.
    const QString AppFolder;
    // Where banks live by default, ending in "/".
    const QString BankHome;
    // Settings; BankFolder, BankName and BankPath of the open bank live here.
    Settings settings;
    QStringList BankPaths; // entries 1..10 at indexes 0..9

    JPcodeTable jp;
    FormTable forms;
    ScriptTable scripts;
    // What the form and script readers dropped or repaired at start-up.
    QStringList formReport;
    QStringList scriptReport;

    // Set by the progress window's Cancel; long operations reset and test it.
    bool CancelFlag = false;

    // Start-up, before any window is built: the settings file, the output
    // forms and scripts and the bank-path log. Signal 2 when no form or no
    // script could be read. A settings file or log that cannot be read
    // exactly is told; the person decides whether it may be written anew.
    void load();
    // The settings file; false (told to the person) when it cannot be written.
    bool saveSettings();
    // The end of the run: the settings file and the bank-path log written;
    // a failure is told to the person.
    void save();

    const QString &BankFolder() const { return settings.BankFolder; }
    const QString &BankName() const { return settings.BankName; }
    const QString &BankPath() const { return settings.BankPath; }
    // The open bank becomes folder + name + ".bnk/"; the windows are told.
    void setBank(const QString &folder, const QString &name);

    QString cfgFile() const { return AppFolder + kCfgFileName.toString(); }
    QString logFile() const { return AppFolder + kBankLogFileName.toString(); }

    // The option menu's settings; the windows are told of each change.
    void setFont(int fontNameNo, int fontSizeNo);
    void setBeepOn(bool on);
    void setAutoDupCheck(bool on);
    // The window places back to their defaults.
    void resetPositions();

    // Shared services bound to this session's settings and cancel flag.
    void Signal(SignalKind kind);
    void ProgressStep(ProgressMode mode, int first, int last, int current)
    {
        m_progress.ProgressStep(mode, first, last, current);
    }
    void WebOn(const QString &url);
    // The program's home page: the contents page of the help in the program
    // folder, opened in the system browser by the help menu's home page item.
    QString HomePage() const;

Q_SIGNALS:
    void bankChanged();
    void fontChanged();
    void switchesChanged();
    void positionsReset();

private:
    // Whether a file that was not read exactly may be written anew; true for
    // files read exactly, and when the person agreed.
    bool mayOverwrite(const ConfigReadState &state, const QString &file);

    ProgressDriver m_progress;
    bool m_writeCfg = true;
    bool m_writeLog = true;
};

// Window titles: the text, two blanks, "Tessellane ", the version, and for the
// windows of an open bank " [" + the upper-cased bank name + "]".
QString VersionTitle(const QString &text);
QString BankTitle(const QString &text, const QString &bankName);

} // namespace tz
