#include "core/card/card_layout.h"

#include <algorithm>

namespace tz {

int FontPoints(int fontSizeNo)
{
    return kFontSizePoints[static_cast<size_t>(std::clamp(fontSizeNo, 0, int(kFontSizePoints.size()) - 1))];
}

QString FontCaption(int fontNameNo)
{
    return kFontNameCaptions[static_cast<size_t>(std::clamp(fontNameNo, 0, int(kFontNameCaptions.size()) - 1))];
}

int FontSizeClass(int fontSizeNo)
{
    return fontSizeNo <= 2 ? 1 : (fontSizeNo <= 4 ? 2 : 3);
}

CardRows CardLayoutRows(int fontSizeNo)
{
    static constexpr CardRows kRows[3] = {
        {8100, 285, 480, 680, 880},
        {9180, 340, 620, 840, 1040},
        {9880, 390, 700, 910, 1220},
    };
    return kRows[FontSizeClass(fontSizeNo) - 1];
}

CardColumns CardColumnsFor(int innerWidth)
{
    const int w = innerWidth;
    const int right = w - 120;             // the right margin of boxes and buttons
    const CardSpan wide{990, right - 990}; // a box across the card
    CardColumns c;
    c.box.fill(wide);
    c.label.fill({120, 990 - 120 - 60});
    c.box[size_t(Index(CardBox::Style))] = {};
    c.box[size_t(Index(CardBox::JPcode))] = {990, 855};
    c.jpCombo = {2040, right - 2040};
    // The volume row: volume, first and last page, year, and the registration
    // date at the right edge; labels "vol", "pp.", "-" and "Year" before them.
    c.box[size_t(Index(CardBox::Volume))] = {990, 1835};
    c.box[size_t(Index(CardBox::Page1))] = {3500, 855};
    c.box[size_t(Index(CardBox::Page2))] = {4940, 855};
    c.box[size_t(Index(CardBox::Year))] = {6620, 960};
    c.box[size_t(Index(CardBox::RegDate))] = {right - 1020, 1020};
    c.label[6] = {3020, 3500 - 3020 - 40}; // "pp."
    c.label[7] = {4460, 4940 - 4460 - 40}; // "-"
    c.label[8] = {6020, 6620 - 6020 - 40}; // "Year"
    // The top: record number, style buttons, the scroll bar with its range.
    c.recNum = {990, 2760 - 990 - 160};
    c.scroll = {2760, right - 2760};
    c.rangeLow = {2760, 945};
    c.rangeHigh = {right - 945, 945};
    for (int s = 1; s <= 4; ++s)
        c.style[size_t(s)] = {990 + (s - 1) * 1260, 1200};
    // The buttons.
    c.jpView = {990, 2040 - 990 - 50};
    c.linkView = {2040, 3120 - 2040 - 50};
    c.viewUrl = {3120, 4320 - 3120 - 50};
    c.viewDoi = {4320, 5520 - 4320 - 50};
    c.similar = {5520, 765};
    c.back = {w - (120 + 400 + 2295), 765};
    c.next = {w - (120 + 200 + 1530), 765};
    c.newRec = {w - (120 + 765), 765};
    return c;
}

std::array<CardRow, 11> CardRowsFor(int fontSizeNo)
{
    const CardRows r = CardLayoutRows(fontSizeNo);
    using B = CardBox;
    return {{
        {{B::Memo}, {1}, 1, 1, r.one},
        {{B::Author}, {2}, 1, 1, r.three},
        {{B::Title}, {3}, 1, 1, r.four},
        {{B::Editor}, {9}, 1, 1, r.two},
        {{B::Book}, {10}, 1, 1, r.two},
        {{B::JPcode}, {4}, 1, 1, r.one},
        {{B::Volume, B::Page1, B::Page2, B::Year, B::RegDate}, {5, 6, 7, 8}, 5, 4, r.one},
        {{B::Keyword}, {11}, 1, 1, r.one},
        {{B::Link}, {12}, 1, 1, r.three},
        {{B::URL}, {14}, 1, 1, kCardSingleRow},
        {{B::DOI}, {15}, 1, 1, kCardSingleRow},
    }};
}

} // namespace tz
