#include "core/common/ole_date.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace tz {
namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMaxDays = 2958465.0; // 9999-12-31
} // namespace

QDate OleToDate(double ole)
{
    if (ole == 0.0 || !std::isfinite(ole) || std::fabs(ole) > kMaxDays)
        return {};
    return kEpoch.addDays(static_cast<qint64>(std::trunc(ole)));
}

double DateToOle(QDate date)
{
    if (!date.isValid())
        return 0.0;
    return static_cast<double>(kEpoch.daysTo(date));
}

QDate ParseTypedDate(const QString &text)
{
    const QString t = text.trimmed();
    static const QRegularExpression re(QStringLiteral("^(\\d{1,4})([/-])(\\d{1,2})\\2(\\d{1,2})$"));
    const QRegularExpressionMatch m = re.match(t);
    if (m.hasMatch()) {
        int y = m.captured(1).toInt();
        if (m.captured(1).size() <= 2)
            y += y < 50 ? 2000 : 1900;
        const QDate d(y, m.captured(3).toInt(), m.captured(4).toInt());
        if (d.isValid())
            return d;
    }
    const QDate local = QLocale().toDate(t, QLocale::ShortFormat);
    return local.isValid() ? local : QDate();
}

} // namespace tz
