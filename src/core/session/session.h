#pragma once
// The program-wide state, owned once and handed to every window by reference:
// the program folder, the settings, the recent-bank list, the open bank, the
// JP code table, the output forms and scripts and the search state.

#include "core/session/bank_log.h"
#include "core/session/build_info.h"
#include "core/session/services.h"
#include "core/session/settings.h"
#include "core/session/user_interface.h"
#include "core/format/form_file.h"
#include "core/format/script_file.h"
#include "core/search/search_engine.h"
#include "core/store/jpcode.h"
#include "core/store/record.h"

#include <QString>
#include <QStringList>

namespace tz {

class Session
{
public:
    Session(UserInterface &ui, const QString &appFolder);

    UserInterface &ui;

    // The program folder, ending in "/"; every configuration file lives there.
    const QString AppFolder;
    // Settings; BankFolder, BankName and BankPath of the open bank live here.
    Settings settings;
    QStringList BankPaths; // entries 1..10 at indexes 0..9
    int BankLoading = 0;
    BoxFlags BoxChanged{};

    JPcodeTable jp;
    FormTable forms;
    ScriptTable scripts;
    // What the form and script readers dropped or repaired at start-up.
    QStringList formReport;
    QStringList scriptReport;

    SearchEngine search;

    const QString &BankFolder() const { return settings.BankFolder; }
    const QString &BankName() const { return settings.BankName; }
    const QString &BankPath() const { return settings.BankPath; }
    // Sets the open bank: BankPath becomes folder + name + ".bnk/".
    void setBank(const QString &folder, const QString &name);

    QString cfgFile() const { return AppFolder + kCfgFileName.toString(); }
    QString logFile() const { return AppFolder + kBankLogFileName.toString(); }

    // Shared services bound to this session's settings and cancel flag.
    void Signal(int n);
    void ProgressStep(int mode, int first, int last, int current)
    {
        m_progress.ProgressStep(mode, first, last, current);
    }
    void WebOn(const QString &url);
    // The program's home page: the contents page of the help in the program
    // folder, opened in the system browser by the help menu's home page item.
    QString HomePage() const;

private:
    ProgressDriver m_progress;
};

// Window titles: the text, two blanks, "Tessellane ", the version, and for the
// windows of an open bank " [" + the upper-cased bank name + "]".
QString VersionTitle(const QString &text);
QString BankTitle(const QString &text, const QString &bankName);

} // namespace tz
