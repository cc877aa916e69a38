#include "core/session/bank_log.h"

#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/common/text.h"
#include "core/session/config_io.h"

#include <QDir>
#include <algorithm>
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

// The first kBankPathCount lines of the log's bytes, without their ends.
QList<QByteArrayView> logLines(QByteArrayView bytes)
{
    if (bytes.size() > kMaxLogBytes) {
        // A line cut by the limit is no path: read up to the last complete line.
        bytes = bytes.first(kMaxLogBytes);
        const qsizetype cut = qMax(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
        bytes = bytes.first(cut + 1);
    }
    QList<QByteArrayView> lines;
    qsizetype pos = 0;
    while (pos < bytes.size() && lines.size() < kBankPathCount) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines.append(bytes.sliced(pos, end - pos));
        pos = end;
        if (pos < bytes.size() && bytes[pos] == '\r')
            ++pos;
        if (pos < bytes.size() && bytes[pos] == '\n')
            ++pos;
    }
    return lines;
}

QString logMessage(const QString &file, const QString &reason)
{
    return QStringLiteral("バンクの履歴 %1: %2").arg(QDir::toNativeSeparators(file), reason);
}

} // namespace

QStringList BankLogParse(QByteArrayView bytes)
{
    QStringList paths;
    for (const QByteArrayView line : logLines(bytes))
        paths.append(holdsControl(line) ? QString() : QDir::fromNativeSeparators(cp932::decode(line)));
    while (paths.size() < kBankPathCount)
        paths.append(QString());
    return paths;
}

QStringList BankLogLoad(const QString &file, const QString &bankHome, ConfigReadState *state)
{
    ConfigReadState read;
    QString problem;
    const std::optional<QByteArray> bytes = ReadConfigFile(file, kMaxLogBytes, &problem);
    QStringList paths;
    if (bytes) {
        paths = BankLogParse(*bytes);
        read.found = true;
        // A line that does not decode exactly, or that is dropped as holding
        // control characters, would be lost by writing the log again.
        QList<int> lines = cp932::inexactLines(*bytes, kBankPathCount);
        const QList<QByteArrayView> all = logLines(*bytes);
        for (int line = 1; line <= all.size(); ++line)
            if (holdsControl(all[line - 1]) && !lines.contains(line))
                lines.append(line);
        std::sort(lines.begin(), lines.end());
        if (!lines.isEmpty()) {
            read.exact = false;
            read.message = logMessage(
                file, QStringLiteral("%1 行目はバンクのパスとして正しく読めません").arg(LineNumberList(lines)));
        }
    } else {
        paths = QStringList(kBankPathCount);
        paths[0] = AddSuffix(QDir::fromNativeSeparators(bankHome), QStringLiteral("/")) + QStringLiteral("sample.bnk");
        if (!problem.isEmpty())
            read = {true, false, QStringLiteral("バンクの履歴 %1").arg(problem)};
    }
    if (state)
        *state = read;
    return paths;
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
                *why = QStringLiteral("%1 番目のバンク「%2」は%3").arg(i + 1).arg(path, reason);
            return false;
        };
        if (path.contains(u'\r') || path.contains(u'\n'))
            return fail(QStringLiteral("改行を含んでいます"));
        bool lossy = false;
        bytes += cp932::encode(path, &lossy);
        if (lossy)
            return fail(QStringLiteral("シフトJIS で表せない文字を含んでいます"));
        bytes += "\r\n";
    }
    *out = bytes;
    return true;
}

bool BankLogSave(const QString &file, const QStringList &paths, QString *error, bool overwriteInexact)
{
    if (!overwriteInexact) {
        ConfigReadState read;
        BankLogLoad(file, QString(), &read);
        if (!read.exact) {
            if (error)
                *error = read.message + QStringLiteral("。上書きしませんでした（ファイルは元のままです）");
            return false;
        }
    }
    QByteArray bytes;
    QString why;
    if (!BankLogFormat(paths, &bytes, &why)) {
        if (error)
            *error = logMessage(file, why + QStringLiteral("。保存しませんでした"));
        return false;
    }
    return WriteConfigFile(file, bytes, error);
}

} // namespace tz
