#pragma once
// The field check of the record card: what a box holds after the person leaves
// it, whether the box now counts as changed, and the message to show.

#include "core/card/card_box.h"

#include <QDate>
#include <QString>

namespace tz {

// The card's copy of the shown record (`RecX`): what the checks compare with.
struct RecX
{
    qint16 style = 1;
    QString memo, author, title, volume, page1, page2, editor, book, keyword;
    qint16 JPcode = 0;
    qint16 year = 0;
    QDate regDate;
    QString URL, DOI;
};

// Everything a check reads besides the box text.
struct RecCheckContext
{
    const RecX &recX;
    QString LinkTextOld; // the link list as stored
    QString page1Box;    // text of the first-page box (box 8), for box 9
    int CurRec = 1;
    int RecCount = 1;
    int JPendE = 0;
    int MaxHits = 200;
};

struct RecCheckResult
{
    QString text;             // the box text after the check
    bool marked = false;      // the check marks the box as changed
    bool setLinkText = false; // box 12: LinkText becomes linkText
    QString linkText;
    bool showJPname = false; // box 6: the name list shows the name of the new code
    QString message;         // a message to show, empty for none
};

// The three messages of the checks.
inline const QString kMsgJPcodeNumeric = QStringLiteral("JPコードは数値で入力して下さい");
inline const QString kMsgYearNumeric = QStringLiteral("年号は数値で入力して下さい");
inline const QString kMsgRegDate = QStringLiteral("登録日は日付（99/04/28 など）で入力して下さい");

// Checks box `box` holding `boxText`. A box that fails its check keeps
// its text, gets a message and no mark; the check never clears a mark. The
// text is first made storable: line breaks become blanks, the number,
// date and address boxes take full-width letters and digits as plain ones,
// and characters code page 932 cannot hold become their closest form or are
// left out, which the message tells. Texts are cut to their field's width in
// bytes.
RecCheckResult P3RecCheck(CardBox box, const QString &boxText, const RecCheckContext &ctx);

// A box's text with full-width letters and digits as plain ones where the box
// holds a number, a date or an address.
QString PlainBoxText(CardBox box, const QString &text);

// The room of a box in code page 932 bytes: its field's width (a double-byte
// character takes two); the year box takes four characters. The boxes of no
// record field (the JP code, the link list, the registration date) have room
// enough for any sound text.
qsizetype BoxByteWidth(CardBox box);

// The message when more than one character did not fit a box.
QString BoxCutMessage(CardBox box, qsizetype removed);

// The help topic of a box (F1 in it): the topic of its field menu item.
int BoxHelpContext(CardBox box);

} // namespace tz
