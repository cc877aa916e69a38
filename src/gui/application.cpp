#include "gui/application.h"

#include "core/interchange/interchange_menu.h"
#include "core/session/app_folder.h"
#include "core/session/single_instance.h"
#include "gui/bank/bank_window.h"
#include "gui/card/card_window.h"
#include "gui/formedit/form_editor_window.h"
#include "gui/jpcode/jp_editor_window.h"
#include "gui/search/search_window.h"
#include "gui/widgets/qt_texts.h"
#include "gui/widgets/qt_user_interface.h"
#include "gui/widgets/version_window.h"

#include <QApplication>
#include <QMessageBox>

namespace tz {

Application::Application(UserInterface &ui, const QString &appFolder, const QString &bankHome)
    : m_session(ui, appFolder, bankHome)
{}

Application::~Application() = default;

void Application::start()
{
    m_splash = std::make_unique<VersionWindow>();
    m_splash->show();
    QApplication::processEvents();

    m_session.load();
    m_card = std::make_unique<CardWindow>(m_session);
    m_search = std::make_unique<SearchWindow>(m_session);
    m_bank = std::make_unique<BankWindow>(m_session, m_card->card());
    m_jpEditor = std::make_unique<JPEditorWindow>(m_session);
    m_formEditor = std::make_unique<FormEditorWindow>(m_session);
    connectWindows();
    m_bank->StartUp();
}

void Application::connectWindows()
{
    Session *s = &m_session;
    CardWindow *card = m_card.get();
    SearchWindow *search = m_search.get();
    BankWindow *bank = m_bank.get();

    // Another bank: the card shows it (the version window shown at start-up
    // goes), the search window starts afresh on it.
    connect(s, &Session::bankChanged, card, &CardWindow::showBank);
    connect(s, &Session::bankChanged, m_splash.get(), &QWidget::hide);
    connect(s, &Session::bankChanged, search, &SearchWindow::bankChanged);
    // Settings the option menu changes.
    connect(s, &Session::fontChanged, card, &CardWindow::applyFont);
    connect(s, &Session::fontChanged, search, &SearchWindow::applyFont);
    connect(s, &Session::switchesChanged, card, &CardWindow::applySwitches);
    connect(s, &Session::positionsReset, card, &CardWindow::placeFromSettings);
    connect(s, &Session::positionsReset, search, [search] {
        if (search->isVisible())
            search->resetPosition();
    });

    connect(card, &CardWindow::bankViewRequested, bank, &BankWindow::BankView);
    connect(card, &CardWindow::searchKindRequested, search, &SearchWindow::openKind);
    connect(&card->card(), &CardModel::searchRequested, search, &SearchWindow::runCardRequest);
    // The similar-record search compares with the record the card shows.
    connect(&card->card(), &CardModel::recordShown, search, [search](int n) { search->model().setCardRecord(n); });
    connect(search, &SearchWindow::showCardRequested, card, [card] {
        card->show();
        card->raise();
    });
    connect(card, &CardWindow::exportRequested, this,
            [s, search] { ExportFromMenu(*s, search->model().engine().hits()); });
    connect(card, &CardWindow::versionRequested, this, &Application::showVersion);
    connect(search, &SearchWindow::versionRequested, this, &Application::showVersion);

    // The JP code editor: opened from the card, the card following every
    // change of the table, of the records' codes and each Apply.
    JPEditorWindow *jp = m_jpEditor.get();
    JPEditorModel *jpModel = &jp->model();
    connect(card, &CardWindow::jpEditorRequested, jp, &JPEditorWindow::open);
    jpModel->cardStyle = [card] { return card->card().styleButton(); };
    connect(jpModel, &JPEditorModel::renumbered, card, [card](const JPrenumber &change) {
        card->card().applyRenumbering(change);
        card->refresh();
    });
    connect(jpModel, &JPEditorModel::tableChanged, card, [card] {
        card->card().refreshJPlist();
        card->refresh();
    });
    connect(jpModel, &JPEditorModel::cardApply, card, [card](int code, int style) {
        card->card().applyJPcode(code, style);
        card->refresh();
    });
    connect(&card->card(), &CardModel::jpTableChanged, jp, [jp] {
        jp->model().namesChanged();
        jp->refresh();
    });
    connect(card, &CardWindow::jpTableReplaced, jp, [jp] {
        jp->model().tableReplaced();
        jp->refresh();
    });
    connect(s, &Session::bankChanged, jp, [jp] {
        jp->model().tableReplaced();
        jp->refresh();
    });
    connect(s, &Session::fontChanged, jp, &JPEditorWindow::applyFont);
    connect(s, &Session::positionsReset, jp, &JPEditorWindow::resetPosition);
    connect(jp, &JPEditorWindow::versionRequested, this, &Application::showVersion);

    // The output-form editor: opened from the card; its preview takes the
    // search window's hits; a saved form shows at once in the search
    // window's form list.
    FormEditorWindow *fm = m_formEditor.get();
    connect(card, &CardWindow::formEditorRequested, fm, &FormEditorWindow::open);
    fm->model().currentHits = [search] { return search->model().engine().hits(); };
    connect(&fm->model(), &FormEditorModel::formsSaved, search, &SearchWindow::formsChanged);
    connect(s, &Session::bankChanged, fm, &FormEditorWindow::bankChanged);
    connect(s, &Session::fontChanged, fm, &FormEditorWindow::applyFont);
    connect(fm, &FormEditorWindow::versionRequested, this, &Application::showVersion);

    // The end of the run: the other windows close first as the person closes
    // them (the JP code editor takes its name box over and saves the table),
    // so that none that only hides itself is left showing, then the settings
    // are written.
    connect(card, &CardWindow::closed, this, [this] {
        for (QWidget *w : {static_cast<QWidget *>(m_search.get()), static_cast<QWidget *>(m_jpEditor.get()),
                           static_cast<QWidget *>(m_formEditor.get()), static_cast<QWidget *>(m_bank.get()),
                           static_cast<QWidget *>(m_splash.get())})
            if (w->isVisible())
                w->close();
        m_session.save();
        Q_EMIT finished();
    });
    connect(bank, &BankWindow::hiddenWithoutBank, this, &Application::finished);
}

void Application::showVersion()
{
    m_splash->show();
    m_splash->raise();
}

int RunProgram()
{
    QApplication::setApplicationName(QStringLiteral("tessellane"));
    QApplication::setWindowIcon(ProgramIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    InstallQtJapaneseTexts();

    const QString defaults = DefaultsFolder();
    QString error;
    const QString appFolder = ResolveAppFolder(defaults, &error);
    if (appFolder.isEmpty()) {
        QMessageBox::critical(nullptr, QStringLiteral("Tessellane"), error);
        return 1;
    }
    // Only one copy works on a program folder: a second one ends silently;
    // a lock that cannot be taken for any other reason is told.
    SingleInstance single;
    const LockResult lock = single.lock(appFolder);
    if (lock.outcome == LockOutcome::OtherCopyRuns)
        return 0;
    if (lock.outcome != LockOutcome::Acquired) {
        QMessageBox::critical(nullptr, QStringLiteral("Tessellane"), lock.message);
        return 1;
    }

    QtUserInterface ui;
    ui.setHelpFolders({appFolder + QStringLiteral("help"), defaults + QStringLiteral("/help")});
    ui.setSoundDevice(SoundDevicePresent());
    Application app(ui, appFolder, BankHomeFor(appFolder));
    ui.setSearchPos(&app.session().settings.SearchPos);
    // The run ends when the application object says so: a window that only
    // hides when closed cannot refuse it, as it can refuse quit().
    QObject::connect(
        &app, &Application::finished, qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    app.start();
    return QApplication::exec();
}

} // namespace tz
