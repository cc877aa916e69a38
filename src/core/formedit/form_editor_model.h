#pragma once
// The output-form editor without its widgets: the name list and the name
// box, the note, the sort buttons, the five author and five editor settings
// (each a list and a number box kept together), the four word orders, and
// what each button and menu item does. The window mirrors every box into the
// model, calls the handlers and shows what the model holds afterwards.
//
// The table is the session's: a saved form is in the table and in the form
// file at once, and formsSaved tells the other windows, whose form lists then
// show it. The search window renders with the table's form at its next List,
// so a form saved over the one it uses changes nothing it already shows.
//
// Beside the word orders the window shows a preview: the form as it stands in
// the boxes (saved or not) rendered for one record of each style.

#include "core/formedit/form_preview.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace tz {

class Session;

inline const QString kFormEditorCaption = QStringLiteral("書式編集");
inline const QString kOverwriteQuestion = QStringLiteral(" をオーバーライト保存します");
inline const QString kNewFormQuestion = QStringLiteral(" を新しいフォームとして保存します");

// What a click on a legend symbol does to a word-order box: the new text and
// the selection after it (start and end positions).
struct LegendEdit
{
    QString text;
    int selStart = 0;
    int selEnd = 0;
};

class FormEditorModel : public QObject
{
    Q_OBJECT
public:
    explicit FormEditorModel(Session &session, QObject *parent = nullptr);

    // ---- Fixed contents ----------------------------------------------------------

    // The entries of list k (1..5) of the author settings (`ACombo`) or of
    // the editor settings (`ECombo`).
    static const QStringList &ruleEntries(bool editor, int k);
    // The captions of the `Sort` buttons 1..6 at indexes 0..5.
    static const QStringList &sortCaptions();
    // The legend `Abb` 0..22.
    static const QStringList &legendCaptions();
    // A click on legend entry `abb` in a word-order box holding `text` with the
    // selection from selStart to selEnd: the symbol put in place of the
    // selection; a mark pair ("*", "^", "@", "|") put around it; "[Nx]" puts
    // "[N1]" with the number selected, ready to be typed over.
    static LegendEdit legendInsert(int abb, const QString &text, int selStart, int selEnd);

    // ---- Loading -------------------------------------------------------------------

    // `Form_Load`: the name list from the table, form 1 shown. An empty table
    // shows an empty form, which Save adds as form 1.
    void load();
    bool isLoaded() const { return m_loaded; }
    // The card's option menu: loaded on the first opening, the preview's
    // records chosen again (the bank or the hits may have changed).
    void open();
    QString windowTitle() const;

    // ---- What the window shows -------------------------------------------------------

    const QStringList &names() const { return m_names; }
    int listIndex() const { return m_index; } // -1: no form shown from the list
    const QString &nameText() const { return m_name; }
    void setNameText(const QString &text) { m_name = text; }
    const QString &note() const { return m_note; }
    void setNote(const QString &text) { m_note = text; }
    int sort() const { return m_sort; } // the `Sort` button that is on, 1..6
    void Sort_click(int k);
    // Number box k (1..5) of the author or editor settings, and the entry its
    // list selects (value - 1; -1 for none).
    const QString &numberText(bool editor, int k) const;
    int entryIndex(bool editor, int k) const;
    const QString &order(int style) const; // word order of style 1..4
    void setOrder(int style, const QString &text);

    // ---- Handlers -----------------------------------------------------------------------

    // A name chosen in `Fname`: that form shown.
    void Fname_click(int index);
    // An entry chosen in list k: its number into the number box.
    void ruleCombo_click(bool editor, int k, int index);
    // Number box k changed (typed or pasted): empty becomes "1", a number
    // outside 0..list length the fixed replacement, and the list follows.
    // Text that is no whole number is refused: the box keeps its number and
    // the result is false.
    bool setNumberText(bool editor, int k, const QString &text);
    void next();     // `mnuFF`, "Next": after the last form the first
    void previous(); // `mnuFB`, "Back": before the first form the last
    // `mnuFS`, "Save": the question, the slot filled, the form file written.
    // False when nothing was saved (cancelled, refused, or the file could
    // not be written; the table is then as it was).
    bool save();

    // ---- Preview ------------------------------------------------------------------------

    // The form as the boxes hold it.
    OutputForm editedForm() const;
    // The records of the preview chosen again from the open bank: the
    // current hits when there are any (asked through currentHits), else the
    // whole bank.
    void sampleRecords();
    std::function<QList<qint16>()> currentHits;
    const FormPreview &preview() const { return m_preview; }
    // The edited form rendered for the chosen records, as plain text.
    QString previewText() const;

Q_SIGNALS:
    // A form was saved: form `number` (1-based) of the table, which is new
    // when `added`. The form lists of the program show the names again.
    void formsSaved(int number, bool added);

private:
    void showForm(int index);
    void showEmptyForm();
    void setRule(bool editor, const NameRule &rule);
    NameRule rule(bool editor) const;

    Session &m_session;
    bool m_loaded = false;
    QStringList m_names;
    int m_index = -1;
    QString m_name;
    QString m_note;
    int m_sort = 2;
    std::array<std::array<QString, 6>, 2> m_numbers; // [editor][k], k = 1..5
    std::array<QString, 5> m_orders;                 // [style], 1..4
    FormPreview m_preview;
};

} // namespace tz
