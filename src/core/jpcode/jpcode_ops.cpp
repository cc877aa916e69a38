#include "core/jpcode/jpcode_ops.h"

#include "core/common/comb_sort.h"
#include "core/common/cp932.h"

namespace tz {
namespace {

// Codes above `threshold` move up by `delta`; codes beyond the table move
// with them, so that they still name no entry afterwards.
void shiftAbove(JPrenumber &r, int threshold, int delta)
{
    for (int c = threshold + 1; c <= kJPcodeMax; ++c)
        r.code[c] = static_cast<qint16>(qMin(c + delta, kJPcodeMax));
}

// A table with new group ends and no names yet (inexact marks kept: the
// names still come from the same file).
JPcodeTable resized(const JPcodeTable &table, int T, int J, int P, int E)
{
    JPcodeTable t = table;
    t.JPendT = static_cast<qint16>(T);
    t.JPendJ = static_cast<qint16>(J);
    t.JPendP = static_cast<qint16>(P);
    t.JPendE = static_cast<qint16>(E);
    t.JPname = QStringList(E + 1);
    return t;
}

QString name(const JPcodeTable &t, int code)
{
    return JPcodeName(t, code);
}

} // namespace

int JPcategoryFirst(const JPcodeTable &t, int category)
{
    switch (category) {
    case JPtop:
        return 1;
    case JPcommon:
        return t.JPendT + 1;
    case JPpress:
        return t.JPendJ + 1;
    case JPetc:
        return t.JPendP + 1;
    }
    return 1;
}

int JPcategoryLast(const JPcodeTable &t, int category)
{
    switch (category) {
    case JPtop:
        return t.JPendT;
    case JPcommon:
        return t.JPendJ;
    case JPpress:
        return t.JPendP;
    case JPetc:
        return t.JPendE;
    }
    return 0;
}

int JPcategoryOf(const JPcodeTable &t, int code)
{
    const int group = JPcodeGroup(t, code);
    return group == 0 ? -1 : group - 1;
}

int JPcategoryFromText(const QString &text)
{
    const QString t = text.trimmed();
    static const QStringList letters = {QStringLiteral("T"), QStringLiteral("J"), QStringLiteral("P"),
                                        QStringLiteral("E")};
    for (int k = 0; k < kJPcategoryCount; ++k)
        if (t == QString::number(k) || t.compare(kJPcategoryCaptions[size_t(k)], Qt::CaseInsensitive) == 0 ||
            t.compare(letters[k], Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

int JPusageOf(const QList<int> &usage, int code)
{
    return code >= 0 && code < usage.size() ? usage[code] : 0;
}

QString JPlistLine(int code, int usage, const QString &name)
{
    const QString count = usage > 0 ? QString::number(usage) : QString();
    return QString::number(code).rightJustified(4) + QStringLiteral("  (") + count.rightJustified(5) +
           QStringLiteral(")    ") + name;
}

QStringList JPlistLines(const JPcodeTable &table, const QList<int> &usage, int category)
{
    QStringList lines;
    const int last = JPcategoryLast(table, category);
    for (int c = JPcategoryFirst(table, category); c <= last; ++c)
        lines.append(JPlistLine(c, JPusageOf(usage, c), name(table, c)));
    return lines;
}

std::optional<int> JPfreeCode(const JPcodeTable &table, const QList<int> &usage, int category)
{
    const int last = JPcategoryLast(table, category);
    for (int c = JPcategoryFirst(table, category); c <= last; ++c)
        if (name(table, c).isEmpty() && JPusageOf(usage, c) == 0)
            return c;
    return std::nullopt;
}

std::optional<JPchange> JPcodePlusT(const JPcodeTable &table, const QList<int> &usage)
{
    const int T = table.JPendT, J = table.JPendJ, P = table.JPendP, E = table.JPendE;
    bool lastTenFree = J - T >= 10;
    for (int c = J - 9; lastTenFree && c <= J; ++c)
        lastTenFree = name(table, c).isEmpty() && JPusageOf(usage, c) == 0;

    JPchange change;
    change.renumber = JPrenumber::identity();
    if (lastTenFree) {
        // Category 1 gives its last ten free codes to category 0.
        change.table = resized(table, T + 10, J, P, E);
        for (int c = 1; c <= E; ++c) {
            if (c <= T || c > J)
                change.table.JPname[c] = name(table, c);
            else if (c + 10 <= J)
                change.table.JPname[c + 10] = name(table, c);
        }
        for (int c = T + 1; c <= J; ++c)
            change.renumber.code[c] = static_cast<qint16>(c + 10);
        return change;
    }
    if (E + 50 > kJPcodeMax)
        return std::nullopt;
    change.table = resized(table, T + 10, J + 50, P + 50, E + 50);
    for (int c = 1; c <= E; ++c)
        change.table.JPname[c <= T ? c : c <= J ? c + 10 : c + 50] = name(table, c);
    shiftAbove(change.renumber, J, 50);
    for (int c = T + 1; c <= J; ++c)
        change.renumber.code[c] = static_cast<qint16>(c + 10);
    return change;
}

namespace {

// Category ending at `end` gets 50 new codes: every name above it moves up.
std::optional<JPchange> plusFifty(const JPcodeTable &table, int end, int T, int J, int P)
{
    const int E = table.JPendE;
    if (E + 50 > kJPcodeMax)
        return std::nullopt;
    JPchange change;
    change.table = resized(table, T, J, P, E + 50);
    for (int c = 1; c <= E; ++c)
        change.table.JPname[c <= end ? c : c + 50] = name(table, c);
    change.renumber = JPrenumber::identity();
    shiftAbove(change.renumber, end, 50);
    return change;
}

} // namespace

std::optional<JPchange> JPcodePlusJ(const JPcodeTable &t)
{
    return plusFifty(t, t.JPendJ, t.JPendT, t.JPendJ + 50, t.JPendP + 50);
}

std::optional<JPchange> JPcodePlusP(const JPcodeTable &t)
{
    return plusFifty(t, t.JPendP, t.JPendT, t.JPendJ, t.JPendP + 50);
}

std::optional<JPchange> JPcodePlusS(const JPcodeTable &t)
{
    return plusFifty(t, t.JPendE, t.JPendT, t.JPendJ, t.JPendP);
}

std::optional<JPchange> JPcodePlus(const JPcodeTable &table, const QList<int> &usage, int category)
{
    switch (category) {
    case JPtop:
        return JPcodePlusT(table, usage);
    case JPcommon:
        return JPcodePlusJ(table);
    case JPpress:
        return JPcodePlusP(table);
    case JPetc:
        return JPcodePlusS(table);
    }
    return std::nullopt;
}

int JPcodePlusCount(int category)
{
    return category == JPtop ? 10 : 50;
}

JPchange JPcodeX(const JPcodeTable &table, int oldCode, int newCode, int style)
{
    JPchange change{table, JPrenumber::identity()};
    change.table.JPname[newCode] = name(table, oldCode);
    change.table.JPname[oldCode].clear();
    change.renumber.code[oldCode] = static_cast<qint16>(newCode);
    change.renumber.styleCode = static_cast<qint16>(oldCode);
    change.renumber.style = static_cast<qint16>(style);
    return change;
}

JPchange JPcodeSort(const JPcodeTable &table)
{
    JPchange change{table, JPrenumber::identity()};
    QStringList &names = change.table.JPname;
    QList<qint16> from(names.size()); // from[i]: the old code of the name now at i
    for (int i = 0; i < from.size(); ++i)
        from[i] = static_cast<qint16>(i);
    // Free codes behind every name, whatever characters the names begin with.
    auto less = [](const QString &a, const QString &b) { return !a.isEmpty() && (b.isEmpty() || a < b); };
    for (int category = 0; category < kJPcategoryCount; ++category)
        CombSort(
            JPcategoryFirst(table, category), JPcategoryLast(table, category),
            [&](qsizetype i, qsizetype j) { return less(names[j], names[i]); },
            [&](qsizetype i, qsizetype j) {
                std::swap(names[i], names[j]);
                std::swap(from[i], from[j]);
            });
    for (int i = 1; i <= table.JPendE; ++i)
        change.renumber.code[from[i]] = static_cast<qint16>(i);
    return change;
}

QString JPprintTitle(int category)
{
    return QStringLiteral("list of ") + kJPcategoryCaptions[size_t(category)];
}

QString JPlistBody(const JPcodeTable &table, const QList<int> &usage, int category)
{
    QString body;
    for (const QString &line : JPlistLines(table, usage, category))
        body += line + u'\r';
    return body;
}

QByteArray JPtextOutput(const JPcodeTable &table, const QList<int> &usage, int category, bool *lossy)
{
    const QString text = QStringLiteral("JPcode list of ") + kJPcategoryCaptions[size_t(category)] + u'\r' +
                         JPlistBody(table, usage, category) + QStringLiteral("\r\n");
    return cp932::encode(text, lossy);
}

} // namespace tz
