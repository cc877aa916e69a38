#include "core/common/cp932.h"

#include <array>
#include <iconv.h>
#include <memory>

namespace tz::cp932 {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

struct Tables
{
    // Decoding: single bytes, and double bytes indexed by (lead << 8 | trail).
    // 0 in `dbl` marks a pair that does not decode.
    std::array<char16_t, 256> single{};
    std::array<bool, 256> singleValid{};
    std::unique_ptr<std::array<char16_t, 65536>> dbl = std::make_unique<std::array<char16_t, 65536>>();
    // Encoding per UTF-16 code unit: 0 = cannot be encoded, < 0x100 one byte
    // (U+0000 is handled apart), otherwise the two bytes lead << 8 | trail.
    std::unique_ptr<std::array<quint16, 65536>> enc = std::make_unique<std::array<quint16, 65536>>();

    Tables()
    {
        dbl->fill(0);
        enc->fill(0);
        iconv_t toUtf16 = iconv_open("UTF-16LE", "CP932");
        iconv_t fromUtf16 = iconv_open("CP932", "UTF-16LE");
        if (toUtf16 == reinterpret_cast<iconv_t>(-1) || fromUtf16 == reinterpret_cast<iconv_t>(-1))
            qFatal("iconv has no CP932 converter");

        auto decodeOne = [&](const unsigned char *in, size_t n, char16_t *out) -> bool {
            char buf[8];
            char *inp = const_cast<char *>(reinterpret_cast<const char *>(in));
            size_t inLeft = n;
            char *outp = buf;
            size_t outLeft = sizeof buf;
            iconv(toUtf16, nullptr, nullptr, nullptr, nullptr);
            if (iconv(toUtf16, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
                return false;
            if (sizeof buf - outLeft != 2)
                return false;
            *out =
                static_cast<char16_t>(static_cast<unsigned char>(buf[0]) | (static_cast<unsigned char>(buf[1]) << 8));
            return true;
        };

        for (int b = 0; b < 256; ++b) {
            const unsigned char in = static_cast<unsigned char>(b);
            char16_t c = 0;
            singleValid[b] = !isLeadByte(in) && decodeOne(&in, 1, &c);
            single[b] = singleValid[b] ? c : kReplacement;
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(static_cast<unsigned char>(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F)
                    continue;
                const unsigned char in[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
                char16_t c = 0;
                if (decodeOne(in, 2, &c) && c != 0)
                    (*dbl)[(lead << 8) | trail] = c;
            }
        }
        for (int u = 1; u < 65536; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF)
                continue;
            char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
            char out[8];
            char *inp = in;
            size_t inLeft = 2;
            char *outp = out;
            size_t outLeft = sizeof out;
            iconv(fromUtf16, nullptr, nullptr, nullptr, nullptr);
            if (iconv(fromUtf16, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1))
                continue;
            const size_t n = sizeof out - outLeft;
            if (n == 1 && out[0] != 0)
                (*enc)[u] = static_cast<unsigned char>(out[0]);
            else if (n == 2)
                (*enc)[u] = static_cast<quint16>((static_cast<unsigned char>(out[0]) << 8) |
                                                 static_cast<unsigned char>(out[1]));
        }
        iconv_close(toUtf16);
        iconv_close(fromUtf16);
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

} // namespace

QString decode(QByteArrayView bytes)
{
    const Tables &t = tables();
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    QString out(n, Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    qsizetype k = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            o[k++] = b;
        } else if (isLeadByte(b) && i + 1 < n && (*t.dbl)[(b << 8) | p[i + 1]] != 0) {
            o[k++] = (*t.dbl)[(b << 8) | p[i + 1]];
            ++i;
        } else {
            o[k++] = t.single[b];
        }
    }
    out.truncate(k);
    return out;
}

QList<int> inexactLines(QByteArrayView bytes, int maxLines)
{
    QList<int> out;
    qsizetype pos = 0;
    for (int line = 1; line <= maxLines && pos < bytes.size(); ++line) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        bool lossy = false;
        encode(decode(bytes.sliced(pos, end - pos)), &lossy);
        if (lossy)
            out.append(line);
        pos = end;
        if (pos < bytes.size() && bytes[pos] == '\r')
            ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
    return out;
}

int singleByte(char16_t c)
{
    if (c == 0)
        return 0;
    const quint16 e = (*tables().enc)[c];
    return (e != 0 && e < 0x100) ? e : -1;
}

int charBytes(char16_t c)
{
    if (c < 0x80)
        return 1;
    return (*tables().enc)[c] >= 0x100 ? 2 : 1;
}

qsizetype encodedLength(QStringView text)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i;
        n += charBytes(c);
    }
    return n;
}

namespace {

// Encodes the character at text[i] (advancing i past a surrogate pair) into
// out[0..1]; returns the number of bytes.
int encodeAt(QStringView text, qsizetype &i, char out[2], bool *lossy)
{
    const char16_t c = text[i].unicode();
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
        ++i;
    const quint16 e = (*tables().enc)[c];
    if (e == 0) {
        if (lossy)
            *lossy = true;
        out[0] = '?';
        return 1;
    }
    if (e < 0x100) {
        out[0] = static_cast<char>(e);
        return 1;
    }
    out[0] = static_cast<char>(e >> 8);
    out[1] = static_cast<char>(e & 0xFF);
    return 2;
}

} // namespace

QByteArray encode(QStringView text, bool *lossy)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    char buf[2];
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int n = encodeAt(text, i, buf, lossy);
        out.append(buf, n);
    }
    return out;
}

void encodeFixedInto(QStringView text, char *out, int width, bool *lossy)
{
    int k = 0;
    char buf[2];
    for (qsizetype i = 0; i < text.size() && k < width; ++i) {
        const int n = encodeAt(text, i, buf, lossy);
        if (k + n > width)
            break;
        out[k++] = buf[0];
        if (n == 2)
            out[k++] = buf[1];
    }
    while (k < width)
        out[k++] = ' ';
}

QByteArray encodeFixed(QStringView text, int width, bool *lossy)
{
    QByteArray out(width, ' ');
    encodeFixedInto(text, out.data(), width, lossy);
    return out;
}

} // namespace tz::cp932
