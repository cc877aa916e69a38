#pragma once
// The JP code editor ("JPEditor"): the category box, the list of the codes
// of the category with their usage, the name box, the eight buttons and the
// file, edit and help menus. A thin view over JPEditorModel: it mirrors the
// name box into the model, runs the model's handlers and shows what the model
// holds. Closing hides it (its place goes to JPEditorPos); when another window
// of the program becomes active the name box is taken over and the table saved.

#include "core/jpcode/jp_editor_model.h"

#include <QMainWindow>
#include <array>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tz {

class Session;

class JPEditorWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit JPEditorWindow(Session &session, QWidget *parent = nullptr);

    JPEditorModel &model() { return m_model; }
    // Prints the list of the category shown (the print dialog first); false
    // when nothing was printed.
    bool printList();

public Q_SLOTS:
    // The card's "edit JP" button and `mnuOJ`: loaded on the first opening,
    // the category of the card's style button, shown with the focus in the
    // name box.
    void open(int cardStyleButton);
    // The settings' font: the category and name boxes in it, the list in the
    // fixed-pitch font of its family.
    void applyFont();
    // Moves and sizes a visible editor to JPEditorPos.
    void resetPosition();
    // Shows what the model holds.
    void refresh();

Q_SIGNALS:
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
    void act(const JPEditorAction &action);
    void run(void (JPEditorModel::*handler)());
    // The editor lost the activation: the save when the program's own window took it.
    void deactivated();

    Session &m_session;
    JPEditorModel m_model;
    QFont m_listFont;

    QComboBox *m_group = nullptr;
    QListWidget *m_list = nullptr;
    QLineEdit *m_text = nullptr;
    std::array<QPushButton *, 8> m_button{};
    std::array<QLabel *, 5> m_label{};
    std::array<QAction *, 4> m_categoryItems{};
    bool m_updating = false;
    bool m_placed = false;
};

} // namespace tz
