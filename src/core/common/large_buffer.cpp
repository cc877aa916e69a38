#include "core/common/large_buffer.h"

#include "core/common/file_io.h"

#include <QFile>
#include <algorithm>
#include <new>
#include <utility>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace tz {

LargeBuffer::LargeBuffer(qsizetype size)
{
    if (size <= 0)
        return;
#ifdef Q_OS_LINUX
    constexpr qsizetype kHugePage = 2 * 1024 * 1024;
    const qsizetype mapped = (size + kHugePage - 1) / kHugePage * kHugePage;
    void *p = ::mmap(nullptr, size_t(mapped), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p != MAP_FAILED) {
        ::madvise(p, size_t(mapped), MADV_HUGEPAGE);
        m_data = static_cast<char *>(p);
        m_size = size;
        m_mapped = mapped;
        return;
    }
#endif
    m_data = new (std::nothrow) char[size_t(size)];
    m_size = m_data ? size : 0;
}

LargeBuffer::~LargeBuffer()
{
    release();
}

LargeBuffer::LargeBuffer(LargeBuffer &&other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_mapped(std::exchange(other.m_mapped, 0))
{}

LargeBuffer &LargeBuffer::operator=(LargeBuffer &&other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mapped = std::exchange(other.m_mapped, 0);
    }
    return *this;
}

void LargeBuffer::release()
{
#ifdef Q_OS_LINUX
    if (m_mapped > 0)
        ::munmap(m_data, size_t(m_mapped));
    else
#endif
        delete[] m_data;
    m_data = nullptr;
    m_size = 0;
    m_mapped = 0;
}

bool ReadFileWhole(const QString &path, qint64 maxBytes, LargeBuffer &out, QString *error)
{
    out = LargeBuffer();
    const qint64 size = RegularFileSize(path, error);
    if (size < 0)
        return false;
    if (size > maxBytes) {
        if (error)
            *error = FileError(path, QStringLiteral("大きすぎます（%1 バイト）").arg(size));
        return false;
    }
    if (size == 0)
        return true;
    LargeBuffer buffer(size);
    if (buffer.size() != size) {
        if (error)
            *error = FileError(path, QStringLiteral("読み込むためのメモリが足りません"));
        return false;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        if (error)
            *error = FileError(path, QStringLiteral("開けません（%1）").arg(f.errorString()));
        return false;
    }
    qint64 done = 0;
    while (done < size) {
        const qint64 got = f.read(buffer.data() + done, size - done);
        if (got < 0) {
            if (error)
                *error = FileError(path, QStringLiteral("読み込めません（%1）").arg(f.errorString()));
            return false;
        }
        if (got == 0)
            break; // the file became shorter meanwhile
        done += got;
    }
    if (done < size) {
        LargeBuffer shorter(done);
        if (done > 0)
            std::copy(buffer.data(), buffer.data() + done, shorter.data());
        buffer = std::move(shorter);
    }
    out = std::move(buffer);
    return true;
}

} // namespace tz
