#include "support/program.h"

#include "core/session/settings.h"

#include <QCoreApplication>
#include <QFile>

namespace tz::bench {

void SilentUserInterface::processEvents()
{
    QCoreApplication::processEvents();
}

bool WriteProgramFolder(const QString &root, const QString &bankName, int maxHits)
{
    for (const char *file : {"/form.cfx", "/script.cfx"}) {
        QFile::remove(root + QLatin1String(file + 1));
        if (!QFile::copy(QStringLiteral(TZ_BENCH_DATA) + QLatin1String(file), root + QLatin1String(file + 1)))
            return false;
    }
    Settings settings;
    settings.BankFolder = root;
    settings.BankName = bankName;
    settings.MaxHits = maxHits;
    return CfgSave(root + QStringLiteral("tz.cfg"), settings, nullptr);
}

} // namespace tz::bench
