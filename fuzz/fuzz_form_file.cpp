// Any bytes as a form file: reading never fails, and what was read writes and
// reads back to the same table without a single message.
#include "core/format/form_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QStringList report;
    const tz::FormTable first = tz::ParseFormFile(bytes, QStringLiteral("form.cfg"), report);
    if (first.FormCount < 0 || first.FormCount > tz::MaxForms)
        std::abort();

    QString error;
    const std::optional<QByteArray> written = tz::FormFileBytes(first, QStringLiteral("form.cfg"), &error);
    if (!written)
        std::abort();
    QStringList again;
    const tz::FormTable second = tz::ParseFormFile(*written, QStringLiteral("form.cfg"), again);
    if (!again.isEmpty() || !(second == first))
        std::abort();
    if (tz::FormFileBytes(second, QStringLiteral("form.cfg"), &error) != written)
        std::abort();
    return 0;
}
