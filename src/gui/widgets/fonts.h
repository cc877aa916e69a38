#pragma once
// The fonts of the font menu. The menu keeps its classic captions ("ＭＳ 明朝"
// and friends); each caption stands for the installed Japanese font of the
// same design, through Qt's font substitution.

#include <QFont>

namespace tz {

// The font for FontNameNo and FontSizeNo (sizes in points). The first call
// installs the substitutions.
QFont ChosenFont(int fontNameNo, int fontSizeNo);

// The font of a window's captions (labels, buttons, option buttons):
// "ＭＳ Ｐゴシック" at 8 points, whatever the font menu chooses for the boxes.
QFont CaptionFont();

} // namespace tz
