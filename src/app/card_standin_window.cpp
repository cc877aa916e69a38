#include "app/card_standin_window.h"

#include "app/bank_log.h"
#include "app/help_window.h"
#include "app/session.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>

namespace tz {

CardStandinWindow::CardStandinWindow(Session &session, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_bankLabel(new QLabel(this)), m_countLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("Card"));
    setProperty(kHelpContextProperty, 1010);
    QMenu *bank = menuBar()->addMenu(QStringLiteral("バンク(&B)"));
    bank->setObjectName(QStringLiteral("mnuB"));
    const struct
    {
        const char *name;
        const char16_t *caption;
        int mode;
        int help;
    } items[] = {{"mnuBO", u"文献バンクを開く(&O)", 1, 1020},
                 {"mnuBN", u"文献バンクを作る(&N)", 2, 1030},
                 {"mnuBD", u"文献バンクの複製(&D)", 3, 1040}};
    for (const auto &item : items) {
        QAction *a = bank->addAction(QString::fromUtf16(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        a->setProperty(kHelpContextProperty, item.help);
        const int mode = item.mode;
        connect(a, &QAction::triggered, this, [this, mode] {
            if (m_bankView)
                m_bankView(mode);
        });
    }
    bank->addSeparator();
    QAction *quit = bank->addAction(QStringLiteral("終了(&Q)"));
    quit->setObjectName(QStringLiteral("mnuBQ"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu *help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("mnuH"));
    help->menuAction()->setProperty(kHelpContextProperty, kHelpContents);
    QAction *related = help->addAction(QStringLiteral("関連項目(&H)"));
    related->setObjectName(QStringLiteral("mnuHH"));
    connect(related, &QAction::triggered, this, [this] {
        QWidget *focus = QApplication::focusWidget();
        m_session.ui.showHelp(HelpContextOf(focus && isAncestorOf(focus) ? focus : this));
    });
    QAction *contents = help->addAction(QStringLiteral("目次(&C)"));
    contents->setObjectName(QStringLiteral("mnuHC"));
    connect(contents, &QAction::triggered, this, [this] { m_session.ui.showHelp(kHelpContents); });
    QAction *version = help->addAction(QStringLiteral("バージョン情報(&V)"));
    version->setObjectName(QStringLiteral("mnuHV"));
    connect(version, &QAction::triggered, this, [this] {
        if (m_showVersion)
            m_showVersion();
    });
    help->addSeparator()->setObjectName(QStringLiteral("mnuH0"));
    QAction *home = help->addAction(QStringLiteral("Tessellane のホームページ(&Q)"));
    home->setObjectName(QStringLiteral("mnuHQ"));
    connect(home, &QAction::triggered, this, [this] { m_session.WebOn(m_session.HomePage()); });

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    m_bankLabel->setObjectName(QStringLiteral("BankName"));
    m_countLabel->setObjectName(QStringLiteral("RecCount"));
    QFont f = m_bankLabel->font();
    f.setPointSizeF(f.pointSizeF() * 1.5);
    m_bankLabel->setFont(f);
    layout->addWidget(m_bankLabel);
    layout->addWidget(m_countLabel);
    layout->addStretch();
    setCentralWidget(central);
    resize(480, 200);
    InstallHelpKey(this, session.ui);
}

bool CardStandinWindow::FormSet(QString *error)
{
    const int count = OpenBankFiles(m_session, error);
    if (count < 0)
        return false;
    m_recCount = count;
    setWindowTitle(CardCaption(m_session.BankName()));
    m_bankLabel->setText(m_session.BankName().toUpper());
    m_countLabel->setText(QStringLiteral("%1 件のレコード").arg(count));
    return true;
}

void CardStandinWindow::showCard()
{
    show();
    raise();
    activateWindow();
    if (m_onShown) {
        auto once = std::move(m_onShown);
        m_onShown = nullptr;
        once();
    }
}

void CardStandinWindow::closeEvent(QCloseEvent *event)
{
    QString error;
    if (!JPcodeSave(m_session.BankPath() + QString(kJPcodeFileName), m_session.jp, &error) ||
        !CfgSave(m_session.cfgFile(), m_session.settings, &error) ||
        !BankLogSave(m_session.logFile(), m_session.BankPaths, &error))
        m_session.ui.message(error, MsgButtons::Ok, MsgIcon::Error);
    event->accept();
    QApplication::quit();
}

} // namespace tz
