#pragma once
// The search window ("Search"): the kind box, the key box, the option boxes,
// the output form and script, the command buttons, the result box and the
// search, option, result and help menus. A thin view over SearchModel: it
// mirrors widget input into the model, runs the model's handlers and shows
// what the model holds. Closing hides it; its place goes to SearchPos.

#include "core/search/search_model.h"

#include <QFont>
#include <QMainWindow>
#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tz {

class Session;

class SearchWindow : public QMainWindow
{
    Q_OBJECT
public:
    // The window is built on the session's settings: its place and font.
    explicit SearchWindow(Session &session, QWidget *parent = nullptr);

    // Kind `kind`, the window shown.
    void SearchSet(int kind);
    void SearD_click(int index);
    // Prints the result text (the print dialog first); false when nothing
    // was printed.
    bool printResult();

    SearchModel &model() { return m_model; }

public Q_SLOTS:
    // The kind menus of both windows: SearchSet, and for the kinds that need
    // no key (blank and double-booked records) the search at once.
    void openKind(int kind);
    // A search the card starts (similar, current or linked records).
    void runCardRequest(const tz::CardSearchRequest &request);
    // The settings' font: the kind, key and result boxes and printing use it.
    void applyFont();
    // Moves and sizes the window to SearchPos and lays it out.
    void resetPosition();
    // Another bank is open: title, form and script lists.
    void bankChanged();
    // A form was saved in the form editor: the form list shows the names of
    // the table again (the chosen form stays; the result is not rendered
    // again).
    void formsChanged();

Q_SIGNALS:
    // "キー・クリア" makes the record card visible.
    void showCardRequested();
    void versionRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildControls();
    void layOut();
    void storePosition();
    void refresh();
    void run(const SearchAction &action);
    void showWindow();
    QWidget *focusedBox() const;
    // The result menu's commands.
    enum class ResultCommand { Undo, SelectAll, Copy, Cut, Paste, Delete, List, Save, Print, Clear };
    void resultCommand(ResultCommand command);
    // The result box's edits go to the model.
    void takeResultEdit();

    Session &m_session;
    SearchModel m_model;
    QFont m_printFont;

    QComboBox *m_kind = nullptr;
    QLineEdit *m_keys = nullptr;
    QPlainTextEdit *m_result = nullptr;
    QComboBox *m_form = nullptr;
    QComboBox *m_script = nullptr;
    std::array<QCheckBox *, 5> m_check{};
    std::array<QAction *, 5> m_checkMenu{};
    std::array<QRadioButton *, 3> m_for{};
    std::array<QPushButton *, 9> m_button{};
    std::array<QLabel *, 7> m_label{};
    bool m_updating = false;
    bool m_resultEdited = false;
    bool m_placed = false;
    int m_shownVersion = -1;
};

} // namespace tz
