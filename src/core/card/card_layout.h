#pragma once
// The card's measures and the font choices shared by every window: the font
// names and sizes of the option menu, the font-size class they give, and the
// card's window height and box heights per class (twips: 1440 an inch,
// 15 a pixel at 96 dots per inch).

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

} // namespace tz
