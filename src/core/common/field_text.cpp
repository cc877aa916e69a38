#include "core/common/field_text.h"

#include "core/common/basic.h"
#include "core/common/comb_sort.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace tz {
namespace {

constexpr int kMaxPageDigits = 9;

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

QString TitlePeriod(const QString &text)
{
    if (Trim(text).isEmpty())
        return {};
    static const QString marks = QStringLiteral("?!.？！。．");
    if (marks.contains(text.back()))
        return text;
    return text + u'.';
}

QString PageEndFill(const QString &first, const QString &last)
{
    QString a = Trim(first);
    QString b = Trim(last);
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return {};
    if (!isAsciiDigit(a.back()))
        return b;

    qsizetype k = a.size();
    while (k > 0 && isAsciiDigit(a[k - 1]))
        --k;
    QString prefix;
    if (k > 0) {
        prefix = a.left(k);
        a = a.mid(k);
        if (b.startsWith(prefix))
            b = b.mid(prefix.size());
    }
    // A last page that is no number ("ff", "e123") is kept as typed, and
    // beyond nine digits a page text is no page number to complete.
    if (b.isEmpty() || !std::all_of(b.begin(), b.end(), isAsciiDigit) || a.size() > kMaxPageDigits ||
        b.size() > kMaxPageDigits)
        return Trim(last);

    const double va = Val(a);
    const double vb = Val(b);
    if (vb >= va)
        return prefix + b;
    if (b.size() > a.size())
        return b;
    const qsizetype n = b.size();
    const double scale = std::pow(10.0, static_cast<double>(n));
    const double high = Val(a.left(a.size() - n)) * scale;
    double low = vb;
    if (low < Val(a.right(n)))
        low += scale;
    return prefix + QString::number(static_cast<qint64>(high + low));
}

QString LinkListNorm(int r, const QString &s, int recCount, int maxHits)
{
    // Clean: digits stay, , : ; / become one ",", runs of "-" become one "-".
    QString t;
    t.reserve(s.size() + 1);
    for (QChar c : s) {
        if (isAsciiDigit(c)) {
            t.append(c);
        } else if (c == u',' || c == u':' || c == u';' || c == u'/') {
            if (!t.endsWith(u','))
                t.append(u',');
        } else if (c == u'-') {
            if (!t.isEmpty() && !t.endsWith(u'-'))
                t.append(u'-');
        }
    }

    // Collect in text order, ranges expanded within 1..recCount, up to maxHits.
    QList<qint16> nums(1, 0); // 1-based
    auto take = [&](double v) {
        if (v >= 1 && v <= recCount && nums.size() - 1 < maxHits)
            nums.append(static_cast<qint16>(v));
    };
    const QStringList items = t.split(u',');
    for (const QString &item : items) {
        if (nums.size() - 1 >= maxHits)
            break;
        if (item.isEmpty())
            continue;
        const qsizetype dash = item.indexOf(u'-');
        if (dash < 0) {
            take(std::trunc(Val(item)));
            continue;
        }
        const QString aText = item.left(dash);
        const QString bText = item.mid(dash + 1);
        // Only an end with fewer digits than the start is abbreviated ("120-5"
        // is 120 to 125); an end as long as the start is taken as typed, so
        // "5-3" is a reversed range and gives nothing.
        double a = Val(aText);
        double b = Val(bText.size() < aText.size() ? PageEndFill(aText, bText) : bText);
        if (a < 1)
            a = 1;
        if (b > recCount)
            b = recCount;
        for (double v = std::trunc(a); v <= b && nums.size() - 1 < maxHits; v += 1)
            take(v);
    }

    const qsizetype count = nums.size() - 1;
    SortHitsUp(nums, count);
    QStringList out;
    int prev = 0;
    for (qsizetype i = 1; i <= count; ++i) {
        const int n = nums[i];
        if (n == prev)
            continue;
        prev = n;
        if (n != r)
            out.append(QString::number(n));
    }
    return out.join(u',');
}

} // namespace tz
