#include "gui/card/card_window.h"

#include "core/card/card_layout.h"
#include "core/session/session.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/help_window.h"
#include "gui/widgets/print_text.h"
#include "gui/widgets/window_place.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
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

const QColor kRecNumShown(0, 0, 192);
const QColor kRecNumTyped(255, 0, 0);
const QColor kBoxInUse(255, 255, 255);
const QColor kBoxNotInUse(224, 224, 224);

} // namespace

CardWindow::CardWindow(Session &session, QWidget *parent) : QMainWindow(parent), m_session(session), m_card(session)
{
    setObjectName(QStringLiteral("Card"));
    setProperty(kHelpContextProperty, 1010);
    buildMenus();
    buildControls();
    InstallHelpKey(this, session.ui);
    applyFont();
    applySwitches();
    placeFromSettings();
}

void CardWindow::buildMenus()
{
    QMenu *bank = menuBar()->addMenu(QStringLiteral("バンク(&B)"));
    bank->setObjectName(QStringLiteral("mnuB"));
    const struct
    {
        const char *name;
        const char16_t *caption;
        BankMode mode;
        int help;
    } bankItems[] = {{"mnuBO", u"文献バンクを開く(&O)", BankMode::Open, 1020},
                     {"mnuBN", u"文献バンクを作る(&N)", BankMode::New, 1030},
                     {"mnuBD", u"文献バンクの複製(&D)", BankMode::Duplicate, 1040}};
    for (const auto &item : bankItems) {
        QAction *a = bank->addAction(QString::fromUtf16(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        a->setProperty(kHelpContextProperty, item.help);
        const BankMode mode = item.mode;
        connect(a, &QAction::triggered, this, [this, mode] {
            m_card.save();
            refresh();
            Q_EMIT bankViewRequested(mode);
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

    record->addSeparator()->setObjectName(QStringLiteral("mnuC2"));
    QAction *print = record->addAction(QStringLiteral("パネル印刷(&P)"));
    print->setObjectName(QStringLiteral("mnuRP"));
    print->setProperty(kHelpContextProperty, 2030);
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(print, &QAction::triggered, this, &CardWindow::printCard);

    buildFieldMenu();
    buildEditMenu();
    buildSearchMenu();
    buildOptionMenu();

    QMenu *help = AddHelpMenu(this, m_session.ui, [this] { Q_EMIT versionRequested(); });
    help->addSeparator()->setObjectName(QStringLiteral("mnuH0"));
    QAction *home = help->addAction(QStringLiteral("Tessellane のホームページ(&Q)"));
    home->setObjectName(QStringLiteral("mnuHQ"));
    connect(home, &QAction::triggered, this, [this] { m_session.WebOn(m_session.HomePage()); });
}

void CardWindow::buildFieldMenu()
{
    QMenu *field = menuBar()->addMenu(QStringLiteral("フィールド(&F)"));
    field->setObjectName(QStringLiteral("mnuF"));
    field->menuAction()->setProperty(kHelpContextProperty, 3000);
    QMenu *styles = field->addMenu(QStringLiteral("スタイル(&S)"));
    styles->setObjectName(QStringLiteral("mnuFS"));
    styles->menuAction()->setProperty(kHelpContextProperty, 3020);
    const char *styleNames[] = {nullptr, "mnuFSJ", "mnuFSB", "mnuFSM", "mnuFSE"};
    const char16_t *styleCaptions[] = {nullptr, u"雑誌(&J)", u"本/編集もの(&B)", u"単行本/モノグラフ(&M)",
                                       u"その他(&E)"};
    for (int s = 1; s <= 4; ++s) {
        QAction *a = styles->addAction(QString::fromUtf16(styleCaptions[s]));
        a->setObjectName(QString::fromLatin1(styleNames[s]));
        a->setProperty(kHelpContextProperty, 3020);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, s] {
            m_card.clickStyle(s);
            refresh();
            focusBox(CardBox::Memo);
        });
        m_styleItems[size_t(s)] = a;
    }
    const struct
    {
        const char *name;
        const char16_t *caption;
        int help;
        CardBox box;
    } items[] = {
        {"mnuFM", u"メモ(&M)", 3030, CardBox::Memo},
        {"mnuFA", u"著者(&A)", 3040, CardBox::Author},
        {"mnuFT", u"タイトル(&T)", 3050, CardBox::Title},
        {"mnuFJ", u"JPコード(&J)", 3060, CardBox::JPcode},
        {"mnuIV", u"巻号(&V)", 3070, CardBox::Volume},
        {"mnuFP", u"ページ(&P)", 3080, CardBox::Page1},
        {"mnuFY", u"発行年(&Y)", 3090, CardBox::Year},
        {"mnuI0", nullptr, 0, CardBox::Style},
        {"mnuFE", u"編者(E&)", 3040, CardBox::Editor},
        {"mnuFB", u"本(&B)", 3050, CardBox::Book},
        {"mnuFK", u"キーワード(&K)", 3050, CardBox::Keyword},
        {"mnuFL", u"リンク(&L)", 3100, CardBox::Link},
        {"mnuI2", nullptr, 0, CardBox::Style},
        {"mnuFU", u"URL(&U)", 0, CardBox::URL},
        {"mnuFD", u"DOI(&D)", 0, CardBox::DOI},
    };
    for (const auto &item : items) {
        if (!item.caption) {
            field->addSeparator()->setObjectName(QString::fromLatin1(item.name));
            continue;
        }
        QAction *a = field->addAction(QString::fromUtf16(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        if (item.help)
            a->setProperty(kHelpContextProperty, item.help);
        const CardBox box = item.box;
        connect(a, &QAction::triggered, this, [this, box] { focusBox(box); });
    }
}

void CardWindow::buildEditMenu()
{
    QMenu *edit = menuBar()->addMenu(QStringLiteral("文書編集(&E)"));
    edit->setObjectName(QStringLiteral("mnuE"));
    edit->menuAction()->setProperty(kHelpContextProperty, 2040);
    const struct
    {
        const char *name;
        const char16_t *caption;
        Qt::Key key;
        std::optional<EditOp> op; // none: the field undo
    } items[] = {{"mnuEU", u"直前に戻す(&U)", Qt::Key_Z, std::nullopt},
                 {"mnuEA", u"全てを選択(&A)", Qt::Key_A, EditOp::SelectAll},
                 {"mnuET", u"切り抜き(&T)", Qt::Key_T, EditOp::Cut},
                 {"mnuEC", u"コピー(&C)", Qt::Key_C, EditOp::Copy},
                 {"mnuEV", u"ペースト(&V)", Qt::Key_V, EditOp::Paste},
                 {"mnuED", u"消去(&D)", Qt::Key_D, EditOp::Delete}};
    for (const auto &item : items) {
        QAction *a = edit->addAction(QString::fromUtf16(item.caption));
        a->setObjectName(QString::fromLatin1(item.name));
        a->setProperty(kHelpContextProperty, 2040);
        a->setShortcut(QKeySequence(Qt::CTRL | item.key));
        const std::optional<EditOp> op = item.op;
        connect(a, &QAction::triggered, this, [this, op] {
            if (op) {
                editFocused(*op);
            } else {
                m_card.undoField();
                refresh();
            }
        });
    }
}

void CardWindow::buildSearchMenu()
{
    QMenu *search = menuBar()->addMenu(QStringLiteral("検索(&S)"));
    search->setObjectName(QStringLiteral("mnuS"));
    search->menuAction()->setProperty(kHelpContextProperty, 4000);
    int separator = 0;
    for (const SearchKindItem &item : SearchKindItems()) {
        if (item.separatorBefore)
            search->addSeparator()->setObjectName(QStringLiteral("mnuS%1").arg(separator++ == 0 ? 1 : 0));
        QAction *a = search->addAction(item.cardCaption);
        a->setObjectName(QString::fromLatin1(item.menuName));
        a->setProperty(kHelpContextProperty, item.help);
        const int kind = item.kind;
        connect(a, &QAction::triggered, this, [this, kind] { Q_EMIT searchKindRequested(kind); });
    }
}

void CardWindow::buildOptionMenu()
{
    QMenu *option = menuBar()->addMenu(QStringLiteral("オプション(&O)"));
    option->setObjectName(QStringLiteral("mnuO"));
    option->menuAction()->setProperty(kHelpContextProperty, 2050);
    QMenu *names = option->addMenu(QStringLiteral("フォント(&F)"));
    names->menuAction()->setObjectName(QStringLiteral("mnuOF"));
    for (int k = 0; k < int(m_fontNameItems.size()); ++k) {
        QAction *a = names->addAction(FontCaption(k));
        a->setObjectName(QStringLiteral("fontn_%1").arg(k));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, k] { m_session.setFont(k, m_session.settings.FontSizeNo); });
        m_fontNameItems[size_t(k)] = a;
    }
    QMenu *sizes = option->addMenu(QStringLiteral("フォントサイズ(&Z)"));
    sizes->menuAction()->setObjectName(QStringLiteral("mnuOZ"));
    for (int k = 0; k < int(m_fontSizeItems.size()); ++k) {
        QAction *a = sizes->addAction(QString::number(FontPoints(k)));
        a->setObjectName(QStringLiteral("fontz_%1").arg(k));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, k] { m_session.setFont(m_session.settings.FontNameNo, k); });
        m_fontSizeItems[size_t(k)] = a;
    }
    option->addSeparator()->setObjectName(QStringLiteral("mnuO0"));
    QAction *reset = option->addAction(QStringLiteral("設定をデフォルトにもどす(&D)"));
    reset->setObjectName(QStringLiteral("mnuOD"));
    connect(reset, &QAction::triggered, &m_session, &Session::resetPositions);
    option->addSeparator()->setObjectName(QStringLiteral("mnuO1"));
    m_beepItem = option->addAction(QStringLiteral("ビープ音を出す(&B)"));
    m_beepItem->setObjectName(QStringLiteral("mnuOB"));
    m_beepItem->setCheckable(true);
    connect(m_beepItem, &QAction::triggered, this, [this] { m_session.setBeepOn(m_session.settings.BeepOn == 0); });
    m_dupCheckItem = option->addAction(QStringLiteral("自動で重複登録チェック(&S)"));
    m_dupCheckItem->setObjectName(QStringLiteral("mnuOS"));
    m_dupCheckItem->setCheckable(true);
    connect(m_dupCheckItem, &QAction::triggered, this,
            [this] { m_session.setAutoDupCheck(m_session.settings.AutoDupCheck == 0); });
    option->addSeparator()->setObjectName(QStringLiteral("mnuO2"));
    m_jpEditorItem = option->addAction(QStringLiteral("JPコードの編集(&J)"));
    m_jpEditorItem->setObjectName(QStringLiteral("mnuOJ"));
    m_jpEditorItem->setProperty(kHelpContextProperty, 5000);
    m_jpEditorItem->setEnabled(false); // the JP code editor is not part of the program yet
    m_formEditorItem = option->addAction(QStringLiteral("書式の編集(&R)"));
    m_formEditorItem->setObjectName(QStringLiteral("mnuOR"));
    m_formEditorItem->setProperty(kHelpContextProperty, 6000);
    m_formEditorItem->setEnabled(false); // the output-form editor is not part of the program yet
    for (QAction *a : option->actions())
        if (!a->property(kHelpContextProperty).isValid())
            a->setProperty(kHelpContextProperty, 2050);
}

void CardWindow::editFocused(EditOp op)
{
    // Select all takes the first 280 characters of the box, whatever its length.
    QWidget *focus = QApplication::focusWidget();
    if (!EditBoxCommand(focus, op, 280))
        return;
    if (const int box = boxIndexOf(focus); box >= 0)
        m_card.setBoxText(BoxAt(box), widgetText(box));
}

QFont CardWindow::boxFont() const
{
    return ChosenFont(m_session.settings.FontNameNo, m_session.settings.FontSizeNo);
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
                    m_card.setBoxText(BoxAt(box), edit->toPlainText());
            });
            m_box[i] = edit;
        } else {
            auto *edit = new QLineEdit(central);
            const int box = i;
            connect(edit, &QLineEdit::textEdited, this, [this, box](const QString &text) {
                if (!m_updating)
                    m_card.setBoxText(BoxAt(box), text);
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
    // The drop-down shows at most 12 names without scrolling.
    m_jpCombo->setMaxVisibleItems(12);
    m_jpCombo->installEventFilter(this);
    connect(m_jpCombo, &QComboBox::activated, this, [this](int position) {
        const CardBox next = m_card.pickJPname(position);
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
        b->setFixedHeight(TwipsToPixels(kCardSingleRow, logicalDpiY()) + 6);
        connect(b, &QPushButton::clicked, this, [this, action] {
            action();
            refresh();
        });
        buttons->addWidget(b);
        return b;
    };
    m_jpView = button("JPview", QStringLiteral("edit JP"), [] {});
    m_jpView->setEnabled(false); // the JP code editor is not part of the program yet
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
}

void CardWindow::changeEvent(QEvent *event)
{
    // The card has one size per font size: it cannot be maximised.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
    QMainWindow::changeEvent(event);
}

void CardWindow::applyFont()
{
    const int nameNo = m_session.settings.FontNameNo;
    const int sizeNo = m_session.settings.FontSizeNo;
    for (int k = 0; k < int(m_fontNameItems.size()); ++k)
        m_fontNameItems[size_t(k)]->setChecked(k == nameNo);
    for (int k = 0; k < int(m_fontSizeItems.size()); ++k)
        m_fontSizeItems[size_t(k)]->setChecked(k == sizeNo);
    const QFont font = boxFont();
    for (int i = 1; i <= 12; ++i)
        m_box[i]->setFont(font);
    m_jpCombo->setFont(font);

    const double dpi = logicalDpiY();
    auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
    const CardRows rows = CardLayoutRows(sizeNo);
    const int pad = 6; // frame and margins of a box around its text
    for (int i : {1, 6, 7, 8, 9, 10, 11, 13})
        m_box[i]->setFixedHeight(px(rows.one) + pad);
    for (int i : {4, 5})
        m_box[i]->setFixedHeight(px(rows.two) + pad);
    for (int i : {2, 12})
        m_box[i]->setFixedHeight(px(rows.three) + pad);
    m_box[3]->setFixedHeight(px(rows.four) + pad);
    for (int i : {14, 15})
        m_box[i]->setFixedHeight(px(kCardSingleRow) + pad);
    m_jpCombo->setFixedHeight(px(rows.one) + pad);
    m_recNum->setFixedHeight(px(kCardSingleRow) + pad);
    setMinimumWidth(px(kCardMinWidth));
    setFixedHeight(px(rows.windowHeight));
}

void CardWindow::applySwitches()
{
    m_beepItem->setChecked(m_session.settings.BeepOn != 0);
    m_dupCheckItem->setChecked(m_session.settings.AutoDupCheck != 0);
}

void CardWindow::placeFromSettings()
{
    PlaceWindow(this, m_session.settings.CardPos);
}

void CardWindow::showBank()
{
    setWindowTitle(BankTitle(QStringLiteral("レコード編集"), m_session.BankName()));
    refresh();
    show();
    raise();
    activateWindow();
    focusBox(CardBox::Memo);
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

void CardWindow::focusBox(CardBox box)
{
    if (box != CardBox::Style)
        m_box[size_t(Index(box))]->setFocus(Qt::OtherFocusReason);
}

void CardWindow::refresh()
{
    m_updating = true;
    for (int i = 0; i < kCardBoxCount; ++i) {
        const QString text = m_card.boxText(BoxAt(i));
        if (widgetText(i) != text)
            setWidgetText(i, text);
    }
    const CardStyleLayout layout = m_card.styleLayout();
    m_label[5]->setText(layout.label5);
    m_label[6]->setText(layout.label6);
    for (int i = 1; i < kCardBoxCount; ++i) {
        QPalette pal = m_box[i]->palette();
        pal.setColor(QPalette::Base, layout.inUse(BoxAt(i)) ? kBoxInUse : kBoxNotInUse);
        m_box[i]->setPalette(pal);
        m_box[i]->setFocusPolicy(layout.inUse(BoxAt(i)) ? Qt::StrongFocus : Qt::ClickFocus);
    }
    const int button = m_card.styleButton();
    for (int s = 1; s <= 4; ++s)
        m_styleItems[size_t(s)]->setChecked(s == button);
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
    // The edit menu's shortcuts act on the box through the card (the field
    // undo restores the stored value), not through the box's own key handling.
    if ((boxIndexOf(watched) >= 0 || watched == m_jpCombo) && IsEditMenuKey(event))
        return true;
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
        m_card.setFocusBox(BoxAt(box));
        break;
    case QEvent::FocusOut:
        if (!m_closed) {
            m_card.leaveBox(BoxAt(box));
            refresh();
        }
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !(key->modifiers() & Qt::ShiftModifier)) {
            const CardBox next = m_card.enterInBox();
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

void CardWindow::printCard()
{
    // The card as it shows on the screen, on one page.
    const QImage image = grab().toImage();
    PrintChoice choice;
    if (!m_session.ui.printDialog(1, choice))
        return;
    QPrinter printer(QPrinter::HighResolution);
    ApplyPrintChoice(printer, choice);
    QString error;
    if (!PrintImage(printer, image, &error))
        m_session.ui.message(error, MsgButtons::Ok, MsgIcon::Error);
}

void CardWindow::closeEvent(QCloseEvent *event)
{
    if (!m_closed) {
        m_closed = true;
        m_card.close();
        m_session.settings.CardPos = WindowPlace(this);
        Q_EMIT closed();
    }
    event->accept();
}

} // namespace tz
