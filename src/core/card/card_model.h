#pragma once
// The record card without its window: the sixteen box texts, the shown record
// and its buffers, the change marks, moving between records, saving, and the
// record menu. The window mirrors each box text into the card (setBoxText),
// reports focus changes and key presses, and shows what the card holds.
// Whatever the card needs from the person or from other windows (a message, an
// OK/Cancel question, a beep, a web page, a search) goes out through
// CardCallbacks.

#include "core/card/card_style.h"
#include "core/card/record_check.h"
#include "core/search/search_engine.h"
#include "core/store/jpcode.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace tz {

// A search that the card hands to the search window: set the kind
// (`SearchItem`), the kind box text and the key text, then press the OR
// search button.
struct CardSearchRequest
{
    int SearchItem = 0;
    QString kindText;
    QString keyText;

    bool operator==(const CardSearchRequest &) const = default;
};

// The card's requests. Unset callbacks do nothing; an unset question counts as
// Cancel.
struct CardCallbacks
{
    std::function<void(const QString &)> message;     // plain message box with OK
    std::function<void(const QString &)> fileError;   // a bank file failed (error icon)
    std::function<bool(const QString &)> askOkCancel; // information icon; true for OK
    std::function<void(int)> signal;                  // the audible signal n
    std::function<void(const QString &)> openWebPage; // show a page in the browser
    std::function<void(const CardSearchRequest &)> search;
};

// Texts the card shows.
inline const QString kMsgRecNumNumeric = QStringLiteral("カード（レコード）番号は数値で入力して下さい");
inline const QString kMsgRecNumRange = QStringLiteral("カード（レコード）番号が不適切です");
inline const QString kAskNewRecord = QStringLiteral("新規レコードを作成します");
inline const QString kMsgRecordLimit =
    QStringLiteral("レコード数が上限の 32767 に達しているため、新しいレコードは作成できません");

// Texts of the search window's kind box for the searches the card starts.
inline const QString kKindSimilar = QStringLiteral("Similar Record");
inline const QString kKindCurrent = QStringLiteral("Current record");
inline const QString kKindLinked = QStringLiteral("Linked record");

inline const QString kDefaultDoiResolver = QStringLiteral("https://doi.org/");

class CardModel
{
public:
    // jp: the bank's JP code table, owned by the caller and shared with the
    // other windows; the card loads it when it opens a bank and saves it when
    // it closes.
    explicit CardModel(JPcodeTable &jp, CardCallbacks callbacks = {});

    void setCallbacks(CardCallbacks callbacks) { m_cb = std::move(callbacks); }
    // The date new and blank records get; the current date when unset.
    void setToday(QDate today) { m_today = today; }
    void setAutoDupCheck(bool on) { m_autoDupCheck = on; }
    void setMaxHits(int maxHits) { m_maxHits = maxHits; }
    // The DOI resolver's base URL, ending in "/".
    void setDoiResolver(const QString &base) { m_doiResolver = base; }
    // Raised while a bank is being opened: the scroll bar then moves without
    // saving the shown record.
    void setBankLoading(bool loading) { m_bankLoading = loading; }

    // ---- Opening and closing --------------------------------------------------

    // Opens the bank folder: counts the records, creates a missing URL/DOI
    // table, loads the JP code table and shows the last record with no marks.
    // A bank with an empty record file shows one blank record. False (with the
    // error through fileError) when the record file cannot be counted or read.
    bool openBank(const QString &bankPath);
    // The closing sequence: the focused box is checked, the boxes are taken
    // into the buffers, the record is written when a box is marked, its URL/DOI
    // entry when one of them changed, its links when the checked list differs
    // from the stored one, and the JP code table is saved. Never asks; false
    // when a write failed (reported through fileError).
    bool close();

    // ---- The boxes ------------------------------------------------------------

    QString boxText(int box) const;
    // The window's mirror of a box edit; no check runs.
    void setBoxText(int box, const QString &text);
    // `EditRecBox_GotFocus`.
    void setFocusBox(int box);
    int focusBox() const { return m_focusBox; }
    // `EditRecBox_LostFocus`: the field check of the box; the box text, its
    // change mark and the link list follow the result, a message goes out.
    // The window reports every focus change, also those that enterInBox and
    // pickJPname ask for.
    void leaveBox(int box);
    // Enter in the focused box: box 6 takes its code into the record and shows
    // the name; returns the box that gets the focus next (FocusBox follows).
    int enterInBox();
    // `mnuEU`: the focused box gets back its value as read or last saved (the
    // link list as stored).
    void undoField();

    // ---- Styles and the JP code list ------------------------------------------

    // `RadioStyle_Click` (1..4): the shown style, the name list and the layout
    // follow; a style other than the stored one marks box 0.
    void clickStyle(int index);
    int shownStyle() const { return m_recX.style; }
    // The selected style button, 0 for none (styles 5 and 6 have none).
    int styleButton() const;
    CardStyleLayout styleLayout() const { return P3StyleSet(m_recX.style); }
    // The name list `JPcombo` for the shown style: position i is code
    // jpListBase() + i + 1. Empty for styles outside 1..4.
    const QStringList &jpList() const { return m_jpList; }
    int jpListBase() const;
    // The selected list position, -1 for none.
    int jpSelection() const { return m_jpSelection; }
    // The text of the name list: the name of the code last shown.
    QString jpComboText() const { return m_jpComboText; }
    // `JPcombo_click`: the picked entry's code goes into box 6 and the record,
    // box 6 is marked; returns the box that gets the focus next.
    int pickJPname(int position);
    // `JPcomboSet2`: refills the list after the table changed and selects the
    // code in box 6 when it lies in the shown style's group.
    void refreshJPlist();

    // ---- Moving and saving ----------------------------------------------------

    // `RecSave`: every box is checked, the boxes go into the buffers, the
    // record, its URL/DOI entry and its links are written, and the automatic
    // similar-record check may start a search. The marks stay set. False when
    // a write failed (reported through fileError; the edits stay on the card).
    bool save();
    // Saves the shown record and goes to record n (record-number box). The
    // card stays when n is outside 1..RecCount or the save or read fails.
    bool goTo(int n);
    // The scroll bar was released at n: like goTo, without the save while a
    // bank is being opened; nothing happens when n is the shown record.
    bool scrollTo(int n);
    // While the scroll thumb is dragged the record-number box follows it (in
    // red); nothing is loaded until scrollTo.
    void dragScroll(int n);
    // The record-number box: the typed text and Enter.
    QString recNumText() const { return m_recNumText; }
    bool recNumEdited() const { return m_recNumEdited; } // shown in red while true
    void setRecNumText(const QString &text);
    bool enterRecNum();
    // The record-number box lost the focus: a number not confirmed is dropped.
    void leaveRecNum();

    // ---- The record menu ------------------------------------------------------

    // Saves and shows the next record; on the last one asks before a new one.
    void next();
    // Saves and shows the previous record; nothing on record 1.
    void previous();
    // Saves and shows a blank record after the last (keeping the JP code);
    // nothing is written until it is edited and saved. Refused with a message
    // when the bank holds 32767 records.
    bool newRecord();
    // The shown record, its URL/DOI and its links as stored; no marks.
    void undo();
    // Saves, then keeps the record and its URL/DOI in the copy buffer.
    void copyAll();
    // The copy buffer onto the card with boxes 1..15 marked; nothing when its
    // JP code is 0 (nothing copied yet).
    void pasteAll();
    // The shown data goes to the copy buffer, the card shows a blank record
    // with boxes 1..15 marked; saving it removes the record's links.
    void clearAll();
    // Searches and web pages; an empty link, URL or DOI box gives signal 1.
    void toList();
    void linkedRecords();
    void openURL();
    void openDOI();
    // The similar-record search of the shown record as stored; the "Sim Srch"
    // button saves first.
    void similarRecords();

    // ---- State ----------------------------------------------------------------

    const QString &bankPath() const { return m_bankPath; }
    int curRec() const { return m_curRec; }
    int recCount() const { return m_recCount; }
    const Record &recBuf() const { return m_recBuf; }
    const PdfEntry &pdfBuf() const { return m_pdfBuf; }
    const RecX &recX() const { return m_recX; }
    const BoxFlags &boxChanged() const { return m_boxChanged; }
    const QString &linkText() const { return m_linkText; }
    const QString &linkTextOld() const { return m_linkTextOld; }
    const Record &copyRecord() const { return m_copyRec; }
    const PdfEntry &copyPdf() const { return m_copyPdf; }

private:
    QDate today() const;
    void say(const QString &text) const;
    void fail(const QString &error) const;
    void startSearch(int kind, const QString &kindText, const QString &key) const;

    bool loadRecord(int n);
    void P3Rec2X();
    // Makes record n (read into rec and pdf) the shown record: its copy, its
    // stored link list, the boxes, and no change marks.
    void showRecord(int n, const Record &rec, const PdfEntry &pdf);
    void P3RecShow();
    // The text box `box` shows for the buffers' value.
    QString storedText(int box) const;
    void boxesToRecord(Record &rec, PdfEntry &pdf) const;
    void JPcomboSet();
    void JPcode2name();
    void markBoxes(qint16 value);

    JPcodeTable &m_jp;
    CardCallbacks m_cb;
    QDate m_today;
    bool m_autoDupCheck = false;
    int m_maxHits = 200;
    QString m_doiResolver = kDefaultDoiResolver;
    bool m_bankLoading = false;

    QString m_bankPath;
    std::array<QString, kCardBoxCount> m_box;
    Record m_recBuf;
    PdfEntry m_pdfBuf;
    RecX m_recX;
    BoxFlags m_boxChanged{};
    int m_curRec = 0;
    int m_recCount = 0;
    QString m_linkText;
    QString m_linkTextOld;
    int m_focusBox = 1;
    QStringList m_jpList;
    int m_jpSelection = -1;
    QString m_jpComboText;
    QString m_recNumText;
    bool m_recNumEdited = false;
    Record m_copyRec; // starts blank with JP code 0: nothing to paste
    PdfEntry m_copyPdf;
};

} // namespace tz
