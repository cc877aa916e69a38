#include "core/store/bank_change.h"

#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/store/link_table.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#else
#include <filesystem>
#include <system_error>
#endif

namespace tz {
namespace {

QString inBank(const QString &bankPath, QLatin1StringView name)
{
    return QDir(bankPath).filePath(QString(name));
}

bool failWith(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Flushes the folder's entries, so that a rename or removal lasts.
void syncFolder(const QString &folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

// Gives the file `from` the name `to`, replacing what has that name in one step.
bool putInPlace(const QString &from, const QString &to, QString *error)
{
    int e = FileFaultCheck(FileStep::Rename, to);
#ifdef Q_OS_UNIX
    if (e == 0 && ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        e = errno;
#else
    if (e == 0) {
        std::error_code ec;
        std::filesystem::rename(from.toStdWString(), to.toStdWString(), ec);
        e = ec.value();
    }
#endif
    if (e != 0)
        return failWith(error, FileError(to, QStringLiteral("%1 で置き換えられません（%2）")
                                                 .arg(QDir::toNativeSeparators(from), SystemReason(e))));
    syncFolder(QFileInfo(to).absolutePath());
    return true;
}

// Removes a file; one that is not there is no failure.
bool removeFile(const QString &path, QString *error)
{
    QFile f(path);
    if (PathKindOf(path) == PathKind::Missing && !QFileInfo(path).isSymLink())
        return true;
    if (!f.remove())
        return failWith(error, FileError(path, QStringLiteral("削除できません（%1）").arg(f.errorString())));
    syncFolder(QFileInfo(path).absolutePath());
    return true;
}

bool present(const QString &path)
{
    return PathKindOf(path) != PathKind::Missing;
}

// Temporary files of whole-file writes left behind when a write was killed:
// those of the prepared files and of the intent, and those of the bank's own
// four files (".JPcode.tzd.1a2b3c"; never the prepared files themselves).
void removeStaleTemporaries(const QString &bankPath)
{
    const QDir dir(bankPath);
    QStringList patterns;
    for (QLatin1StringView name : {kBankChangeIntent, kBankChangeRecords, kBankChangeTable})
        patterns.append(QStringLiteral(".%1.*").arg(name));
    static const QRegularExpression bankFileTemporary(
        QStringLiteral("^\\.(record|JPcode|Link|Pdf)\\.tzd\\.[0-9a-f]{6}$"), QRegularExpression::CaseInsensitiveOption);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (QDir::match(patterns, name) || bankFileTemporary.match(name).hasMatch())
            QFile::remove(dir.filePath(name));
}

const QByteArray kIntentText = "Tessellane: the JP codes of this bank are being renumbered.\r\n"
                               ".record.tzd.renumbered takes the place of record.tzd,\r\n"
                               "then .JPcode.tzd.renumbered the place of JPcode.tzd.\r\n";

} // namespace

bool CompleteBankChange(const QString &bankPath, QString *error)
{
    if (bankPath.isEmpty())
        return true;
    removeStaleTemporaries(bankPath);
    for (QLatin1StringView name : {kRecordFileName, kPdfFileName, kLinkFileName})
        if (!UndoCutWrite(FilePathNoCase(bankPath, name), error))
            return false;
    const QString intent = inBank(bankPath, kBankChangeIntent);
    const QString records = inBank(bankPath, kBankChangeRecords);
    const QString table = inBank(bankPath, kBankChangeTable);
    if (!present(intent))
        return removeFile(records, error) && removeFile(table, error);
    if (present(records)) {
        // The record file was not replaced: the change never took effect.
        // The intent goes first, so that a kill in between cannot make the
        // waiting table look like the rest of a change that took effect.
        return removeFile(intent, error) && removeFile(records, error) && removeFile(table, error);
    }
    if (present(table) && !putInPlace(table, FilePathNoCase(bankPath, kJPcodeFileName), error))
        return false;
    return removeFile(intent, error);
}

bool CommitBankChange(const QString &bankPath, QByteArrayView records, QByteArrayView table, bool *committed,
                      QString *error)
{
    *committed = false;
    if (!CompleteBankChange(bankPath, error))
        return false;
    const QString intent = inBank(bankPath, kBankChangeIntent);
    const QString newRecords = inBank(bankPath, kBankChangeRecords);
    const QString newTable = inBank(bankPath, kBankChangeTable);
    auto dropPrepared = [&] {
        removeFile(newRecords, nullptr);
        removeFile(newTable, nullptr);
    };
    if (!WriteFileAtomic(newRecords, records, error) || !WriteFileAtomic(newTable, table, error) ||
        !WriteFileAtomic(intent, kIntentText, error)) {
        dropPrepared();
        return false;
    }
    if (!putInPlace(newRecords, FilePathNoCase(bankPath, kRecordFileName), error)) {
        // Not in effect: the change is rolled back. When even the intent
        // cannot be removed, the next opening of the bank rolls it back.
        QString undo;
        if (!removeFile(intent, &undo)) {
            if (error)
                *error += QStringLiteral("\n") + undo;
            return false;
        }
        dropPrepared();
        return false;
    }
    *committed = true;
    QString first;
    if (!putInPlace(newTable, FilePathNoCase(bankPath, kJPcodeFileName), &first) &&
        !CompleteBankChange(bankPath, nullptr))
        return failWith(error, first + QStringLiteral("\nレコードは新しい番号になりました。JP コード表は、次にこの"
                                                      "バンクを開くときに置き換えます"));
    removeFile(intent, nullptr); // a leftover intent with nothing waiting is removed at the next opening
    return true;
}

bool JPcodeSaveInBank(const QString &bankPath, const JPcodeTable &table, QString *error, bool overwriteInexact)
{
    if (!CompleteBankChange(bankPath, error))
        return false;
    return JPcodeSave(QDir(bankPath).filePath(QString(kJPcodeFileName)), table, error, overwriteInexact);
}

} // namespace tz
