#pragma once
// The record card window: the sixteen boxes with their labels, the style
// buttons, the name list, the record-number box, the scroll bar, the command
// buttons and the bank, record, field, edit, search, option and help menus.
// It is a thin view over
// CardModel: it mirrors each box edit into the card, reports focus changes
// and key presses, and shows what the card holds afterwards. Closing it runs
// the card's closing sequence, writes the settings and the bank-path log and
// ends the program.

#include "core/bank/bank_select.h"
#include "core/card/card_model.h"
#include "gui/widgets/edit_box.h"

#include <QFont>
#include <QMainWindow>
#include <array>
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

class CardWindow : public QMainWindow
{
    Q_OBJECT
public:
    // The card is built on the session's settings: its place, font and size
    // and the ticks of the option menu.
    explicit CardWindow(Session &session, QWidget *parent = nullptr);
    ~CardWindow() override;

    CardModel &card() { return m_card; }
    // Shows what the card holds: box texts, style, name list, record number,
    // scroll bar and the boxes in use.
    void refresh();
    // The font of the card's boxes (the memo box's font is the print font).
    QFont boxFont() const;

public Q_SLOTS:
    // Another bank is open on the card: caption, its last record, the focus
    // in the memo box, and the window shown.
    void showBank();
    // The settings' font and size: fonts, box heights, the fixed height and
    // the ticks of the font menus.
    void applyFont();
    // The ticks of the beep and duplicate-check items.
    void applySwitches();
    // The window at the settings' place.
    void placeFromSettings();

Q_SIGNALS:
    // The bank menu, after the shown record was saved: the bank window in a mode.
    void bankViewRequested(tz::BankMode mode);
    // The search menu: the search window on a kind.
    void searchKindRequested(int kind);
    void versionRequested();
    // "edit JP" and `mnuOJ`: the JP code editor on the selected style.
    void jpEditorRequested(int styleButton);
    // `mnuOR`: the output-form editor.
    void formEditorRequested();
    // `mnuBJ` replaced the JP code table by another bank's, or an import
    // added names to it.
    void jpTableReplaced();
    // `mnuBX`, after the shown record was saved: the export of the bank or
    // of the search window's hits.
    void exportRequested();
    // The card was closed: its closing sequence ran; the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void importReferences();
    void fillFromDoi();
    void buildFieldMenu();
    void buildEditMenu();
    void buildSearchMenu();
    void buildOptionMenu();
    void buildControls();
    // Every control at its place for the window's width and the font size.
    void layOut();
    // A box's text changed in the window: line breaks and what goes beyond
    // the field's width are taken out, and the card takes the text.
    void boxEdited(int box);
    qsizetype widgetCursor(int box) const;
    void setWidgetCursor(int box, qsizetype position);
    void editFocused(EditOp op);
    void printCard();
    int boxIndexOf(const QObject *o) const;
    QString widgetText(int box) const;
    void setWidgetText(int box, const QString &text);
    void focusBox(CardBox box);

    Session &m_session;
    CardModel m_card;

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
    QPushButton *m_linkView = nullptr;
    QPushButton *m_viewUrl = nullptr;
    QPushButton *m_viewDoi = nullptr;
    QPushButton *m_similar = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_newRec = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_quit = nullptr;
    int m_shownShowings = -1;
};

} // namespace tz
