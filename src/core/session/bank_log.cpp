#include "core/session/bank_log.h"

#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/common/text.h"
#include "core/session/config_io.h"

#include <QDir>
#include <optional>

namespace tz {
namespace {

// Ten paths take a few KiB; more than this is not read.
constexpr qint64 kMaxLogBytes = 1024 * 1024;

bool holdsControl(QByteArrayView line)
{
    for (char ch : line) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 && b != '\t')
            return true;
    }
    return false;
}

} // namespace

QStringList BankLogParse(QByteArrayView bytes)
{
    if (bytes.size() > kMaxLogBytes) {
        // A line cut by the limit is no path: read up to the last complete line.
        bytes = bytes.first(kMaxLogBytes);
        const qsizetype cut = qMax(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
        bytes = bytes.first(cut + 1);
    }
    QStringList paths;
    qsizetype pos = 0;
    while (pos < bytes.size() && paths.size() < kBankPathCount) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        const QByteArrayView line = bytes.sliced(pos, end - pos);
        paths.append(holdsControl(line) ? QString() : QDir::fromNativeSeparators(cp932::decode(line)));
        pos = end;
        if (pos < bytes.size() && bytes[pos] == '\r')
            ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
    while (paths.size() < kBankPathCount)
        paths.append(QString());
    return paths;
}

QStringList BankLogLoad(const QString &file, const QString &appFolder)
{
    const std::optional<QByteArray> bytes = ReadConfigFile(file, kMaxLogBytes);
    if (!bytes) {
        QStringList paths(kBankPathCount);
        paths[0] = AddSuffix(QDir::fromNativeSeparators(appFolder), QStringLiteral("/")) + QStringLiteral("sample.bnk");
        return paths;
    }
    return BankLogParse(*bytes);
}

bool BankLogFormat(const QStringList &paths, QByteArray *out, QString *why)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < qMin<qsizetype>(paths.size(), kBankPathCount); ++i) {
        const QString path = Trim(paths[i]);
        if (path.isEmpty())
            continue;
        auto fail = [&](const QString &reason) {
            if (why)
                *why = QStringLiteral("entry %1 \"%2\" %3").arg(i + 1).arg(path, reason);
            return false;
        };
        if (path.contains(u'\r') || path.contains(u'\n'))
            return fail(QStringLiteral("holds a line break"));
        bool lossy = false;
        bytes += cp932::encode(path, &lossy);
        if (lossy)
            return fail(QStringLiteral("holds characters that code page 932 cannot hold"));
        bytes += "\r\n";
    }
    *out = bytes;
    return true;
}

bool BankLogSave(const QString &file, const QStringList &paths, QString *error)
{
    QByteArray bytes;
    QString why;
    if (!BankLogFormat(paths, &bytes, &why)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(file), why);
        return false;
    }
    return WriteConfigFile(file, bytes, error);
}

} // namespace tz
