#include "core/common/basic.h"

#include <cmath>

namespace tz {
namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Scans a number starting at i (after blanks); returns the end position, or i
// when there is no digit.
qsizetype scanNumber(QStringView t, qsizetype i, QByteArray *out)
{
    const qsizetype n = t.size();
    qsizetype p = i;
    QByteArray s;
    if (p < n && (t[p] == u'+' || t[p] == u'-'))
        s.append(static_cast<char>(t[p++].unicode()));
    int digits = 0;
    while (p < n && isDigit(t[p])) {
        s.append(static_cast<char>(t[p++].unicode()));
        ++digits;
    }
    if (p < n && t[p] == u'.') {
        s.append('.');
        ++p;
        while (p < n && isDigit(t[p])) {
            s.append(static_cast<char>(t[p++].unicode()));
            ++digits;
        }
    }
    if (digits == 0)
        return i;
    if (p < n && (t[p] == u'e' || t[p] == u'E' || t[p] == u'd' || t[p] == u'D')) {
        qsizetype q = p + 1;
        QByteArray e("e");
        if (q < n && (t[q] == u'+' || t[q] == u'-'))
            e.append(static_cast<char>(t[q++].unicode()));
        int expDigits = 0;
        while (q < n && isDigit(t[q])) {
            e.append(static_cast<char>(t[q++].unicode()));
            ++expDigits;
        }
        if (expDigits > 0) {
            s.append(e);
            p = q;
        }
    }
    if (out)
        *out = s;
    return p;
}

qsizetype skipBlanks(QStringView t, qsizetype i)
{
    while (i < t.size() && (t[i] == u' ' || t[i] == u'\t'))
        ++i;
    return i;
}

} // namespace

double Val(QStringView text)
{
    QByteArray s;
    const qsizetype start = skipBlanks(text, 0);
    if (scanNumber(text, start, &s) == start)
        return 0.0;
    const double v = s.toDouble(); // locale-independent
    return std::isfinite(v) ? v : 0.0;
}

bool IsNumeric(QStringView text)
{
    const qsizetype start = skipBlanks(text, 0);
    QByteArray s;
    const qsizetype end = scanNumber(text, start, &s);
    if (end == start)
        return false;
    if (skipBlanks(text, end) != text.size())
        return false;
    bool ok = false;
    const double v = s.toDouble(&ok);
    return ok && std::isfinite(v);
}

std::optional<qint16> ToInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = std::nearbyint(value); // default rounding mode: half to even
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(r);
}

int RoundClamp(double value, int lo, int hi)
{
    if (std::isnan(value))
        return lo;
    const double r = std::nearbyint(value);
    if (r < lo)
        return lo;
    if (r > hi)
        return hi;
    return static_cast<int>(r);
}

QString Trim(QStringView text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == u' ')
        ++b;
    while (e > b && text[e - 1] == u' ')
        --e;
    return text.sliced(b, e - b).toString();
}

QString LTrim(QStringView text)
{
    qsizetype b = 0;
    while (b < text.size() && text[b] == u' ')
        ++b;
    return text.sliced(b).toString();
}

QString RTrim(QStringView text)
{
    qsizetype e = text.size();
    while (e > 0 && text[e - 1] == u' ')
        --e;
    return text.first(e).toString();
}

} // namespace tz
