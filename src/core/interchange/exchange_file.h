#pragma once
// The interchange files as a whole: which format a file holds, its encoding
// (UTF-8 or code page 932), and reading or writing any of the three formats.

#include "core/interchange/reference.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

namespace tz {

enum class ExchangeFormat { Ris, Bibtex, CslJson };
inline constexpr ExchangeFormat kExchangeFormats[] = {ExchangeFormat::Ris, ExchangeFormat::Bibtex,
                                                      ExchangeFormat::CslJson};

// The largest interchange file read: a full bank of references with their
// abstracts fits well below it.
inline constexpr qint64 kMaxExchangeFileBytes = 32 * 1024 * 1024;

// "ris", "bibtex" (or "bib"), "csljson" (or "json", "csl-json"), any case.
std::optional<ExchangeFormat> ExchangeFormatFromName(const QString &name);
QString ExchangeFormatName(ExchangeFormat format);
// The usual file name ending: ".ris", ".bib", ".json".
QString ExchangeFormatSuffix(ExchangeFormat format);

// The format a text holds, told from its first characters: "TY  -" for RIS,
// "@" for BibTeX, "[" or "{" for CSL-JSON. Nothing for anything else.
std::optional<ExchangeFormat> DetectExchangeFormat(const QString &text);

// The bytes of a file as text: UTF-16 after its byte-order mark, UTF-8 when
// they are valid UTF-8 (a byte-order mark is dropped), code page 932
// otherwise. *cp932 tells which.
QString DecodeExchangeBytes(QByteArrayView bytes, bool *cp932 = nullptr);

// Reads a whole file's bytes in the format they hold. The error names what
// was wrong (a file of no known format, binary data, a line of the format).
ReadResult ReadExchange(QByteArrayView bytes);

QByteArray WriteExchange(ExchangeFormat format, const QList<Reference> &refs);

} // namespace tz
