#include "core/search/search_model.h"

#include "core/search/result_file.h"
#include "core/search/search_render.h"
#include "core/session/session.h"

#include <algorithm>

namespace tz {

namespace {

const QString kAskUtf8 = QStringLiteral("次の文字はシフト JIS（コードページ 932）で保存できません：\n%1\n\n"
                                        "UTF-8 で保存しますか？（キャンセルで保存を中止します）");
const QString kNoForms = QStringLiteral("出力書式がひとつもないため、検索結果を表示できません。\n"
                                        "書式ファイル form.cfg を確かめてください。");
const QString kNoScripts = QStringLiteral("スクリプトがひとつもないため、検索結果を表示できません。\n"
                                          "スクリプトファイル script.cfg を確かめてください。");

} // namespace

SearchModel::SearchModel(Session &session)
    : m_session(session), m_engine(session.settings.MaxHits), m_progress(session.ui, m_engine.CancelFlag)
{
    m_engine.progress = [this](ProgressMode mode, int pos, int max) { m_progress.ProgressStep(mode, 1, max, pos); };
    m_kindText = kindNames().value(searchItem());
    bankChanged();
    applyAndPreference();
}

const QStringList &SearchModel::kindNames()
{
    static const QStringList names = SearchKindNames();
    return names;
}

int SearchModel::searchItem() const
{
    return m_engine.SearchItem;
}

SearchAction SearchModel::SearchSet(int kind)
{
    m_engine.SearchItem = kind;
    if (kind >= 0 && kind < kindNames().size())
        m_kindText = kindNames().at(kind);
    if (kind >= KindFreeKeyword && kind <= KindTitleKeyword)
        m_keyInput = KeyInput::Latin;
    else if (kind == KindJPcode || kind == KindYear || kind == KindRecord || kind == KindCurrent || kind == KindLinked)
        m_keyInput = KeyInput::Disabled;
    m_keyText.clear();
    SearchAction a;
    a.focusKeys = true;
    return a;
}

bool SearchModel::checkMode(int box) const
{
    return box >= 0 && box < int(m_engine.CheckMode.size()) && m_engine.CheckMode[static_cast<size_t>(box)];
}

void SearchModel::setCheckMode(int box, bool on)
{
    if (box >= 0 && box < int(m_engine.CheckMode.size()))
        m_engine.CheckMode[static_cast<size_t>(box)] = on;
}

void SearchModel::toggleCheckMode(int box)
{
    setCheckMode(box, !checkMode(box));
    if (box == CheckAndPreferred)
        applyAndPreference();
}

unsigned SearchModel::buttonColour(int button) const
{
    const bool preferred = (button == SearAnd) == m_andPreferred;
    return preferred ? kPreferredColour : kOtherColour;
}

QStringList SearchModel::formNames() const
{
    QStringList names;
    for (int k = 1; k <= m_session.forms.FormCount; ++k)
        names.append(m_session.forms.form(k).name);
    return names;
}

QStringList SearchModel::scriptNames() const
{
    QStringList names;
    for (int k = 1; k <= m_session.scripts.ScriptCount; ++k)
        names.append(m_session.scripts.script(k).name);
    return names;
}

void SearchModel::bankChanged()
{
    // The hits are record numbers of the bank they were found in: another
    // bank starts without any (the result text stays until it is replaced).
    m_engine.HitCount = 0;
    setResult(QString());
    m_formIndex = std::clamp(m_session.settings.CurForm, 1, std::max(1, m_session.forms.FormCount)) - 1;
    m_scriptIndex = std::clamp(m_session.settings.CurScript, 1, std::max(1, m_session.scripts.ScriptCount)) - 1;
}

QString SearchModel::windowTitle() const
{
    return BankTitle(QStringLiteral("文献検索"), m_session.BankName());
}

int SearchModel::hitCount() const
{
    return m_engine.HitCount;
}

void SearchModel::setResult(const QString &text)
{
    m_result = text;
    ++m_resultVersion;
}

void SearchModel::clearResult()
{
    setResult(QString());
}

bool SearchModel::loadBank(RecordImage &image)
{
    QString error;
    if (image.load(m_session.BankPath(), &error))
        return true;
    m_session.ui.message(error, MsgButtons::Ok, MsgIcon::Error);
    return false;
}

bool SearchModel::search(const RecordImage &image)
{
    SearchEngine &e = m_engine;
    // A search cancelled in step 2 keeps the hit count but may have
    // overwritten the first entries, and one cancelled while it is rendered
    // has a new list: the list goes back to what it was, so that the next
    // rendering shows the earlier hits and not a mixture.
    const QList<qint16> before = e.HitList;
    const int beforeCount = e.HitCount;
    e.CancelFlag = false;
    if (!e.RunSteps(image, m_keyText, m_session.jp, m_cardRec))
        return false;
    if (e.CancelFlag) {
        e.closeProgress();
    } else if (searchItem() == KindSimilarAuto && e.HitCount == 0) {
        return false; // the automatic similar check with nothing similar shows nothing
    } else if (render(image)) {
        return true;
    }
    e.CancelFlag = false;
    e.HitList = before;
    e.HitCount = beforeCount;
    return true;
}

bool SearchModel::render(const RecordImage &image)
{
    const FormTable &forms = m_session.forms;
    const ScriptTable &scripts = m_session.scripts;
    if (forms.FormCount < 1 || scripts.ScriptCount < 1) {
        m_session.ui.message(forms.FormCount < 1 ? kNoForms : kNoScripts, MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    m_session.Signal(SignalKind::SearchDone);
    const int form = std::clamp(m_formIndex + 1, 1, forms.FormCount);
    const int script = std::clamp(m_scriptIndex + 1, 1, scripts.ScriptCount);
    m_session.settings.CurForm = form;
    m_session.settings.CurScript = script;
    const SearchRenderBank bank{m_session.BankName(), m_session.jp, forms.form(form), scripts.script(script)};
    QString error;
    const QByteArray links = ReadLinkBytes(m_session.BankPath(), &error);
    if (!error.isEmpty()) // the list is written without the links
        m_session.ui.message(error, MsgButtons::Ok, MsgIcon::Warning);
    const std::optional<QString> text = RenderHits(m_engine, image, links, bank);
    if (!text) {
        m_engine.CancelFlag = false;
        return false;
    }
    setResult(*text);
    return true;
}

bool SearchModel::Step3()
{
    RecordImage image;
    return loadBank(image) && render(image);
}

SearchAction SearchModel::SearD_click(int index)
{
    SearchAction a;
    if (KindNeedsKey(searchItem()) && m_keyText.isEmpty())
        return a;
    switch (index) {
    case SearWordClear:
        m_keyText.clear();
        a.focusKeys = true;
        break;
    case SearOr:
    case SearAnd: {
        m_engine.AndMode = index == SearAnd;
        RecordImage image;
        if (!loadBank(image))
            break;
        if (!search(image) && searchItem() == KindSimilarAuto)
            return a;
        break;
    }
    case SearResultClear:
        clearResult();
        break;
    case SearSave:
        saveResult();
        break;
    case SearPrint:
        a.print = true;
        break;
    case SearClose:
        a.hide = true;
        return a;
    case SearList:
        Step3();
        break;
    case SearReset:
        m_scriptIndex = 0;
        Step3();
        break;
    default:
        return a;
    }
    a.show = true;
    return a;
}

SearchAction SearchModel::runCardRequest(const CardSearchRequest &request)
{
    m_engine.SearchItem = request.SearchItem;
    m_kindText = request.kindText;
    if (request.SearchItem == KindSimilar || request.SearchItem == KindSimilarAuto)
        m_cardRec = request.keyText.toInt();
    else
        m_keyText = request.keyText;
    if (request.SearchItem == KindCurrent || request.SearchItem == KindLinked)
        m_keyInput = KeyInput::Disabled;
    return SearD_click(SearOr);
}

void SearchModel::saveResult()
{
    UserInterface &ui = m_session.ui;
    const QString file = ui.saveFileName(kSaveTitle, QString(), kSaveFilters, 1);
    if (file.isEmpty())
        return;
    if (ui.message(file + kSaveConfirm, MsgButtons::OkCancel, MsgIcon::Information) != MsgAnswer::Ok)
        return;
    bool utf8 = false;
    if (const QStringList bad = UnencodableChars(m_result); !bad.isEmpty()) {
        const QString list = QStringLiteral("「") + bad.join(QStringLiteral("」「")) + QStringLiteral("」");
        if (ui.message(kAskUtf8.arg(list), MsgButtons::OkCancel, MsgIcon::Question) != MsgAnswer::Ok)
            return;
        utf8 = true;
    }
    QString error;
    if (!SaveResultFile(file, m_result, utf8, &error))
        ui.message(error, MsgButtons::Ok, MsgIcon::Error);
}

} // namespace tz
