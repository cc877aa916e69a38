#include "core/common/comb_sort.h"

namespace tz {
namespace {

// Last usable index of a 1-based range over the given lists.
qsizetype lastIndex(qsizetype offset, qsizetype count, qsizetype size)
{
    return qMin(offset + count, size - 1);
}

template <typename Key, typename Less>
void sortKeyed(QList<Key> &keys, QList<qint16> *items, qsizetype count, qsizetype offset, Less less)
{
    qsizetype size = keys.size();
    if (items)
        size = qMin(size, items->size());
    const qsizetype first = qMax<qsizetype>(offset + 1, 1);
    CombSort(
        first, lastIndex(offset, count, size), [&](qsizetype i, qsizetype j) { return less(keys[j], keys[i]); },
        [&](qsizetype i, qsizetype j) {
            std::swap(keys[i], keys[j]);
            if (items)
                std::swap((*items)[i], (*items)[j]);
        });
}

} // namespace

void SortHitsUp(QList<qint16> &list, qsizetype count)
{
    sortKeyed(list, nullptr, count, 0, [](qint16 a, qint16 b) { return a < b; });
}

void SortHitsDown(QList<qint16> &list, qsizetype count)
{
    sortKeyed(list, nullptr, count, 0, [](qint16 a, qint16 b) { return a > b; });
}

void SortByNumUp(QList<qint16> &keys, QList<qint16> &items, qsizetype count, qsizetype offset)
{
    sortKeyed(keys, &items, count, offset, [](qint16 a, qint16 b) { return a < b; });
}

void SortByNumDown(QList<qint16> &keys, QList<qint16> &items, qsizetype count)
{
    sortKeyed(keys, &items, count, 0, [](qint16 a, qint16 b) { return a > b; });
}

void SortByText(QStringList &keys, QList<qint16> &items, qsizetype count, qsizetype offset)
{
    sortKeyed(keys, &items, count, offset, [](const QString &a, const QString &b) { return a < b; });
}

} // namespace tz
