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

} // namespace tz
