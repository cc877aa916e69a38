#include "core/session/session.h"

#include "core/common/text.h"

#include <QUrl>

namespace tz {

Session::Session(UserInterface &ui_, const QString &appFolder, const QString &bankHome)
    : ui(ui_), AppFolder(AddSuffix(appFolder, QStringLiteral("/"))),
      BankHome(bankHome.isEmpty() ? AppFolder : AddSuffix(bankHome, QStringLiteral("/"))), m_progress(ui_, CancelFlag)
{
    for (int i = 0; i < kBankPathCount; ++i)
        BankPaths.append(QString());
}

namespace {

bool undecoded(const QString &text)
{
    return text.contains(QChar::ReplacementCharacter);
}

} // namespace

bool Session::mayOverwrite(const ConfigReadState &state, const QString &file)
{
    if (state.exact)
        return true;
    return ui.message(state.message + QStringLiteral("\n\n終了するときに、%1 を今の設定で書き換えますか？"
                                                     "（キャンセルすると、このファイルはそのまま残ります）")
                                          .arg(file),
                      MsgButtons::OkCancel, MsgIcon::Warning) == MsgAnswer::Ok;
}

void Session::load()
{
    ConfigReadState cfgState;
    settings = CfgLoad(cfgFile(), BankHome, &cfgState);
    m_writeCfg = mayOverwrite(cfgState, kCfgFileName.toString());
    // Texts that did not decode cannot be written back as they were: the
    // last bank is then the sample bank.
    if (undecoded(settings.BankFolder) || undecoded(settings.BankName))
        setBank(BankHome, QStringLiteral("sample"));
    FormRead(AppFolder + QStringLiteral("form.cfg"), forms, formReport);
    ScriptRead(AppFolder + QStringLiteral("script.cfg"), scripts, scriptReport);
    if (forms.FormCount == 0 || scripts.ScriptCount == 0)
        Signal(SignalKind::StartUpError);
    ConfigReadState logState;
    BankPaths = BankLogLoad(logFile(), BankHome, &logState);
    m_writeLog = mayOverwrite(logState, kBankLogFileName.toString());
    BankPaths.removeIf(undecoded);
    while (BankPaths.size() < kBankPathCount)
        BankPaths.append(QString());
}

bool Session::saveSettings()
{
    QString error;
    if (!m_writeCfg || CfgSave(cfgFile(), settings, &error, true))
        return true;
    ui.message(error, MsgButtons::Ok, MsgIcon::Error);
    return false;
}

void Session::save()
{
    saveSettings();
    QString error;
    if (m_writeLog && !BankLogSave(logFile(), BankPaths, &error, true))
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
    settings.BeepOn = on;
    Q_EMIT switchesChanged();
}

void Session::setAutoDupCheck(bool on)
{
    settings.AutoDupCheck = on;
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
    tz::Signal(ui, settings.BeepOn, kind);
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
