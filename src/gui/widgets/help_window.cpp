#include "gui/widgets/help_window.h"

#include "core/common/file_lookup.h"
#include "core/session/user_interface.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace tz {

HelpWindow::HelpWindow(QWidget *parent) : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("Help"));
    setWindowTitle(QStringLiteral("Tessellane ヘルプ"));
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);
    auto *all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->addWidget(m_browser);
    resize(640, 520);
    // Escape puts the help away, as it does the program's dialogs.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
}

QString HelpWindow::topicFile(int topic) const
{
    for (const QString &folder : m_folders) {
        const QString f = FindFileNoCase(folder, QString::number(topic) + QStringLiteral(".html"));
        if (!f.isEmpty())
            return f;
    }
    return QString();
}

void HelpWindow::showTopic(int topic)
{
    m_topic = topic;
    QString file = topicFile(topic);
    if (file.isEmpty())
        file = topicFile(kHelpContents);
    if (file.isEmpty()) {
        m_browser->setSearchPaths({});
        m_browser->setHtml(QStringLiteral("<p>ヘルプ項目 %1 が見つかりません。</p>").arg(topic));
    } else {
        m_browser->setSearchPaths({QFileInfo(file).path()});
        m_browser->setSource(QUrl::fromLocalFile(file));
    }
    show();
    raise();
    activateWindow();
}

int HelpContextOf(const QWidget *w)
{
    for (; w; w = w->parentWidget()) {
        const QVariant v = w->property(kHelpContextProperty);
        if (v.isValid() && v.toInt() > 0)
            return v.toInt();
    }
    return kHelpContents;
}

void InstallHelpKey(QWidget *window, UserInterface &ui)
{
    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, window, [window, &ui] {
        QWidget *focus = QApplication::focusWidget();
        ui.showHelp(HelpContextOf(focus && window->isAncestorOf(focus) ? focus : window));
    });
}

QMenu *AddHelpMenu(QMainWindow *window, UserInterface &ui, std::function<void()> showVersion)
{
    QMenu *help = window->menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("mnuH"));
    help->menuAction()->setProperty(kHelpContextProperty, kHelpContents);
    QAction *related = help->addAction(QStringLiteral("関連項目(&H)"));
    related->setObjectName(QStringLiteral("mnuHH"));
    QObject::connect(related, &QAction::triggered, window, [window, &ui] {
        QWidget *focus = QApplication::focusWidget();
        ui.showHelp(HelpContextOf(focus && window->isAncestorOf(focus) ? focus : window));
    });
    QAction *contents = help->addAction(QStringLiteral("目次(&C)"));
    contents->setObjectName(QStringLiteral("mnuHC"));
    QObject::connect(contents, &QAction::triggered, window, [&ui] { ui.showHelp(kHelpContents); });
    QAction *version = help->addAction(QStringLiteral("バージョン情報(&V)"));
    version->setObjectName(QStringLiteral("mnuHV"));
    QObject::connect(version, &QAction::triggered, window, std::move(showVersion));
    return help;
}

} // namespace tz
