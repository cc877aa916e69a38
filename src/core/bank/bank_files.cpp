#include "core/bank/bank_files.h"

#include "core/common/file_lookup.h"
#include "core/store/jpcode.h"
#include "core/store/link_table.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace tz {

bool CreateBank(const QString &bankPath, QDate today, QString *error)
{
    const bool existed = QFileInfo::exists(bankPath);
    if (!existed) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(bankPath.toStdString()), ec);
        if (ec) {
            if (error)
                *error = QStringLiteral("%1: フォルダを作成できません（%2）")
                             .arg(QDir::toNativeSeparators(bankPath), QString::fromLocal8Bit(ec.message()));
            return false;
        }
    }
    QByteArray links;
    const bool ok = RecWrite(bankPath, 1, BlankRecord(today), true, error) &&
                    JPcodeSave(QDir(bankPath).filePath(QString(kJPcodeFileName)), DefaultJPcodeTable(), error) &&
                    ReadLinkFile(bankPath, links, error) && PdfInit(bankPath, 1, error);
    if (!ok && !existed)
        QDir(bankPath).removeRecursively();
    return ok;
}

bool IsBank(const QString &bankPath)
{
    return !FindFileNoCase(bankPath, QString(kRecordFileName)).isEmpty();
}

} // namespace tz
