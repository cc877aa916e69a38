#pragma once
// The record card window: the sixteen boxes with their labels, the style
// buttons, the name list, the record-number box, the scroll bar, the command
// buttons and the bank, record and help menus. It is a thin view over
// CardModel: it mirrors each box edit into the card, reports focus changes
// and key presses, and shows what the card holds afterwards. Closing it runs
// the card's closing sequence, writes the settings and the bank-path log and
// ends the program.

#include "app/card_host.h"
#include "card/card_model.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace tz {

class Session;

class CardWindow : public QMainWindow, public CardHost
{
    Q_OBJECT
public:
    explicit CardWindow(Session &session, QWidget *parent = nullptr);

    // The bank menu shows the bank window in mode 1, 2 or 3 through this.
    void setBankView(std::function<void(int)> bankView) { m_bankView = std::move(bankView); }
    // The help menu's version item shows the version window through this.
    void setShowVersion(std::function<void()> showVersion) { m_showVersion = std::move(showVersion); }
    // Called once when the card becomes visible (the splash then hides).
    void setOnShown(std::function<void()> onShown) { m_onShown = std::move(onShown); }

    bool FormSet(QString *error) override;
    void showCard() override;

    CardModel &card() { return m_card; }
    int recCount() const { return m_card.recCount(); }
    // Shows what the card holds: box texts, style, name list, record number,
    // scroll bar and the boxes in use.
    void refresh();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildControls();
    void wireCallbacks();
    void applyRowHeights();
    int boxIndexOf(const QObject *o) const;
    QString widgetText(int box) const;
    void setWidgetText(int box, const QString &text);
    void focusBox(int box);
    void showSearch(const CardSearchRequest &request);

    Session &m_session;
    CardModel m_card;
    std::function<void(int)> m_bankView;
    std::function<void()> m_onShown;
    std::function<void()> m_showVersion;

    std::array<QWidget *, kCardBoxCount> m_box{};
    std::array<QLabel *, kCardBoxCount> m_label{};
    std::array<QRadioButton *, 5> m_style{};
    QComboBox *m_jpCombo = nullptr;
    QLineEdit *m_recNum = nullptr;
    QScrollBar *m_scroll = nullptr;
    QLabel *m_rangeLow = nullptr;
    QLabel *m_rangeHigh = nullptr;
    bool m_updating = false; // the window writes into its own widgets
    bool m_closed = false;
    QPointer<QDialog> m_searchList; // the list of the last search
};

} // namespace tz
