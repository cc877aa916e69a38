#pragma once
// The search window without its widgets: the search kind, the key text, the
// option boxes, the output form and script, the result text and what each
// button and menu item does. The window mirrors its widgets into the model,
// calls the handlers and shows what the model holds afterwards; a handler's
// SearchAction says what the window itself must do (show, hide, focus, print).
// The search state (SearchItem, AndMode, HitList, HitCount, CancelFlag and
// the option boxes) lives in the model's engine; it survives hiding the
// window.

#include "core/search/search_engine.h"
#include "core/search/search_request.h"
#include "core/session/services.h"

#include <QString>
#include <QStringList>

namespace tz {

class Session;

// Indexes of the command buttons `SearD`.
enum SearchButton : int {
    SearWordClear = 0,
    SearOr = 1,
    SearResultClear = 2,
    SearSave = 3,
    SearPrint = 4,
    SearClose = 5,
    SearList = 6,
    SearAnd = 7,
    SearReset = 8,
};

// How the key box takes typed text.
enum class KeyInput {
    Latin,     // input method off: plain characters preferred
    Disabled,  // no input method at all (numbers)
    Unchanged, // as it was
};

// Background colours (0xRRGGBB) of the two search buttons and the key box.
inline constexpr unsigned kPreferredColour = 0xC0FFC0; // light green
inline constexpr unsigned kOtherColour = 0xFFC080;     // light orange
inline constexpr unsigned kKeyBoxWhite = 0xFFFFFF;
inline constexpr unsigned kKeyBoxGrey = 0xE0E0E0;

// What the window does after a handler.
struct SearchAction
{
    bool show = false;      // make the window visible and bring it to the front
    bool hide = false;      // hide it
    bool focusKeys = false; // focus to the key box
    bool print = false;     // print the result text (the print dialog first)
};

// Texts of the save command.
inline const QString kSaveTitle = QStringLiteral("検索結果の保存");
inline const QStringList kSaveFilters = {QStringLiteral("すべてのファイル (*.*)"),
                                         QStringLiteral("テキスト ファイル (*.txt)")};
inline const QString kSaveConfirm = QStringLiteral("として保存します。");
inline const QString kPrintTitle = QStringLiteral("Search Result");

class SearchModel
{
public:
    explicit SearchModel(Session &session);

    // The search state: the kind, the key lists, the options and the hits.
    SearchEngine &engine() { return m_engine; }

    // ---- Kind and key --------------------------------------------------------

    // The names of kinds 0..8 in the kind box.
    static const QStringList &kindNames();
    int searchItem() const;
    // The text the kind box shows: a kind name, or the text of a search the
    // card started (kinds 9..12).
    const QString &kindText() const { return m_kindText; }
    // `SearchSet`: kind i becomes the search kind; the key box is emptied.
    // The key box's input mode, colour and the AND button follow.
    SearchAction SearchSet(int kind);
    KeyInput keyInput() const { return m_keyInput; }
    unsigned keyBoxColour() const { return searchItem() > KindRecord ? kKeyBoxGrey : kKeyBoxWhite; }
    bool andVisible() const { return searchItem() >= KindFreeKeyword && searchItem() <= KindTitleKeyword; }

    const QString &keyText() const { return m_keyText; }
    void setKeyText(const QString &text) { m_keyText = text; }

    // ---- Options -------------------------------------------------------------

    bool checkMode(int box) const;
    // An option box clicked: its value (its menu check mark shows it too).
    void setCheckMode(int box, bool on);
    // The option menu items: the box value inverted; the AND-preferred item
    // applies the preference at once.
    void toggleCheckMode(int box);
    // The two "for" buttons mirror the "Additional" box: "Currentl records"
    // searches within the current hits, which is what Additional does.
    bool forCurrentRecords() const { return checkMode(CheckAdditional); }
    void setForCurrentRecords(bool on) { setCheckMode(CheckAdditional, on); }

    // The AND preference as last applied (at start and by its menu item;
    // clicking the box alone does not apply it).
    void applyAndPreference() { m_andPreferred = checkMode(CheckAndPreferred); }
    // The button Enter presses: AND Search when AND is preferred.
    int defaultButton() const { return m_andPreferred ? SearAnd : SearOr; }
    unsigned buttonColour(int button) const;

    // ---- Forms and scripts ---------------------------------------------------

    QStringList formNames() const;
    QStringList scriptNames() const;
    // Positions in the two lists (0 = form or script 1).
    int formIndex() const { return m_formIndex; }
    int scriptIndex() const { return m_scriptIndex; }
    void setFormIndex(int index) { m_formIndex = index; }
    void setScriptIndex(int index) { m_scriptIndex = index; }
    // Another bank was opened: no hits and an empty result; the form and
    // script selections come from CurForm and CurScript again.
    void bankChanged();
    // The record the card shows: the similar-record kinds compare with it.
    void setCardRecord(int CurRec) { m_cardRec = CurRec; }
    QString windowTitle() const;

    // ---- Result --------------------------------------------------------------

    // The result box's text as it shows it (possibly edited).
    const QString &resultText() const { return m_result; }
    void setResultText(const QString &text) { m_result = text; }
    // Counts every time the model itself replaced the result text (a
    // rendering, a clear): the window then shows the text again.
    int resultVersion() const { return m_resultVersion; }
    int hitCount() const;

    // ---- Commands ------------------------------------------------------------

    // The command button `index` pressed: nothing for the kinds that need a
    // key while the key box is empty; else the search, the list's commands,
    // or closing.
    SearchAction SearD_click(int index);
    // A search the card starts: its kind, kind text and key, then OR Search.
    // The similar-record kinds take the record number from the key and leave
    // the key box alone.
    SearchAction runCardRequest(const CardSearchRequest &request);
    // `Step3`: the current hit list rendered with the chosen form and script
    // (which become CurForm and CurScript). False when the bank cannot be read.
    bool Step3();
    // "取り消し": the hit list rendered again, edits of the result are gone.
    void undoResult() { Step3(); }
    // "Result Clear" and "結果の消去": the result box is emptied; the hit list stays.
    void clearResult();
    // The save command: file dialog, confirmation, and for characters code
    // page 932 cannot hold the question whether to save as UTF-8.
    void saveResult();

private:
    bool loadBank(RecordImage &image);
    // The three steps of the search kind. A search cancelled in any step
    // leaves the earlier hits and result. False when there was nothing to
    // search or the automatic similar check found nothing.
    bool search(const RecordImage &image);
    // Step 3; false (the result as it was) when cancelled or when there is no
    // form or no script (which the person is told).
    bool render(const RecordImage &image);
    void setResult(const QString &text);

    Session &m_session;
    SearchEngine m_engine;
    ProgressDriver m_progress;
    QString m_kindText;
    QString m_keyText;
    KeyInput m_keyInput = KeyInput::Latin;
    int m_cardRec = 0; // the card's record, which the similar-record kinds compare with
    bool m_andPreferred = false;
    int m_formIndex = 0;
    int m_scriptIndex = 0;
    QString m_result;
    int m_resultVersion = 0;
};

} // namespace tz
