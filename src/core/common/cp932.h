#pragma once
// Code page 932 (Shift-JIS, Windows-31J): the encoding of every file the program
// reads or writes, as the system's iconv CP932 converter (glibc) reads and writes
// it: its tables are constant data taken from that converter (cp932_table.h).

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace tz::cp932 {

// Decodes whole text. A byte sequence that does not decode becomes U+FFFD and
// decoding goes on with the next byte.
QString decode(QByteArrayView bytes);
// Decodes into out, which has room for bytes.size() code units; returns the
// number written.
qsizetype decodeInto(QByteArrayView bytes, char16_t *out);

// The 1-based numbers of the lines of bytes (ended by CR LF, CR or LF; at most
// maxLines of them) that do not decode exactly: some bytes do not decode, or
// what they decode to does not encode back. Writing such a line again would
// change it. Code page 932 never holds CR or LF inside a double-byte
// character, so the bytes are cut into lines before decoding.
QList<int> inexactLines(QByteArrayView bytes, int maxLines);

// Encodes whole text. Characters that code page 932 cannot hold become "?";
// *lossy (when given) is set to true when that happened, and left alone otherwise.
QByteArray encode(QStringView text, bool *lossy = nullptr);

// Encodes into exactly `width` bytes at `out`: left-aligned, padded with spaces,
// cut at the width without ever splitting a double-byte character (a character
// that would straddle the end is dropped and its freed byte becomes a space).
void encodeFixedInto(QStringView text, char *out, int width, bool *lossy = nullptr);
QByteArray encodeFixed(QStringView text, int width, bool *lossy = nullptr);

// Number of bytes the character takes when encoded (1 or 2). A character that
// cannot be encoded counts as the single byte "?".
int charBytes(char16_t c);

// Number of bytes `text` takes when encoded.
qsizetype encodedLength(QStringView text);

// The encoded byte of a character that encodes to one byte, or -1.
int singleByte(char16_t c);

// True for the bytes that start a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace tz::cp932
