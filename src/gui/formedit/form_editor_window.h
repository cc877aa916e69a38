#pragma once
// The output-form editor ("FmEditor"): the form name list, the note, the
// sort buttons, the author and editor settings (lists with their number
// boxes), the four word orders with the legend of their symbols, the four
// buttons, the form and help menus, and the preview of the edited form
// beside the word orders. A thin view over FormEditorModel: it mirrors each
// box into the model, runs the model's handlers and shows what the model
// holds. Closing hides it.

#include "core/formedit/form_editor_model.h"

#include <QMainWindow>
#include <array>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tz {

class Session;

class FormEditorWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit FormEditorWindow(Session &session, QWidget *parent = nullptr);

    FormEditorModel &model() { return m_model; }
    // Prints the window as it looks (the print dialog first); false when
    // nothing was printed.
    bool printPanel();

public Q_SLOTS:
    // The card's `mnuOR`: loaded on the first opening, the preview's records
    // chosen again, shown with the focus in the name box.
    void open();
    // The settings' font in the name, note and word-order boxes and the preview.
    void applyFont();
    // Another bank is open: the title, and the preview on its records.
    void bankChanged();
    // Shows what the model holds.
    void refresh();

Q_SIGNALS:
    void versionRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildControls();
    void run(void (FormEditorModel::*handler)());
    void refreshPreview();
    void legendClicked(int abb);

    Session &m_session;
    FormEditorModel m_model;

    QComboBox *m_name = nullptr;
    QLineEdit *m_note = nullptr;
    std::array<QRadioButton *, 7> m_sort{};               // 1..6
    std::array<std::array<QComboBox *, 6>, 2> m_combo{};  // [editor][k], 1..5
    std::array<std::array<QLineEdit *, 6>, 2> m_number{}; // [editor][k], 1..5
    std::array<QLineEdit *, 5> m_order{};                 // 1..4
    std::array<QLabel *, 23> m_legend{};
    std::array<QPushButton *, 4> m_button{};
    QPlainTextEdit *m_preview = nullptr;
    int m_lastOrder = 1; // the word-order box a legend symbol goes into
    bool m_updating = false;
    bool m_placed = false;
};

} // namespace tz
