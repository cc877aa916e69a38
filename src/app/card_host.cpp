#include "app/card_host.h"

#include "app/session.h"

namespace tz {

QString CardCaption(const QString &bankName)
{
    return BankTitle(QStringLiteral("レコード編集"), bankName);
}

} // namespace tz
