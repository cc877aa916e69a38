#pragma once
// Record styles on the card: which boxes a style uses, the captions of the
// volume/page row, and the order in which the Enter key walks the boxes.

#include "core/card/card_box.h"

#include <QString>
#include <array>

namespace tz {

// Captions of the style buttons `RadioStyle` 1..4 (entry 0 unused).
inline const std::array<QString, 5> kStyleButtonCaptions = {QString(), QStringLiteral("Journal"),
                                                            QStringLiteral("Book (edt)"), QStringLiteral("Monograph"),
                                                            QStringLiteral("etc.")};

// How the card lays out one style.
struct CardStyleLayout
{
    // In use: white and a tab stop. Not in use: light grey, still editable,
    // skipped by Tab and Enter. The hidden style box 0 is never in use.
    std::array<bool, kCardBoxCount> inUseAt{};
    bool inUse(CardBox box) const { return inUseAt[size_t(Index(box))]; }
    QString label5; // caption before the volume box: "vol", or "Mon" for other material
    QString label6; // caption before the first-page box: "pp.", or "day"

    bool operator==(const CardStyleLayout &) const = default;
};

// The layout of a shown style. Styles 5, 6 and any other number are laid out
// like style 4.
CardStyleLayout P3StyleSet(int style);

// The box that Enter leads to from box focusBox: the next box of the cycle
// memo .. link list that is in use (from the registration date, URL and DOI
// the cycle starts at the memo, the author and the title).
CardBox NextBoxOnEnter(CardBox focusBox, const CardStyleLayout &layout);

// The group the JP code editor opens on for the selected style button:
// journals for 1, publishers for 2 and 3, others for 4; 0 (no button) keeps
// the editor's own choice.
int JPEditorGroup(int styleButton);

} // namespace tz
