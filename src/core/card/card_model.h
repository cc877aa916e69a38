#pragma once
// The record card without its window: the sixteen box texts, the shown record
// and its buffers, the change marks, moving between records, saving, and the
// record menu. The window mirrors each box text into the card (setBoxText),
// reports focus changes and key presses, and shows what the card holds.
// The card talks to the person through the session's user interface and asks
// the search window for its searches with searchRequested.

#include "core/card/card_style.h"
#include "core/card/record_check.h"
#include "core/search/search_kinds.h"
#include "core/search/search_request.h"
#include "core/store/jp_renumber.h"
#include "core/store/jpcode.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>

namespace tz {

class Session;

// Texts the card shows.
inline const QString kMsgRecNumNumeric = QStringLiteral("カード（レコード）番号は数値で入力して下さい");
inline const QString kMsgRecNumRange = QStringLiteral("カード（レコード）番号が不適切です");
inline const QString kAskNewRecord = QStringLiteral("新規レコードを作成します");
inline const QString kAskRewriteJPcode =
    QStringLiteral("JP コードファイル %1 には正しく読めなかった行があります。\n"
                   "今の内容で書き換えると、読めなかった名前は元に戻せません。書き換えますか？\n"
                   "（キャンセルすると、ファイルはそのまま残ります）");
inline const QString kMsgRecordLimit =
    QStringLiteral("レコード数が上限の 32767 に達しているため、新しいレコードは作成できません");

inline const QString kAskAddJPname =
    QStringLiteral("「%1」は JP コード表にありません。JP コード %2 番の名前として登録しますか？");
inline const QString kMsgNoFreeJPcode = QStringLiteral(
    "「%1」を登録できる空きコードがありません。JP コードの編集で新しいコードを作ってから登録してください。");

inline const QString kDefaultDoiResolver = QStringLiteral("https://doi.org/");

class CardModel : public QObject
{
    Q_OBJECT
public:
    // The card works on the session's JP code table, which it loads when it
    // opens a bank and saves when it closes, and follows the session's
    // settings (the duplicate check, MaxHits) as they change.
    explicit CardModel(Session &session, QObject *parent = nullptr);

    // The date new and blank records get; the current date when unset.
    void setToday(QDate today) { m_today = today; }

    // ---- Opening and closing --------------------------------------------------

    // Opens the bank folder: counts the records, creates a missing URL/DOI
    // table, loads the JP code table and shows the last record with no marks.
    // A bank with an empty record file shows one blank record. False (the
    // error told to the person) when the record file cannot be counted or
    // read; the card then still shows the bank it showed before.
    bool openBank(const QString &bankPath);
    // The closing sequence: the focused box is checked, the boxes are taken
    // into the buffers, the record is written when a box is marked, its URL/DOI
    // entry when one of them changed, its links when the checked list differs
    // from the stored one, and the JP code table is saved (a table not read
    // exactly only when the person agrees). False when a write failed (told
    // to the person).
    bool close();

    // ---- The boxes ------------------------------------------------------------

    QString boxText(CardBox box) const;
    // The window's mirror of a box edit; no check runs. Line breaks become
    // blanks: no box holds a line break.
    void setBoxText(CardBox box, const QString &text);
    // A box got the focus: the box the field undo and Enter act on.
    void setFocusBox(CardBox box);
    CardBox focusBox() const { return m_focusBox; }
    // A box lost the focus: the field check of the box; the box text, its
    // change mark and the link list follow the result, a message goes out.
    // The window reports every focus change, also those that enterInBox and
    // pickJPname ask for.
    void leaveBox(CardBox box);
    // Enter in the focused box: box 6 takes its code into the record and shows
    // the name; returns the box that gets the focus next (FocusBox follows).
    CardBox enterInBox();
    // `mnuEU`: the focused box gets back its value as read or last saved (the
    // link list as stored).
    void undoField();

    // ---- Styles and the JP code list ------------------------------------------

    // `RadioStyle_Click` (1..4): the shown style, the name list and the layout
    // follow; a style other than the stored one marks box 0.
    void clickStyle(int index);
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
    CardBox pickJPname(int position);
    // `JPcomboSet2`: refills the list after the table changed and selects the
    // code in box 6 when it lies in the shown style's group.
    void refreshJPlist();
    // A name typed into the name list: the window's mirror of the typed text,
    // and Enter in the list (the focus moves on as after a pick). The typed
    // name is taken when the list is left, on Enter and before every save: a
    // name of the style's group gives its code; a new name is asked about and
    // takes the group's lowest free code (an empty name no record uses); an
    // emptied list clears the code.
    void setJPcomboText(const QString &text);
    CardBox enterJPcombo();
    void leaveJPcombo();
    // The JP code editor's Apply: the code into box 6, the style as clicked.
    void applyJPcode(int code, int style);
    // The records were renumbered: the shown record and the copy buffer follow.
    void applyRenumbering(const JPrenumber &change);

    // ---- Moving and saving ----------------------------------------------------

    // `RecSave`: every box is checked, the boxes go into the buffers, the
    // record, its URL/DOI entry and its links are written, and the automatic
    // similar-record check may start a search. The marks stay set. False when
    // a write failed (told to the person; the edits stay on the card). True
    // when no bank is open: there is nothing to save.
    bool save();
    // Saves the shown record and goes to record n (record-number box). The
    // card stays when n is outside 1..RecCount or the save or read fails.
    bool goTo(int n);
    // The scroll bar was released at n: like goTo; nothing happens when n is
    // the shown record. (The window sets the scroll bar's position from the
    // card without it counting as a move.)
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
    // nothing is written until it is edited and saved. On a new record that
    // nothing was typed into it stays there; a new record left unwritten is
    // dropped again, so no gap can open in the record file. Refused with a
    // message when the bank holds 32767 records.
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
    // The shown record is a new one that is not in the record file yet.
    bool isNewRecord() const { return m_unwrittenNew; }
    int recCount() const { return m_recCount; }
    const RecX &recX() const { return m_recX; }
    const BoxFlags &boxChanged() const { return m_boxChanged; }
    const QString &linkText() const { return m_linkText; }
    const QString &linkTextOld() const { return m_linkTextOld; }

    // Counts the showings of a record (moving, undo, paste, clear, opening a
    // bank): after each the focus belongs in the memo box.
    int showings() const { return m_showings; }

Q_SIGNALS:
    // A search for the search window (similar, current or linked records).
    void searchRequested(const tz::CardSearchRequest &request);
    // Another record is shown: the record the similar-record search compares with.
    void recordShown(int CurRec);
    // A name typed into the name list was added to the JP code table.
    void jpTableChanged();

private:
    QDate today() const;
    void say(const QString &text) const;
    void fail(const QString &error) const;
    void startSearch(int kind, const QString &kindText, const QString &key);

    bool loadRecord(int n);
    void P3Rec2X();
    // Makes record n (read into rec and pdf) the shown record: its copy, its
    // stored link list, the boxes, and no change marks.
    void showRecord(int n, const Record &rec, const PdfEntry &pdf);
    void P3RecShow();
    // The text box `box` shows for the buffers' value.
    QString storedText(CardBox box) const;
    QString &text(CardBox box) { return m_box[size_t(Index(box))]; }
    const QString &text(CardBox box) const { return m_box[size_t(Index(box))]; }
    void mark(CardBox box) { m_boxChanged.mark(box); }
    bool marked(CardBox box) const { return m_boxChanged[box]; }
    void boxesToRecord(Record &rec, PdfEntry &pdf) const;
    void JPcomboSet();
    void JPcode2name();
    void setPickedCode(int position);
    void takeJPcomboText();
    bool writeUrlDoi(QString &error);

    bool askOkCancel(const QString &text) const;
    bool anyMarked() const;
    int maxHits() const;

    Session &m_session;
    JPcodeTable &m_jp;
    QDate m_today;

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
    CardBox m_focusBox = CardBox::Memo;
    int m_showings = 0;
    // The shown record is a new one that is not in the record file yet.
    bool m_unwrittenNew = false;
    QStringList m_jpList;
    int m_jpSelection = -1;
    QString m_jpComboText;
    bool m_jpTyped = false; // m_jpComboText was typed and is not taken yet
    QString m_recNumText;
    bool m_recNumEdited = false;
    Record m_copyRec; // starts blank with JP code 0: nothing to paste
    PdfEntry m_copyPdf;
};

} // namespace tz
