#pragma once
// The card's interchange commands: the bank menu's import and export and
// the record menu's "DOIから取り込む", with their dialogs, questions,
// progress window and messages.

#include "core/store/jp_renumber.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tz {

class CardModel;
class Session;

inline const QString kImportTitle = QStringLiteral("インポート");
inline const QStringList kImportFilters = {QStringLiteral("文献ファイル (*.ris *.bib *.json *.txt)"),
                                           QStringLiteral("すべてのファイル (*.*)")};
inline const QString kAskImport = QStringLiteral("%1 の %2 件の文献を、レコード %3～%4 として取り込みます。%5");
inline const QString kMsgImported = QStringLiteral("%1 件の文献を取り込みました（レコード %2～%3）。");
inline const QString kMsgNothingToImport = QStringLiteral("取り込む文献がありません（%1 件すべてが重複です）。");
inline const QString kMsgNotImported = QStringLiteral("取り込みませんでした。\n%1");
inline const QString kExportTitle = QStringLiteral("エクスポート");
inline const QString kMsgExported = QStringLiteral("%1 件の文献を %2 に書き出しました。");
inline const QString kDoiTitle = QStringLiteral("DOIから取り込む");
inline const QString kMsgDoiOnlyBlank =
    QStringLiteral("DOI から取り込めるのは、新しいレコードか空白のレコードだけです。\n"
                   "新しいレコードを作り、DOI の欄に DOI を入れてから選んでください。");
inline const QString kMsgDoiEmpty = QStringLiteral("DOI の欄に DOI（10.xxxx/xxxx の形）を入れてください。");
inline const QString kMsgDoiDuplicate = QStringLiteral("この文献はすでにバンクにあります（%1）。");

// The filters of the export dialog: the three formats for the whole bank,
// and for the search window's hits when there are any.
QStringList ExportFilters(int recCount, int hitCount);

// What the import did, for the card to follow.
struct MenuImport
{
    int first = 0;
    int count = 0;
    std::optional<JPrenumber> renumbered;
};

// "インポート(&I)...": the file dialog, the whole file read and checked, the
// question, the import with the progress window, and the report. The card
// saves its record before and shows the first new record after.
MenuImport ImportFromMenu(Session &session);

// The bank menu's import on the card: the shown record saved first (shown
// = the window shows the card again before the dialogs), then the import;
// afterwards the bank opened anew on the card at the first new record. True
// when the bank changed (new records or renumbered codes).
bool ImportIntoCard(CardModel &card, Session &session, const std::function<void()> &shown);

// "エクスポート(&X)...": the whole bank or the hits, in the format of the
// filter chosen. True when a file was written.
bool ExportFromMenu(Session &session, const QList<qint16> &hits);

// "DOIから取り込む": fills the card's new or blank record from the
// reference its DOI box names, as if typed (the boxes are checked and
// marked; a journal or publisher not in the table is taken as a typed name,
// which the card asks about when it saves). Nothing changes on any failure.
bool FillCardFromDoi(CardModel &card, Session &session);

} // namespace tz
