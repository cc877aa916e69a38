#pragma once
// The record card window: the sixteen boxes with their labels, the style
// buttons, the name list, the record-number box, the scroll bar, the command
// buttons and the bank, record, field, edit, search, option and help menus.
// It is a thin view over
// CardModel: it mirrors each box edit into the card, reports focus changes
// and key presses, and shows what the card holds afterwards. Closing it runs
// the card's closing sequence, writes the settings and the bank-path log and
// ends the program.

#include "core/bank/card_host.h"
#include "gui/widgets/edit_box.h"
#include "core/card/card_model.h"

#include <QFont>
#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

namespace tz {

class Session;

// What the card asks of the other windows; the program connects them. An
// editor that is not connected leaves its menu item and button disabled.
struct CardLinks
{
    // The search menu: the search window opened on a kind.
    std::function<void(int kind)> openSearch;
    // The searches the card's commands start (similar, current, linked).
    std::function<void(const CardSearchRequest &)> runSearch;
    // The JP code editor, preselecting group 1..3 (0 keeps its choice).
    std::function<void(int group)> openJPEditor;
    std::function<void()> openFormEditor;
    // A font name or size was chosen: the other windows take it.
    std::function<void()> fontChanged;
    // The window positions were reset to their defaults: the other visible
    // windows move to theirs.
    std::function<void()> positionsReset;
    // Another bank was opened on the card.
    std::function<void()> bankOpened;
};

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
    void setLinks(CardLinks links);

    bool FormSet(QString *error) override;
    void showCard() override;

    CardModel &card() { return m_card; }
    int recCount() const { return m_card.recCount(); }
    // Shows what the card holds: box texts, style, name list, record number,
    // scroll bar and the boxes in use.
    void refresh();
    // The font of the card's boxes (the memo box's font is the print font).
    QFont boxFont() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildFieldMenu();
    void buildEditMenu();
    void buildSearchMenu();
    void buildOptionMenu();
    void buildControls();
    // The layout step: fonts, box heights, the fixed height and the minimum
    // width for the font size.
    void applyLayout();
    void chooseFont(int nameNo, int sizeNo);
    void placeFromSettings();
    void storePosition();
    void editFocused(EditOp op);
    void printCard();
    void wireCallbacks();
    int boxIndexOf(const QObject *o) const;
    QString widgetText(int box) const;
    void setWidgetText(int box, const QString &text);
    void focusBox(int box);

    Session &m_session;
    CardModel m_card;
    std::function<void(int)> m_bankView;
    std::function<void()> m_onShown;
    std::function<void()> m_showVersion;
    CardLinks m_links;

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
    std::array<QAction *, 5> m_styleItems{};
    std::array<QAction *, 4> m_fontNameItems{};
    std::array<QAction *, 6> m_fontSizeItems{};
    QAction *m_beepItem = nullptr;
    QAction *m_dupCheckItem = nullptr;
    QAction *m_jpEditorItem = nullptr;
    QAction *m_formEditorItem = nullptr;
    QPushButton *m_jpView = nullptr;
};

} // namespace tz
