#include "card/card_window.h"

#include "app/bank_log.h"
#include "app/help_window.h"
#include "app/session.h"
#include "card/card_search.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

namespace tz {

namespace {

// Captions of the box labels 0..15; 5 and 6 follow the style, 7 is the dash
// between the page boxes and 13 labels the record-number box.
const std::array<const char16_t *, kCardBoxCount> kLabelCaptions = {
    u"Style", u"Memo",   u"Author", u"Title",   u"JP code", u"vol ",   u"pp.", u"-",
    u"Year",  u"Editor", u"Book",   u"Keyword", u"Link",    u"RecNo.", u"URL", u"DOI"};

// Boxes that hold several lines.
bool isMultiLine(int box)
{
    return box == 2 || box == 3 || box == 4 || box == 5 || box == 12;
}

// Row heights in pixels (15 twips each) by font-size class 1..3:
// one line, two lines, three lines, four lines.
struct RowHeights
{
    int one, two, three, four;
};
RowHeights rowHeights(int fontSizeNo)
{
    const int cls = fontSizeNo <= 2 ? 1 : (fontSizeNo <= 4 ? 2 : 3);
    switch (cls) {
    case 1:
        return {285 / 15, 480 / 15, 680 / 15, 880 / 15};
    case 2:
        return {340 / 15, 620 / 15, 840 / 15, 1040 / 15};
    default:
        return {390 / 15, 700 / 15, 910 / 15, 1220 / 15};
    }
}

// The card's height in pixels by font size.
int windowHeight(int fontSizeNo)
{
    return (fontSizeNo <= 2 ? 8100 : (fontSizeNo <= 4 ? 9180 : 9880)) / 15;
}

constexpr int kMinCardWidth = 9150 / 15;
constexpr int kSingleRow = 285 / 15; // URL, DOI, buttons and the top row
const QColor kRecNumShown(0, 0, 192);
const QColor kRecNumTyped(255, 0, 0);
const QColor kBoxInUse(255, 255, 255);
const QColor kBoxNotInUse(224, 224, 224);

} // namespace

CardWindow::CardWindow(Session &session, QWidget *parent) : QMainWindow(parent), m_session(session), m_card(session.jp)
{
    setObjectName(QStringLiteral("Card"));
    setProperty(kHelpContextProperty, 1010);
    wireCallbacks();
    buildMenus();
    buildControls();
    InstallHelpKey(this, session.ui);
}

void CardWindow::wireCallbacks()
{
    CardCallbacks cb;
    cb.message = [this](const QString &text) { m_session.ui.message(text, MsgButtons::Ok, MsgIcon::Information); };
    cb.fileError = [this](const QString &text) { m_session.ui.message(text, MsgButtons::Ok, MsgIcon::Error); };
    cb.askOkCancel = [this](const QString &text) {
        return m_session.ui.message(text, MsgButtons::OkCancel, MsgIcon::Information) == MsgAnswer::Ok;
    };
    cb.signal = [this](int n) { m_session.Signal(n); };
    cb.openWebPage = [this](const QString &url) { m_session.WebOn(url); };
    cb.search = [this](const CardSearchRequest &request) { showSearch(request); };
    m_card.setCallbacks(std::move(cb));
}

void CardWindow::buildMenus()
{
    QMenu *bank = menuBar()->addMenu(QStringLiteral("バンク(&B)"));
    bank->setObjectName(QStringLiteral("mnuB"));
    const struct
    {
        const char *name;
        const char16_t *caption;
        int mode;
        int help;
    } bankItems[] = {{"mnuBO", u"文献バンクを開く(&O)", 1, 1020},
                     {"mnuBN", u"文献バンクを作る(&N)", 2, 1030},
                     {"mnuBD", u"文献バンクの複製(&D)", 3, 1040}};
    for (const auto &item : bankItems) {
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

    QMenu *record = menuBar()->addMenu(QStringLiteral("レコード(&R)"));
    record->setObjectName(QStringLiteral("mnuR"));
    const struct
    {
        const char *name;
        const char16_t *caption;
        QKeyCombination key;
        int help;
        void (CardModel::*run)();
    } recordItems[] = {
        {"mnuRU", u"直前に戻す(&U)", {}, 2030, &CardModel::undo},
        {"mnuRC", u"レコード内の全データ・コピー(&C)", {}, 2030, &CardModel::copyAll},
        {"mnuRV", u"レコード内の全データ・ペースト(&V)", {}, 2030, &CardModel::pasteAll},
        {"mnuRD", u"レコード内の全データ消去(&D)", {}, 2030, &CardModel::clearAll},
        {"mnuC0", nullptr, {}, 0, nullptr},
        {"mnuRF", u"次のレコードへ(&F)", Qt::CTRL | Qt::Key_F, 2030, &CardModel::next},
        {"mnuRB", u"前のレコードへ(&B)", Qt::CTRL | Qt::Key_B, 2030, &CardModel::previous},
        {"mnuRN", u"新しいレコード(&N)", Qt::CTRL | Qt::Key_N, 2030, nullptr},
        {"mnuRA", u"リストへ移す(&A)", {}, 2030, &CardModel::toList},
        {"mnuC1", nullptr, {}, 0, nullptr},
        {"mnuRL", u"リンク論文を見る(&L)", {}, 2020, &CardModel::linkedRecords},
        {"mnuRP1", u"URL を見る", {}, 2020, &CardModel::openURL},
        {"mnuRP2", u"DOI を見る", {}, 2020, &CardModel::openDOI},
        {"mnuRS", u"類似文献を調べる(&S)", {}, 2020, &CardModel::similarRecords},
    };
    for (const auto &item : recordItems) {
        if (!item.caption) {
            record->addSeparator()->setObjectName(QString::fromLatin1(item.name));
            continue;
        }
        QAction *a = record->addAction(QString::fromUtf16(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        a->setProperty(kHelpContextProperty, item.help);
        if (item.key != QKeyCombination())
            a->setShortcut(QKeySequence(item.key));
        auto run = item.run;
        connect(a, &QAction::triggered, this, [this, run] {
            if (run)
                (m_card.*run)();
            else
                m_card.newRecord();
            refresh();
        });
    }

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
}

void CardWindow::buildControls()
{
    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    grid->setColumnStretch(1, 1);

    for (int i = 0; i < kCardBoxCount; ++i) {
        m_label[i] = new QLabel(QString::fromUtf16(kLabelCaptions[i]), central);
        m_label[i]->setObjectName(QStringLiteral("EditRecLabel_%1").arg(i));
        if (isMultiLine(i)) {
            auto *edit = new QPlainTextEdit(central);
            edit->setTabChangesFocus(true);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            const int box = i;
            connect(edit, &QPlainTextEdit::textChanged, this, [this, box, edit] {
                if (!m_updating)
                    m_card.setBoxText(box, edit->toPlainText());
            });
            m_box[i] = edit;
        } else {
            auto *edit = new QLineEdit(central);
            const int box = i;
            connect(edit, &QLineEdit::textEdited, this, [this, box](const QString &text) {
                if (!m_updating)
                    m_card.setBoxText(box, text);
            });
            m_box[i] = edit;
        }
        m_box[i]->setObjectName(QStringLiteral("EditRecBox_%1").arg(i));
        m_box[i]->installEventFilter(this);
    }
    // Boxes taking plain characters only.
    for (int i : {6, 7, 8, 9, 10, 12, 13, 14, 15})
        m_box[i]->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_box[0]->hide();
    m_label[0]->hide();

    // Top row: record number, style buttons, scroll bar with its range.
    auto *top = new QHBoxLayout;
    m_recNum = new QLineEdit(central);
    m_recNum->setObjectName(QStringLiteral("RecNumBox"));
    m_recNum->setFixedWidth(60);
    m_recNum->setAlignment(Qt::AlignRight);
    m_recNum->installEventFilter(this);
    connect(m_recNum, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_card.setRecNumText(text);
        refresh();
    });
    top->addWidget(m_label[13]);
    top->addWidget(m_recNum);
    auto *styles = new QButtonGroup(this);
    for (int s = 1; s <= 4; ++s) {
        m_style[s] = new QRadioButton(kStyleButtonCaptions[s], central);
        m_style[s]->setObjectName(QStringLiteral("RadioStyle_%1").arg(s));
        styles->addButton(m_style[s], s);
        top->addWidget(m_style[s]);
        connect(m_style[s], &QRadioButton::clicked, this, [this, s] {
            m_card.clickStyle(s);
            refresh();
        });
    }
    m_rangeLow = new QLabel(QStringLiteral("1"), central);
    m_rangeLow->setObjectName(QStringLiteral("RecRange_1"));
    m_rangeHigh = new QLabel(central);
    m_rangeHigh->setObjectName(QStringLiteral("RecRange_2"));
    m_scroll = new QScrollBar(Qt::Horizontal, central);
    m_scroll->setObjectName(QStringLiteral("HScroll"));
    m_scroll->setMinimumWidth(120);
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int n) {
        if (m_updating)
            return;
        if (m_scroll->isSliderDown()) {
            m_card.dragScroll(n);
        } else {
            m_card.scrollTo(n);
        }
        refresh();
    });
    connect(m_scroll, &QScrollBar::sliderReleased, this, [this] {
        m_card.scrollTo(m_scroll->value());
        refresh();
    });
    top->addSpacing(12);
    top->addWidget(m_rangeLow);
    top->addWidget(m_scroll, 1);
    top->addWidget(m_rangeHigh);
    grid->addLayout(top, 0, 0, 1, 2);

    auto addRow = [&](int row, int box, int label) {
        grid->addWidget(m_label[label], row, 0, Qt::AlignLeft | (isMultiLine(box) ? Qt::AlignTop : Qt::AlignVCenter));
        if (isMultiLine(box))
            m_label[label]->setContentsMargins(0, 4, 0, 0);
        grid->addWidget(m_box[box], row, 1);
    };
    addRow(1, 1, 1);
    addRow(2, 2, 2);
    addRow(3, 3, 3);
    addRow(4, 4, 9);
    addRow(5, 5, 10);
    // Row 6: JP code and the name list.
    auto *jpRow = new QHBoxLayout;
    m_box[6]->setFixedWidth(855 / 15);
    m_jpCombo = new QComboBox(central);
    m_jpCombo->setObjectName(QStringLiteral("JPcombo"));
    m_jpCombo->setEditable(true);
    m_jpCombo->setInsertPolicy(QComboBox::NoInsert);
    m_jpCombo->setMaxVisibleItems(12);
    connect(m_jpCombo, &QComboBox::activated, this, [this](int position) {
        const int next = m_card.pickJPname(position);
        refresh();
        focusBox(next);
    });
    jpRow->addWidget(m_box[6]);
    jpRow->addWidget(m_jpCombo, 1);
    grid->addWidget(m_label[4], 6, 0);
    grid->addLayout(jpRow, 6, 1);
    // Row 7: volume, pages, year and the registration date at the right.
    auto *volRow = new QHBoxLayout;
    m_box[7]->setFixedWidth(1835 / 15);
    m_box[8]->setFixedWidth(855 / 15);
    m_box[9]->setFixedWidth(855 / 15);
    m_box[10]->setFixedWidth(960 / 15);
    // The registration date box is wide enough for a whole date in the card's font.
    m_box[13]->setFixedWidth(
        std::max(1020 / 15, m_box[13]->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00")) + 16));
    volRow->addWidget(m_box[7]);
    volRow->addSpacing(8);
    volRow->addWidget(m_label[6]);
    volRow->addWidget(m_box[8]);
    volRow->addWidget(m_label[7]);
    volRow->addWidget(m_box[9]);
    volRow->addSpacing(8);
    volRow->addWidget(m_label[8]);
    volRow->addWidget(m_box[10]);
    volRow->addStretch(1);
    volRow->addWidget(m_box[13]);
    grid->addWidget(m_label[5], 7, 0);
    grid->addLayout(volRow, 7, 1);
    addRow(8, 11, 11);
    addRow(9, 12, 12);
    addRow(10, 14, 14);
    addRow(11, 15, 15);

    // Buttons.
    auto *buttons = new QHBoxLayout;
    auto button = [&](const char *name, const QString &caption, auto action) {
        auto *b = new QPushButton(caption, central);
        b->setObjectName(QString::fromLatin1(name));
        b->setFixedHeight(kSingleRow + 6);
        connect(b, &QPushButton::clicked, this, [this, action] {
            action();
            refresh();
        });
        buttons->addWidget(b);
        return b;
    };
    QPushButton *jpView = button("JPview", QStringLiteral("edit JP"), [] {});
    jpView->setEnabled(false); // the name-list editor is not part of the card yet
    button("LinkView", QStringLiteral("view Link"), [this] { m_card.linkedRecords(); });
    button("ViewPDF1", QStringLiteral("view URL"), [this] { m_card.openURL(); });
    button("ViewPDF2", QStringLiteral("view DOI"), [this] { m_card.openDOI(); });
    button("CommandSimilar", QStringLiteral("Sim Srch"), [this] {
        if (m_card.save())
            m_card.similarRecords();
    });
    buttons->addStretch(1);
    button("CommandBack", QStringLiteral("<"), [this] { m_card.previous(); });
    button("CommandNext", QStringLiteral(">"), [this] { m_card.next(); });
    button("NewRec", QStringLiteral("New"), [this] { m_card.newRecord(); });
    button("CommandSave", QStringLiteral("Save"), [this] { m_card.save(); });
    button("CommandQuit", QStringLiteral("Quit"), [this] { close(); });
    grid->addLayout(buttons, 12, 0, 1, 2);
    grid->setRowStretch(13, 1);

    setCentralWidget(central);
    applyRowHeights();
    setMinimumWidth(kMinCardWidth);
    resize(kMinCardWidth, std::max(sizeHint().height(), windowHeight(m_session.settings.FontSizeNo)));
}

void CardWindow::changeEvent(QEvent *event)
{
    // The card has one size per font size: it cannot be maximised.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
    QMainWindow::changeEvent(event);
}

void CardWindow::applyRowHeights()
{
    const RowHeights h = rowHeights(m_session.settings.FontSizeNo);
    const int pad = 6; // frame and margins of a box around its text
    for (int i : {1, 6, 7, 8, 9, 10, 11, 13})
        m_box[i]->setFixedHeight(h.one + pad);
    for (int i : {4, 5})
        m_box[i]->setFixedHeight(h.two + pad);
    for (int i : {2, 12})
        m_box[i]->setFixedHeight(h.three + pad);
    m_box[3]->setFixedHeight(h.four + pad);
    for (int i : {14, 15})
        m_box[i]->setFixedHeight(kSingleRow + pad);
    m_jpCombo->setFixedHeight(h.one + pad);
    m_recNum->setFixedHeight(kSingleRow + pad);
}

bool CardWindow::FormSet(QString *error)
{
    QString failure;
    m_card.setAutoDupCheck(m_session.settings.AutoDupCheck != 0);
    m_card.setMaxHits(m_session.settings.MaxHits);
    m_card.setBankLoading(true);
    // A failure to open goes back to the bank window, which reports it.
    CardCallbacks opening;
    opening.fileError = [&failure](const QString &text) { failure = text; };
    m_card.setCallbacks(std::move(opening));
    const bool ok = m_card.openBank(m_session.BankPath());
    wireCallbacks();
    m_card.setBankLoading(false);
    if (!ok) {
        if (error)
            *error = failure;
        return false;
    }
    setWindowTitle(CardCaption(m_session.BankName()));
    refresh();
    focusBox(1);
    return true;
}

void CardWindow::showCard()
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

QString CardWindow::widgetText(int box) const
{
    if (auto *edit = qobject_cast<QPlainTextEdit *>(m_box[box]))
        return edit->toPlainText();
    return static_cast<QLineEdit *>(m_box[box])->text();
}

void CardWindow::setWidgetText(int box, const QString &text)
{
    if (auto *edit = qobject_cast<QPlainTextEdit *>(m_box[box]))
        edit->setPlainText(text);
    else
        static_cast<QLineEdit *>(m_box[box])->setText(text);
}

int CardWindow::boxIndexOf(const QObject *o) const
{
    for (int i = 0; i < kCardBoxCount; ++i)
        if (m_box[i] == o)
            return i;
    return -1;
}

void CardWindow::focusBox(int box)
{
    if (box >= 1 && box < kCardBoxCount)
        m_box[box]->setFocus(Qt::OtherFocusReason);
}

void CardWindow::refresh()
{
    m_updating = true;
    for (int i = 0; i < kCardBoxCount; ++i) {
        const QString text = m_card.boxText(i);
        if (widgetText(i) != text)
            setWidgetText(i, text);
    }
    const CardStyleLayout layout = m_card.styleLayout();
    m_label[5]->setText(layout.label5);
    m_label[6]->setText(layout.label6);
    for (int i = 1; i < kCardBoxCount; ++i) {
        QPalette pal = m_box[i]->palette();
        pal.setColor(QPalette::Base, layout.inUse[i] ? kBoxInUse : kBoxNotInUse);
        m_box[i]->setPalette(pal);
        m_box[i]->setFocusPolicy(layout.inUse[i] ? Qt::StrongFocus : Qt::ClickFocus);
    }
    const int button = m_card.styleButton();
    for (int s = 1; s <= 4; ++s) {
        if (m_style[s]->group())
            m_style[s]->group()->setExclusive(false);
        m_style[s]->setChecked(s == button);
        if (m_style[s]->group())
            m_style[s]->group()->setExclusive(true);
    }
    QStringList shown;
    for (int i = 0; i < m_jpCombo->count(); ++i)
        shown << m_jpCombo->itemText(i);
    if (shown != m_card.jpList()) {
        m_jpCombo->clear();
        m_jpCombo->addItems(m_card.jpList());
    }
    m_jpCombo->setCurrentIndex(m_card.jpSelection());
    m_jpCombo->setEditText(m_card.jpComboText());

    if (m_recNum->text() != m_card.recNumText())
        m_recNum->setText(m_card.recNumText());
    QPalette rp = m_recNum->palette();
    rp.setColor(QPalette::Text, m_card.recNumEdited() ? kRecNumTyped : kRecNumShown);
    m_recNum->setPalette(rp);

    const int count = std::max(1, m_card.recCount());
    m_scroll->setRange(1, count);
    if (!m_scroll->isSliderDown())
        m_scroll->setValue(m_card.curRec());
    m_rangeHigh->setText(QString::number(m_card.recCount()));
    m_updating = false;
}

bool CardWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_recNum) {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                m_card.enterRecNum();
                refresh();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            m_card.leaveRecNum();
            refresh();
        }
        return QMainWindow::eventFilter(watched, event);
    }
    const int box = boxIndexOf(watched);
    if (box < 0)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        m_card.setFocusBox(box);
        break;
    case QEvent::FocusOut:
        if (!m_closed) {
            m_card.leaveBox(box);
            refresh();
        }
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & Qt::ShiftModifier)) {
            const int next = m_card.enterInBox();
            refresh();
            focusBox(next);
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CardWindow::showSearch(const CardSearchRequest &request)
{
    // Until the search window takes the request, its list is shown read-only.
    const int form = std::clamp(m_session.settings.CurForm, 1, std::max(1, m_session.forms.FormCount));
    const int script = std::clamp(m_session.settings.CurScript, 1, std::max(1, m_session.scripts.ScriptCount));
    const CardSearchBank bank{m_session.BankPath(),
                              m_session.BankName(),
                              m_session.jp,
                              m_session.forms.form(form),
                              m_session.scripts.script(script),
                              m_session.settings.MaxHits};
    CardSearchResult result;
    QString error;
    if (!RunCardSearch(request, bank, &result, &error)) {
        m_session.ui.message(error, MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    if (request.SearchItem == KindSimilarAuto && result.hitCount == 0)
        return;
    if (!m_searchList) {
        m_searchList = new QDialog(this);
        m_searchList->setObjectName(QStringLiteral("CardSearchList"));
        auto *text = new QPlainTextEdit(m_searchList);
        text->setObjectName(QStringLiteral("CardSearchText"));
        text->setReadOnly(true);
        auto *layout = new QVBoxLayout(m_searchList);
        layout->addWidget(text);
        m_searchList->resize(560, 400);
    }
    m_searchList->setWindowTitle(QStringLiteral("%1: %2 件").arg(request.kindText).arg(result.hitCount));
    m_searchList->findChild<QPlainTextEdit *>()->setPlainText(result.text);
    m_searchList->show();
    m_searchList->raise();
}

void CardWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closed) {
        m_closed = true;
        m_card.close();
        QString error;
        if (!CfgSave(m_session.cfgFile(), m_session.settings, &error) ||
            !BankLogSave(m_session.logFile(), m_session.BankPaths, &error))
            m_session.ui.message(error, MsgButtons::Ok, MsgIcon::Error);
    }
    event->accept();
    QApplication::quit();
}

} // namespace tz
