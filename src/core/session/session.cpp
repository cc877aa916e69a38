#include "core/session/session.h"

#include <QUrl>

#include "core/session/bank_log.h"
#include "core/common/text.h"

namespace tz {

Session::Session(UserInterface &ui_, const QString &appFolder)
    : ui(ui_), AppFolder(AddSuffix(appFolder, QStringLiteral("/"))), m_progress(ui_, search.CancelFlag)
{
    for (int i = 0; i < kBankPathCount; ++i)
        BankPaths.append(QString());
    search.progress = [this](int mode, int pos, int max) { ProgressStep(mode, 1, max, pos); };
}

void Session::setBank(const QString &folder, const QString &name)
{
    settings.BankFolder = AddSuffix(folder, QStringLiteral("/"));
    settings.BankName = name;
    settings.BankPath = settings.BankFolder + name + QStringLiteral(".bnk/");
}

void Session::Signal(int n)
{
    tz::Signal(ui, settings.BeepOn, n);
}

void Session::WebOn(const QString &url)
{
    const QUrl u = QUrl::fromUserInput(url.trimmed());
    if (u.isValid() && !u.isEmpty())
        ui.openWebPage(u);
}

QString Session::HomePage() const
{
    return QUrl::fromLocalFile(AppFolder + QStringLiteral("help/9999.html")).toString();
}

QString VersionTitle(const QString &text)
{
    return text + QStringLiteral("  Tessellane ") + kVersion.toString();
}

QString BankTitle(const QString &text, const QString &bankName)
{
    return VersionTitle(text) + QStringLiteral(" [") + bankName.toUpper() + QStringLiteral("]");
}

} // namespace tz
