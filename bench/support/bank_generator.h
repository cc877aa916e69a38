#pragma once
// A full bank for the benchmarks: realistic records of all four styles with
// English and Japanese authors, titles and keywords, a JP code table of 500
// journals and publishers, years 1950-2025 and about 1% of the records booked
// twice (same JP code, volume, first page and the same starts of author and
// title).

#include <QString>

namespace bench {

struct GeneratedBank
{
    QString path;       // the bank folder
    int records = 0;    // records written
    int duplicates = 0; // records written as a second booking of an earlier one
    // Two words planted in about 110 records each, spread over the whole bank,
    // so that an OR search for both fills a list of 200 near the bank's end.
    QString rareWord1;
    QString rareWord2;
};

// Writes the bank folder `path` (created when missing): record.tzd,
// JPcode.tzd, an empty Link.tzd. Deterministic for a seed. Empty path in the
// result when a file cannot be written.
GeneratedBank WriteBenchBank(const QString &path, int records = 32767, unsigned seed = 20250601);

} // namespace bench
