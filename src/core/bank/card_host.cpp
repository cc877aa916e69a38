#include "core/bank/card_host.h"

#include "core/session/session.h"

namespace tz {

QString CardCaption(const QString &bankName)
{
    return BankTitle(QStringLiteral("レコード編集"), bankName);
}

} // namespace tz
