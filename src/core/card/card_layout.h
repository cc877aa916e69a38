#pragma once
// The card's measures and the font choices shared by every window: the font
// names and sizes of the option menu, the font-size class they give, and the
// card's window height and box heights per class (twips: 1440 an inch,
// 15 a pixel at 96 dots per inch).

#include "core/card/card_box.h"

#include <QString>
#include <array>

namespace tz {

// Captions of the font menu items `fontn` 0..3 and `fontz` 0..5.
inline const std::array<QString, 4> kFontNameCaptions = {QStringLiteral("ＭＳ 明朝"), QStringLiteral("ＭＳ ゴシック"),
                                                         QStringLiteral("ＭＳ Ｐ明朝"),
                                                         QStringLiteral("ＭＳ Ｐゴシック")};
inline constexpr std::array<int, 6> kFontSizePoints = {8, 9, 10, 11, 12, 14};

// The font size in points for FontSizeNo (out-of-range numbers are clamped).
int FontPoints(int fontSizeNo);
// The caption of FontNameNo (out-of-range numbers are clamped).
QString FontCaption(int fontNameNo);

// The font-size class: sizes 0..2 give 1, 3 and 4 give 2, 5 gives 3.
int FontSizeClass(int fontSizeNo);

// The card's measures for one font-size class, in twips.
struct CardRows
{
    int windowHeight; // the card's fixed height
    int one;          // single-line boxes
    int two;          // Editor and Book
    int three;        // Author and the link list
    int four;         // Title
};
CardRows CardLayoutRows(int fontSizeNo);

// The card is never narrower than this; URL, DOI, the buttons and the top
// row keep the single-line height of class 1 whatever the font size.
inline constexpr int kCardMinWidth = 9150;
inline constexpr int kCardSingleRow = 285;

// The rows of boxes start at this height; consecutive rows stand this far
// apart. The scroll bar's row and the style buttons' row stand above them.
inline constexpr int kCardMemoTop = 1060;
inline constexpr int kCardRowGap = 40;
inline constexpr int kCardScrollTop = 330;
inline constexpr int kCardRangeTop = 60;
inline constexpr int kCardStyleTop = 690;

// A control's place across the card, in twips.
struct CardSpan
{
    int left = 0;
    int width = 0;
    bool operator==(const CardSpan &) const = default;
};

// Where every control of the card stands across a window of inner width
// `innerWidth` (twips): labels at 120, boxes from 990 to 120 before the right
// edge, the volume row and the button row at the places of the layout table,
// the buttons Back, Next/Save and New/Quit 765 wide at the right edge.
struct CardColumns
{
    std::array<CardSpan, kCardBoxCount> box{};   // by box; the hidden style box has none
    std::array<CardSpan, kCardBoxCount> label{}; // by label `EditRecLabel` index
    CardSpan jpCombo, recNum, scroll, rangeLow, rangeHigh;
    std::array<CardSpan, 5> style{}; // style buttons 1..4
    CardSpan jpView, linkView, viewUrl, viewDoi, similar, back, next, newRec;
};
CardColumns CardColumnsFor(int innerWidth);

// The rows of boxes from the memo down: the boxes that stand in each, the
// labels (`EditRecLabel` indexes) and its height in twips for a font size.
struct CardRow
{
    std::array<CardBox, 5> boxes;
    std::array<int, 4> labels;
    int count;      // boxes in the row
    int labelCount; // labels in the row
    int height;
};
std::array<CardRow, 11> CardRowsFor(int fontSizeNo);

} // namespace tz
