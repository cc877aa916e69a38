#pragma once
// The bank selection window (Bank): a thin view over BankSelect. It mirrors
// the logic's state into its controls after every event and hides instead of
// closing.

#include "core/bank/bank_select.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tz {

class BankWindow : public QWidget
{
    Q_OBJECT
public:
    BankWindow(Session &session, CardModel &card, QWidget *parent = nullptr);

    BankSelect &logic() { return m_logic; }
    // The end of start-up: the last bank opened at once, or this window.
    void StartUp();

public Q_SLOTS:
    void BankView(tz::BankMode sw);

public:
    // Shows the logic's state in the controls.
    void sync();

    // Mount points offered by the drive list: the home folder first.
    static QStringList driveRoots();

Q_SIGNALS:
    // The window was hidden while no bank was ever opened.
    void hiddenWithoutBank();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillDrives();
    void fillDirectory();
    void fillFiles();
    void selectDrive();
    void driveChosen(int index);
    void after(); // sync and report a hidden window without a bank

    Session &m_session;
    BankSelect m_logic;

    QLineEdit *m_bank1;
    QComboBox *m_drive1;
    QListWidget *m_dir1;
    QListWidget *m_file1;
    QComboBox *m_path1;
    QPushButton *m_command1;
    QPushButton *m_command2;
    QPushButton *m_command3;
    QString m_shownDir;
    int m_shownGeneration = -1;
};

} // namespace tz
