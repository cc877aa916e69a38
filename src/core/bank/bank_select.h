#pragma once
// The bank selection window as plain state: the name box, the folder shown by
// the directory list, the recent-bank combo, the mode and what the action
// button does in each mode. The window mirrors this state into its controls
// (sync after every call) and forwards its events here.

#include <QString>
#include <QStringList>

namespace tz {

class CardModel;
class Session;

// The window's three modes, named by the caption of its action button.
enum class BankMode { Open = 1, New = 2, Duplicate = 3 };

class BankSelect
{
public:
    // Colour of the name box and the file list: a bank folder, a folder that is
    // no bank, a name being edited.
    enum class NameColour { Bank, NoBank, Editing };

    BankSelect(Session &session, CardModel &card);

    // State the window shows.
    BankMode mode = BankMode::Open;
    QString title;         // window title
    QString caption;       // Command1: "Open", "New" or "Dupli"
    QString bankText;      // Bank1
    QString dirPath;       // Dir1 (and File1): a folder, without a trailing "/"
    QString pathText;      // Path1 text
    QStringList pathItems; // Path1 list
    int pathIndex = -1;    // Path1 selection
    NameColour colour = NameColour::NoBank;
    bool visible = false;
    // Bumped whenever the folder content may have changed (a bank made).
    int dirGeneration = 0;

    // The end of start-up, once the session has read the settings, the forms
    // and scripts and the bank-path log: the last bank opened at once or the
    // window shown in open mode, and one message when the form or script file
    // had parts dropped or repaired.
    void StartUp();

    // Shows the window in a mode with the open bank preselected.
    void BankView(BankMode sw);
    // True once the card shows a bank.
    bool bankOpen() const;

    // Opens the bank parent/name.bnk on the card. The card's shown record is
    // saved first; the session's bank, the settings file and the recent-bank
    // list change only when the card opened the new bank. False (told to the
    // person) when the save or the opening failed; the old bank then stays.
    bool OpenBank(const QString &parent, const QString &name);
    // Puts a bank folder path at the top of the recent-bank list.
    void BankPathAdd(const QString &path);
    // Refills the combo from the recent-bank list.
    void BankPathList();

    // Events of the controls.
    void DirChange(const QString &path); // a folder entered in Dir1 or chosen
    void PathClick(int index);           // an entry of Path1 chosen
    // A folder typed into Path1 and confirmed with Enter: the directory list
    // goes there ("~" is the home folder). Anything else is told to the
    // person and changes nothing; false then.
    bool PathTyped(const QString &text);
    void BankClick() { colour = NameColour::Editing; }
    void Command1Click();                     // the action button
    void Command2Click() { visible = false; } // Cancel, and closing the window

private:
    void createBank(const QString &parent, const QString &name);
    void duplicateBank(const QString &parent, const QString &name);
    // Window steps 2 and 3 of a folder change: colour, name and combo text.
    void showFolderKind();

    Session &m_session;
    CardModel &m_card;
};

} // namespace tz
