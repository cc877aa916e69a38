#include "core/jpcode/jp_maintenance.h"

#include "core/common/basic.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/common/storable_text.h"
#include "core/session/session.h"
#include "core/store/bank_change.h"
#include "core/store/record.h"

#include <QDir>
#include <QFileInfo>

namespace tz {
namespace {

constexpr qint64 kMaxTableFileBytes = 64 * 1024 * 1024;

JPoutcome outcome(JPstatus status, const QString &message = {})
{
    JPoutcome o;
    o.status = status;
    o.message = message;
    return o;
}

QString lineList(const QList<int> &lines)
{
    QStringList out;
    for (int i = 0; i < lines.size() && i < 10; ++i)
        out.append(QString::number(lines[i]));
    if (lines.size() > 10)
        out.append(QStringLiteral("…"));
    return out.join(QStringLiteral(", "));
}

} // namespace

QString MoveQuestion(int from, int to, int targetCategory)
{
    return QString::number(from) +
           (targetCategory == JPpress ? QStringLiteral(" 番の内容を ") : QStringLiteral(" 番の内容を")) +
           QString::number(to) + QStringLiteral(" 番に移動します。");
}

QString JPnameFromText(const QString &text, QString *message)
{
    const StorableText storable = MakeStorable(WithoutLineBreaks(text));
    if (message)
        *message = StorableMessage(storable);
    return Trim(Trim(storable.text).left(kJPnameMax));
}

RecordStep JPcodeMaintenance::step() const
{
    return [this](int done, int total) {
        if (progress)
            progress(ProgressMode::Step, 1, total, done);
        return !(cancelFlag && *cancelFlag);
    };
}

JPoutcome JPcodeMaintenance::countUsage()
{
    LargeBuffer bytes;
    QString error;
    if (!ReadRecordsWhole(bankPath, bytes, &error))
        return outcome(JPstatus::Failed, error);
    const int count = RecordCountOf(bytes.size());
    if (cancelFlag)
        *cancelFlag = false;
    if (progress)
        progress(ProgressMode::Open, 1, count, 0);
    const std::optional<QList<int>> counted = JPcodeUsage(bytes.view(), count, m_table.JPendE, step());
    if (progress)
        progress(ProgressMode::Close, 1, count, count);
    if (!counted)
        return outcome(JPstatus::Cancelled);
    usage = *counted;
    return outcome(JPstatus::Done);
}

bool JPcodeMaintenance::mayWrite()
{
    return JPcodeReadExactly(m_table) || (mayOverwriteInexact && mayOverwriteInexact());
}

JPoutcome JPcodeMaintenance::commit(const JPchange &change)
{
    if (bankPath.isEmpty())
        return outcome(JPstatus::Failed, QStringLiteral("文献バンクが開かれていません"));
    if (!mayWrite())
        return outcome(JPstatus::Refused, kMsgInexactNotWritten);
    // The record file is read once and written back whole.
    LargeBuffer records;
    QString error;
    if (!ReadRecordsWhole(bankPath, records, &error))
        return outcome(JPstatus::Failed, error);
    const int count = RecordCountOf(records.size());
    if (cancelFlag)
        *cancelFlag = false;
    if (progress)
        progress(ProgressMode::Open, 1, count, 0);
    const std::optional<int> changed = RenumberRecords(records.data(), records.size(), count, change.renumber, step());
    if (progress)
        progress(ProgressMode::Close, 1, count, count);
    if (!changed)
        return outcome(JPstatus::Cancelled);

    JPoutcome result;
    if (*changed == 0) {
        // Only the table changes.
        if (!JPcodeSaveInBank(bankPath, change.table, &error, true))
            return outcome(JPstatus::Failed, error);
    } else {
        bool committed = false;
        if (!CommitBankChange(bankPath, records.view(), SerializeJPcode(change.table), &committed, &error)) {
            if (!committed)
                return outcome(JPstatus::Failed, error);
            result.message = error; // in effect; the table is put in place at the next opening
        }
    }
    m_table = change.table;
    m_table.inexactLines.clear();
    m_table.notRead = false;
    // The usage of the new codes, from the records as they were written.
    if (const std::optional<QList<int>> counted = JPcodeUsage(records.view(), count, m_table.JPendE))
        usage = *counted;
    result.renumbered = change.renumber;
    return result;
}

JPoutcome JPcodeMaintenance::newCode(int category)
{
    if (category < 0 || category >= kJPcategoryCount)
        return outcome(JPstatus::Unchanged);
    JPoutcome counted = countUsage();
    if (counted.status != JPstatus::Done)
        return counted;
    if (const std::optional<int> free = JPfreeCode(m_table, usage, category)) {
        JPoutcome o;
        o.code = *free;
        return o;
    }
    return enlarge(category);
}

JPoutcome JPcodeMaintenance::enlarge(int category)
{
    if (category < 0 || category >= kJPcategoryCount)
        return outcome(JPstatus::Unchanged);
    if (!ask(kAskEnlarge.arg(JPcodePlusCount(category))))
        return outcome(JPstatus::Cancelled);
    const std::optional<JPchange> change = JPcodePlus(m_table, usage, category);
    if (!change)
        return outcome(JPstatus::Refused, kMsgTableFull);
    return commit(*change);
}

JPoutcome JPcodeMaintenance::deleteCode(int code)
{
    if (code < 1 || code > m_table.JPendE)
        return outcome(JPstatus::Unchanged);
    JPoutcome counted = countUsage();
    if (counted.status != JPstatus::Done)
        return counted;
    if (JPusageOf(usage, code) > 0)
        return outcome(JPstatus::Refused, kMsgCodeInUse);
    m_table.JPname[code].clear();
    JPoutcome o;
    o.code = code;
    return o;
}

JPoutcome JPcodeMaintenance::moveCode(int code, int targetCategory)
{
    if (code < 1 || code > m_table.JPendE || targetCategory < 0 || targetCategory >= kJPcategoryCount ||
        JPcategoryOf(m_table, code) == targetCategory)
        return outcome(JPstatus::Unchanged);
    JPoutcome counted = countUsage();
    if (counted.status != JPstatus::Done)
        return counted;
    const std::optional<int> target = JPfreeCode(m_table, usage, targetCategory);
    if (!target)
        return outcome(JPstatus::Refused, kMsgNoMoveTarget);
    if (!ask(MoveQuestion(code, *target, targetCategory)))
        return outcome(JPstatus::Cancelled);
    JPoutcome done = commit(JPcodeX(m_table, code, *target, kJPcategoryStyle[size_t(targetCategory)]));
    if (done.status == JPstatus::Done)
        done.code = *target;
    return done;
}

JPoutcome JPcodeMaintenance::sort()
{
    if (!ask(kAskSort))
        return outcome(JPstatus::Cancelled);
    return commit(JPcodeSort(m_table));
}

JPoutcome JPcodeMaintenance::save()
{
    if (bankPath.isEmpty())
        return outcome(JPstatus::Failed, QStringLiteral("文献バンクが開かれていません"));
    if (!mayWrite())
        return outcome(JPstatus::Refused, kMsgInexactNotWritten);
    QString error;
    if (!JPcodeSaveInBank(bankPath, m_table, &error, true))
        return outcome(JPstatus::Failed, error);
    m_table.inexactLines.clear();
    m_table.notRead = false;
    return outcome(JPstatus::Done);
}

// ---- The copy of another bank's table ----------------------------------------------

JPoutcome CopyJPcodeFile(const QString &from, const QString &bankPath, JPcodeTable &table,
                         const std::function<bool(const QString &question)> &askInexact)
{
    QString error;
    if (!CheckRegularFile(from, &error))
        return outcome(JPstatus::Failed, error);
    const QString target = FilePathNoCase(bankPath, QString(kJPcodeFileName));
    const QString fromPath = QFileInfo(from).canonicalFilePath();
    const bool itself = QFileInfo::exists(target) && fromPath == QFileInfo(target).canonicalFilePath();
    if (!itself) {
        QByteArray bytes;
        if (!ReadFileHead(from, kMaxTableFileBytes, bytes, &error))
            return outcome(JPstatus::Failed, error);
        const QList<int> inexact = ParseJPcode(bytes).inexactLines;
        if (!inexact.isEmpty() &&
            !(askInexact && askInexact(kAskCopyInexact.arg(QDir::toNativeSeparators(from), lineList(inexact)))))
            return outcome(JPstatus::Cancelled);
        // A change of the bank left unfinished would put its own table in
        // place after the copy: it is finished first.
        if (!CompleteBankChange(bankPath, &error) || !WriteFileAtomic(target, bytes, &error))
            return outcome(JPstatus::Failed, error);
    }
    JPoutcome o;
    if (!JPcodeLoad(target, table, &error))
        o.message = error;
    return o;
}

bool JPcodeCopyFromOtherBank(Session &session)
{
    UserInterface &ui = session.ui;
    const QString bank = session.BankPath();
    if (bank.isEmpty())
        return false;
    const QString file = ui.openFileName(kCopyTitle, session.AppFolder, kCopyFilters);
    if (file.isEmpty())
        return false;
    if (ui.message(kAskCopyJPcode.arg(QDir::toNativeSeparators(file)), MsgButtons::OkCancel, MsgIcon::Information) !=
        MsgAnswer::Ok)
        return false;
    const JPoutcome o = CopyJPcodeFile(file, bank, session.jp, [&ui](const QString &question) {
        return ui.message(question, MsgButtons::OkCancel, MsgIcon::Warning) == MsgAnswer::Ok;
    });
    if (o.status == JPstatus::Failed || (o.status == JPstatus::Done && !o.message.isEmpty()))
        ui.message(o.message, MsgButtons::Ok, MsgIcon::Error);
    return o.status == JPstatus::Done;
}

} // namespace tz
