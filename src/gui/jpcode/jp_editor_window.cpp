#include "gui/jpcode/jp_editor_window.h"

#include "core/session/session.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/help_window.h"
#include "gui/widgets/print_text.h"
#include "gui/widgets/window_place.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace tz {

namespace {

constexpr int kHelpTopic = 5000;
constexpr int kMinWidthTwips = 7905;
constexpr int kMinHeightTwips = 7290;

// The buttons `JpeD` 0..7.
const std::array<const char16_t *, 8> kButtonCaptions = {u"Close", u"New", u"Del",  u"Sort",
                                                         u"Apply", u"Up",  u"Down", u"Cancel"};
// The labels: the three list columns, the name box and the category box.
const std::array<const char16_t *, 5> kLabelCaptions = {u"JPcode", u"JPname", u"usage", u"JPname", u"Category"};
// Where the list columns start, in characters of the fixed-pitch font: the
// code, the usage and the name.
constexpr int kUsageColumn = 7;
constexpr int kNameColumn = 17;

} // namespace

JPEditorWindow::JPEditorWindow(Session &session, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_model(session)
{
    setObjectName(QStringLiteral("JPEditor"));
    setProperty(kHelpContextProperty, kHelpTopic);
    buildMenus();
    buildControls();
    InstallHelpKey(this, session.ui);
    setMinimumSize(TwipsToPixels(kMinWidthTwips, logicalDpiX()), TwipsToPixels(kMinHeightTwips, logicalDpiY()));
    applyFont();
    refresh();
}

void JPEditorWindow::buildMenus()
{
    auto add = [](QMenu *menu, const char *name, const char16_t *caption, QKeyCombination key = {}) {
        QAction *a = menu->addAction(QString::fromUtf16(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setProperty(kHelpContextProperty, kHelpTopic);
        if (key != QKeyCombination())
            a->setShortcut(QKeySequence(key));
        return a;
    };

    QMenu *file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("mnuF"));
    QMenu *categories = file->addMenu(QStringLiteral("カテゴリー変更(&C)"));
    categories->menuAction()->setObjectName(QStringLiteral("mnuFC"));
    const std::array<std::pair<const char *, const char16_t *>, 4> categoryItems = {{{"mnuFCT", u"よく使う雑誌(&T)"},
                                                                                     {"mnuFCJ", u"普通の雑誌(&J)"},
                                                                                     {"mnuFCP", u"出版社(&P)"},
                                                                                     {"mnuFCE", u"その他(&E)"}}};
    for (int k = 0; k < 4; ++k) {
        QAction *a = add(categories, categoryItems[size_t(k)].first, categoryItems[size_t(k)].second);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, k] {
            m_model.JPgroup_click(k);
            refresh();
        });
        m_categoryItems[size_t(k)] = a;
    }
    connect(add(file, "mnuFR", u"再読み込み(&R)"), &QAction::triggered, this, [this] { run(&JPEditorModel::reload); });
    connect(add(file, "mnuFF", u"次へ (&F)", Qt::CTRL | Qt::Key_F), &QAction::triggered, this,
            [this] { run(&JPEditorModel::next); });
    connect(add(file, "mnuFB", u"前へ (&B)", Qt::CTRL | Qt::Key_B), &QAction::triggered, this,
            [this] { run(&JPEditorModel::previous); });
    connect(add(file, "mnuFA", u"適応(&A)"), &QAction::triggered, this, [this] { run(&JPEditorModel::apply); });
    connect(add(file, "mnuFS", u"保存(&S)", Qt::CTRL | Qt::Key_S), &QAction::triggered, this, [this] {
        m_model.save();
        refresh();
    });
    connect(add(file, "mnuFT", u"テキスト出力(&T)"), &QAction::triggered, this,
            [this] { run(&JPEditorModel::textOutput); });
    connect(add(file, "mnuFP", u"印刷(&P)", Qt::CTRL | Qt::Key_P), &QAction::triggered, this,
            &JPEditorWindow::printList);
    connect(add(file, "mnuFX", u"閉じる(&X)", Qt::CTRL | Qt::Key_W), &QAction::triggered, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("mnuE"));
    connect(add(edit, "mnuEN", u"新規(&N)", Qt::CTRL | Qt::Key_N), &QAction::triggered, this,
            [this] { act(m_model.newCode()); });
    connect(add(edit, "mnuED", u"削除(&D)"), &QAction::triggered, this, [this] { act(m_model.deleteCode()); });
    QMenu *moves = edit->addMenu(QStringLiteral("移動(&M)"));
    moves->menuAction()->setObjectName(QStringLiteral("mnuEM"));
    const std::array<std::pair<const char *, const char16_t *>, 4> moveItems = {
        {{"mnuEMT", u"よく使う雑誌のところへ(&T)"},
         {"mnuEMJ", u"雑誌のところへ(&J)"},
         {"mnuEMP", u"出版社のところへ(&P)"},
         {"mnuEMS", u"その他のところへ(&E)"}}};
    for (int k = 0; k < 4; ++k)
        connect(add(moves, moveItems[size_t(k)].first, moveItems[size_t(k)].second), &QAction::triggered, this,
                [this, k] { act(m_model.move(k)); });
    connect(add(edit, "mnuES", u"ソート(&S)"), &QAction::triggered, this, [this] { run(&JPEditorModel::sort); });
    connect(add(edit, "mnuEC", u"作業をキャンセル(&C)"), &QAction::triggered, this, [this] {
        m_model.cancelWork();
        storePosition();
        hide();
    });

    QMenu *help = AddHelpMenu(this, m_session.ui, [this] { Q_EMIT versionRequested(); });
    help->menuAction()->setProperty(kHelpContextProperty, kHelpTopic);
}

void JPEditorWindow::buildControls()
{
    auto *central = new QWidget(this);
    central->setFont(CaptionFont());
    setCentralWidget(central);

    for (int i = 0; i < 5; ++i) {
        m_label[size_t(i)] = new QLabel(QString::fromUtf16(kLabelCaptions[size_t(i)]), central);
        m_label[size_t(i)]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    }

    m_group = new QComboBox(central);
    m_group->setObjectName(QStringLiteral("JPgroup"));
    m_group->addItems(JPEditorModel::categoryNames());
    connect(m_group, &QComboBox::activated, this, [this](int category) {
        m_model.JPgroup_click(category);
        refresh();
    });

    m_list = new QListWidget(central);
    m_list->setObjectName(QStringLiteral("JPlist"));
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (m_updating || row < 0)
            return;
        m_model.JPlist_click(row);
        refresh();
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { run(&JPEditorModel::apply); });

    m_text = new QLineEdit(central);
    m_text->setObjectName(QStringLiteral("JPtext"));
    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textEdited, this, [this](const QString &text) { m_model.setText(text); });

    for (int i = 0; i < 8; ++i) {
        auto *b = new QPushButton(QString::fromUtf16(kButtonCaptions[size_t(i)]), central);
        b->setObjectName(QStringLiteral("JpeD_%1").arg(i));
        b->setAutoDefault(false);
        m_button[size_t(i)] = b;
    }
    // Each button is its menu item.
    auto same = [this](int button, const char *item) {
        QAction *a = findChild<QAction *>(QString::fromLatin1(item));
        connect(m_button[size_t(button)], &QPushButton::clicked, a, &QAction::trigger);
    };
    same(0, "mnuFX");
    same(1, "mnuEN");
    same(2, "mnuED");
    same(3, "mnuES");
    same(4, "mnuFA");
    same(5, "mnuFF");
    same(6, "mnuFB");
    same(7, "mnuEC");
}

void JPEditorWindow::applyFont()
{
    const int nameNo = m_session.settings.FontNameNo;
    const int sizeNo = m_session.settings.FontSizeNo;
    const QFont font = ChosenFont(nameNo, sizeNo);
    m_group->setFont(font);
    m_text->setFont(font);
    // The list's columns line up only in a fixed-pitch font: the one of the
    // chosen family ("ＭＳ Ｐ明朝" gives "ＭＳ 明朝").
    m_listFont = ChosenFont(nameNo < 2 ? nameNo : nameNo - 2, sizeNo);
    m_listFont.setStyleHint(QFont::TypeWriter);
    m_listFont.setFixedPitch(true);
    m_list->setFont(m_listFont);
    layOut();
}

void JPEditorWindow::layOut()
{
    QWidget *c = centralWidget();
    if (!c)
        return;
    const int w = c->width();
    const int h = c->height();
    const int gap = 8;
    int buttonWidth = 72;
    for (QPushButton *b : m_button)
        buttonWidth = std::max(buttonWidth, b->sizeHint().width());
    const int buttonLeft = w - buttonWidth - gap;
    const int row = std::max(m_group->sizeHint().height(), 22);

    // The category at the top.
    const int captionWidth = m_label[4]->sizeHint().width();
    m_label[4]->setGeometry(gap, gap, captionWidth, row);
    m_group->setGeometry(gap * 2 + captionWidth, gap, std::min(220, std::max(120, buttonLeft - 3 * gap - captionWidth)),
                         row);

    // The column captions over the list, the list, the name box under it.
    const QFontMetrics fm(m_listFont);
    const int charWidth = std::max(1, fm.horizontalAdvance(QLatin1Char('0')));
    const int listLeft = gap;
    const int listWidth = std::max(80, buttonLeft - gap - listLeft);
    const int headTop = gap + row + gap;
    const int headHeight = m_label[0]->sizeHint().height();
    const int inset = m_list->frameWidth() + 2;
    m_label[0]->setGeometry(listLeft + inset, headTop, m_label[0]->sizeHint().width(), headHeight);
    m_label[2]->setGeometry(listLeft + inset + kUsageColumn * charWidth, headTop, m_label[2]->sizeHint().width(),
                            headHeight);
    m_label[1]->setGeometry(listLeft + inset + kNameColumn * charWidth, headTop, m_label[1]->sizeHint().width(),
                            headHeight);
    const int listTop = headTop + headHeight + 2;
    const int textHeight = std::max(m_text->sizeHint().height(), row);
    const int textTop = h - gap - textHeight;
    m_list->setGeometry(listLeft, listTop, listWidth, std::max(60, textTop - gap - listTop));
    const int nameCaption = m_label[3]->sizeHint().width();
    m_label[3]->setGeometry(listLeft, textTop, nameCaption, textHeight);
    m_text->setGeometry(listLeft + nameCaption + gap, textTop, std::max(80, listWidth - nameCaption - gap), textHeight);

    // The buttons down the right edge: Close at the top, Cancel at the bottom.
    const int buttonHeight = std::max(28, m_button[0]->sizeHint().height());
    int y = listTop;
    for (int i = 0; i < 7; ++i) {
        m_button[size_t(i)]->setGeometry(buttonLeft, y, buttonWidth, buttonHeight);
        y += buttonHeight + (i == 0 || i == 4 ? 2 * gap : gap / 2);
    }
    m_button[7]->setGeometry(buttonLeft, std::max(y + gap, textTop + textHeight - buttonHeight), buttonWidth,
                             buttonHeight);
}

void JPEditorWindow::refresh()
{
    m_updating = true;
    setWindowTitle(m_model.windowTitle());
    const int category = m_model.category();
    if (m_group->currentIndex() != category)
        m_group->setCurrentIndex(category);
    for (int k = 0; k < 4; ++k)
        m_categoryItems[size_t(k)]->setChecked(k == category);

    const QStringList &lines = m_model.listLines();
    if (m_list->count() != lines.size()) {
        m_list->clear();
        m_list->addItems(lines);
    } else {
        for (int i = 0; i < lines.size(); ++i)
            if (QListWidgetItem *item = m_list->item(i); item->text() != lines[i])
                item->setText(lines[i]);
    }
    const int index = m_model.listIndex();
    if (m_list->currentRow() != index)
        m_list->setCurrentRow(index);
    if (index >= 0)
        m_list->scrollToItem(m_list->item(index));
    if (m_text->text() != m_model.text())
        m_text->setText(m_model.text());
    m_updating = false;
}

void JPEditorWindow::act(const JPEditorAction &action)
{
    refresh();
    if (action.focusText)
        m_text->setFocus(Qt::OtherFocusReason);
}

void JPEditorWindow::run(void (JPEditorModel::*handler)())
{
    (m_model.*handler)();
    refresh();
}

void JPEditorWindow::open(int cardStyleButton)
{
    const bool first = !m_model.isLoaded();
    m_model.open(cardStyleButton);
    if (first) {
        m_placed = false;
        PlaceWindow(this, m_session.settings.JPEditorPos);
        m_placed = true;
        layOut();
    }
    refresh();
    show();
    raise();
    activateWindow();
    m_text->setFocus(Qt::OtherFocusReason);
}

bool JPEditorWindow::printList()
{
    if (m_model.category() < 0)
        return false;
    const QString title = m_model.printTitle();
    const QString body = m_model.printBody();
    QPrinter printer(QPrinter::HighResolution);
    PrintChoice choice;
    if (!m_session.ui.printDialog(PrintTextPageCount(printer, body, m_listFont), choice))
        return false;
    ApplyPrintChoice(printer, choice);
    QString error;
    if (PrintText(printer, title, body, m_listFont, &error))
        return true;
    if (!error.isEmpty())
        m_session.ui.message(error, MsgButtons::Ok, MsgIcon::Error);
    return false;
}

void JPEditorWindow::resetPosition()
{
    if (!isVisible())
        return;
    m_placed = false;
    PlaceWindow(this, m_session.settings.JPEditorPos);
    m_placed = true;
    layOut();
}

void JPEditorWindow::storePosition()
{
    if (!m_placed || !isVisible() || isMinimized())
        return;
    m_session.settings.JPEditorPos = WindowPlace(this);
}

void JPEditorWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layOut();
    storePosition();
}

void JPEditorWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    storePosition();
}

void JPEditorWindow::closeEvent(QCloseEvent *event)
{
    // Closing only hides the editor: the name box is taken over and the
    // table saved, as when another window becomes active.
    storePosition();
    m_model.deactivate();
    refresh();
    event->ignore();
    hide();
}

void JPEditorWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        QTimer::singleShot(0, this, &JPEditorWindow::deactivated);
}

void JPEditorWindow::deactivated()
{
    // A message box or file dialog of the editor's own commands is no other
    // window of the program; neither is a window of another program.
    QWidget *active = QApplication::activeWindow();
    if (isActiveWindow() || QApplication::activeModalWidget() || !active || active == this)
        return;
    m_model.deactivate();
    refresh();
}

bool JPEditorWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            act(m_model.JPtext_enter());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tz
