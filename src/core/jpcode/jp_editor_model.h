#pragma once
// The JP code editor without its widgets: the category shown with its first
// and last code, the usage count of every code, the list lines, the selected
// code and the name box, and what each button and menu item does. The window
// mirrors the name box into the model, calls the handlers and shows what the
// model holds afterwards; a handler's JPEditorAction says where the focus goes.
// The table is the session's: the card sees every name as soon as it refills
// its name list, which the model asks for with tableChanged; Apply hands the
// selected code and its style to the card with cardApply; a renumbering of
// the records goes to the card's shown record with renumbered.

#include "core/jpcode/jp_maintenance.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

namespace tz {

class Session;

inline const QString kJPEditorCaption = QStringLiteral("JPコード編集");
inline const QString kTextOutputTitle = QStringLiteral("テキスト出力");
inline const QStringList kTextOutputFilters = {QStringLiteral("すべてのファイル (*.*)"),
                                               QStringLiteral("テキスト ファイル (*.txt)")};
inline const QString kTextOutputConfirm = QStringLiteral("として保存します。");

struct JPEditorAction
{
    bool focusText = false; // the focus goes to the name box
};

class JPEditorModel : public QObject
{
    Q_OBJECT
public:
    explicit JPEditorModel(Session &session, QObject *parent = nullptr);

    // The style the card shows (its selected style button, 0 for none): a
    // publisher code applied to a book chapter or a monograph keeps it.
    std::function<int()> cardStyle;

    // ---- Loading ------------------------------------------------------------

    // `Form_Load`: the usage counted from the record file, the category from
    // the card's selected style button (1 journals, 2 and 3 publishers, 4
    // others; 0: no category, the list stays empty).
    void load(int cardStyleButton);
    bool isLoaded() const { return m_loaded; }
    // The card's commands that open the editor: a first opening loads it; an
    // editor already loaded takes the category of the card's style button
    // (0 keeps the category shown).
    void open(int cardStyleButton);
    QString windowTitle() const;

    // ---- What the window shows ----------------------------------------------

    static const QStringList &categoryNames();
    int category() const { return m_category; } // -1: none
    int firstCode() const { return m_first; }
    int lastCode() const { return m_last; }
    const QStringList &listLines() const { return m_lines; }
    int listIndex() const { return m_index; } // -1: none
    // The selected code, 0 for none.
    int selectedCode() const;
    const QString &text() const { return m_text; }
    void setText(const QString &text) { m_text = text; }
    const QList<int> &usage() const { return m_ops.usage; }
    // The style Apply gave the card last, 0 before the first Apply.
    int lastStyle() const { return m_lastStyle; }

    // ---- Handlers -------------------------------------------------------------

    void JPgroup_click(int category);
    void JPlist_click(int index);
    // Enter in the name box: `NewJPset`; the focus stays in the box when it is empty.
    JPEditorAction JPtext_enter();
    // The selected code takes the name box's text as its name (in memory).
    void NewJPset();
    void next();     // `mnuFF`, "Up": the next line, after the last the first
    void previous(); // `mnuFB`, "Down": the previous line, before the first the last
    // `mnuFA`, "Apply", a double click on a line: the table saved, then the
    // code and its style to the card: 1 for journals, 4 for others; for
    // publishers the card's style when it is 2 or 3, else the style Apply
    // gave last when it is 2 or 3, else 2.
    void apply();
    bool save();   // `mnuFS`: the table written, the card's name list refilled
    void reload(); // `mnuFR`: the usage counted again and the list shown again
    // `Form_Deactivate`: another window of the program became active: the
    // name box taken over, then saved.
    void deactivate();
    JPEditorAction newCode();          // `mnuEN`, "New"
    JPEditorAction deleteCode();       // `mnuED`, "Del"
    JPEditorAction move(int category); // `mnuEMT`, `mnuEMJ`, `mnuEMP`, `mnuEMS`
    void sort();                       // `mnuES`, "Sort"
    void textOutput();                 // `mnuFT`
    QString printTitle() const;        // `mnuFP`: the title and the text printed
    QString printBody() const;
    // `mnuEC`, "Cancel": the names edited since the last save get their
    // saved names back and the editor is unloaded (the next opening loads it
    // again).
    void cancelWork();

    // ---- Changes made elsewhere -------------------------------------------------

    // Names changed outside the editor (the card added one): the lines and
    // the name box show the table again.
    void namesChanged();
    // The whole table was replaced, or another bank is open: usage counted
    // again, the category shown again.
    void tableReplaced();

Q_SIGNALS:
    // The card's JP code box and style take the applied code and style.
    void cardApply(int code, int style);
    // The table changed or was saved: the card refills its name list.
    void tableChanged();
    // The records were renumbered: the card's shown record follows.
    void renumbered(const tz::JPrenumber &change);

private:
    void prepareOps();
    void rebuildLines();
    void rebuildLine(int code);
    // Tells the person about an outcome; true when it was Done.
    bool report(const JPoutcome &o);
    bool saveTable(bool askInexact);
    void rememberEdit(int code);

    Session &m_session;
    JPcodeMaintenance m_ops;
    bool m_loaded = false;
    bool m_busy = false; // a command is running (its questions must not save)
    int m_category = -1;
    int m_first = 1;
    int m_last = 0;
    QStringList m_lines;
    int m_index = -1;
    QString m_text;
    int m_lastStyle = 0;
    // Names as last saved, of the codes edited since.
    QMap<int, QString> m_edits;
    bool m_inexactDeclined = false;
    bool m_quietSave = false; // the save on leaving the editor
};

} // namespace tz
