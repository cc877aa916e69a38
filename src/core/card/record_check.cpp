#include "core/card/record_check.h"

#include "core/common/basic.h"
#include "core/common/field_text.h"
#include "core/common/ole_date.h"
#include "core/common/storable_text.h"
#include "core/format/name_list.h"

#include <optional>

namespace tz {
namespace {

// A typed whole number: numeric text rounded half to even; nothing when the text
// is no number or does not fit 16 bits.
std::optional<qint16> wholeNumber(const QString &t)
{
    if (!IsNumeric(t))
        return std::nullopt;
    return ToInt16(Val(t));
}

// A text box: the normalised text, marked when it differs from the stored copy.
RecCheckResult textBox(const QString &normalised, const QString &stored)
{
    RecCheckResult r;
    r.text = normalised;
    r.marked = normalised != stored;
    return r;
}

// The boxes that hold numbers, dates and addresses: an input method's
// full-width letters and digits count as plain ones there.
bool plainWidthBox(CardBox box)
{
    switch (box) {
    case CardBox::JPcode:
    case CardBox::Volume:
    case CardBox::Page1:
    case CardBox::Page2:
    case CardBox::Year:
    case CardBox::Link:
    case CardBox::RegDate:
    case CardBox::URL:
    case CardBox::DOI:
        return true;
    default:
        return false;
    }
}

RecCheckResult checkBox(CardBox box, const QString &boxText, const RecCheckContext &ctx);

} // namespace

QString PlainBoxText(CardBox box, const QString &text)
{
    return plainWidthBox(box) ? PlainWidth(text) : text;
}

qsizetype BoxByteWidth(CardBox box)
{
    switch (box) {
    case CardBox::Memo:
        return 70;
    case CardBox::Author:
        return 210;
    case CardBox::Title:
    case CardBox::Keyword:
        return 280;
    case CardBox::Editor:
    case CardBox::Book:
        return 140;
    case CardBox::Volume:
        return 20;
    case CardBox::Page1:
    case CardBox::Page2:
        return 10;
    case CardBox::Year:
        return 4;
    case CardBox::URL:
    case CardBox::DOI:
        return 300;
    case CardBox::Style:
    case CardBox::JPcode:
    case CardBox::RegDate:
        return 40;
    case CardBox::Link:
        break;
    }
    return 4096;
}

QString BoxCutMessage(CardBox box, qsizetype removed)
{
    const qsizetype width = BoxByteWidth(box);
    return QStringLiteral(
               "この欄に入るのは半角 %1 文字（全角 %2 文字）までです。\n入りきらない %3 文字を切り捨てました。")
        .arg(width)
        .arg(width / 2)
        .arg(removed);
}

int BoxHelpContext(CardBox box)
{
    switch (box) {
    case CardBox::Style:
        return 3020;
    case CardBox::Memo:
        return 3030;
    case CardBox::Author:
    case CardBox::Editor:
        return 3040;
    case CardBox::Title:
    case CardBox::Book:
    case CardBox::Keyword:
        return 3050;
    case CardBox::JPcode:
        return 3060;
    case CardBox::Volume:
        return 3070;
    case CardBox::Page1:
    case CardBox::Page2:
        return 3080;
    case CardBox::Year:
        return 3090;
    case CardBox::Link:
        return 3100;
    case CardBox::RegDate:
        return 2030;
    case CardBox::URL:
    case CardBox::DOI:
        return 2020;
    }
    return 3000;
}

RecCheckResult P3RecCheck(CardBox box, const QString &boxText, const RecCheckContext &ctx)
{
    // What the box holds, as the record can store it; the check then runs as
    // if that had been typed.
    const StorableText storable = MakeStorable(PlainBoxText(box, WithoutLineBreaks(boxText)));
    RecCheckContext plain = ctx;
    plain.page1Box = PlainWidth(ctx.page1Box);
    RecCheckResult r = checkBox(box, storable.text, plain);
    if (const QString notice = StorableMessage(storable); !notice.isEmpty())
        r.message = r.message.isEmpty() ? notice : notice + QStringLiteral("\n\n") + r.message;
    return r;
}

namespace {

RecCheckResult checkBox(CardBox box, const QString &boxText, const RecCheckContext &ctx)
{
    const QString t = Trim(boxText);
    const RecX &x = ctx.recX;
    switch (box) {
    case CardBox::Style: {
        const std::optional<qint16> n = ToInt16(Val(t));
        const qint16 style = (n && *n >= 1 && *n <= 6) ? *n : 1;
        // The hidden style box always gets the repaired number, so that an
        // out-of-range style never reaches the record.
        RecCheckResult r;
        r.marked = style != x.style;
        r.text = QString::number(style);
        return r;
    }
    case CardBox::Memo:
        return textBox(FitBytes(t, 70), x.memo);
    case CardBox::Author:
        return textBox(FitBytes(NameListNormalize(t), 210), x.author);
    case CardBox::Title:
        return textBox(FitBytes(TitlePeriod(t), 280), x.title);
    case CardBox::Editor:
        return textBox(FitBytes(NameListNormalize(t), 140), x.editor);
    case CardBox::Book:
        return textBox(FitBytes(TitlePeriod(t), 140), x.book);
    case CardBox::JPcode: {
        RecCheckResult r;
        r.text = boxText;
        if (t.isEmpty())
            return r;
        const std::optional<qint16> c = wholeNumber(t);
        if (!c) {
            r.message = kMsgJPcodeNumeric;
            return r;
        }
        const qint16 code = (*c < 1 || *c > ctx.JPendE) ? 0 : *c;
        if (code != x.JPcode) {
            r.marked = true;
            r.text = QString::number(code);
            r.showJPname = true;
        }
        return r;
    }
    case CardBox::Volume:
        return textBox(FitBytes(t, 20), x.volume);
    case CardBox::Page1:
        return textBox(FitBytes(t, 10), x.page1);
    case CardBox::Page2: {
        // A completed last page never holds more than its field (10 bytes).
        const QString p = FitBytes(PageEndFill(FitBytes(Trim(ctx.page1Box), 10), FitBytes(t, 10)), 10);
        RecCheckResult r;
        r.marked = p != x.page2 || p != t;
        r.text = r.marked ? p : boxText;
        return r;
    }
    case CardBox::Year: {
        RecCheckResult r;
        r.text = boxText;
        qint16 y = 0;
        qint16 typed = 0;
        if (!t.isEmpty()) { // an empty box stays empty: no year
            const QString cut = t.size() >= 5 ? t.left(4) : t;
            const std::optional<qint16> v = wholeNumber(cut);
            if (!v) {
                r.message = kMsgYearNumeric;
                return r;
            }
            typed = *v;
            y = *v < 50 ? static_cast<qint16>(*v + 2000) : *v < 100 ? static_cast<qint16>(*v + 1900) : *v;
        }
        r.marked = y != x.year || y != typed;
        if (r.marked)
            r.text = y == 0 ? QString() : QString::number(y);
        return r;
    }
    case CardBox::Keyword:
        return textBox(FitBytes(t, 280), x.keyword);
    case CardBox::Link: {
        RecCheckResult r;
        r.text = boxText;
        r.setLinkText = true;
        r.linkText = t;
        if (t != ctx.LinkTextOld) {
            r.linkText = LinkListNorm(ctx.CurRec, t, ctx.RecCount, ctx.MaxHits);
            r.marked = true;
            r.text = r.linkText;
        }
        return r;
    }
    case CardBox::RegDate: {
        RecCheckResult r;
        r.text = boxText;
        const QDate d = ParseTypedDate(t);
        if (!d.isValid()) {
            r.message = kMsgRegDate;
            return r;
        }
        r.marked = d != x.regDate;
        return r;
    }
    case CardBox::URL:
        return textBox(FitBytes(t, 300), x.URL);
    case CardBox::DOI:
        return textBox(FitBytes(t, 300), x.DOI);
    }
    return RecCheckResult{boxText, false, false, {}, false, {}};
}

} // namespace
} // namespace tz
