#include "core/formedit/form_editor_model.h"

#include "core/common/basic.h"
#include "core/session/session.h"

#include <QDir>

namespace tz {

namespace {

QStringList fromUtf16(std::initializer_list<const char16_t *> texts)
{
    QStringList out;
    for (const char16_t *t : texts)
        out.append(QString::fromUtf16(t));
    return out;
}

const QString kFormFileName = QStringLiteral("Form.cfg");
const QString kTooManyForms = QStringLiteral("書式は %1 個までです。%2 を新しいフォームとして保存できません。\n"
                                             "今ある書式の名前で保存すると、その書式を書き換えます。");
const QString kAskRewrite = QStringLiteral("書式ファイル %1 は起動時にそのままでは読めませんでした"
                                           "（直したところ、読めなかった書式があります）：\n%2\n\n"
                                           "いまの書式の一覧で書き直しますか？（キャンセルで保存を中止します）");

QStringList firstPersonEntries()
{
    return fromUtf16({u"Aaaa, A. A.", u"Aaaa, A.A.", u"Aaaa, A A", u"Aaaa, AA", u"Aaaa A. A.", u"Aaaa A.A.",
                      u"Aaaa A A", u"Aaaa AA", u"Aaaa-AA", u"A. A. Aaaa", u"A.A. Aaaa", u"A A Aaaa", u"AA Aaaa",
                      u"A.A.Aaaa"});
}

QStringList secondPersonEntries()
{
    QStringList out = firstPersonEntries();
    for (QString &e : out)
        e.replace(u'A', u'B').replace(u'a', u'b');
    return out;
}

QStringList etAlEntries(bool editor)
{
    QStringList out = fromUtf16(
        {u"著者多数でも省略せず", u"先頭著者のみ", u"３名以上は 先頭著者 + et al.", u"３名以上は 先頭著者 + others",
         u"３名以上は 先頭著者 + other(N)s", u"３名以上は 先頭著者 + other N members", u"６名以上は ６名 + et al.",
         u"６名以上は ６名 + others", u"６名以上は ６名 + other(N)s", u"６名以上は ６名 + other N members",
         u"25名以上は 24名 + 最終著者 + et al.", u"25名以上は 24名 + 最終著者 + others",
         u"25名以上は 24名 + 最終著者 + other(N)s", u"25名以上は 24名 + 最終著者 + other N members"});
    if (editor) {
        const QStringList own = fromUtf16(
            {u"先頭著者のみを表記", u"３名以上 et al.", u"３名以上 others", u"３名以上 other(N)s", u"other N members"});
        for (int i = 0; i < own.size(); ++i)
            out[i + 1] = own[i];
    }
    return out;
}

// The legend symbol of `Abb` entry abb: the text before its first blank, or
// the mark of the four mark pairs.
QString legendSymbol(int abb)
{
    const QString caption = FormEditorModel::legendCaptions().value(abb);
    if (caption.isEmpty())
        return {};
    if (!caption.startsWith(u'['))
        return caption.left(1);
    return caption.left(caption.indexOf(u' '));
}

} // namespace

FormEditorModel::FormEditorModel(Session &session, QObject *parent) : QObject(parent), m_session(session)
{
    showEmptyForm();
}

// ---- Fixed contents ------------------------------------------------------------------

const QStringList &FormEditorModel::ruleEntries(bool editor, int k)
{
    static const std::array<std::array<QStringList, 6>, 2> lists = [] {
        std::array<std::array<QStringList, 6>, 2> l;
        for (int e = 0; e < 2; ++e) {
            l[size_t(e)][1] = firstPersonEntries();
            l[size_t(e)][2] = secondPersonEntries();
            l[size_t(e)][3] = fromUtf16({u"____, ____ and ____", u"____, ____, and ____", u"____, ____ & ____",
                                         u"____, ____, & ____", u"____, ____, ____", u"____; ____; ____"});
            l[size_t(e)][4] = etAlEntries(e == 1);
            l[size_t(e)][5] = fromUtf16({u"Yes (大文字化)", u"No (通常表記)"});
        }
        return l;
    }();
    return lists[editor ? 1 : 0][size_t(std::clamp(k, 0, 5))];
}

const QStringList &FormEditorModel::sortCaptions()
{
    static const QStringList captions = [] {
        QStringList c;
        for (int k = 1; k <= 6; ++k)
            c.append(SortCaption(k));
        return c;
    }();
    return captions;
}

const QStringList &FormEditorModel::legendCaptions()
{
    static const QStringList captions = fromUtf16({u"[M] Memo",
                                                   u"[A] Authors",
                                                   u"[T] Title",
                                                   u"[J] JPname",
                                                   u"[V] vol",
                                                   u"[PS] p start",
                                                   u"[PE] p end",
                                                   u"[Y] Year",
                                                   u"[E] Editors",
                                                   u"[B] Book title",
                                                   u"[K] Keywords",
                                                   u"[L] Link",
                                                   u"[FR] File name - Record no.",
                                                   u"[R] Record no.",
                                                   u"[N] Numbering (from 1)",
                                                   u"[Nx] Numbering (from x)",
                                                   u"*underline*",
                                                   u"^superscript^",
                                                   u"@subscript@",
                                                   u"|bold|",
                                                   u"[D] Date",
                                                   u"[/] CR",
                                                   u"[F] File name"});
    return captions;
}

LegendEdit FormEditorModel::legendInsert(int abb, const QString &text, int selStart, int selEnd)
{
    const int size = static_cast<int>(text.size());
    int from = std::clamp(std::min(selStart, selEnd), 0, size);
    int to = std::clamp(std::max(selStart, selEnd), 0, size);
    const QString symbol = legendSymbol(abb);
    if (symbol.isEmpty())
        return {text, selStart, selEnd};
    LegendEdit e;
    if (symbol.size() == 1) { // a mark pair around the selection
        const QString inner = text.mid(from, to - from);
        e.text = text.left(from) + symbol + inner + symbol + text.mid(to);
        e.selStart = from + 1;
        e.selEnd = from + 1 + static_cast<int>(inner.size());
        return e;
    }
    const QString put = symbol == QStringLiteral("[Nx]") ? QStringLiteral("[N1]") : symbol;
    e.text = text.left(from) + put + text.mid(to);
    if (put != symbol) {
        e.selStart = from + 2;
        e.selEnd = from + 3;
    } else {
        e.selStart = e.selEnd = from + static_cast<int>(put.size());
    }
    return e;
}

// ---- Loading -----------------------------------------------------------------------------

void FormEditorModel::load()
{
    m_loaded = true;
    m_names.clear();
    for (int k = 1; k <= m_session.forms.FormCount; ++k)
        m_names.append(m_session.forms.form(k).name);
    if (m_names.isEmpty())
        showEmptyForm();
    else
        showForm(0);
}

void FormEditorModel::open()
{
    if (!m_loaded)
        load();
    sampleRecords();
}

QString FormEditorModel::windowTitle() const
{
    return BankTitle(kFormEditorCaption, m_session.BankName());
}

// ---- Showing ---------------------------------------------------------------------------------

void FormEditorModel::showForm(int index)
{
    if (index < 0 || index >= m_names.size() || index >= m_session.forms.FormCount)
        return;
    const OutputForm &f = m_session.forms.form(index + 1);
    m_index = index;
    m_name = m_names[index];
    m_note = f.note;
    m_sort = std::clamp<int>(f.sort, 1, 6);
    setRule(false, f.author);
    setRule(true, f.editor);
    for (int style = 1; style <= 4; ++style)
        m_orders[size_t(style)] = f.order[size_t(style)];
}

void FormEditorModel::showEmptyForm()
{
    m_index = -1;
    m_name.clear();
    m_note.clear();
    m_sort = 2;
    setRule(false, NameRule());
    setRule(true, NameRule());
    for (QString &o : m_orders)
        o.clear();
}

void FormEditorModel::setRule(bool editor, const NameRule &rule)
{
    NameRule r = rule;
    for (int k = 1; k <= 5; ++k)
        m_numbers[editor ? 1 : 0][size_t(k)] = QString::number(NameRuleValue(r, k));
}

NameRule FormEditorModel::rule(bool editor) const
{
    NameRule r;
    for (int k = 1; k <= 5; ++k)
        NameRuleValue(r, k) = static_cast<qint16>(Val(m_numbers[editor ? 1 : 0][size_t(k)]));
    return r;
}

void FormEditorModel::Sort_click(int k)
{
    if (k >= 1 && k <= 6)
        m_sort = k;
}

const QString &FormEditorModel::numberText(bool editor, int k) const
{
    return m_numbers[editor ? 1 : 0][size_t(std::clamp(k, 0, 5))];
}

int FormEditorModel::entryIndex(bool editor, int k) const
{
    return static_cast<int>(Val(numberText(editor, k))) - 1;
}

const QString &FormEditorModel::order(int style) const
{
    return m_orders[size_t(std::clamp(style, 0, 4))];
}

void FormEditorModel::setOrder(int style, const QString &text)
{
    if (style >= 1 && style <= 4)
        m_orders[size_t(style)] = text;
}

// ---- Handlers ----------------------------------------------------------------------------------

void FormEditorModel::Fname_click(int index)
{
    showForm(index);
}

void FormEditorModel::ruleCombo_click(bool editor, int k, int index)
{
    if (k < 1 || k > 5 || index < 0 || index >= NameRuleListLength(k))
        return;
    m_numbers[editor ? 1 : 0][size_t(k)] = QString::number(index + 1);
}

bool FormEditorModel::setNumberText(bool editor, int k, const QString &text)
{
    if (k < 1 || k > 5)
        return false;
    QString &box = m_numbers[editor ? 1 : 0][size_t(k)];
    const QString t = Trim(text);
    if (t.isEmpty()) {
        box = QStringLiteral("1");
        return true;
    }
    // Only a whole number in decimal digits, with a sign at most, is taken:
    // letters, a decimal point or an exponent would pass the range check and
    // could not be written as a rule value.
    bool digits = true;
    for (qsizetype i = 0; i < t.size(); ++i)
        if (!t[i].isDigit() && !(i == 0 && (t[i] == u'-' || t[i] == u'+') && t.size() > 1))
            digits = false;
    if (!digits || t.size() > 6)
        return false; // the box keeps its number
    const int value = t.toInt();
    box = value < 0 || value > NameRuleListLength(k) ? QString::number(NameRuleReplacement(k)) : QString::number(value);
    return true;
}

void FormEditorModel::next()
{
    const int count = static_cast<int>(m_names.size());
    if (count > 0)
        showForm((m_index + 1 + count) % count);
}

void FormEditorModel::previous()
{
    const int count = static_cast<int>(m_names.size());
    if (count > 0)
        showForm((std::max(m_index, 0) + count - 1) % count);
}

OutputForm FormEditorModel::editedForm() const
{
    OutputForm f;
    f.name = m_name;
    f.note = m_note;
    f.sort = static_cast<qint16>(m_sort);
    f.author = rule(false);
    f.editor = rule(true);
    for (int style = 1; style <= 4; ++style)
        f.order[size_t(style)] = m_orders[size_t(style)];
    return f;
}

bool FormEditorModel::save()
{
    UserInterface &ui = m_session.ui;
    FormTable &table = m_session.forms;
    const QString name = Trim(m_name);
    int slot = 0;
    for (int k = 1; k <= table.FormCount; ++k) {
        if (Trim(table.form(k).name) == name) {
            slot = k;
            break;
        }
    }
    const bool added = slot == 0;
    if (added && table.FormCount >= MaxForms) {
        ui.message(kTooManyForms.arg(MaxForms).arg(name), MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    if (ui.message(name + (added ? kNewFormQuestion : kOverwriteQuestion), MsgButtons::OkCancel,
                   MsgIcon::Information) != MsgAnswer::Ok)
        return false;
    const QString path = m_session.AppFolder + kFormFileName;
    if (!m_session.formReport.isEmpty()) {
        const QString file = QDir::toNativeSeparators(path);
        const QString what = m_session.formReport.mid(0, 5).join(u'\n');
        if (ui.message(kAskRewrite.arg(file, what), MsgButtons::OkCancel, MsgIcon::Warning) != MsgAnswer::Ok)
            return false;
    }

    // The table changes only when the file takes the change: a form that
    // could not be saved is not used by the search window either.
    FormTable changed = table;
    if (added)
        slot = changed.FormCount + 1;
    changed.FormCount = std::max(changed.FormCount, slot);
    changed.form(slot) = editedForm();
    QString error;
    if (!FormWrite(path, changed, &error)) {
        ui.message(error, MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    table = changed;
    m_session.formReport.clear(); // the file now holds exactly the table
    m_names.clear();
    for (int k = 1; k <= table.FormCount; ++k)
        m_names.append(table.form(k).name);
    m_index = slot - 1;
    Q_EMIT formsSaved(slot, added);
    return true;
}

// ---- Preview ------------------------------------------------------------------------------------

void FormEditorModel::sampleRecords()
{
    if (m_session.BankName().isEmpty()) {
        m_preview.clear();
        return;
    }
    const QList<qint16> hits = currentHits ? currentHits() : QList<qint16>();
    QString error;
    if (!m_preview.sample(m_session.BankPath(), hits, m_session.settings.MaxHits, &error))
        m_preview.clear(); // the preview shows no records; the bank's own windows report the file
}

QString FormEditorModel::previewText() const
{
    return m_preview.text(editedForm(), m_session.BankName(), m_session.jp);
}

} // namespace tz
