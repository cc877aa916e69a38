#pragma once
// Every sort of the program is this comb sort (shrink factor 1.3, gaps 9 and
// 10 become 11). Equal keys are never exchanged directly, so the order of
// equal keys is fixed by the algorithm and reproducible.

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace tz {

// Sorts entries first..last (inclusive); outOfOrder(i, j) tells whether the pair
// must be exchanged, swap(i, j) exchanges it.
template <typename OutOfOrder, typename Swap>
void CombSort(qsizetype first, qsizetype last, OutOfOrder outOfOrder, Swap swap)
{
    const qsizetype count = last - first + 1;
    if (count < 2)
        return;
    qsizetype gap = count;
    qsizetype swaps = 0;
    do {
        gap = static_cast<qsizetype>(static_cast<double>(gap) / 1.3);
        if (gap < 1)
            gap = 1;
        if (gap == 9 || gap == 10)
            gap = 11;
        swaps = 0;
        for (qsizetype i = first; i <= last - gap; ++i) {
            const qsizetype j = i + gap;
            if (outOfOrder(i, j)) {
                swap(i, j);
                ++swaps;
            }
        }
    } while (gap != 1 || swaps != 0);
}

// The lists below are 1-based: entry 0 is not touched. The ranges are clamped
// to the list.

// Entries 1..count ascending / descending.
void SortHitsUp(QList<qint16> &list, qsizetype count);
void SortHitsDown(QList<qint16> &list, qsizetype count);

// Entries offset+1..offset+count by key ascending, items moving with their keys.
void SortByNumUp(QList<qint16> &keys, QList<qint16> &items, qsizetype count, qsizetype offset);
// Entries 1..count by key descending.
void SortByNumDown(QList<qint16> &keys, QList<qint16> &items, qsizetype count);
// Entries offset+1..offset+count by text key (UTF-16 code units, case-sensitive).
void SortByText(QStringList &keys, QList<qint16> &items, qsizetype count, qsizetype offset);

} // namespace tz
