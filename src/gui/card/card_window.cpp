#include "gui/card/card_window.h"

#include "core/bank/bank_convert.h"
#include "core/card/card_layout.h"
#include "core/common/storable_text.h"
#include "core/interchange/interchange_menu.h"
#include "core/jpcode/jp_maintenance.h"
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
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>
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

CardWindow::~CardWindow()
{
    // The controls outlive the card they report to: what they signal while
    // the window is taken down (the name list picks the entry of its text as
    // it loses the focus) reaches no card.
    m_closed = true;
    const QList<QWidget *> controls = findChildren<QWidget *>();
    for (const QWidget *control : controls)
        disconnect(control, nullptr, this, nullptr);
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
    bank->addSeparator()->setObjectName(QStringLiteral("mnuF1"));
    QAction *convert = bank->addAction(QStringLiteral("旧文献バンクからのデータ変換(&C)"));
    convert->setObjectName(QStringLiteral("mnuBC"));
    convert->setProperty(kHelpContextProperty, 1050);
    connect(convert, &QAction::triggered, this, [this] { BankConvert(m_session, QDate::currentDate()); });
    QAction *copyJP = bank->addAction(QStringLiteral("他文献バンクからのJPコード複製(&J)"));
    copyJP->setObjectName(QStringLiteral("mnuBJ"));
    copyJP->setProperty(kHelpContextProperty, 1060);
    connect(copyJP, &QAction::triggered, this, [this] {
        if (JPcodeCopyFromOtherBank(m_session)) {
            m_card.refreshJPlist();
            refresh();
            Q_EMIT jpTableReplaced();
        }
    });
    QAction *import = bank->addAction(QStringLiteral("インポート(&I)..."));
    import->setObjectName(QStringLiteral("mnuBI"));
    import->setProperty(kHelpContextProperty, 1010);
    connect(import, &QAction::triggered, this, &CardWindow::importReferences);
    QAction *exportItem = bank->addAction(QStringLiteral("エクスポート(&X)..."));
    exportItem->setObjectName(QStringLiteral("mnuBX"));
    exportItem->setProperty(kHelpContextProperty, 1010);
    connect(exportItem, &QAction::triggered, this, [this] {
        m_card.save();
        refresh();
        Q_EMIT exportRequested();
    });
    bank->addSeparator()->setObjectName(QStringLiteral("mnuF0"));
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
        void (CardWindow::*windowRun)() = nullptr;
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
        {"mnuRI", u"DOIから取り込む", {}, 2020, nullptr, &CardWindow::fillFromDoi},
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
        auto windowRun = item.windowRun;
        connect(a, &QAction::triggered, this, [this, run, windowRun] {
            if (windowRun)
                (this->*windowRun)();
            else if (run)
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
    connect(m_beepItem, &QAction::triggered, this, [this] { m_session.setBeepOn(!m_session.settings.BeepOn); });
    m_dupCheckItem = option->addAction(QStringLiteral("自動で重複登録チェック(&S)"));
    m_dupCheckItem->setObjectName(QStringLiteral("mnuOS"));
    m_dupCheckItem->setCheckable(true);
    connect(m_dupCheckItem, &QAction::triggered, this,
            [this] { m_session.setAutoDupCheck(!m_session.settings.AutoDupCheck); });
    option->addSeparator()->setObjectName(QStringLiteral("mnuO2"));
    m_jpEditorItem = option->addAction(QStringLiteral("JPコードの編集(&J)"));
    m_jpEditorItem->setObjectName(QStringLiteral("mnuOJ"));
    m_jpEditorItem->setProperty(kHelpContextProperty, 5000);
    connect(m_jpEditorItem, &QAction::triggered, this, [this] { Q_EMIT jpEditorRequested(m_card.styleButton()); });
    m_formEditorItem = option->addAction(QStringLiteral("書式の編集(&R)"));
    m_formEditorItem->setObjectName(QStringLiteral("mnuOR"));
    m_formEditorItem->setProperty(kHelpContextProperty, 6000);
    connect(m_formEditorItem, &QAction::triggered, this, &CardWindow::formEditorRequested);
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
    central->setFont(CaptionFont());
    for (int i = 0; i < kCardBoxCount; ++i) {
        m_label[i] = new QLabel(QString::fromUtf16(kLabelCaptions[i]), central);
        m_label[i]->setObjectName(QStringLiteral("EditRecLabel_%1").arg(i));
        if (isMultiLine(i)) {
            auto *edit = new QPlainTextEdit(central);
            edit->setTabChangesFocus(true);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            connect(edit, &QPlainTextEdit::textChanged, this, [this, i] { boxEdited(i); });
            m_box[i] = edit;
        } else {
            auto *edit = new QLineEdit(central);
            connect(edit, &QLineEdit::textChanged, this, [this, i] { boxEdited(i); });
            m_box[i] = edit;
        }
        m_box[i]->setObjectName(QStringLiteral("EditRecBox_%1").arg(i));
        m_box[i]->setProperty(kHelpContextProperty, BoxHelpContext(BoxAt(i)));
        m_box[i]->installEventFilter(this);
    }
    // Boxes taking plain characters only.
    for (CardBox b : {CardBox::JPcode, CardBox::Volume, CardBox::Page1, CardBox::Page2, CardBox::Year, CardBox::Link,
                      CardBox::RegDate, CardBox::URL, CardBox::DOI})
        m_box[size_t(Index(b))]->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_box[0]->hide();
    m_label[0]->hide();

    // The top: record number, style buttons, the scroll bar with its range.
    m_recNum = new QLineEdit(central);
    m_recNum->setObjectName(QStringLiteral("RecNumBox"));
    m_recNum->setAlignment(Qt::AlignRight);
    m_recNum->setProperty(kHelpContextProperty, 2030);
    m_recNum->installEventFilter(this);
    connect(m_recNum, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_card.setRecNumText(text);
        refresh();
    });
    auto *styles = new QButtonGroup(this);
    for (int s = 1; s <= 4; ++s) {
        m_style[s] = new QRadioButton(kStyleButtonCaptions[s], central);
        m_style[s]->setObjectName(QStringLiteral("RadioStyle_%1").arg(s));
        m_style[s]->setProperty(kHelpContextProperty, 3020);
        styles->addButton(m_style[s], s);
        connect(m_style[s], &QRadioButton::clicked, this, [this, s] {
            m_card.clickStyle(s);
            refresh();
        });
    }
    m_rangeLow = new QLabel(QStringLiteral("1"), central);
    m_rangeLow->setObjectName(QStringLiteral("RecRange_1"));
    m_rangeHigh = new QLabel(central);
    m_rangeHigh->setObjectName(QStringLiteral("RecRange_2"));
    m_rangeHigh->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_scroll = new QScrollBar(Qt::Horizontal, central);
    m_scroll->setObjectName(QStringLiteral("HScroll"));
    m_scroll->setProperty(kHelpContextProperty, 2030);
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int n) {
        if (m_updating)
            return;
        if (m_scroll->isSliderDown())
            m_card.dragScroll(n);
        else
            m_card.scrollTo(n);
        refresh();
    });
    connect(m_scroll, &QScrollBar::sliderReleased, this, [this] {
        m_card.scrollTo(m_scroll->value());
        refresh();
    });

    m_jpCombo = new QComboBox(central);
    m_jpCombo->setObjectName(QStringLiteral("JPcombo"));
    m_jpCombo->setEditable(true);
    m_jpCombo->setInsertPolicy(QComboBox::NoInsert);
    m_jpCombo->setProperty(kHelpContextProperty, BoxHelpContext(CardBox::JPcode));
    // The drop-down shows at most 12 names without scrolling.
    m_jpCombo->setMaxVisibleItems(12);
    m_jpCombo->installEventFilter(this);
    // A typed name is what the card looks up, not a completion of it.
    m_jpCombo->setCompleter(nullptr);
    m_jpCombo->lineEdit()->installEventFilter(this);
    connect(m_jpCombo->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &text) { m_card.setJPcomboText(text); });
    connect(m_jpCombo, &QComboBox::activated, this, [this](int position) {
        const CardBox next = m_card.pickJPname(position);
        refresh();
        focusBox(next);
    });

    // The buttons.
    auto button = [&](const char *name, const QString &caption, int help, auto action) {
        auto *b = new QPushButton(caption, central);
        b->setObjectName(QString::fromLatin1(name));
        b->setProperty(kHelpContextProperty, help);
        connect(b, &QPushButton::clicked, this, [this, action] {
            action();
            refresh();
        });
        return b;
    };
    m_jpView =
        button("JPview", QStringLiteral("edit JP"), 5000, [this] { Q_EMIT jpEditorRequested(m_card.styleButton()); });
    m_linkView = button("LinkView", QStringLiteral("view Link"), 2020, [this] { m_card.linkedRecords(); });
    m_viewUrl = button("ViewPDF1", QStringLiteral("view URL"), 2020, [this] { m_card.openURL(); });
    m_viewDoi = button("ViewPDF2", QStringLiteral("view DOI"), 2020, [this] { m_card.openDOI(); });
    m_similar = button("CommandSimilar", QStringLiteral("Sim Srch"), 2020, [this] {
        if (m_card.save())
            m_card.similarRecords();
    });
    m_back = button("CommandBack", QStringLiteral("<"), 2030, [this] { m_card.previous(); });
    m_next = button("CommandNext", QStringLiteral(">"), 2030, [this] { m_card.next(); });
    m_newRec = button("NewRec", QStringLiteral("New"), 2030, [this] { m_card.newRecord(); });
    m_save = button("CommandSave", QStringLiteral("Save"), 2030, [this] { m_card.save(); });
    m_quit = button("CommandQuit", QStringLiteral("Quit"), 2030, [this] { close(); });

    setCentralWidget(central);
}

void CardWindow::boxEdited(int box)
{
    if (m_updating)
        return;
    const QString typed = widgetText(box);
    const CardBox b = BoxAt(box);
    // An input method's full-width digits count as plain ones in the number boxes.
    const BoxEdit fit = FitBoxEdit(PlainBoxText(b, typed), widgetCursor(box), BoxByteWidth(b));
    if (fit.text != typed) {
        // Line breaks and what goes beyond the field's width never stay in the box.
        m_updating = true;
        setWidgetText(box, fit.text);
        setWidgetCursor(box, fit.cursor);
        m_updating = false;
    }
    m_card.setBoxText(b, fit.text);
    // A single character typed at the end of the room is refused as the key
    // of a full box is; more than one cut (a paste) is told, once the edit is over.
    if (fit.removed > 1) {
        const QString message = BoxCutMessage(b, fit.removed);
        QMetaObject::invokeMethod(
            this, [this, message] { m_session.ui.message(message, MsgButtons::Ok, MsgIcon::Information); },
            Qt::QueuedConnection);
    }
}

qsizetype CardWindow::widgetCursor(int box) const
{
    if (auto *edit = qobject_cast<QPlainTextEdit *>(m_box[box]))
        return edit->textCursor().position();
    return static_cast<QLineEdit *>(m_box[box])->cursorPosition();
}

void CardWindow::setWidgetCursor(int box, qsizetype position)
{
    if (auto *edit = qobject_cast<QPlainTextEdit *>(m_box[box])) {
        QTextCursor c = edit->textCursor();
        c.setPosition(int(position));
        edit->setTextCursor(c);
    } else {
        static_cast<QLineEdit *>(m_box[box])->setCursorPosition(int(position));
    }
}

void CardWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layOut();
}

void CardWindow::layOut()
{
    QWidget *central = centralWidget();
    if (!central)
        return;
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    auto px = [dpiX](int twips) { return TwipsToPixels(twips, dpiX); };
    auto py = [dpiY](int twips) { return TwipsToPixels(twips, dpiY); };
    const CardColumns col = CardColumnsFor(PixelsToTwips(central->width(), dpiX));
    // A control at its place across the card; wider only where its text
    // would be cut in the fonts of this system.
    auto place = [&](QWidget *w, CardSpan span, int top, int height, int needed = 0) {
        w->setGeometry(px(span.left), top, std::max(px(span.width), needed), height);
    };
    // The room a caption needs: a button's text and its frame (not the
    // style's least width of a button), a label's or option button's whole width.
    auto captionWidth = [](QWidget *w) {
        if (auto *b = qobject_cast<QPushButton *>(w))
            return b->fontMetrics().horizontalAdvance(b->text()) + 4;
        return w->sizeHint().width();
    };
    const int single = std::max(py(kCardSingleRow), m_recNum->sizeHint().height());

    const int rangeHeight = py(kCardScrollTop - kCardRangeTop);
    place(m_rangeLow, col.rangeLow, py(kCardRangeTop), rangeHeight);
    place(m_rangeHigh, col.rangeHigh, py(kCardRangeTop), rangeHeight);
    place(m_label[13], {120, 990 - 120 - 60}, py(kCardScrollTop), single, captionWidth(m_label[13]));
    place(m_recNum, col.recNum, py(kCardScrollTop), single);
    place(m_scroll, col.scroll, py(kCardScrollTop), std::min(single, py(kCardSingleRow)));
    // Controls side by side keep their places unless the one before them
    // needed more room for its caption.
    int after = 0;
    auto placeInRow = [&](QWidget *w, CardSpan span, int top, int height) {
        const int width = std::max(px(span.width), captionWidth(w));
        const int left = std::max(px(span.left), after);
        w->setGeometry(left, top, width, height);
        after = left + width + px(40);
        return after;
    };
    for (int s = 1; s <= 4; ++s)
        placeInRow(m_style[s], col.style[size_t(s)], py(kCardStyleTop), single);

    int y = py(kCardMemoTop);
    for (const CardRow &row : CardRowsFor(m_session.settings.FontSizeNo)) {
        QWidget *first = m_box[size_t(Index(row.boxes[0]))];
        const bool lines = qobject_cast<QPlainTextEdit *>(first) != nullptr;
        const int height = std::max(py(row.height), lines ? 0 : first->sizeHint().height());
        for (int i = 0; i < row.count; ++i) {
            const CardBox b = row.boxes[size_t(i)];
            QWidget *w = m_box[size_t(Index(b))];
            // The registration date box holds a whole date in the card's font.
            const int needed =
                b == CardBox::RegDate ? w->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00")) + 12 : 0;
            CardSpan span = col.box[size_t(Index(b))];
            if (needed > px(span.width))
                span.left -= PixelsToTwips(needed, dpiX) - span.width; // it keeps its right edge
            place(w, span, y, height, needed);
        }
        for (int i = 0; i < row.labelCount; ++i) {
            QLabel *label = m_label[size_t(row.labels[size_t(i)])];
            place(label, col.label[size_t(row.labels[size_t(i)])], y, std::min(height, single), captionWidth(label));
        }
        if (row.boxes[0] == CardBox::JPcode)
            place(m_jpCombo, col.jpCombo, y, height);
        y += height + py(kCardRowGap);
    }

    // The button rows: the record's commands at the left, moving at the right,
    // Save under Next and Quit under New.
    const int buttonHeight = std::max(py(kCardSingleRow), m_save->sizeHint().height());
    after = 0;
    for (const auto &[button, span] : {std::pair{m_jpView, col.jpView},
                                       {m_linkView, col.linkView},
                                       {m_viewUrl, col.viewUrl},
                                       {m_viewDoi, col.viewDoi},
                                       {m_similar, col.similar}})
        placeInRow(button, span, y, buttonHeight);
    const int commandsEnd = after;
    for (const auto &[button, span] : {std::pair{m_back, col.back}, {m_next, col.next}, {m_newRec, col.newRec}})
        place(button, span, y, buttonHeight, captionWidth(button));
    y += buttonHeight + py(kCardRowGap);
    place(m_save, col.next, y, buttonHeight, captionWidth(m_save));
    place(m_quit, col.newRec, y, buttonHeight, captionWidth(m_quit));
    // Where the captions of this system's fonts need more room than the table
    // gives, the card is wider than 9150 twips so that no button covers another.
    const int least = std::max(px(kCardMinWidth), commandsEnd + (central->width() - m_back->x()));
    if (minimumWidth() != least)
        setMinimumWidth(least);
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
        m_box[size_t(i)]->setFont(font);
    m_jpCombo->setFont(font);
    const double dpi = logicalDpiY();
    setFixedHeight(TwipsToPixels(CardLayoutRows(sizeNo).windowHeight, dpi));
    layOut();
}

void CardWindow::applySwitches()
{
    m_beepItem->setChecked(m_session.settings.BeepOn);
    m_dupCheckItem->setChecked(m_session.settings.AutoDupCheck);
}

void CardWindow::placeFromSettings()
{
    PlaceWindow(this, m_session.settings.CardPos);
}

void CardWindow::fillFromDoi()
{
    FillCardFromDoi(m_card, m_session);
}

void CardWindow::importReferences()
{
    const bool changed = ImportIntoCard(m_card, m_session, [this] { refresh(); });
    refresh();
    if (!changed)
        return;
    focusBox(CardBox::Memo);
    Q_EMIT jpTableReplaced();
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
    if (box == CardBox::Style)
        return;
    m_box[size_t(Index(box))]->setFocus(Qt::OtherFocusReason);
    // A box that has the focus already gets no focus event: the card is told here.
    m_card.setFocusBox(box);
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
    // After another record is shown the focus is in the memo box, for the
    // card as for the window; leaving the old box is no edit of this record.
    if (m_shownShowings != m_card.showings()) {
        m_shownShowings = m_card.showings();
        focusBox(m_card.focusBox());
    }
    m_updating = false;
}

bool CardWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The edit menu's shortcuts act on the box through the card (the field
    // undo restores the stored value), not through the box's own key handling.
    if ((boxIndexOf(watched) >= 0 || watched == m_jpCombo) && IsEditMenuKey(event))
        return true;
    // The list's own box takes the keys only from the list, which holds the
    // focus while a name is typed: Enter and leaving reach either of them.
    if (m_jpCombo && (watched == m_jpCombo || watched == m_jpCombo->lineEdit())) {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                const CardBox next = m_card.enterJPcombo();
                refresh();
                focusBox(next);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut && !m_closed && !m_updating &&
                   static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
            m_card.leaveJPcombo();
            refresh();
        }
        return QMainWindow::eventFilter(watched, event);
    }
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
        if (!m_closed && !m_updating) {
            m_card.leaveBox(BoxAt(box));
            refresh();
        }
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        // Enter, with Shift too, moves on: no box holds a line break.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
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
