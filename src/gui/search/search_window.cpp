#include "gui/search/search_window.h"

#include "core/search/result_file.h"
#include "core/session/session.h"
#include "gui/widgets/edit_box.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/help_window.h"
#include "gui/widgets/print_text.h"
#include "gui/widgets/window_place.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace tz {

namespace {

constexpr int kTwips = 15; // twips per pixel
constexpr int kMinWidthTwips = 8760;
constexpr int kMinHeightTwips = 6750;

const std::array<const char16_t *, 5> kCheckCaptions = {u"OR", u"Additional", u"uniQue reco.", u"Ignore capitals",
                                                        u"Top_word only"};
const std::array<const char16_t *, 9> kButtonCaptions = {u"Word Clear",  u"OR Search",    u"Result Clear",
                                                         u" List  Save", u" List  Print", u"Close",
                                                         u"List",        u"AND Search",   u"Reset"};
const std::array<const char16_t *, 7> kLabelCaptions = {u"Target", u"Word / Number", u"Option", u"for",
                                                        u"Result", u"Script",        u"Form"};
// Vertical places of the buttons 0..7 at the right edge (pixels).
const std::array<int, 8> kButtonTops = {57, 92, 152, 188, 220, 296, 252, 120};

QColor rgb(unsigned c)
{
    return QColor::fromRgb(c);
}

void setBackground(QWidget *w, QPalette::ColorRole role, unsigned colour)
{
    QPalette pal = w->palette();
    if (pal.color(role) == rgb(colour))
        return;
    pal.setColor(role, rgb(colour));
    w->setPalette(pal);
}

} // namespace

SearchWindow::SearchWindow(Session &session, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_model(session)
{
    setObjectName(QStringLiteral("Search"));
    setProperty(kHelpContextProperty, 4000);
    buildMenus();
    buildControls();
    InstallHelpKey(this, session.ui);
    setMinimumSize(TwipsToPixels(kMinWidthTwips, logicalDpiX()), TwipsToPixels(kMinHeightTwips, logicalDpiY()));
    applyFont();
    bankChanged();
    resetPosition();
}

void SearchWindow::buildMenus()
{
    QMenu *search = menuBar()->addMenu(QStringLiteral("検索(&S)"));
    search->setObjectName(QStringLiteral("mnuS"));
    search->menuAction()->setProperty(kHelpContextProperty, 4000);
    for (const SearchKindItem &item : SearchKindItems()) {
        if (item.separatorBefore)
            search->addSeparator();
        QAction *a = search->addAction(item.searchCaption);
        a->setObjectName(QString::fromLatin1(item.menuName));
        a->setProperty(kHelpContextProperty, item.help);
        const int kind = item.kind;
        connect(a, &QAction::triggered, this, [this, kind] { openKind(kind); });
    }
    search->addSeparator();
    const struct
    {
        const char *name;
        const char16_t *caption;
        QKeyCombination key;
        int button;
    } commands[] = {
        {"mnuSO", u"OR 検索開始(&O)", QKeyCombination(Qt::Key_F6), SearOr},
        {"mnuSN", u"AND 検索開始(&S)", QKeyCombination(Qt::Key_F5), SearAnd},
        {"mnuSC", u"キー・クリア(&C)", QKeyCombination(), SearResultClear},
        {nullptr, nullptr, QKeyCombination(), 0},
        {"mnuSX", u"閉じる(&X)", Qt::CTRL | Qt::Key_W, SearClose},
    };
    for (const auto &item : commands) {
        if (!item.name) {
            search->addSeparator();
            continue;
        }
        QAction *a = search->addAction(QString::fromUtf16(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        if (item.key != QKeyCombination())
            a->setShortcut(QKeySequence(item.key));
        const int button = item.button;
        const bool showsCard = button == SearResultClear;
        connect(a, &QAction::triggered, this, [this, button, showsCard] {
            if (showsCard)
                Q_EMIT showCardRequested();
            SearD_click(button);
        });
    }

    QMenu *options = menuBar()->addMenu(QStringLiteral("検索オプション(&O)"));
    options->setObjectName(QStringLiteral("mnuO"));
    options->menuAction()->setProperty(kHelpContextProperty, 4000);
    const std::array<std::pair<const char *, const char16_t *>, 5> toggles = {{{"mnuON", u"AND 検索を優先(&N)"},
                                                                               {"mnuOA", u"リスト追加モード(&A)"},
                                                                               {"mnuOQ", u"重複排除(&Q)"},
                                                                               {"mnuOI", u"大文字を無視(&I)"},
                                                                               {"mnuOT", u"先頭文字検索(&T)"}}};
    for (int i = 0; i < 5; ++i) {
        QAction *a = options->addAction(QString::fromUtf16(toggles[static_cast<size_t>(i)].second));
        a->setObjectName(QString::fromLatin1(toggles[static_cast<size_t>(i)].first));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, i] {
            m_model.toggleCheckMode(i);
            refresh();
        });
        m_checkMenu[static_cast<size_t>(i)] = a;
        if (i == 0 || i == 4)
            options->addSeparator();
    }
    // Each item focuses the list its caption names.
    QAction *chooseForm = options->addAction(QStringLiteral("書式の選択(&F)"));
    chooseForm->setObjectName(QStringLiteral("mnuOF"));
    connect(chooseForm, &QAction::triggered, this, [this] { m_form->setFocus(Qt::OtherFocusReason); });
    QAction *chooseScript = options->addAction(QStringLiteral("スクリプトの選択(&S)"));
    chooseScript->setObjectName(QStringLiteral("mnuOS"));
    connect(chooseScript, &QAction::triggered, this, [this] { m_script->setFocus(Qt::OtherFocusReason); });

    QMenu *result = menuBar()->addMenu(QStringLiteral("検索結果の編集(&R)"));
    result->setObjectName(QStringLiteral("mnuL"));
    result->menuAction()->setProperty(kHelpContextProperty, 4000);
    const struct
    {
        const char *name;
        const char16_t *caption;
        QKeyCombination key;
        ResultCommand command;
    } edits[] = {
        {"mnuRU", u"取り消し(&U)", Qt::CTRL | Qt::Key_Z, ResultCommand::Undo},
        {"mnuRA", u"全てを選択(&A)", Qt::CTRL | Qt::Key_A, ResultCommand::SelectAll},
        {"mnuRC", u"コピー(&C)", Qt::CTRL | Qt::Key_C, ResultCommand::Copy},
        {"mnuRT", u"カット(&T)", Qt::CTRL | Qt::Key_T, ResultCommand::Cut},
        {"mnuRV", u"ペースト(&V)", Qt::CTRL | Qt::Key_V, ResultCommand::Paste},
        {"mnuRD", u"消去(&D)", Qt::CTRL | Qt::Key_D, ResultCommand::Delete},
        {nullptr, nullptr, QKeyCombination(), ResultCommand::Undo},
        {"mnuRR", u"更新(&R)", QKeyCombination(), ResultCommand::List},
        {"mnuRS", u"保存(&S)", QKeyCombination(), ResultCommand::Save},
        {"mnuRP", u"印刷(&P)", QKeyCombination(), ResultCommand::Print},
        {nullptr, nullptr, QKeyCombination(), ResultCommand::Undo},
        {"mnuRZ", u"結果の消去(&Z)", QKeyCombination(), ResultCommand::Clear},
    };
    for (const auto &item : edits) {
        if (!item.name) {
            result->addSeparator();
            continue;
        }
        QAction *a = result->addAction(QString::fromUtf16(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        if (item.key != QKeyCombination()) {
            a->setShortcut(QKeySequence(item.key));
            a->setShortcutContext(Qt::WindowShortcut);
        }
        const ResultCommand command = item.command;
        connect(a, &QAction::triggered, this, [this, command] { resultCommand(command); });
    }

    AddHelpMenu(this, m_session.ui, [this] { Q_EMIT versionRequested(); });
}

void SearchWindow::buildControls()
{
    auto *central = new QWidget(this);
    setCentralWidget(central);

    for (int i = 0; i < 7; ++i) {
        m_label[static_cast<size_t>(i)] =
            new QLabel(QString::fromUtf16(kLabelCaptions[static_cast<size_t>(i)]), central);
        m_label[static_cast<size_t>(i)]->setObjectName(QStringLiteral("Label1_%1").arg(i));
    }
    m_label[1]->setWordWrap(true);

    m_kind = new QComboBox(central);
    m_kind->setObjectName(QStringLiteral("ComboItem"));
    m_kind->addItems(SearchModel::kindNames());
    m_kind->setMaxVisibleItems(12);
    // The kinds the card starts show their text in place of a list entry.
    QPalette kp = m_kind->palette();
    kp.setColor(QPalette::PlaceholderText, kp.color(QPalette::ButtonText));
    m_kind->setPalette(kp);
    connect(m_kind, &QComboBox::activated, this, [this](int index) { run(m_model.SearchSet(index)); });

    m_keys = new QLineEdit(central);
    m_keys->setObjectName(QStringLiteral("BoxKeys"));
    m_keys->installEventFilter(this);
    connect(m_keys, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!m_updating)
            m_model.setKeyText(text);
    });
    // Enter presses the default search button; the focus stays in the box.
    connect(m_keys, &QLineEdit::returnPressed, this, [this] { SearD_click(m_model.defaultButton()); });

    m_result = new QPlainTextEdit(central);
    m_result->setObjectName(QStringLiteral("BoxResult"));
    m_result->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_result->installEventFilter(this);
    // An edit marks the text; the model takes it before the next command
    // (copying a long list at every key press would make typing slow).
    connect(m_result, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_updating)
            m_resultEdited = true;
    });

    m_form = new QComboBox(central);
    m_form->setObjectName(QStringLiteral("ComboForm"));
    connect(m_form, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!m_updating)
            m_model.setFormIndex(i);
    });
    m_script = new QComboBox(central);
    m_script->setObjectName(QStringLiteral("ComboScript"));
    connect(m_script, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!m_updating)
            m_model.setScriptIndex(i);
    });

    for (int i = 0; i < 5; ++i) {
        auto *box = new QCheckBox(QString::fromUtf16(kCheckCaptions[static_cast<size_t>(i)]), central);
        box->setObjectName(QStringLiteral("CheckMode_%1").arg(i));
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
            if (m_updating)
                return;
            m_model.setCheckMode(i, on);
            refresh();
        });
        m_check[static_cast<size_t>(i)] = box;
    }
    auto *forGroup = new QButtonGroup(this);
    const std::array<const char16_t *, 3> forCaptions = {nullptr, u"All records", u"Currentl records"};
    for (int i = 1; i <= 2; ++i) {
        auto *b = new QRadioButton(QString::fromUtf16(forCaptions[static_cast<size_t>(i)]), central);
        b->setObjectName(QStringLiteral("CheckFor_%1").arg(i));
        forGroup->addButton(b, i);
        connect(b, &QRadioButton::clicked, this, [this, i] {
            m_model.setForCurrentRecords(i == 2);
            refresh();
        });
        m_for[static_cast<size_t>(i)] = b;
    }

    for (int i = 0; i < 9; ++i) {
        auto *b = new QPushButton(QString::fromUtf16(kButtonCaptions[static_cast<size_t>(i)]), central);
        b->setObjectName(QStringLiteral("SearD_%1").arg(i));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, i] { SearD_click(i); });
        m_button[static_cast<size_t>(i)] = b;
    }
}

void SearchWindow::applyFont()
{
    const QFont font = ChosenFont(m_session.settings.FontNameNo, m_session.settings.FontSizeNo);
    m_printFont = font;
    for (QWidget *w :
         {static_cast<QWidget *>(m_kind), static_cast<QWidget *>(m_keys), static_cast<QWidget *>(m_result)})
        w->setFont(font);
    layOut();
}

void SearchWindow::bankChanged()
{
    m_model.bankChanged();
    refresh();
}

void SearchWindow::resetPosition()
{
    m_placed = false;
    PlaceWindow(this, m_session.settings.SearchPos);
    m_placed = true;
    layOut();
}

void SearchWindow::layOut()
{
    QWidget *c = centralWidget();
    if (!c)
        return;
    const int w = c->width();
    const int h = c->height();
    const int left = 960 / kTwips;
    // The buttons stand 955 twips from the right edge, or further in where
    // their captions need more room in the fonts of this system.
    int buttonWidth = 955 / kTwips - 4;
    for (QPushButton *b : m_button)
        buttonWidth = std::max(buttonWidth, b->sizeHint().width());
    const int buttonLeft = w - buttonWidth - 4;
    const int boxWidth = std::max(40, buttonLeft - 8 - left);
    const int row = std::max(22, m_kind->sizeHint().height());

    // Top rows: the kind at the left, the form and the script at the right.
    m_label[0]->setGeometry(6, 6, left - 8, row);
    m_kind->setGeometry(left, 6, 170, row);
    const int listLeft = left + 170 + 48;
    const int listWidth = std::max(60, buttonLeft - 8 - listLeft);
    m_label[6]->setGeometry(listLeft - 42, 6, 40, row);
    m_form->setGeometry(listLeft, 6, listWidth, row);
    m_label[5]->setGeometry(listLeft - 42, 8 + row, 40, row);
    m_script->setGeometry(listLeft, 8 + row, listWidth, row);
    m_button[SearReset]->setGeometry(buttonLeft, 8 + row, buttonWidth, row);

    // The key box, the options (wrapped where the row is full) and the result box.
    const int keysTop = std::max(855 / kTwips, 12 + 2 * row);
    const int keysHeight = std::max(480 / kTwips, m_keys->sizeHint().height());
    m_label[1]->setGeometry(6, keysTop - 2, left - 8, keysHeight + 4);
    m_keys->setGeometry(left, keysTop, boxWidth, keysHeight);
    const int line = 22;
    int y = keysTop + keysHeight + 4;
    m_label[2]->setGeometry(6, y, left - 8, line);
    int x = left;
    for (QCheckBox *box : m_check) {
        const int bw = box->sizeHint().width();
        if (x > left && x + bw > left + boxWidth) {
            x = left;
            y += line;
        }
        box->setGeometry(x, y, bw, line);
        x += bw + 8;
    }
    y += line;
    m_label[3]->setGeometry(6, y, left - 8, line);
    x = left;
    for (int i = 1; i <= 2; ++i) {
        QRadioButton *b = m_for[static_cast<size_t>(i)];
        b->setGeometry(x, y, b->sizeHint().width(), line);
        x += b->sizeHint().width() + 12;
    }
    const int resultTop = std::max(2160 / kTwips, y + line + 4);
    m_label[4]->setGeometry(6, resultTop, left - 8, line);
    m_result->setGeometry(left, resultTop, boxWidth, std::max(40, h - (2280 / kTwips) - (resultTop - 2160 / kTwips)));

    // The buttons keep their places down the right edge.
    const int shift = keysTop - 855 / kTwips;
    for (int i = 0; i < 8; ++i)
        m_button[static_cast<size_t>(i)]->setGeometry(buttonLeft, kButtonTops[static_cast<size_t>(i)] + shift,
                                                      buttonWidth, 28);
}

void SearchWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layOut();
    storePosition();
}

void SearchWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    storePosition();
}

void SearchWindow::changeEvent(QEvent *event)
{
    // The window is laid out for its own size: a maximised window returns to normal.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
    QMainWindow::changeEvent(event);
}

void SearchWindow::storePosition()
{
    if (!m_placed || !isVisible() || isMinimized())
        return;
    m_session.settings.SearchPos = WindowPlace(this);
}

void SearchWindow::closeEvent(QCloseEvent *event)
{
    // Closing only hides the window: its options and its result stay.
    storePosition();
    event->ignore();
    hide();
}

void SearchWindow::refresh()
{
    m_updating = true;
    setWindowTitle(m_model.windowTitle());

    const int kind = m_model.searchItem();
    if (kind >= 0 && kind < m_kind->count()) {
        m_kind->setCurrentIndex(kind);
    } else {
        m_kind->setCurrentIndex(-1);
        m_kind->setPlaceholderText(m_model.kindText());
    }

    if (m_keys->text() != m_model.keyText())
        m_keys->setText(m_model.keyText());
    setBackground(m_keys, QPalette::Base, m_model.keyBoxColour());
    switch (m_model.keyInput()) {
    case KeyInput::Latin:
        m_keys->setAttribute(Qt::WA_InputMethodEnabled, true);
        m_keys->setInputMethodHints(Qt::ImhPreferLatin);
        break;
    case KeyInput::Disabled:
        m_keys->setAttribute(Qt::WA_InputMethodEnabled, false);
        break;
    case KeyInput::Unchanged:
        break;
    }

    m_button[SearAnd]->setVisible(m_model.andVisible());
    for (int b : {SearOr, SearAnd}) {
        setBackground(m_button[static_cast<size_t>(b)], QPalette::Button, m_model.buttonColour(b));
        m_button[static_cast<size_t>(b)]->setDefault(b == m_model.defaultButton());
    }

    for (int i = 0; i < 5; ++i) {
        m_check[static_cast<size_t>(i)]->setChecked(m_model.checkMode(i));
        m_checkMenu[static_cast<size_t>(i)]->setChecked(m_model.checkMode(i));
    }
    m_for[m_model.forCurrentRecords() ? 2 : 1]->setChecked(true);

    const QStringList forms = m_model.formNames();
    if (m_form->count() != forms.size() || [&] {
            for (int i = 0; i < forms.size(); ++i)
                if (m_form->itemText(i) != forms[i])
                    return true;
            return false;
        }()) {
        m_form->clear();
        m_form->addItems(forms);
    }
    m_form->setCurrentIndex(m_model.formIndex());
    const QStringList scripts = m_model.scriptNames();
    if (m_script->count() != scripts.size() || [&] {
            for (int i = 0; i < scripts.size(); ++i)
                if (m_script->itemText(i) != scripts[i])
                    return true;
            return false;
        }()) {
        m_script->clear();
        m_script->addItems(scripts);
    }
    m_script->setCurrentIndex(m_model.scriptIndex());

    if (m_shownVersion != m_model.resultVersion()) {
        m_shownVersion = m_model.resultVersion();
        m_resultEdited = false;
        m_result->setPlainText(m_model.resultText());
    }
    m_updating = false;
}

void SearchWindow::formsChanged()
{
    refresh();
}

void SearchWindow::showWindow()
{
    show();
    raise();
    activateWindow();
}

void SearchWindow::run(const SearchAction &action)
{
    refresh();
    if (action.hide)
        hide();
    if (action.show)
        showWindow();
    if (action.focusKeys)
        m_keys->setFocus(Qt::OtherFocusReason);
    if (action.print)
        printResult();
}

void SearchWindow::SearchSet(int kind)
{
    showWindow();
    run(m_model.SearchSet(kind));
}

void SearchWindow::takeResultEdit()
{
    if (m_resultEdited) {
        m_resultEdited = false;
        m_model.setResultText(m_result->toPlainText());
    }
}

void SearchWindow::openKind(int kind)
{
    SearchSet(kind);
    if (!KindNeedsKey(kind))
        SearD_click(SearOr);
}

void SearchWindow::SearD_click(int index)
{
    takeResultEdit();
    run(m_model.SearD_click(index));
}

void SearchWindow::runCardRequest(const CardSearchRequest &request)
{
    run(m_model.runCardRequest(request));
}

bool SearchWindow::printResult()
{
    takeResultEdit();
    showWindow();
    const QString text = CrLfLines(m_model.resultText());
    QPrinter printer(QPrinter::HighResolution);
    PrintChoice choice;
    if (!m_session.ui.printDialog(PrintTextPageCount(printer, text, m_printFont), choice))
        return false;
    ApplyPrintChoice(printer, choice);
    QString error;
    if (PrintText(printer, kPrintTitle, text, m_printFont, &error))
        return true;
    if (!error.isEmpty())
        m_session.ui.message(error, MsgButtons::Ok, MsgIcon::Error);
    return false;
}

QWidget *SearchWindow::focusedBox() const
{
    QWidget *focus = QApplication::focusWidget();
    if (focus == m_keys || focus == m_result)
        return focus;
    return nullptr;
}

void SearchWindow::resultCommand(ResultCommand command)
{
    takeResultEdit();
    // Select all: from the start, as long as the result text; the key box
    // limits it to its own text.
    const qsizetype all = m_model.resultText().size();
    switch (command) {
    case ResultCommand::Undo:
        m_model.undoResult();
        break;
    case ResultCommand::List:
        SearD_click(SearList);
        return;
    case ResultCommand::Save:
        m_model.saveResult();
        break;
    case ResultCommand::Print:
        printResult();
        return;
    case ResultCommand::Clear:
        m_model.clearResult();
        break;
    case ResultCommand::SelectAll:
        EditBoxCommand(focusedBox(), EditOp::SelectAll, all);
        break;
    case ResultCommand::Copy:
        EditBoxCommand(focusedBox(), EditOp::Copy, all);
        break;
    case ResultCommand::Cut:
        EditBoxCommand(focusedBox(), EditOp::Cut, all);
        break;
    case ResultCommand::Paste:
        EditBoxCommand(focusedBox(), EditOp::Paste, all);
        break;
    case ResultCommand::Delete:
        EditBoxCommand(focusedBox(), EditOp::Delete, all);
        break;
    }
    refresh();
}

bool SearchWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The result menu's shortcuts act on the key and result boxes instead of
    // the boxes' own editing keys (Ctrl+Z renders the list again).
    if ((watched == m_keys || watched == m_result) && IsEditMenuKey(event)) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tz
