// Writing the author lists of a full bank: 32,767 stored lists of 2 to 8
// persons (some Japanese, some marked et al.) as the author rule of a form
// (mode 1) and as sort keys (mode 3). Each figure is the median of 7 rounds,
// in processor time of this thread (the machine is shared, so elapsed time
// says more about the other programs), with the elapsed time after it.

#include "core/format/name_list.h"
#include "support/timing.h"

#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

using tz::bench::median;
using tz::bench::Times;

constexpr int kRecords = 32767;

QStringList storedLists()
{
    static const char *const surnames[] = {
        "Smith",    "Jones",    "Brown",        "Taylor",   "Wilson",     "Johnson", "Davies",   "Robinson",
        "Wright",   "Thompson", "Evans",        "Walker",   "White",      "Roberts", "Green",    "Hall",
        "Wood",     "Jackson",  "Clarke",       "Nakamura", "Mueller",    "Rossi",   "Garcia",   "Martin",
        "Le_Blanc", "St_John",  "Van_Der_Berg", "De_Vries", "Srinivasan", "Ivanov",  "Kowalski", "Okafor"};
    static const char16_t *const japanese[] = {u"山田太郎", u"鈴木一郎", u"佐藤花子", u"田中次郎",
                                               u"伊藤美咲", u"渡辺健",   u"小林直樹", u"加藤由紀"};
    static const char *const suffixes[] = {"_Jr", "_Sr", "_III", "_2nd"};

    std::mt19937 rng(20261206);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };

    QStringList lists;
    lists.reserve(kRecords);
    for (int r = 0; r < kRecords; ++r) {
        const bool jp = pick(10) == 0;
        const int persons = 2 + pick(7);
        QStringList names;
        for (int p = 0; p < persons; ++p) {
            if (jp) {
                names.append(QString::fromUtf16(japanese[pick(8)]));
                continue;
            }
            QString name;
            for (int k = 1 + pick(3); k > 0; --k) {
                name += QChar(u'A' + pick(26));
                name += u'.';
            }
            name += QString::fromLatin1(surnames[pick(32)]);
            if (pick(25) == 0)
                name += QString::fromLatin1(suffixes[pick(4)]);
            names.append(name);
        }
        QString list = names.join(QStringLiteral(", "));
        if (pick(6) == 0)
            list += QStringLiteral(" et_al");
        lists.append(list);
    }
    return lists;
}

void report(const char *what, const Times &t)
{
    std::printf("%s: %d lists in %.0f ms (elapsed %.0f ms)\n", what, kRecords, t.cpu, t.wall);
}

} // namespace

int main()
{
    const QStringList lists = storedLists();
    tz::NameRule author;
    author.firstPerson = 1;
    author.secondPerson = 10;
    author.punctures = 2;
    author.et_al = 7;
    author.capitalize = 2;
    const tz::NameRule editor = author;

    qsizetype checksum = 0;
    auto formatAll = [&](int mode) {
        return [&, mode] {
            for (const QString &list : lists)
                checksum += tz::NameListFormat(list, mode, author, editor).size();
        };
    };
    const Times mode1 = median(formatAll(1));
    const Times mode3 = median(formatAll(3));

    // The renderer's way: parse each list once, write it and its sort key.
    const Times both = median([&] {
        for (const QString &list : lists) {
            const tz::ParsedNameList parsed = tz::NameListParse(list);
            checksum += tz::NameListFormat(parsed, author).size();
            checksum += tz::NameListFormat(parsed, tz::SortKeyRule()).size();
        }
    });

    report("format mode 1", mode1);
    report("format mode 3", mode3);
    report("parse once, format mode 1 and mode 3", both);
    std::printf("(checksum %lld)\n", static_cast<long long>(checksum));
    return 0;
}
