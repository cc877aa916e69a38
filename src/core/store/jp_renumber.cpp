#include "core/store/jp_renumber.h"

#include "core/common/basic.h"
#include "core/common/file_lookup.h"
#include "core/store/record.h"

#include <QtEndian>

namespace tz {

JPrenumber JPrenumber::identity()
{
    JPrenumber r;
    r.code.resize(kJPcodeMax + 1);
    for (int c = 0; c <= kJPcodeMax; ++c)
        r.code[c] = static_cast<qint16>(c);
    return r;
}

void JPrenumber::apply(qint16 &jpcode, qint16 &recordStyle) const
{
    const qint16 old = jpcode;
    if (old > 0 && old < code.size())
        jpcode = code[old];
    if (styleCode != 0 && old == styleCode)
        recordStyle = style;
}

bool JPrenumber::changesAnything() const
{
    if (styleCode != 0)
        return true;
    for (int c = 1; c < code.size(); ++c)
        if (code[c] != c)
            return true;
    return false;
}

int RecordCountOf(qint64 fileBytes)
{
    return RoundClamp(static_cast<double>(fileBytes) / kRecordSize, 0, kMaxRecords);
}

namespace {

constexpr qsizetype kCodeAt = RecordLayout::JPcode.offset;
constexpr qsizetype kStyleAt = RecordLayout::Style.offset;

// How many records a pass walks: those whose JP code field is there.
int recordsWithCode(qsizetype bytes, int count)
{
    const qsizetype whole = bytes >= kCodeAt + 2 ? (bytes - kCodeAt - 2) / kRecordSize + 1 : 0;
    return static_cast<int>(qMin<qsizetype>(count, whole));
}

} // namespace

std::optional<QList<int>> JPcodeUsage(QByteArrayView records, int count, int JPendE, const RecordStep &step)
{
    QList<int> usage(qMax(JPendE, 0) + 1, 0);
    const int walk = recordsWithCode(records.size(), count);
    const char *data = records.data();
    for (int n = 0; n < walk; ++n) {
        const qint16 c = qFromLittleEndian<qint16>(data + qsizetype(n) * kRecordSize + kCodeAt);
        if (c > 0 && c <= JPendE)
            ++usage[c];
        if (step && !step(n + 1, count))
            return std::nullopt;
    }
    return usage;
}

std::optional<int> RenumberRecords(char *data, qsizetype size, int count, const JPrenumber &change,
                                   const RecordStep &step)
{
    const int walk = recordsWithCode(size, count);
    int changed = 0;
    for (int n = 0; n < walk; ++n) {
        char *rec = data + qsizetype(n) * kRecordSize;
        const qint16 oldCode = qFromLittleEndian<qint16>(rec + kCodeAt);
        const qint16 oldStyle = qFromLittleEndian<qint16>(rec + kStyleAt);
        qint16 code = oldCode;
        qint16 style = oldStyle;
        change.apply(code, style);
        if (code != oldCode || style != oldStyle) {
            qToLittleEndian<qint16>(code, rec + kCodeAt);
            qToLittleEndian<qint16>(style, rec + kStyleAt);
            ++changed;
        }
        if (step && !step(n + 1, count))
            return std::nullopt;
    }
    return changed;
}

bool ReadRecordsWhole(const QString &bankPath, LargeBuffer &out, QString *error)
{
    out = LargeBuffer();
    const QString path = bankPath.isEmpty() ? QString() : FindFileNoCase(bankPath, QString(kRecordFileName));
    return path.isEmpty() || ReadFileWhole(path, 64 * 1024 * 1024, out, error);
}

} // namespace tz
