// The breaking of a printed text into lines and pages on arbitrary text, widths
// and page lengths: it must end, keep every character that is not a line end
// in order, keep surrogate pairs whole and never fill a page past its length.
//
// Input: 4 header bytes (text encoding, width, lines per page, measure), then
// the text as UTF-16 or UTF-8.

#include "core/common/print_lines.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    constexpr size_t kHeader = 4;
    if (size < kHeader)
        return 0;
    const uint8_t *h = data;
    const uint8_t *body = data + kHeader;
    const size_t bodySize = size - kHeader;

    QString text;
    if (h[0] & 1) {
        std::u16string units(bodySize / 2, u'\0');
        std::memcpy(units.data(), body, units.size() * 2);
        text = QString::fromStdU16String(units);
    } else {
        text = QString::fromUtf8(reinterpret_cast<const char *>(body), static_cast<qsizetype>(bodySize));
    }

    // Widths from below zero to past any line, now and then not a number.
    const double width = (h[0] & 2) ? std::nan("") : (static_cast<int8_t>(h[1])) / 4.0;
    const int perPage = static_cast<int8_t>(h[2]);
    const uint8_t measure = h[3];
    const tz::PrintCharWidth charWidth = [measure](QStringView c) -> double {
        const unsigned u = c.at(0).unicode();
        switch (measure % 4) {
        case 0:
            return (u % 7) / 2.0;
        case 1:
            return u % 5 == 0 ? std::nan("") : -1.0 * (u % 3);
        case 2:
            return u % 11 == 0 ? HUGE_VAL : 1.0;
        default:
            return c.size() * 1.5;
        }
    };

    const QList<QStringList> pages = tz::PrintPages(text, width, perPage, charWidth);
    if (pages.isEmpty())
        std::abort();
    // Each line is the next piece of the text after any line ends, and ends
    // neither inside a surrogate pair nor before the text's next character
    // that is no line end (unless the next line starts there).
    const qsizetype n = text.size();
    qsizetype pos = 0;
    auto skipLineEnds = [&] {
        while (pos < n && (text.at(pos) == u'\r' || text.at(pos) == u'\n'))
            ++pos;
    };
    for (const QStringList &page : pages) {
        if (page.size() > qMax(1, perPage))
            std::abort();
        for (const QString &line : page) {
            if (!line.isEmpty())
                skipLineEnds();
            if (QStringView(text).mid(pos, line.size()) != line)
                std::abort();
            pos += line.size();
            if (pos > 0 && pos < n && text.at(pos - 1).isHighSurrogate() && text.at(pos).isLowSurrogate())
                std::abort();
        }
    }
    skipLineEnds();
    if (pos != n)
        std::abort();
    return 0;
}
