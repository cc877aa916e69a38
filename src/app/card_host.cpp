#include "app/card_host.h"

#include "app/session.h"
#include "common/file_lookup.h"
#include "store/pdf_table.h"

namespace tz {

int OpenBankFiles(Session &session, QString *error)
{
    const QString &bankPath = session.BankPath();
    const int count = RecCountSet(bankPath, error);
    if (count < 0)
        return -1;
    if (!PdfInit(bankPath, count, error))
        return -1;
    if (!JPcodeLoad(FilePathNoCase(bankPath, QString(kJPcodeFileName)), session.jp, error))
        return -1;
    return count;
}

QString CardCaption(const QString &bankName)
{
    return BankTitle(QStringLiteral("レコード編集"), bankName);
}

} // namespace tz
