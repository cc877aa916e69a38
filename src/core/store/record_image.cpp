#include "core/store/record_image.h"

#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/store/record.h"

#include <QFile>
#include <memory>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

namespace tz {

struct RecordImage::File
{
    QFile file;
    qint64 size = 0; // the bytes that hold records, as at loading

    // Reads up to `length` bytes at `offset` into `into`; the bytes read.
    qint64 readAt(qint64 offset, char *into, qint64 length)
    {
        length = qBound<qint64>(0, qMin(length, size - offset), length);
        qint64 done = 0;
#ifdef Q_OS_UNIX
        // One call for each piece: no seek before it.
        while (done < length) {
            const ssize_t got = ::pread(file.handle(), into + done, size_t(length - done), off_t(offset + done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break; // an error, or the file became shorter meanwhile
            done += got;
        }
#else
        if (length == 0 || !file.seek(offset))
            return 0;
        while (done < length) {
            const qint64 got = file.read(into + done, length - done);
            if (got <= 0)
                break; // an error, or the file became shorter meanwhile
            done += got;
        }
#endif
        return done;
    }
};

RecordImage::RecordImage(QByteArray bytes, int recCount)
    : m_bytes(std::move(bytes)), m_recCount(qBound(0, recCount, kMaxRecords))
{}

bool RecordImage::load(const QString &bankPath, QString *error)
{
    *this = RecordImage();
    const int count = RecCountSet(bankPath, error);
    if (count < 0)
        return false;
    auto file = std::make_shared<File>();
    file->file.setFileName(FilePathNoCase(bankPath, kRecordFileName));
    if (!file->file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = FileError(file->file.fileName(), QStringLiteral("開けません（%1）").arg(file->file.errorString()));
        return false;
    }
    file->size = qMin<qint64>(file->file.size(), qint64(count) * kRecordSize);
    m_file = std::move(file);
    m_recCount = count;
    return true;
}

QByteArray RecordImage::record(int n) const
{
    if (n < 1 || n > m_recCount)
        return {};
    if (!m_file)
        return RecordAt(m_bytes, n).toByteArray();
    QByteArray bytes(kRecordSize, Qt::Uninitialized);
    bytes.truncate(m_file->readAt(qint64(n - 1) * kRecordSize, bytes.data(), kRecordSize));
    return bytes;
}

QByteArray RecordImage::field(int n, FieldSpan span) const
{
    if (n < 1 || n > m_recCount || span.offset < 0 || span.width <= 0 || span.offset >= kRecordSize)
        return {};
    const qsizetype width = qMin(span.width, kRecordSize - span.offset);
    if (!m_file) {
        const QByteArrayView rec = RecordAt(m_bytes, n);
        return span.offset < rec.size() ? rec.sliced(span.offset, qMin(width, rec.size() - span.offset)).toByteArray()
                                        : QByteArray();
    }
    QByteArray bytes(width, Qt::Uninitialized);
    bytes.truncate(m_file->readAt(qint64(n - 1) * kRecordSize + span.offset, bytes.data(), width));
    return bytes;
}

void RecordImage::scan(int first, int last, const Visit &visit) const
{
    first = qMax(first, 1);
    last = qMin(last, m_recCount);
    if (first > last)
        return;
    std::unique_ptr<char[]> buffer;
    if (m_file)
        buffer = std::make_unique<char[]>(size_t(kRunRecords) * kRecordSize);
    for (int n = first; n <= last;) {
        const int count = qMin(kRunRecords, last - n + 1);
        const qint64 offset = qint64(n - 1) * kRecordSize;
        QByteArrayView bytes;
        if (m_file) {
            bytes = QByteArrayView(buffer.get(), m_file->readAt(offset, buffer.get(), qint64(count) * kRecordSize));
        } else if (offset < m_bytes.size()) {
            bytes = QByteArrayView(m_bytes).sliced(offset,
                                                   qMin<qint64>(qint64(count) * kRecordSize, m_bytes.size() - offset));
        }
        if (!visit(n, count, bytes))
            return;
        n += count;
    }
}

} // namespace tz
