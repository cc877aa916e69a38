#include "core/search/search_kinds.h"

#include <QStringList>

namespace tz {

const QList<SearchKindItem> &SearchKindItems()
{
    static const QList<SearchKindItem> items = {
        {KindFreeKeyword, QStringLiteral("Free Keyword"), "mnuSF", QStringLiteral("フリーキーワード(&F)"),
         QStringLiteral("フリーキーワード(&F)"), 4030, false},
        {KindMemo, QStringLiteral("Memo"), "mnuSM", QStringLiteral("メモ(&M)"), QStringLiteral("メモ(&M)"), 4030,
         false},
        {KindAuthorEditor, QStringLiteral("Author + Editor"), "mnuSA", QStringLiteral("著者＋編者(&A)"),
         QStringLiteral("著者＆編者(&A)"), 4030, false},
        {KindTitleKeyword, QStringLiteral("Title + Keyword"), "mnuSK", QStringLiteral("タイトル＋キーワード(&K)"),
         QStringLiteral("タイトル＆キーワード(&K)"), 4030, false},
        {KindJPcode, QStringLiteral("JPcode"), "mnuSJ", QStringLiteral("JPコード（雑誌/出版社名)(&J)"),
         QStringLiteral("ＪＰコード(&J)"), 4030, true},
        {KindYear, QStringLiteral("Year"), "mnuSY", QStringLiteral("発行年(&Y)"), QStringLiteral("年(&Y)"), 4030,
         false},
        {KindRecord, QStringLiteral("Record"), "mnuSR", QStringLiteral("レコード番号(&R)"),
         QStringLiteral("レコード番号(&R)"), 4080, true},
        {KindBlank, QStringLiteral("Blank"), "mnuSB", QStringLiteral("空白レコード(&B)"),
         QStringLiteral("空白文献(&B)"), 4080, false},
        {KindDouble, QStringLiteral("Dbl_booked"), "mnuSD", QStringLiteral("重複レコード(&D)"),
         QStringLiteral("重複文献(&D)"), 4080, false},
    };
    return items;
}

QStringList SearchKindNames()
{
    QStringList names;
    for (const SearchKindItem &item : SearchKindItems())
        names.append(item.name);
    return names;
}

int SearchKindFromText(const QString &text)
{
    const QString t = text.trimmed();
    for (const SearchKindItem &item : SearchKindItems())
        if (item.name.compare(t, Qt::CaseInsensitive) == 0)
            return item.kind;
    bool ok = false;
    const int k = t.toInt(&ok);
    return ok && k >= KindFreeKeyword && k <= KindLinked ? k : -1;
}

} // namespace tz
