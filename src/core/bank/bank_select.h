#pragma once
// The bank selection window as plain state: the name box, the folder shown by
// the directory list, the recent-bank combo, the mode and what the action
// button does in each mode. The window mirrors this state into its controls
// (sync after every call) and forwards its events here.

#include <QString>
#include <QStringList>

namespace tz {

class CardHost;
class Session;

class BankSelect
{
public:
    enum Mode { ModeOpen = 1, ModeNew = 2, ModeDupli = 3 };
    // Colour of the name box and the file list: a bank folder, a folder that is
    // no bank, a name being edited.
    enum class NameColour { Bank, NoBank, Editing };

    BankSelect(Session &session, CardHost &card);

    // State the window shows.
    QString title;         // window title
    QString caption;       // Command1: "Open", "New" or "Dupli"
    QString bankText;      // Bank1
    QString dirPath;       // Dir1 (and File1): a folder, without a trailing "/"
    QString pathText;      // Path1 text
    QStringList pathItems; // Path1 list
    int pathIndex = -1;    // Path1 selection
    NameColour colour = NameColour::NoBank;
    bool visible = false;
    // A bank has been handed to the card.
    bool bankOpen = false;
    // Bumped whenever the folder content may have changed (a bank made).
    int dirGeneration = 0;

    // Start-up steps 5 to 9 (settings, forms and scripts, bank-path log, then
    // the last bank opened at once or the window in open mode), and one message
    // when the form or script file had parts dropped or repaired.
    void StartUp();

    // Shows the window in mode sw (1 open, 2 new, 3 duplicate; any other sw
    // keeps title and caption) with the open bank preselected.
    void BankView(int sw);
    // Puts a bank folder path at the top of the recent-bank list.
    void BankPathAdd(const QString &path);
    // Refills the combo from the recent-bank list.
    void BankPathList();

    // Events of the controls.
    void DirChange(const QString &path); // a folder entered in Dir1 or chosen
    void PathClick(int index);           // an entry of Path1 chosen
    void BankClick() { colour = NameColour::Editing; }
    void Command1Click();                     // the action button
    void Command2Click() { visible = false; } // Cancel, and closing the window

private:
    // False when the card could not open the bank (the window then stays).
    bool openBank(const QString &parent, const QString &name);
    void createBank(const QString &parent, const QString &name);
    void duplicateBank(const QString &parent, const QString &name);
    // Window steps 2 and 3 of a folder change: colour, name and combo text.
    void showFolderKind();
    bool formSet();

    Session &m_session;
    CardHost &m_card;
};

} // namespace tz
