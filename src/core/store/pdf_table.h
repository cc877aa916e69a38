#pragma once
// The URL/DOI table "Pdf.tzd": entry n (600 bytes at (n-1)*600) belongs to
// record n and holds its URL (300 bytes) and DOI (300 bytes), code page 932,
// padded with spaces. No header.

#include "core/store/record.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace tz {

inline constexpr int kPdfEntrySize = 600;
inline constexpr int kPdfFieldWidth = 300;
inline constexpr QLatin1StringView kPdfFileName("Pdf.tzd");

// Texts without the trailing space padding.
struct PdfEntry
{
    QString URL;
    QString DOI;

    bool operator==(const PdfEntry &) const = default;
};

// Exactly 600 bytes; each field cut to 300 bytes without splitting a
// double-byte character.
QByteArray EncodePdfEntry(const PdfEntry &entry, bool *lossy = nullptr);
// Any number of bytes as one entry; missing bytes count as spaces.
PdfEntry DecodePdfEntry(QByteArrayView bytes);

// PdfClear: both fields blank.
void PdfClear(PdfEntry &buf);

// File routines (bankPath: the bank folder; "Pdf.tzd" found without regard to
// letter case). Error texts name the file and the reason.

// Creates the table with recCount blank entries (clamped to 0..32767) when the
// bank has none; an existing table is left alone.
bool PdfInit(const QString &bankPath, int recCount, QString *error = nullptr);

// Stored: reads entry n into buf (blank beyond the end of the file); Blank:
// PdfClear. False with *error (buf blank) when the file cannot be read or
// n is outside 1..32767.
bool PdfRead(const QString &bankPath, int n, ReadMode mode, PdfEntry &buf, QString *error = nullptr);

// Writes buf as entry n in place when `changed` (the URL or the DOI was
// edited); the file is lengthened with blank entries when n lies beyond its
// end (and created when missing). The entry reaches the file whole or the file
// is left as it was. A bank without its record file is refused.
bool PdfWrite(const QString &bankPath, int n, const PdfEntry &buf, bool changed, QString *error = nullptr);

// Every entry of the table (element i is entry i + 1), at most 32767. A bank
// without a table has no entries (no error).
QList<PdfEntry> PdfReadAll(const QString &bankPath, QString *error = nullptr);

// The table's bytes as they are, at most 32767 entries (none for a bank
// without a table), and the whole table replaced through a temporary file
// (a bank without its record file is refused). False with *error.
bool PdfReadBytes(const QString &bankPath, QByteArray &bytes, QString *error = nullptr);
bool PdfWriteWhole(const QString &bankPath, QByteArrayView bytes, QString *error = nullptr);

} // namespace tz
