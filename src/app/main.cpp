// The program: one running copy per program folder, the session, the version
// window as splash, then start-up through the bank window.

#include "core/session/app_folder.h"
#include "gui/bank/bank_window.h"
#include "gui/widgets/qt_user_interface.h"
#include "core/session/session.h"
#include "core/session/single_instance.h"
#include "gui/widgets/version_window.h"
#include "gui/card/card_window.h"
#include "gui/search/search_window.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tessellane"));
    QApplication::setWindowIcon(tz::ProgramIcon());
    QApplication::setQuitOnLastWindowClosed(false);

    const QString defaults = tz::DefaultsFolder();
    QString error;
    const QString appFolder = tz::ResolveAppFolder(defaults, &error);
    if (appFolder.isEmpty()) {
        QMessageBox::critical(nullptr, QStringLiteral("Tessellane"), error);
        return 1;
    }
    tz::SingleInstance single;
    if (!single.acquire(appFolder))
        return 0;

    tz::QtUserInterface ui;
    tz::Session session(ui, appFolder);
    ui.setHelpFolders({appFolder + QStringLiteral("help"), defaults + QStringLiteral("/help")});
    ui.setSearchPos(&session.settings.SearchPos);
    ui.setSoundDevice(tz::SoundDevicePresent());

    tz::VersionWindow splash;
    splash.show();
    QApplication::processEvents();

    tz::CardWindow card(session);
    tz::SearchWindow search(session);
    tz::BankWindow bank(session, card);
    const auto showVersion = [&splash] {
        splash.show();
        splash.raise();
    };
    card.setBankView([&bank](int mode) { bank.BankView(mode); });
    card.setOnShown([&splash] { splash.hide(); });
    card.setShowVersion(showVersion);
    search.setShowVersion(showVersion);
    search.setShowCard([&card] { card.showCard(); });
    search.applyFont(card.boxFont());
    tz::CardLinks links;
    links.openSearch = [&search](int kind) { search.openKind(kind); };
    links.runSearch = [&search](const tz::CardSearchRequest &request) { search.runCardRequest(request); };
    links.fontChanged = [&search, &card] { search.applyFont(card.boxFont()); };
    links.positionsReset = [&search] {
        if (search.isVisible())
            search.resetPosition();
    };
    links.bankOpened = [&search] { search.bankChanged(); };
    card.setLinks(links);
    // Without a bank there is nothing to work on: hiding the bank window
    // before any bank was opened ends the program.
    QObject::connect(&bank, &tz::BankWindow::hiddenWithoutBank, &app, &QApplication::quit, Qt::QueuedConnection);
    bank.StartUp();
    return QApplication::exec();
}
