#pragma once
// Record styles on the card: which boxes a style uses, the captions of the
// volume/page row, and the order in which the Enter key walks the boxes.

#include <QString>
#include <array>

namespace tz {

// The card's input boxes `EditRecBox` 0..15 (0 style, 1 memo, 2 author,
// 3 title, 4 editor, 5 book, 6 JP code, 7 volume, 8 first page, 9 last page,
// 10 year, 11 keyword, 12 link list, 13 registration date, 14 URL, 15 DOI).
inline constexpr int kCardBoxCount = 16;

// Captions of the style buttons `RadioStyle` 1..4 (entry 0 unused).
inline const std::array<QString, 5> kStyleButtonCaptions = {QString(), QStringLiteral("Journal"),
                                                            QStringLiteral("Book (edt)"), QStringLiteral("Monograph"),
                                                            QStringLiteral("etc.")};

// How the card lays out one style.
struct CardStyleLayout
{
    // In use: white and a tab stop. Not in use: light grey, still editable,
    // skipped by Tab and Enter. The hidden style box 0 is never in use.
    std::array<bool, kCardBoxCount> inUse{};
    QString label5; // caption before the volume box: "vol", or "Mon" for other material
    QString label6; // caption before the first-page box: "pp.", or "day"

    bool operator==(const CardStyleLayout &) const = default;
};

// The layout of a shown style. Styles 5, 6 and any other number are laid out
// like style 4.
CardStyleLayout P3StyleSet(int style);

// The box that Enter leads to from box focusBox: the next box of the cycle
// 1..12 that is in use (from 13, 14, 15 the cycle starts at 1, 2, 3).
int NextBoxOnEnter(int focusBox, const CardStyleLayout &layout);

// The group the JP code editor opens on for the selected style button:
// journals for 1, publishers for 2 and 3, others for 4; 0 (no button) keeps
// the editor's own choice.
int JPEditorGroup(int styleButton);

} // namespace tz
