#include "core/session/session.h"

#include "core/common/text.h"

#include <QUrl>

namespace tz {

Session::Session(UserInterface &ui_, const QString &appFolder)
    : ui(ui_), AppFolder(AddSuffix(appFolder, QStringLiteral("/"))), m_progress(ui_, CancelFlag)
{
    for (int i = 0; i < kBankPathCount; ++i)
        BankPaths.append(QString());
}

void Session::load()
{
    settings = CfgLoad(cfgFile(), AppFolder);
    FormRead(AppFolder + QStringLiteral("form.cfg"), forms, formReport);
    ScriptRead(AppFolder + QStringLiteral("script.cfg"), scripts, scriptReport);
    if (forms.FormCount == 0 || scripts.ScriptCount == 0)
        Signal(SignalKind::StartUpError);
    BankPaths = BankLogLoad(logFile(), AppFolder);
    while (BankPaths.size() < kBankPathCount)
        BankPaths.append(QString());
}

void Session::save()
{
    QString error;
    if (!CfgSave(cfgFile(), settings, &error) || !BankLogSave(logFile(), BankPaths, &error))
        ui.message(error, MsgButtons::Ok, MsgIcon::Error);
}

void Session::setBank(const QString &folder, const QString &name)
{
    settings.BankFolder = AddSuffix(folder, QStringLiteral("/"));
    settings.BankName = name;
    settings.BankPath = settings.BankFolder + name + QStringLiteral(".bnk/");
    Q_EMIT bankChanged();
}

void Session::setFont(int fontNameNo, int fontSizeNo)
{
    settings.FontNameNo = fontNameNo;
    settings.FontSizeNo = fontSizeNo;
    Q_EMIT fontChanged();
}

void Session::setBeepOn(bool on)
{
    settings.BeepOn = on ? 1 : 0;
    Q_EMIT switchesChanged();
}

void Session::setAutoDupCheck(bool on)
{
    settings.AutoDupCheck = on ? 1 : 0;
    Q_EMIT switchesChanged();
}

void Session::resetPositions()
{
    const Settings defaults;
    settings.CardPos = defaults.CardPos;
    settings.SearchPos = defaults.SearchPos;
    settings.JPEditorPos = defaults.JPEditorPos;
    Q_EMIT positionsReset();
}

void Session::Signal(SignalKind kind)
{
    tz::Signal(ui, settings.BeepOn != 0, kind);
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
