#include "gui/formedit/form_editor_window.h"

#include "core/session/session.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/help_window.h"
#include "gui/widgets/print_text.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tz {

namespace {

constexpr int kHelpTopic = 6000;

const std::array<const char16_t *, 5> kRuleLabels = {u"1st person", u"2nd person", u"punctures", u"et_al",
                                                     u"capitalize"};
const std::array<const char16_t *, 4> kOrderLabels = {u"Journal", u"Book (editn.)", u"Monograph", u"etc."};
const std::array<const char16_t *, 4> kButtonCaptions = {u"Save", u"Back", u"Next", u"Close"};

// A box that already shows the text (it was typed there) keeps its cursor;
// another text is shown from its start.
void setTextKeepingCursor(QLineEdit *box, const QString &text)
{
    if (box->text() != text) {
        box->setText(text);
        box->setCursorPosition(0);
    }
}

} // namespace

FormEditorWindow::FormEditorWindow(Session &session, QWidget *parent)
    : QMainWindow(parent), m_session(session), m_model(session)
{
    setObjectName(QStringLiteral("FmEditor"));
    setProperty(kHelpContextProperty, kHelpTopic);
    buildMenus();
    buildControls();
    InstallHelpKey(this, session.ui);
    applyFont();
    refresh();
}

void FormEditorWindow::buildMenus()
{
    auto add = [](QMenu *menu, const char *name, const char16_t *caption) {
        QAction *a = menu->addAction(QString::fromUtf16(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setProperty(kHelpContextProperty, kHelpTopic);
        return a;
    };
    QMenu *form = menuBar()->addMenu(QStringLiteral("書式(&F)"));
    form->setObjectName(QStringLiteral("mnuF"));
    form->menuAction()->setProperty(kHelpContextProperty, kHelpTopic);
    connect(add(form, "mnuFF", u"次へ (&F)"), &QAction::triggered, this, [this] { run(&FormEditorModel::next); });
    connect(add(form, "mnuFB", u"前へ (&B)"), &QAction::triggered, this, [this] { run(&FormEditorModel::previous); });
    connect(add(form, "mnuFS", u"保存(&S)"), &QAction::triggered, this, [this] {
        m_model.save();
        refresh();
    });
    connect(add(form, "mnuFP", u"パネル印刷(&P)"), &QAction::triggered, this, &FormEditorWindow::printPanel);
    connect(add(form, "mnuFX", u"閉じる(&X)"), &QAction::triggered, this, &QWidget::close);

    QMenu *help = AddHelpMenu(this, m_session.ui, [this] { Q_EMIT versionRequested(); });
    help->menuAction()->setProperty(kHelpContextProperty, kHelpTopic);
}

void FormEditorWindow::buildControls()
{
    auto *central = new QWidget(this);
    central->setFont(CaptionFont());
    setCentralWidget(central);
    auto label = [central](const QString &text, const QString &name) {
        auto *l = new QLabel(text, central);
        l->setObjectName(name);
        return l;
    };

    // Name, note and sort.
    auto *top = new QGridLayout;
    m_name = new QComboBox(central);
    m_name->setObjectName(QStringLiteral("Fname"));
    m_name->setEditable(true);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->setMinimumWidth(260);
    connect(m_name, &QComboBox::activated, this, [this](int index) {
        if (m_updating)
            return;
        m_model.Fname_click(index);
        refresh();
    });
    connect(m_name, &QComboBox::editTextChanged, this, [this](const QString &text) {
        if (!m_updating)
            m_model.setNameText(text);
    });
    top->addWidget(label(QStringLiteral("Form Name"), QStringLiteral("LabelFname")), 0, 0);
    top->addWidget(m_name, 0, 1);
    m_note = new QLineEdit(central);
    m_note->setObjectName(QStringLiteral("Fnote"));
    connect(m_note, &QLineEdit::textEdited, this, [this](const QString &text) { m_model.setNote(text); });
    top->addWidget(label(QStringLiteral("Note"), QStringLiteral("LabelFnote")), 1, 0);
    top->addWidget(m_note, 1, 1);
    auto *sortRow = new QHBoxLayout;
    for (int k = 1; k <= 6; ++k) {
        auto *b = new QRadioButton(FormEditorModel::sortCaptions().at(k - 1), central);
        b->setObjectName(QStringLiteral("Sort_%1").arg(k));
        connect(b, &QRadioButton::clicked, this, [this, k] {
            m_model.Sort_click(k);
            refresh();
        });
        sortRow->addWidget(b);
        m_sort[size_t(k)] = b;
    }
    sortRow->addStretch(1);
    top->addWidget(label(QStringLiteral("Sort"), QStringLiteral("LabelSort")), 2, 0);
    top->addLayout(sortRow, 2, 1);
    top->setColumnStretch(1, 1);

    // The author and editor settings side by side.
    auto *rules = new QHBoxLayout;
    for (int e = 0; e < 2; ++e) {
        const bool editor = e == 1;
        auto *frame = new QGroupBox(editor ? QStringLiteral("Editor") : QStringLiteral("Author"), central);
        frame->setObjectName(editor ? QStringLiteral("FrameEditor") : QStringLiteral("FrameAuthor"));
        auto *grid = new QGridLayout(frame);
        for (int k = 1; k <= 5; ++k) {
            auto *l = new QLabel(QString::fromUtf16(kRuleLabels[size_t(k - 1)]), frame);
            l->setObjectName(QStringLiteral("%1Label_%2").arg(editor ? u"Editor" : u"Author").arg(k));
            auto *combo = new QComboBox(frame);
            combo->setObjectName(QStringLiteral("%1_%2").arg(editor ? u"ECombo" : u"ACombo").arg(k));
            combo->addItems(FormEditorModel::ruleEntries(editor, k));
            connect(combo, &QComboBox::activated, this, [this, editor, k](int index) {
                m_model.ruleCombo_click(editor, k, index);
                refresh();
            });
            auto *box = new QLineEdit(frame);
            box->setObjectName(QStringLiteral("%1_%2").arg(editor ? u"Editor" : u"Author").arg(k));
            box->setFixedWidth(40);
            box->setAttribute(Qt::WA_InputMethodEnabled, false);
            connect(box, &QLineEdit::textEdited, this, [this, editor, k](const QString &text) {
                if (!m_model.setNumberText(editor, k, text))
                    QApplication::beep();
                refresh();
            });
            grid->addWidget(l, k - 1, 0);
            grid->addWidget(combo, k - 1, 1);
            grid->addWidget(box, k - 1, 2);
            grid->setColumnStretch(1, 1);
            m_combo[size_t(e)][size_t(k)] = combo;
            m_number[size_t(e)][size_t(k)] = box;
        }
        rules->addWidget(frame);
    }

    // The word orders.
    auto *orders = new QGroupBox(QStringLiteral("Word orders"), central);
    orders->setObjectName(QStringLiteral("FrameOrders"));
    auto *orderGrid = new QGridLayout(orders);
    for (int style = 1; style <= 4; ++style) {
        auto *l = new QLabel(QString::fromUtf16(kOrderLabels[size_t(style - 1)]), orders);
        l->setObjectName(QStringLiteral("OrderLabel_%1").arg(style));
        auto *box = new QLineEdit(orders);
        box->setObjectName(QStringLiteral("Forder_%1").arg(style));
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this, [this, style](const QString &text) {
            m_model.setOrder(style, text);
            refreshPreview();
        });
        orderGrid->addWidget(l, style - 1, 0);
        orderGrid->addWidget(box, style - 1, 1);
        m_order[size_t(style)] = box;
    }
    orderGrid->setColumnStretch(1, 1);

    // The legend: a click puts the symbol into the word-order box last used.
    auto *legend = new QGroupBox(QStringLiteral("Symbols for \"Word orders\""), central);
    legend->setObjectName(QStringLiteral("FrameSymbols"));
    auto *legendGrid = new QGridLayout(legend);
    const QStringList &captions = FormEditorModel::legendCaptions();
    constexpr int kLegendRows = 8;
    for (int i = 0; i < int(m_legend.size()); ++i) {
        auto *l = new QLabel(captions.at(i), legend);
        l->setObjectName(QStringLiteral("Abb_%1").arg(i));
        l->setCursor(Qt::PointingHandCursor);
        l->setToolTip(QStringLiteral("クリックで語順の欄に入れます"));
        l->installEventFilter(this);
        legendGrid->addWidget(l, i % kLegendRows, i / kLegendRows);
        m_legend[size_t(i)] = l;
    }

    // The buttons do what their menu items do.
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    const std::array<const char *, 4> items = {"mnuFS", "mnuFB", "mnuFF", "mnuFX"};
    for (int i = 0; i < 4; ++i) {
        auto *b = new QPushButton(QString::fromUtf16(kButtonCaptions[size_t(i)]), central);
        b->setObjectName(QStringLiteral("Do_%1").arg(i));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, findChild<QAction *>(QString::fromLatin1(items[size_t(i)])),
                &QAction::trigger);
        buttons->addWidget(b);
        m_button[size_t(i)] = b;
    }

    // The preview beside the word orders.
    auto *previewFrame = new QGroupBox(QStringLiteral("プレビュー（プレーンテキスト）"), central);
    previewFrame->setObjectName(QStringLiteral("FramePreview"));
    auto *previewLayout = new QVBoxLayout(previewFrame);
    m_preview = new QPlainTextEdit(previewFrame);
    m_preview->setObjectName(QStringLiteral("Preview"));
    m_preview->setReadOnly(true);
    m_preview->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_preview->setFocusPolicy(Qt::ClickFocus);
    previewLayout->addWidget(m_preview);

    auto *left = new QVBoxLayout;
    left->addLayout(top);
    left->addLayout(rules);
    left->addWidget(orders);
    left->addWidget(legend);
    left->addStretch(1);
    left->addLayout(buttons);
    auto *main = new QHBoxLayout(central);
    main->addLayout(left, 3);
    main->addWidget(previewFrame, 2);
}

void FormEditorWindow::applyFont()
{
    const QFont font = ChosenFont(m_session.settings.FontNameNo, m_session.settings.FontSizeNo);
    m_name->setFont(font);
    m_note->setFont(font);
    for (int style = 1; style <= 4; ++style)
        m_order[size_t(style)]->setFont(font);
    m_preview->setFont(font);
}

void FormEditorWindow::refresh()
{
    m_updating = true;
    setWindowTitle(m_model.windowTitle());
    const QStringList &names = m_model.names();
    bool same = m_name->count() == names.size();
    for (int i = 0; same && i < names.size(); ++i)
        same = m_name->itemText(i) == names[i];
    if (!same) {
        m_name->clear();
        m_name->addItems(names);
    }
    if (m_name->currentIndex() != m_model.listIndex())
        m_name->setCurrentIndex(m_model.listIndex());
    if (m_name->currentText() != m_model.nameText())
        m_name->setEditText(m_model.nameText());
    setTextKeepingCursor(m_note, m_model.note());
    for (int k = 1; k <= 6; ++k)
        m_sort[size_t(k)]->setChecked(k == m_model.sort());
    for (int e = 0; e < 2; ++e) {
        for (int k = 1; k <= 5; ++k) {
            setTextKeepingCursor(m_number[size_t(e)][size_t(k)], m_model.numberText(e == 1, k));
            const int entry = m_model.entryIndex(e == 1, k);
            QComboBox *combo = m_combo[size_t(e)][size_t(k)];
            combo->setCurrentIndex(entry < combo->count() ? entry : -1);
        }
    }
    for (int style = 1; style <= 4; ++style)
        setTextKeepingCursor(m_order[size_t(style)], m_model.order(style));
    m_updating = false;
    refreshPreview();
}

void FormEditorWindow::refreshPreview()
{
    const QString text = m_model.previewText();
    if (m_preview->toPlainText() != text)
        m_preview->setPlainText(text);
}

void FormEditorWindow::run(void (FormEditorModel::*handler)())
{
    (m_model.*handler)();
    refresh();
}

void FormEditorWindow::open()
{
    const bool first = !m_model.isLoaded();
    m_model.open();
    if (first && !m_placed) {
        resize(1180, 760);
        m_placed = true;
    }
    refresh();
    show();
    raise();
    activateWindow();
    m_name->setFocus(Qt::OtherFocusReason);
}

void FormEditorWindow::bankChanged()
{
    if (m_model.isLoaded())
        m_model.sampleRecords();
    refresh();
}

void FormEditorWindow::legendClicked(int abb)
{
    QLineEdit *box = m_order[size_t(std::clamp(m_lastOrder, 1, 4))];
    const int start = box->hasSelectedText() ? box->selectionStart() : box->cursorPosition();
    const int end = box->hasSelectedText() ? box->selectionEnd() : start;
    const LegendEdit edit = FormEditorModel::legendInsert(abb, box->text(), start, end);
    box->setText(edit.text);
    box->setSelection(edit.selStart, edit.selEnd - edit.selStart);
    if (edit.selStart == edit.selEnd)
        box->setCursorPosition(edit.selEnd);
    box->setFocus(Qt::MouseFocusReason);
    m_model.setOrder(m_lastOrder, edit.text);
    refreshPreview();
}

bool FormEditorWindow::printPanel()
{
    // The window as it shows on the screen, on one page.
    const QImage image = grab().toImage();
    PrintChoice choice;
    if (!m_session.ui.printDialog(1, choice))
        return false;
    QPrinter printer(QPrinter::HighResolution);
    ApplyPrintChoice(printer, choice);
    QString error;
    if (PrintImage(printer, image, &error))
        return true;
    m_session.ui.message(error, MsgButtons::Ok, MsgIcon::Error);
    return false;
}

void FormEditorWindow::closeEvent(QCloseEvent *event)
{
    // Closing only hides the editor; it keeps what it shows.
    event->ignore();
    hide();
}

void FormEditorWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    // Back in the editor after a search or an edit on the card: the preview
    // takes its records again.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_model.isLoaded()) {
        m_model.sampleRecords();
        refreshPreview();
    }
}

bool FormEditorWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        for (int style = 1; style <= 4; ++style)
            if (watched == m_order[size_t(style)])
                m_lastOrder = style;
    } else if (event->type() == QEvent::MouseButtonPress &&
               static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        for (int i = 0; i < int(m_legend.size()); ++i) {
            if (watched == m_legend[size_t(i)]) {
                legendClicked(i);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace tz
