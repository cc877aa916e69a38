#include "core/format/definition_file.h"

#include "core/common/basic.h"
#include "core/common/cp932.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"

#include <QDir>
#include <QFileInfo>

namespace tz {
namespace {

constexpr QChar kUndecodable = QChar(0xFFFD);

// Reads at most MaxDefinitionFileBytes of a regular file; the reason in
// *error otherwise.
std::optional<QByteArray> readLimited(const QString &path, QString *error)
{
    const qint64 size = RegularFileSize(path, error);
    if (size < 0)
        return std::nullopt;
    if (size > MaxDefinitionFileBytes) {
        *error = QStringLiteral("%1 が大きすぎます（上限 %2 バイト）")
                     .arg(QFileInfo(path).fileName(), QString::number(MaxDefinitionFileBytes));
        return std::nullopt;
    }
    QByteArray bytes;
    if (!ReadFileHead(path, MaxDefinitionFileBytes, bytes, error))
        return std::nullopt;
    return bytes;
}

} // namespace

std::optional<double> LeadingNumber(QStringView t)
{
    qsizetype i = 0;
    while (i < t.size() && (t[i] == u' ' || t[i] == u'\t'))
        ++i;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    if (i < t.size() && t[i] == u'.')
        ++i;
    if (i < t.size() && t[i] >= u'0' && t[i] <= u'9')
        return Val(t);
    return std::nullopt;
}

QString QuotedInMessage(const QString &text)
{
    constexpr qsizetype kMax = 40;
    return text.size() > kMax ? text.left(kMax) + QStringLiteral("…") : text;
}

QList<QByteArrayView> DefinitionLines(QByteArrayView bytes, qsizetype maxLines)
{
    QList<QByteArrayView> lines;
    const qsizetype n = bytes.size();
    qsizetype pos = 0;
    while (pos < n && lines.size() < maxLines) {
        qsizetype end = pos;
        while (end < n && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines.append(bytes.sliced(pos, end - pos));
        if (end < n && bytes[end] == '\r' && end + 1 < n && bytes[end + 1] == '\n')
            pos = end + 2;
        else
            pos = end + 1;
    }
    return lines;
}

bool ReplaceUndecodable(QString &text)
{
    if (!text.contains(kUndecodable))
        return false;
    text.replace(kUndecodable, QLatin1Char('?'));
    return true;
}

QString NameLineText(QStringView line)
{
    return Trim(line.size() > 2 ? line.sliced(2) : QStringView());
}

int DefinitionCount(const QList<QByteArrayView> &lines, int max, const QString &fileName, const QString &item,
                    QStringList &report)
{
    if (lines.size() < 2) {
        report
            << (lines.isEmpty()
                    ? QStringLiteral("%1: ファイルが空です。%2を読み込みませんでした").arg(fileName, item)
                    : QStringLiteral("%1: 2 行目（%2の数）がありません。%2を読み込みませんでした").arg(fileName, item));
        return 0;
    }
    const QString text = Trim(cp932::decode(lines[1]));
    const std::optional<double> value = LeadingNumber(text);
    if (!value) {
        report << QStringLiteral("%1: 2 行目の%2の数「%3」が数値ではありません。%2を読み込みませんでした")
                      .arg(fileName, item, QuotedInMessage(text));
        return 0;
    }
    const int count = RoundClamp(*value, -1, max + 1);
    if (count < 0) {
        report << QStringLiteral("%1: %2の数が %3 になっています。%2を読み込みませんでした")
                      .arg(fileName, item, QString::number(*value, 'g', 15));
        return 0;
    }
    if (count > max) {
        report << QStringLiteral(
                      "%1: %2の数が %3 ですが、読み込めるのは %4 個までです。%2 %5 以降は読み込みませんでした")
                      .arg(fileName, item, QString::number(*value, 'g', 15), QString::number(max),
                           QString::number(max + 1));
        return max;
    }
    return count;
}

void ReportTruncated(int firstMissing, int count, bool partial, const QString &fileName, const QString &item,
                     QStringList &report)
{
    const QString where = partial ? QStringLiteral("%1: ファイルが%2 %3 の途中で終わっています。")
                                  : QStringLiteral("%1: ファイルが%2 %3 の前で終わっています。");
    const QString dropped =
        firstMissing == count ? QStringLiteral("%1 %2 は読み込みませんでした").arg(item, QString::number(firstMissing))
                              : QStringLiteral("%1 %2〜%3 は読み込みませんでした")
                                    .arg(item, QString::number(firstMissing), QString::number(count));
    report << where.arg(fileName, item, QString::number(firstMissing)) + dropped;
}

std::optional<QByteArray> LoadDefinitionFile(const QString &path, const QString &item, QString *shownName,
                                             QStringList &report)
{
    const QFileInfo info(path);
    const QString folder = info.path();
    const QString name = info.fileName();
    QString error;

    const QString found = FindFileNoCase(folder, name);
    if (!found.isEmpty()) {
        *shownName = QFileInfo(found).fileName();
        std::optional<QByteArray> bytes = readLimited(found, &error);
        if (!bytes)
            report << QStringLiteral("%1。%2を読み込みませんでした").arg(error, item);
        return bytes;
    }

    // First start: the shipped default becomes the file.
    const QString defaultName = info.completeBaseName() + QStringLiteral(".cfx");
    const QString defaultPath = FindFileNoCase(folder, defaultName);
    if (defaultPath.isEmpty()) {
        *shownName = name;
        report << QStringLiteral("%1 も既定の %2 も見つかりません。%3はありません").arg(name, defaultName, item);
        return std::nullopt;
    }
    *shownName = QFileInfo(defaultPath).fileName();
    std::optional<QByteArray> bytes = readLimited(defaultPath, &error);
    if (!bytes) {
        report << QStringLiteral("%1。%2を読み込みませんでした").arg(error, item);
        return std::nullopt;
    }
    QString reason;
    if (WriteFileAtomic(QDir(folder).filePath(name), *bytes, &reason)) {
        *shownName = name;
    } else {
        report << QStringLiteral("%1 を %2 にコピーできません（%3）。既定の%4をそのまま使います")
                      .arg(*shownName, name, reason, item);
    }
    return bytes;
}

} // namespace tz
