#pragma once
// The maintenance of an open bank's JP code table: new codes with the
// enlargements, deleting and moving names, sorting, saving, the usage count,
// and copying the table of another bank. Operations that change code numbers
// rewrite the record file and the table as one change (CommitBankChange):
// the record file is read once, renumbered in memory and written whole.
// The JP code editor and the command line both work through this class, so
// that they do and refuse exactly the same things; each passes its own way
// of asking the person and of showing progress.

#include "core/jpcode/jpcode_ops.h"
#include "core/session/services.h"

#include <QString>
#include <functional>
#include <optional>

namespace tz {

class Session;

// Texts of the operations.
inline const QString kAskEnlarge = QStringLiteral("空きコードが足りないので\n新コードを %1 作ります。");
inline const QString kMsgCodeInUse = QStringLiteral("このコードは使用されていますので、消去できません。");
inline const QString kMsgNoMoveTarget = QStringLiteral("移動先がありません。作業を中止します。");
inline const QString kAskSort = QStringLiteral("すべてのJPコードをソートします。");
inline const QString kMsgTableFull =
    QStringLiteral("JP コードはこれ以上増やせません（表は 32767 コードまでです）。作業を中止します。");
inline const QString kMsgInexactNotWritten =
    QStringLiteral("JP コード表には正しく読めなかった行があるので、書き換えませんでした。作業を中止します。");
inline const QString kAskCopyJPcode =
    QStringLiteral("現在使用しているJPコードファイルを指定のファイル（%1）で上書きします。よろしいですか？");
inline const QString kAskCopyInexact =
    QStringLiteral("%1 には、シフトJIS として正しく読めない行があります（%2 行目）。\n"
                   "このままコピーすると、その行の名前は正しく表示されません。コピーしますか？");
inline const QString kCopyTitle = QStringLiteral("他文献バンクからのJPコード複製");
inline const QStringList kCopyFilters = {QStringLiteral("JPコードファイル (JPcode.tzd)"),
                                         QStringLiteral("すべてのファイル (*.*)")};

// The move question: "<from> 番の内容を<to> 番に移動します。" (for the target
// "Press names" with a blank after "内容を").
QString MoveQuestion(int from, int to, int targetCategory);

enum class JPstatus {
    Done,      // done (message: a warning that goes with it, if any)
    Unchanged, // nothing to do
    Refused,   // refused with the message
    Cancelled, // the person answered Cancel, or cancelled the record pass
    Failed,    // a file could not be read or written (the message says which); nothing changed
};

struct JPoutcome
{
    JPstatus status = JPstatus::Done;
    QString message;
    // newCode: the free code found, 0 when the category was enlarged instead;
    // moveCode: the code the name moved to.
    int code = 0;
    // The records were renumbered: the record the card shows must follow.
    std::optional<JPrenumber> renumbered;
};

class JPcodeMaintenance
{
public:
    // Works on `table`, the table of the bank in bankPath.
    explicit JPcodeMaintenance(JPcodeTable &table) : m_table(table) {}

    QString bankPath;
    // The questions with OK and Cancel; true goes on. None: always OK.
    std::function<bool(const QString &question)> confirm;
    // Asked before a table that was not read exactly is written. None: never.
    std::function<bool()> mayOverwriteInexact;
    // The progress window of the record passes and its Cancel.
    std::function<void(ProgressMode mode, int first, int last, int current)> progress;
    bool *cancelFlag = nullptr;

    // Records per code 0..JPendE as last counted.
    QList<int> usage;

    // Counts the usage from the record file (a missing file has no records).
    // Cancelled or Failed leave the usage as it was.
    JPoutcome countUsage();
    // The lowest free code of the category (empty and unused, the usage
    // counted afresh); with none, asks and enlarges the category.
    JPoutcome newCode(int category);
    // Asks, then enlarges the category as newCode does when no code is free.
    JPoutcome enlarge(int category);
    // Clears the name of a code no record uses (counted afresh); the table
    // file is written at the next save.
    JPoutcome deleteCode(int code);
    // Moves the name of a code to the lowest free code of another category;
    // its records follow and take the category's style.
    JPoutcome moveCode(int code, int targetCategory);
    // Asks, then sorts every category by name and renumbers the records.
    JPoutcome sort();
    // Writes the table to the bank's "JPcode.tzd".
    JPoutcome save();

private:
    JPoutcome commit(const JPchange &change);
    bool mayWrite();
    RecordStep step() const;
    bool ask(const QString &question) const { return !confirm || confirm(question); }

    JPcodeTable &m_table;
};

// A name as the editor stores it: line breaks as blanks, characters code page
// 932 cannot hold replaced or left out, at most 70 characters, trimmed.
// *message (when given) tells what was replaced or left out.
QString JPnameFromText(const QString &text, QString *message = nullptr);

// Copies the JP code file `from` over the bank's "JPcode.tzd" and loads the
// table from it. Only a regular file is copied; a file whose lines do not all
// decode exactly is copied only when askInexact (given the question) agrees.
// Copying the bank's own file leaves it untouched. Done (with a message when
// the loaded table was not read exactly), Cancelled, or Failed with nothing
// changed.
JPoutcome CopyJPcodeFile(const QString &from, const QString &bankPath, JPcodeTable &table,
                         const std::function<bool(const QString &question)> &askInexact);

// The bank menu's `mnuBJ` on the session's open bank: the file dialog
// (starting in the program folder), the question, the copy and the reload.
// True when the table was loaded anew.
bool JPcodeCopyFromOtherBank(Session &session);

} // namespace tz
