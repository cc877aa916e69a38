#include "core/jpcode/jp_editor_model.h"

#include "core/card/card_model.h"
#include "core/card/card_style.h"
#include "core/common/file_io.h"
#include "core/session/session.h"

#include <QDir>

namespace tz {

namespace {

// Runs while a command asks its questions: the editor losing the focus to a
// message box is no switch to another window.
class BusyScope
{
public:
    explicit BusyScope(bool &busy) : m_busy(busy), m_was(busy) { m_busy = true; }
    ~BusyScope() { m_busy = m_was; }

private:
    bool &m_busy;
    bool m_was;
};

} // namespace

JPEditorModel::JPEditorModel(Session &session, QObject *parent) : QObject(parent), m_session(session), m_ops(session.jp)
{
    m_ops.confirm = [this](const QString &question) {
        return m_session.ui.message(question, MsgButtons::OkCancel, MsgIcon::Information) == MsgAnswer::Ok;
    };
    m_ops.progress = [this](ProgressMode mode, int first, int last, int current) {
        m_session.ProgressStep(mode, first, last, current);
    };
    m_ops.cancelFlag = &m_session.CancelFlag;
    // A table not read exactly is written only when the person agrees; the
    // save on leaving the editor does not ask again once declined.
    m_ops.mayOverwriteInexact = [this] {
        if (m_quietSave && m_inexactDeclined)
            return false;
        const QString file = QDir::toNativeSeparators(QDir(m_session.BankPath()).filePath(QString(kJPcodeFileName)));
        const bool agreed =
            m_session.ui.message(kAskRewriteJPcode.arg(file), MsgButtons::OkCancel, MsgIcon::Warning) == MsgAnswer::Ok;
        m_inexactDeclined = !agreed;
        return agreed;
    };
}

const QStringList &JPEditorModel::categoryNames()
{
    static const QStringList names(kJPcategoryCaptions.begin(), kJPcategoryCaptions.end());
    return names;
}

void JPEditorModel::prepareOps()
{
    m_ops.bankPath = m_session.BankPath();
}

QString JPEditorModel::windowTitle() const
{
    return BankTitle(kJPEditorCaption, m_session.BankName());
}

// ---- Loading ----------------------------------------------------------------------------

void JPEditorModel::load(int cardStyleButton)
{
    BusyScope busy(m_busy);
    prepareOps();
    m_loaded = true;
    m_edits.clear();
    m_inexactDeclined = false;
    m_category = -1;
    m_first = 1;
    m_last = 0;
    m_lines.clear();
    m_index = -1;
    m_text.clear();
    m_ops.usage = QList<int>(m_session.jp.JPendE + 1, 0);
    report(m_ops.countUsage());
    if (const int group = JPEditorGroup(cardStyleButton); group > 0)
        JPgroup_click(group);
}

void JPEditorModel::open(int cardStyleButton)
{
    if (!m_loaded) {
        load(cardStyleButton);
        return;
    }
    if (const int group = JPEditorGroup(cardStyleButton); group > 0)
        JPgroup_click(group);
}

// ---- The list -----------------------------------------------------------------------------

int JPEditorModel::selectedCode() const
{
    if (m_index < 0 || m_index >= m_lines.size())
        return 0;
    return m_first + m_index;
}

void JPEditorModel::rebuildLines()
{
    m_first = m_category < 0 ? 1 : JPcategoryFirst(m_session.jp, m_category);
    m_last = m_category < 0 ? 0 : JPcategoryLast(m_session.jp, m_category);
    m_lines = m_category < 0 ? QStringList() : JPlistLines(m_session.jp, m_ops.usage, m_category);
}

void JPEditorModel::rebuildLine(int code)
{
    const int i = code - m_first;
    if (i >= 0 && i < m_lines.size())
        m_lines[i] = JPlistLine(code, JPusageOf(m_ops.usage, code), JPcodeName(m_session.jp, code));
}

void JPEditorModel::JPgroup_click(int category)
{
    if (category < 0 || category >= kJPcategoryCount)
        return;
    m_category = category;
    rebuildLines();
    m_index = -1;
    m_text.clear();
    if (!m_lines.isEmpty())
        JPlist_click(0);
}

void JPEditorModel::JPlist_click(int index)
{
    if (index < 0 || index >= m_lines.size())
        return;
    m_index = index;
    m_text = JPcodeName(m_session.jp, selectedCode());
}

void JPEditorModel::next()
{
    if (!m_lines.isEmpty())
        JPlist_click(m_index + 1 >= m_lines.size() ? 0 : m_index + 1);
}

void JPEditorModel::previous()
{
    if (!m_lines.isEmpty())
        JPlist_click(m_index <= 0 ? int(m_lines.size()) - 1 : m_index - 1);
}

// ---- Names ----------------------------------------------------------------------------------

void JPEditorModel::rememberEdit(int code)
{
    if (!m_edits.contains(code))
        m_edits.insert(code, JPcodeName(m_session.jp, code));
}

void JPEditorModel::NewJPset()
{
    const int code = selectedCode();
    if (code == 0)
        return;
    QString told;
    const QString name = JPnameFromText(m_text, &told);
    if (!told.isEmpty())
        m_session.ui.message(told, MsgButtons::Ok, MsgIcon::Information);
    if (name != JPcodeName(m_session.jp, code)) {
        rememberEdit(code);
        m_session.jp.JPname[code] = name;
    }
    m_text = name;
    rebuildLine(code);
}

JPEditorAction JPEditorModel::JPtext_enter()
{
    NewJPset();
    return JPEditorAction{m_text.isEmpty()};
}

// ---- Saving and applying -------------------------------------------------------------------

bool JPEditorModel::report(const JPoutcome &o)
{
    if (!o.message.isEmpty()) {
        const MsgIcon icon =
            o.status == JPstatus::Refused || o.status == JPstatus::Cancelled ? MsgIcon::Information : MsgIcon::Error;
        m_session.ui.message(o.message, MsgButtons::Ok, icon);
    }
    return o.status == JPstatus::Done;
}

bool JPEditorModel::saveTable(bool askInexact)
{
    BusyScope busy(m_busy);
    prepareOps();
    if (m_session.BankPath().isEmpty())
        return false;
    m_quietSave = !askInexact;
    const JPoutcome o = m_ops.save();
    m_quietSave = false;
    if (o.status == JPstatus::Done)
        m_edits.clear();
    else if (o.status == JPstatus::Failed)
        report(o);
    // (Refused: the person chose to keep a file not read exactly; nothing more to say.)
    // The card's name list follows the table in memory either way.
    Q_EMIT tableChanged();
    return o.status == JPstatus::Done;
}

bool JPEditorModel::save()
{
    return saveTable(true);
}

void JPEditorModel::apply()
{
    const int code = selectedCode();
    if (code == 0)
        return;
    saveTable(true);
    const JPcodeTable &t = m_session.jp;
    int style = 4;
    if (code <= t.JPendJ)
        style = 1;
    else if (const int shown = cardStyle ? cardStyle() : 0; code <= t.JPendP)
        style = shown == 2 || shown == 3 ? shown : m_lastStyle == 2 || m_lastStyle == 3 ? m_lastStyle : 2;
    m_lastStyle = style;
    Q_EMIT cardApply(code, style);
}

void JPEditorModel::reload()
{
    BusyScope busy(m_busy);
    prepareOps();
    report(m_ops.countUsage());
    if (m_category >= 0)
        JPgroup_click(m_category);
}

void JPEditorModel::deactivate()
{
    if (!m_loaded || m_busy)
        return;
    NewJPset();
    saveTable(false);
}

// ---- The structural operations -------------------------------------------------------------

JPEditorAction JPEditorModel::newCode()
{
    if (m_category < 0)
        return {};
    BusyScope busy(m_busy);
    prepareOps();
    const JPoutcome o = m_ops.newCode(m_category);
    if (o.renumbered)
        Q_EMIT renumbered(*o.renumbered);
    if (!report(o)) {
        rebuildLines();
        return {};
    }
    if (o.code == 0) {
        // Enlarged: the list shown again; a second "New" finds the new codes.
        m_edits.clear();
        JPgroup_click(m_category);
        Q_EMIT tableChanged();
        return {};
    }
    rebuildLines();
    JPlist_click(o.code - m_first);
    return JPEditorAction{true};
}

JPEditorAction JPEditorModel::deleteCode()
{
    const int code = selectedCode();
    if (code == 0)
        return {};
    BusyScope busy(m_busy);
    prepareOps();
    const QString before = JPcodeName(m_session.jp, code);
    const JPoutcome o = m_ops.deleteCode(code);
    rebuildLines();
    if (!report(o))
        return {};
    if (!m_edits.contains(code))
        m_edits.insert(code, before);
    m_text.clear();
    return JPEditorAction{true};
}

JPEditorAction JPEditorModel::move(int category)
{
    const int code = selectedCode();
    if (code == 0 || category == m_category)
        return {};
    BusyScope busy(m_busy);
    prepareOps();
    const JPoutcome o = m_ops.moveCode(code, category);
    if (o.renumbered) {
        m_edits.clear();
        Q_EMIT renumbered(*o.renumbered);
    }
    const bool done = report(o);
    rebuildLines();
    if (!done)
        return {};
    m_text.clear();
    Q_EMIT tableChanged();
    return JPEditorAction{true};
}

void JPEditorModel::sort()
{
    BusyScope busy(m_busy);
    prepareOps();
    const JPoutcome o = m_ops.sort();
    if (o.renumbered) {
        m_edits.clear();
        Q_EMIT renumbered(*o.renumbered);
    }
    if (report(o)) {
        if (m_category >= 0)
            JPgroup_click(m_category);
        Q_EMIT tableChanged();
    }
}

void JPEditorModel::textOutput()
{
    if (m_category < 0)
        return;
    BusyScope busy(m_busy);
    UserInterface &ui = m_session.ui;
    const QString file = ui.saveFileName(kTextOutputTitle, QString(), kTextOutputFilters, 1);
    if (file.isEmpty())
        return;
    if (ui.message(file + kTextOutputConfirm, MsgButtons::OkCancel, MsgIcon::Information) != MsgAnswer::Ok)
        return;
    QString error;
    if (!WriteFileAtomic(file, JPtextOutput(m_session.jp, m_ops.usage, m_category), &error))
        ui.message(error, MsgButtons::Ok, MsgIcon::Error);
}

QString JPEditorModel::printTitle() const
{
    return m_category < 0 ? QString() : JPprintTitle(m_category);
}

QString JPEditorModel::printBody() const
{
    return m_category < 0 ? QString() : JPlistBody(m_session.jp, m_ops.usage, m_category);
}

void JPEditorModel::cancelWork()
{
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        if (it.key() <= m_session.jp.JPendE)
            m_session.jp.JPname[it.key()] = it.value();
    const bool changed = !m_edits.isEmpty();
    m_edits.clear();
    m_loaded = false;
    if (changed)
        Q_EMIT tableChanged();
}

// ---- Changes made elsewhere ------------------------------------------------------------------

void JPEditorModel::namesChanged()
{
    if (!m_loaded)
        return;
    const int index = m_index;
    rebuildLines();
    m_index = -1;
    if (index >= 0 && index < m_lines.size())
        JPlist_click(index);
}

void JPEditorModel::tableReplaced()
{
    if (!m_loaded)
        return;
    m_edits.clear();
    reload();
}

} // namespace tz
