#include "core/common/cp932.h"

#include "core/common/cp932_table.h"

namespace tz::cp932 {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The double-byte form of a lead and a trail byte, 0 when the pair decodes to nothing.
inline char16_t pairAt(unsigned char lead, unsigned char trail)
{
    return trail >= 0x40 && trail <= 0xFC ? kDoubleTable[LeadIndex(lead)][trail - 0x40] : 0;
}

} // namespace

qsizetype decodeInto(QByteArrayView bytes, char16_t *out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype k = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            out[k++] = b;
        } else if (const char16_t c = isLeadByte(b) && i + 1 < n ? pairAt(b, p[i + 1]) : 0) {
            out[k++] = c;
            ++i;
        } else {
            out[k++] = kSingleTable[b];
        }
    }
    return k;
}

QString decode(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    out.truncate(decodeInto(bytes, reinterpret_cast<char16_t *>(out.data())));
    return out;
}

namespace {

// Whether bytes decode into characters that can all be encoded again
// (encoding what they decode to loses nothing; a character with two byte
// forms, such as the NEC and IBM extensions, comes back in one of them).
bool decodesExactly(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const unsigned char b = p[i];
        if (b < 0x80)
            continue;
        char16_t c = isLeadByte(b) && i + 1 < n ? pairAt(b, p[i + 1]) : 0;
        if (c != 0)
            ++i;
        else
            c = kSingleTable[b];
        if (c == kReplacement || EncodingOf(c) == 0)
            return false;
    }
    return true;
}

} // namespace

QList<int> inexactLines(QByteArrayView bytes, int maxLines)
{
    QList<int> out;
    qsizetype pos = 0;
    for (int line = 1; line <= maxLines && pos < bytes.size(); ++line) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        if (!decodesExactly(bytes.sliced(pos, end - pos)))
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
    const quint16 e = EncodingOf(c);
    return (e != 0 && e < 0x100) ? e : -1;
}

int charBytes(char16_t c)
{
    if (c < 0x80)
        return 1;
    return EncodingOf(c) >= 0x100 ? 2 : 1;
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
    const quint16 e = EncodingOf(c);
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
