#pragma once
// A buffer for a whole file of tens of megabytes, such as a record file read
// to be renumbered in memory. Where the system offers them, its memory comes
// in huge pages: filling 38 MB of ordinary pages takes one page fault per
// 4 KB, which on some systems costs far more than reading the file itself.

#include <QByteArrayView>
#include <QString>

namespace tz {

class LargeBuffer
{
public:
    LargeBuffer() = default;
    // `size` bytes, their content undefined. A buffer of size 0 on failure.
    explicit LargeBuffer(qsizetype size);
    ~LargeBuffer();
    LargeBuffer(LargeBuffer &&other) noexcept;
    LargeBuffer &operator=(LargeBuffer &&other) noexcept;
    LargeBuffer(const LargeBuffer &) = delete;
    LargeBuffer &operator=(const LargeBuffer &) = delete;

    char *data() { return m_data; }
    const char *data() const { return m_data; }
    qsizetype size() const { return m_size; }
    QByteArrayView view() const { return QByteArrayView(m_data, m_size); }

private:
    void release();

    char *m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_mapped = 0; // bytes mapped from the system, 0 when allocated
};

// Reads the whole regular file at path into `out`. False with *error when it
// is no regular file, cannot be read, or holds more than maxBytes (checked
// before anything is allocated).
bool ReadFileWhole(const QString &path, qint64 maxBytes, LargeBuffer &out, QString *error);

} // namespace tz
