#pragma once
// The card's input boxes `EditRecBox` 0..15, one per field of the record, the
// link list, the registration date, the URL and the DOI. The same numbers
// index the change marks and the field menu.

#include <array>
#include <cstddef>

namespace tz {

enum class CardBox : int {
    Style = 0, // hidden: the style number as text
    Memo = 1,
    Author = 2,
    Title = 3,
    Editor = 4,
    Book = 5,
    JPcode = 6,
    Volume = 7,
    Page1 = 8,
    Page2 = 9,
    Year = 10,
    Keyword = 11,
    Link = 12,
    RegDate = 13,
    URL = 14,
    DOI = 15,
};

inline constexpr int kCardBoxCount = 16;

constexpr int Index(CardBox box)
{
    return static_cast<int>(box);
}
constexpr CardBox BoxAt(int index)
{
    return static_cast<CardBox>(index);
}
constexpr bool IsCardBox(int index)
{
    return index >= 0 && index < kCardBoxCount;
}

// Every box in index order.
inline constexpr std::array<CardBox, kCardBoxCount> kCardBoxes = {
    CardBox::Style,  CardBox::Memo,    CardBox::Author, CardBox::Title, CardBox::Editor, CardBox::Book,
    CardBox::JPcode, CardBox::Volume,  CardBox::Page1,  CardBox::Page2, CardBox::Year,   CardBox::Keyword,
    CardBox::Link,   CardBox::RegDate, CardBox::URL,    CardBox::DOI};

// The change marks `BoxChanged`: a box is marked when the person edited it
// since the record was shown.
class BoxFlags
{
public:
    bool operator[](CardBox box) const { return m_marks[std::size_t(Index(box))]; }
    void mark(CardBox box, bool on = true) { m_marks[std::size_t(Index(box))] = on; }
    // Every box but the style box marked (or none).
    void markAll(bool on)
    {
        for (CardBox b : kCardBoxes)
            m_marks[std::size_t(Index(b))] = on && b != CardBox::Style;
    }
    void clear() { m_marks.fill(false); }
    bool any() const
    {
        for (bool m : m_marks)
            if (m)
                return true;
        return false;
    }
    bool operator==(const BoxFlags &) const = default;

private:
    std::array<bool, kCardBoxCount> m_marks{};
};

} // namespace tz
