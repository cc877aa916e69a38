#include "core/store/record_image.h"

#include "core/common/file_lookup.h"
#include "core/store/record.h"

#include <QFile>

namespace tz {

RecordImage::RecordImage(QByteArray bytes, int recCount)
    : m_owner(std::make_shared<const QByteArray>(std::move(bytes))),
      m_bytes(*std::static_pointer_cast<const QByteArray>(m_owner)), m_recCount(qBound(0, recCount, kMaxRecords))
{}

bool RecordImage::load(const QString &bankPath, QString *error)
{
    *this = RecordImage();
    const int count = RecCountSet(bankPath, error);
    if (count < 0)
        return false;
    // The file stays open for the mapping; it goes with the last copy.
    auto file = std::make_shared<QFile>(FilePathNoCase(bankPath, kRecordFileName));
    if (count > 0 && file->open(QIODevice::ReadOnly)) {
        const qint64 size = qMin<qint64>(file->size(), qint64(kMaxRecords) * kRecordSize);
        if (const uchar *mapped = file->map(0, size)) {
            m_owner = file;
            m_bytes = QByteArrayView(mapped, size);
            m_recCount = count;
            return true;
        }
    }
    QString readError;
    QByteArray bytes = ReadRecordFile(bankPath, &readError);
    if (!readError.isEmpty()) {
        if (error)
            *error = readError;
        return false;
    }
    *this = RecordImage(std::move(bytes), count);
    return true;
}

QByteArrayView RecordImage::record(int n) const
{
    return n <= m_recCount ? RecordAt(m_bytes, n) : QByteArrayView();
}

} // namespace tz
