#include "gui/bank/bank_window.h"

#include "core/session/session.h"
#include "gui/widgets/help_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>

namespace tz {

namespace {

const QColor kBankColour(0, 0, 255);
const QColor kNoBankColour(144, 144, 144);
const QColor kEditingColour(255, 0, 0);

void setTextColour(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Text, c);
    w->setPalette(p);
}

// Help topics of the three modes, as the card's bank menu has them.
int modeHelp(BankMode mode)
{
    switch (mode) {
    case BankMode::New:
        return 1030;
    case BankMode::Duplicate:
        return 1040;
    case BankMode::Open:
        break;
    }
    return 1020;
}

} // namespace

QStringList BankWindow::driveRoots()
{
    QStringList roots{QDir::homePath()};
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes()) {
        if (!v.isValid() || !v.isReady())
            continue;
        const QString root = v.rootPath();
        const bool user = root == QStringLiteral("/") || root.startsWith(QStringLiteral("/media/")) ||
                          root.startsWith(QStringLiteral("/mnt/")) || root.startsWith(QStringLiteral("/run/media/")) ||
                          root.startsWith(QStringLiteral("/home"));
        if (user && !roots.contains(root))
            roots.append(root);
    }
    return roots;
}

BankWindow::BankWindow(Session &session, CardModel &card, QWidget *parent)
    : QWidget(parent, Qt::Window), m_session(session), m_logic(session, card)
{
    setObjectName(QStringLiteral("Bank"));
    setWindowTitle(m_logic.title);

    m_bank1 = new QLineEdit(this);
    m_bank1->setObjectName(QStringLiteral("Bank1"));
    m_bank1->installEventFilter(this);
    m_drive1 = new QComboBox(this);
    m_drive1->setObjectName(QStringLiteral("Drive1"));
    m_dir1 = new QListWidget(this);
    m_dir1->setObjectName(QStringLiteral("Dir1"));
    m_file1 = new QListWidget(this);
    m_file1->setObjectName(QStringLiteral("File1"));
    m_file1->setSelectionMode(QAbstractItemView::NoSelection);
    m_path1 = new QComboBox(this);
    m_path1->setObjectName(QStringLiteral("Path1"));
    m_path1->setEditable(true);
    m_path1->setInsertPolicy(QComboBox::NoInsert);
    m_command1 = new QPushButton(m_logic.caption, this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setDefault(true);
    m_command2 = new QPushButton(QStringLiteral("Cancel"), this);
    m_command2->setObjectName(QStringLiteral("Command2"));
    m_command3 = new QPushButton(QStringLiteral("Help"), this);
    m_command3->setObjectName(QStringLiteral("Command3"));

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Bank"), this), 0, 0);
    grid->addWidget(m_bank1, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Drive"), this), 1, 0);
    grid->addWidget(m_drive1, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Directory"), this), 2, 0, Qt::AlignTop);
    auto *lists = new QHBoxLayout;
    lists->addWidget(m_dir1, 3);
    lists->addWidget(m_file1, 2);
    grid->addLayout(lists, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Path"), this), 3, 0);
    grid->addWidget(m_path1, 3, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command1);
    buttons->addWidget(m_command2);
    buttons->addWidget(m_command3);
    auto *all = new QVBoxLayout(this);
    all->addLayout(grid);
    all->addLayout(buttons);
    resize(560, 420);

    fillDrives();
    InstallHelpKey(this, session.ui);

    connect(m_bank1, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_logic.bankText = text;
        m_logic.BankClick();
        sync();
    });
    // Enter in the name box presses the action button (Escape: keyPressEvent).
    connect(m_bank1, &QLineEdit::returnPressed, m_command1, &QPushButton::click);
    connect(m_drive1, &QComboBox::activated, this, &BankWindow::driveChosen);
    connect(m_dir1, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const QString path = item->data(Qt::UserRole).toString();
        if (path != m_logic.dirPath) {
            m_logic.DirChange(path);
            after();
        }
    });
    connect(m_path1, &QComboBox::activated, this, [this](int index) {
        m_logic.PathClick(index);
        after();
    });
    // Enter on a text of the list is the list's choice (activated above, by
    // the box's own matching, regardless of case); any other text is a folder.
    connect(m_path1->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const QString text = m_path1->currentText();
        if (m_path1->findText(text, Qt::MatchFixedString) < 0 && m_logic.PathTyped(text))
            after();
    });
    connect(m_command1, &QPushButton::clicked, this, [this] {
        m_logic.bankText = m_bank1->text();
        m_logic.Command1Click();
        after();
    });
    connect(m_command2, &QPushButton::clicked, this, [this] {
        m_logic.Command2Click();
        after();
    });
    connect(m_command3, &QPushButton::clicked, this, [this] { m_session.ui.showHelp(HelpContextOf(this)); });
}

void BankWindow::StartUp()
{
    m_logic.StartUp();
    after();
}

void BankWindow::BankView(BankMode sw)
{
    m_logic.BankView(sw);
    after();
}

void BankWindow::after()
{
    sync();
    if (!m_logic.visible && !m_logic.bankOpen())
        Q_EMIT hiddenWithoutBank();
}

void BankWindow::fillDrives()
{
    m_drive1->clear();
    for (const QString &root : driveRoots())
        m_drive1->addItem(QDir::toNativeSeparators(root), root);
}

void BankWindow::selectDrive()
{
    // The drive whose root is the longest start of the folder shown.
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < m_drive1->count(); ++i) {
        const QString root = m_drive1->itemData(i).toString();
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        if ((m_logic.dirPath == root || m_logic.dirPath.startsWith(prefix)) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best >= 0)
        m_drive1->setCurrentIndex(best);
}

void BankWindow::driveChosen(int index)
{
    const QString root = m_drive1->itemData(index).toString();
    if (!QDir(root).isReadable()) {
        m_session.Signal(SignalKind::StartUpError);
        if (m_drive1->count() > 1)
            m_drive1->setCurrentIndex(1);
        return;
    }
    m_logic.DirChange(root);
    after();
}

void BankWindow::fillDirectory()
{
    // The folders from the root down to the one shown, then its subfolders;
    // a single click enters an entry.
    m_dir1->clear();
    const QString current = m_logic.dirPath;
    QStringList chain;
    for (QDir d(current);;) {
        chain.prepend(d.absolutePath());
        if (d.isRoot() || !d.cdUp())
            break;
    }
    int depth = 0;
    for (const QString &folder : std::as_const(chain)) {
        const QString name = depth == 0 ? QDir::toNativeSeparators(folder) : QDir(folder).dirName();
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + QStringLiteral("▽ ") + name, m_dir1);
        item->setData(Qt::UserRole, folder);
        ++depth;
    }
    if (m_dir1->count() > 0)
        m_dir1->setCurrentRow(m_dir1->count() - 1);
    const QDir dir(current);
    for (const QString &sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto *item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + QStringLiteral("▷ ") + sub, m_dir1);
        item->setData(Qt::UserRole, dir.filePath(sub));
    }
}

void BankWindow::fillFiles()
{
    m_file1->clear();
    m_file1->addItems(QDir(m_logic.dirPath).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void BankWindow::sync()
{
    setWindowTitle(m_logic.title);
    m_command1->setText(m_logic.caption);
    setProperty(kHelpContextProperty, modeHelp(m_logic.mode));
    if (m_bank1->text() != m_logic.bankText)
        m_bank1->setText(m_logic.bankText);
    const QColor colour = m_logic.colour == BankSelect::NameColour::Bank      ? kBankColour
                          : m_logic.colour == BankSelect::NameColour::Editing ? kEditingColour
                                                                              : kNoBankColour;
    setTextColour(m_bank1, colour);
    if (m_logic.colour != BankSelect::NameColour::Editing)
        setTextColour(m_file1, colour);
    if (m_shownDir != m_logic.dirPath || m_shownGeneration != m_logic.dirGeneration) {
        m_shownDir = m_logic.dirPath;
        m_shownGeneration = m_logic.dirGeneration;
        fillDirectory();
        fillFiles();
        selectDrive();
    }
    QStringList items;
    for (int i = 0; i < m_path1->count(); ++i)
        items.append(m_path1->itemText(i));
    if (items != m_logic.pathItems) {
        m_path1->clear();
        m_path1->addItems(m_logic.pathItems);
    }
    if (m_logic.pathIndex >= 0 && m_logic.pathIndex < m_path1->count())
        m_path1->setCurrentIndex(m_logic.pathIndex);
    m_path1->setEditText(m_logic.pathText);
    if (m_logic.visible) {
        show();
        raise();
        activateWindow();
    } else {
        hide();
    }
}

void BankWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    m_logic.Command2Click();
    after();
}

// Escape anywhere in the window is the Cancel button.
void BankWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        m_command2->click();
    else
        QWidget::keyPressEvent(event);
}

bool BankWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_bank1 && event->type() == QEvent::MouseButtonPress) {
        m_logic.BankClick();
        sync();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tz
