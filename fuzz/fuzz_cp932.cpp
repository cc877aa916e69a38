// Any bytes through the code page 932 codec: decoding never fails, text that
// decoded cleanly encodes back to text that decodes the same, and fixed-width
// encoding always fills exactly its width without splitting a character.

#include "core/common/cp932.h"
#include "fuzz_check.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdlib>

using namespace tz;

namespace {

// Byte offsets at which the characters of text begin in its encoding, and its
// total length at the end.
QList<qsizetype> boundaries(QStringView text)
{
    QList<qsizetype> out{0};
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype step = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            step = 2;
        n += cp932::encodedLength(text.sliced(i, step));
        i += step - 1;
        out.append(n);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int width = data[0];
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));

    const QString text = cp932::decode(bytes);
    check(text.size() <= bytes.size());
    bool lossy = false;
    const QByteArray encoded = cp932::encode(text, &lossy);
    check(lossy == text.contains(QChar(0xFFFD)));
    check(encoded.size() == cp932::encodedLength(text));
    if (!lossy)
        check(cp932::decode(encoded) == text);

    const QByteArray fixed = cp932::encodeFixed(text, width);
    check(fixed.size() == width);
    // The fixed text is the longest whole-character prefix of the encoding that
    // fits, padded with blanks.
    const QList<qsizetype> cuts = boundaries(text);
    check(cuts.last() == encoded.size());
    qsizetype m = 0;
    for (qsizetype c : cuts)
        if (c <= width)
            m = c;
    check(fixed.first(m) == encoded.first(m));
    for (qsizetype i = m; i < width; ++i)
        check(fixed[i] == ' ');
    return 0;
}
