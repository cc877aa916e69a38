// Any bytes as a BibTeX file (UTF-8 or code page 932, as an import decodes
// them): the reader gives references or an error, never both; what it reads
// is storable as records, which read back as many references once written.

#include "core/interchange/bibtex.h"
#include "core/interchange/exchange_file.h"
#include "fuzz_reference.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkReadBack(tz::ReadBibtex(tz::DecodeExchangeBytes(bytes)), tz::ReadBibtex, tz::WriteBibtex);
    return 0;
}
