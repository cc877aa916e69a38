#include "core/card/card_style.h"

namespace tz {

CardStyleLayout P3StyleSet(int style)
{
    CardStyleLayout l;
    l.inUseAt.fill(true);
    auto notInUse = [&l](std::initializer_list<CardBox> boxes) {
        for (CardBox b : boxes)
            l.inUseAt[size_t(Index(b))] = false;
    };
    notInUse({CardBox::Style});
    l.label5 = QStringLiteral("vol");
    l.label6 = QStringLiteral("pp.");
    switch (style) {
    case 1: // journal article: no editor, no book
        notInUse({CardBox::Editor, CardBox::Book});
        break;
    case 2: // chapter in an edited book: every box
        break;
    case 3: // monograph: no editor, book, volume or pages
        notInUse({CardBox::Editor, CardBox::Book, CardBox::Volume, CardBox::Page1, CardBox::Page2});
        break;
    default: // other material: the volume box holds the month, the first page the day
        notInUse({CardBox::Editor, CardBox::Book, CardBox::Page2});
        l.label5 = QStringLiteral("Mon");
        l.label6 = QStringLiteral("day");
        break;
    }
    return l;
}

CardBox NextBoxOnEnter(CardBox focusBox, const CardStyleLayout &layout)
{
    int box = Index(focusBox);
    // Boxes 1 and 2 are in use in every style, so the walk ends within a cycle;
    // the bound only guards a layout built by hand.
    for (int step = 0; step < 13; ++step) {
        box = (box + 1) % 13;
        if (box == 0)
            box = 1;
        if (layout.inUse(BoxAt(box)))
            return BoxAt(box);
    }
    return CardBox::Memo;
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
