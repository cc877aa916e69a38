#include "core/common/print_lines.h"

#include <cmath>
#include <limits>

namespace tz {

QString PrintHeader(const QString &title, int page)
{
    return title + QStringLiteral("   (") + QString::number(page) + QLatin1Char(')');
}

bool IsPrintBreakChar(QChar c)
{
    switch (c.unicode()) {
    case 0x3001: // 、
    case 0xFF0C: // ，
    case 0x3002: // 。
    case 0xFF0E: // ．
    case 0x3000: // ideographic space
    case u',':
    case u'.':
    case u' ':
        return true;
    default:
        return false;
    }
}

int PrintLinesPerPage(double usableHeight, double lineHeight)
{
    if (!(lineHeight > 0) || !(usableHeight > 0))
        return 1;
    const double n = std::floor(usableHeight / lineHeight);
    if (!(n >= 1))
        return 1;
    if (n > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(n);
}

QList<QStringList> PrintPages(const QString &text, double width, int linesPerPage, const PrintCharWidth &charWidth)
{
    const int perPage = qMax(1, linesPerPage);
    QList<QStringList> pages(1);
    auto printLine = [&](const QString &line) {
        if (pages.last().size() >= perPage)
            pages.append(QStringList());
        pages.last().append(line);
    };

    QString line;
    double lineWidth = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            // CR LF is one line end; so are a lone CR and a lone LF.
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            printLine(line);
            line.clear();
            lineWidth = 0;
            continue;
        }
        const qsizetype len = (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QStringView unit = QStringView(text).mid(i, len);
        double w = charWidth ? charWidth(unit) : 0.0;
        if (!(w >= 0) || std::isinf(w))
            w = 0; // a width that is no width takes no room
        if (!line.isEmpty() && lineWidth + w > width && !IsPrintBreakChar(c)) {
            printLine(line);
            line.clear();
            lineWidth = 0;
        }
        line.append(unit);
        lineWidth += w;
        i += len - 1;
    }
    if (!line.isEmpty())
        printLine(line);
    return pages;
}

} // namespace tz
