#include "core/card/card_style.h"

namespace tz {

CardStyleLayout P3StyleSet(int style)
{
    CardStyleLayout l;
    l.inUse.fill(true);
    l.inUse[0] = false;
    l.label5 = QStringLiteral("vol");
    l.label6 = QStringLiteral("pp.");
    switch (style) {
    case 1: // journal article: no editor, no book
        l.inUse[4] = l.inUse[5] = false;
        break;
    case 2: // chapter in an edited book: every box
        break;
    case 3: // monograph: no editor, book, volume or pages
        l.inUse[4] = l.inUse[5] = l.inUse[7] = l.inUse[8] = l.inUse[9] = false;
        break;
    default: // other material: the volume box holds the month, the first page the day
        l.inUse[4] = l.inUse[5] = l.inUse[9] = false;
        l.label5 = QStringLiteral("Mon");
        l.label6 = QStringLiteral("day");
        break;
    }
    return l;
}

int NextBoxOnEnter(int focusBox, const CardStyleLayout &layout)
{
    int box = focusBox < 0 ? 0 : focusBox;
    // Boxes 1 and 2 are in use in every style, so the walk ends within a cycle;
    // the bound only guards a layout built by hand.
    for (int step = 0; step < 13; ++step) {
        box = (box + 1) % 13;
        if (box == 0)
            box = 1;
        if (layout.inUse[box])
            return box;
    }
    return 1;
}

int JPEditorGroup(int styleButton)
{
    switch (styleButton) {
    case 1:
        return 1;
    case 2:
    case 3:
        return 2;
    case 4:
        return 3;
    default:
        return 0;
    }
}

} // namespace tz
