#include "core/interchange/bank_import.h"

#include "core/common/basic.h"
#include "core/interchange/exchange_file.h"
#include "core/jpcode/jp_maintenance.h"
#include "core/search/search_engine.h"
#include "core/store/bank_change.h"
#include "core/store/jp_renumber.h"
#include "core/store/record_image.h"

#include <QHash>
#include <QSet>

namespace tz {

namespace {

// The name lists of the three kinds of source: journals, publishers, others.
int listOf(int style)
{
    return style == 1 ? 0 : (style == 2 || style == 3) ? 1 : 2;
}

// Codes by matching name, per list.
class NameIndex
{
public:
    explicit NameIndex(const JPcodeTable &table)
    {
        for (int list = 0; list < 3; ++list) {
            const int style = list == 0 ? 1 : list == 1 ? 2 : 4;
            for (int code = JPlistEnd(table, style); code > JPlistBase(table, style); --code)
                if (const QString key = JPnameKey(JPcodeName(table, code)); !key.isEmpty())
                    m_codes[list].insert(key, code); // the lowest code of equal names wins
        }
    }
    int code(int style, const QString &name) const { return m_codes[listOf(style)].value(JPnameKey(name), 0); }

private:
    QHash<QString, int> m_codes[3];
};

// The one record of a new bank, nothing typed into it.
bool isBlank(QByteArrayView bytes)
{
    Record rec = DecodeRecord(bytes);
    rec.RegDate = 0;
    rec.Style = 1;
    return rec == Record{};
}

QString shortTitle(const Record &rec)
{
    const QString t = rec.Title.isEmpty() ? rec.Author : rec.Title;
    return t.size() > 40 ? t.left(40) + QStringLiteral("…") : t;
}

// Renumbering a, then b.
JPrenumber composed(const JPrenumber &a, const JPrenumber &b)
{
    if (a.code.isEmpty())
        return b;
    JPrenumber r = a;
    for (qint16 &c : r.code)
        if (c > 0 && c < b.code.size())
            c = b.code[c];
    return r;
}

} // namespace

QString JPnameKey(const QString &name)
{
    QString key = name.toCaseFolded();
    key.removeIf([](QChar c) { return c.isSpace(); });
    return key;
}

int JPcategoryForStyle(int style)
{
    return style == 1 ? JPcommon : (style == 2 || style == 3) ? JPpress : JPetc;
}

int JPcodeByName(const JPcodeTable &table, int style, const QString &name)
{
    return NameIndex(table).code(style, name);
}

QString ImportLimitMessage(int stored, int added)
{
    return QStringLiteral("文献バンクのレコードは %1 件までです。%2 件のバンクに %3 件を取り込むと超えるので、"
                          "取り込みませんでした。")
        .arg(kMaxRecords)
        .arg(stored)
        .arg(added);
}

QStringList ImportPlan::report() const
{
    QStringList out;
    for (qsizetype i = 0; i < records.size(); ++i)
        for (const QString &note : records[i].notes)
            out << QStringLiteral("%1 行目（%2）: %3").arg(lines[i]).arg(shortTitle(records[i].rec), note);
    for (const ImportDuplicate &d : duplicates)
        out << QStringLiteral("%1 行目（%2）: 重複 — %3%4")
                   .arg(d.line)
                   .arg(d.title, d.reason, duplicatesKept ? QString() : QStringLiteral("。取り込みませんでした"));
    return out;
}

ImportPlan BankImport::plan(QByteArrayView fileBytes, bool keepDuplicates) const
{
    const ReadResult read = ReadExchange(fileBytes);
    if (!read.error.isEmpty()) {
        ImportPlan failed;
        failed.error = read.error;
        return failed;
    }
    return plan(read.refs, keepDuplicates);
}

ImportPlan BankImport::plan(const QList<Reference> &refs, bool keepDuplicates) const
{
    ImportPlan p;
    p.entries = int(refs.size());
    p.duplicatesKept = keepDuplicates;
    RecordImage bank;
    if (!bank.load(bankPath, &p.error))
        return p;
    p.recCount = bank.RecCount();
    QString error;
    const QList<PdfEntry> pdf = PdfReadAll(bankPath, &error);
    if (!error.isEmpty()) {
        p.error = error;
        return p;
    }

    p.first = p.recCount + 1;
    if (p.recCount == 1 && isBlank(bank.record(1)) && (pdf.isEmpty() || pdf[0] == PdfEntry{}))
        p.first = 1;

    // The stored keys: the duplicate key of every record and its DOI. A
    // record with no journal, volume, page, author or title has no key, as
    // for the duplicate search: such records are no copies of each other.
    auto hasKey = [](const QString &key) { return Trim(key) != QLatin1String("0,:,"); };
    QHash<QString, QString> keys; // key -> where it is ("レコード 12 ")
    QHash<QString, QString> dois;
    bank.scan(1, p.first - 1, [&](int first, int count, QByteArrayView bytes) {
        for (int k = 0; k < count; ++k) {
            const int n = first + k;
            const QString where = QStringLiteral("レコード %1 ").arg(n);
            if (const QString key = DupKey(RecordAt(bytes, k + 1)); hasKey(key))
                keys.insert(key, where);
            if (n <= pdf.size())
                if (const QString doi = BareDoi(pdf[n - 1].DOI).toLower(); !doi.isEmpty())
                    dois.insert(doi, where);
        }
        return true;
    });
    // Names not in the table yet stand for codes of their own, so that two
    // new references of one new journal still compare equal.
    const NameIndex names(m_table);
    QHash<QString, int> newNames;
    // Making the records of a large file takes a moment: the progress window
    // shows it, and its Cancel ends the import before anything is written.
    const int total = int(refs.size());
    if (cancelFlag)
        *cancelFlag = false;
    if (progress)
        progress(ProgressMode::Open, 1, total, 0);
    int done = 0;
    for (const Reference &ref : refs) {
        if (progress)
            progress(ProgressMode::Step, 1, total, ++done);
        if (cancelFlag && *cancelFlag) {
            p.cancelled = true;
            break;
        }
        ImportedRecord imported = RecordFromReference(ref, today);
        int code = 0;
        if (!imported.jpName.isEmpty()) {
            code = names.code(imported.rec.Style, imported.jpName);
            if (code == 0) {
                const QString key = QString::number(listOf(imported.rec.Style)) + JPnameKey(imported.jpName);
                code = -int(newNames.size()) - 1;
                code = newNames.value(key, code);
                newNames.insert(key, code);
            }
        }
        imported.rec.JPcode = qint16(code);
        const QString key = DupKey(EncodeRecord(imported.rec));
        imported.rec.JPcode = 0;
        const QString doi = imported.pdf.DOI.toLower();
        QString reason;
        if (!doi.isEmpty() && dois.contains(doi))
            reason = QStringLiteral("DOI が%1と同じ").arg(dois.value(doi));
        else if (keys.contains(key))
            reason = QStringLiteral("重複キーが%1と同じ").arg(keys.value(key));
        if (!reason.isEmpty()) {
            p.duplicates << ImportDuplicate{ref.line, shortTitle(imported.rec), reason};
            if (!keepDuplicates)
                continue;
        }
        const QString where = QStringLiteral(" %1 行目の文献").arg(ref.line);
        if (hasKey(key))
            keys.insert(key, where);
        if (!doi.isEmpty())
            dois.insert(doi, where);
        p.records << imported;
        p.lines << ref.line;
    }
    if (progress)
        progress(ProgressMode::Close, 1, total, total);
    if (p.cancelled) {
        p.records.clear();
        p.lines.clear();
        p.error = QStringLiteral("取り込みを中止しました。");
        return p;
    }
    if (p.first - 1 + p.records.size() > kMaxRecords)
        p.error = ImportLimitMessage(p.first - 1, int(p.records.size()));
    return p;
}

ImportOutcome BankImport::assignJPcodes(QList<ImportedRecord> &records)
{
    ImportOutcome out;
    m_bankTable = m_table;
    // The new names of each category, in the order they first come.
    QList<QString> wanted[kJPcategoryCount];
    QSet<QString> seen;
    {
        const NameIndex names(m_table);
        for (const ImportedRecord &r : records) {
            if (r.jpName.isEmpty() || names.code(r.rec.Style, r.jpName) != 0)
                continue;
            const int category = JPcategoryForStyle(r.rec.Style);
            if (const QString key = QString::number(category) + JPnameKey(r.jpName); !seen.contains(key)) {
                seen.insert(key);
                wanted[category] << r.jpName;
            }
        }
    }
    if (seen.isEmpty()) {
        const NameIndex names(m_table);
        for (ImportedRecord &r : records)
            r.rec.JPcode = qint16(r.jpName.isEmpty() ? 0 : names.code(r.rec.Style, r.jpName));
        return out;
    }

    // The free codes: empty and used by no record.
    JPcodeMaintenance maintenance(m_table);
    maintenance.bankPath = bankPath;
    maintenance.confirm = confirm;
    maintenance.mayOverwriteInexact = mayOverwriteInexact;
    maintenance.progress = progress;
    maintenance.cancelFlag = cancelFlag;
    JPoutcome counted = maintenance.countUsage();
    if (counted.status != JPstatus::Done) {
        out.status = counted.status;
        out.message = counted.message;
        return out;
    }
    auto freeCodes = [&](int category) {
        QList<int> codes;
        for (int code = JPcategoryFirst(m_table, category); code <= JPcategoryLast(m_table, category); ++code)
            if (m_table.JPname.value(code).isEmpty() && JPusageOf(maintenance.usage, code) == 0)
                codes << code;
        return codes;
    };
    // A group too small is enlarged as the JP code editor does it.
    for (int category = 0; category < kJPcategoryCount; ++category) {
        while (freeCodes(category).size() < wanted[category].size()) {
            const JPoutcome grown = maintenance.enlarge(category);
            if (grown.status != JPstatus::Done) {
                out.status = grown.status;
                out.message = grown.message;
                return out;
            }
            if (grown.renumbered)
                out.renumbered = out.renumbered ? composed(*out.renumbered, *grown.renumbered) : *grown.renumbered;
            // The bank holds the enlarged table now: a later failure keeps it.
            m_bankTable = m_table;
        }
    }
    m_bankTable = m_table;
    for (int category = 0; category < kJPcategoryCount; ++category) {
        const QList<int> codes = freeCodes(category);
        for (qsizetype i = 0; i < wanted[category].size(); ++i)
            m_table.JPname[codes[i]] = wanted[category][i];
    }
    const NameIndex names(m_table);
    for (ImportedRecord &r : records)
        r.rec.JPcode = qint16(r.jpName.isEmpty() ? 0 : names.code(r.rec.Style, r.jpName));
    return out;
}

ImportOutcome BankImport::apply(ImportPlan &plan)
{
    ImportOutcome out;
    auto fail = [&out](JPstatus status, const QString &message) {
        out.status = status;
        out.message = message;
        return out;
    };
    if (plan.cancelled)
        return fail(JPstatus::Cancelled, QString());
    if (!plan.error.isEmpty())
        return fail(JPstatus::Refused, plan.error);
    if (plan.records.isEmpty())
        return fail(JPstatus::Unchanged, QString());
    QString error;
    const int recCount = RecCountSet(bankPath, &error);
    if (recCount < 0)
        return fail(JPstatus::Failed, error);
    if (recCount != plan.recCount)
        return fail(JPstatus::Failed, QStringLiteral("読み込んでいる間に文献バンクのレコード数が変わりました。"
                                                     "もう一度取り込んでください"));
    const int stored = plan.first - 1; // records kept before the new ones
    if (stored + plan.records.size() > kMaxRecords)
        return fail(JPstatus::Refused, ImportLimitMessage(stored, int(plan.records.size())));

    const ImportOutcome assigned = assignJPcodes(plan.records);
    out.renumbered = assigned.renumbered;
    auto keepBankTable = [&] { m_table = m_bankTable; };
    if (assigned.status != JPstatus::Done) {
        keepBankTable();
        return fail(assigned.status, assigned.message);
    }

    // The new records and URL/DOI entries, with Cancel until the writes.
    const int count = int(plan.records.size());
    QByteArray records;
    records.reserve(qsizetype(count) * kRecordSize);
    bool anyPdf = false;
    if (cancelFlag)
        *cancelFlag = false;
    if (progress)
        progress(ProgressMode::Open, 1, count, 0);
    for (int i = 0; i < count; ++i) {
        records += EncodeRecord(plan.records[i].rec);
        anyPdf = anyPdf || !(plan.records[i].pdf == PdfEntry{});
        if (progress)
            progress(ProgressMode::Step, 1, count, i + 1);
        if (cancelFlag && *cancelFlag)
            break;
    }
    if (progress)
        progress(ProgressMode::Close, 1, count, count);
    if (cancelFlag && *cancelFlag) {
        keepBankTable();
        return fail(JPstatus::Cancelled, QString());
    }

    // 1. The table with the new names.
    const bool tableChanged = !(m_table.JPname == m_bankTable.JPname);
    const bool overwrite = JPcodeReadExactly(m_bankTable) || (mayOverwriteInexact && mayOverwriteInexact());
    if (tableChanged && !JPcodeSaveInBank(bankPath, m_table, &error, overwrite)) {
        keepBankTable();
        return fail(JPstatus::Failed, error);
    }
    auto putTableBack = [&] {
        QString ignored;
        if (tableChanged)
            JPcodeSaveInBank(bankPath, m_bankTable, &ignored, true);
        keepBankTable();
    };
    // 2. The URL/DOI table, entries for every stored record and then the new ones.
    QByteArray oldPdf;
    if (anyPdf) {
        if (!PdfReadBytes(bankPath, oldPdf, &error)) {
            putTableBack();
            return fail(JPstatus::Failed, error);
        }
        QByteArray pdf = oldPdf.left(qsizetype(stored) * kPdfEntrySize);
        pdf.append(QByteArray(qsizetype(stored) * kPdfEntrySize - pdf.size(), ' '));
        for (const ImportedRecord &r : plan.records)
            pdf += EncodePdfEntry(r.pdf);
        if (!PdfWriteWhole(bankPath, pdf, &error)) {
            putTableBack();
            return fail(JPstatus::Failed, error);
        }
    }
    // 3. The records, in one write after the last one.
    if (!RecWriteRun(bankPath, plan.first, records, &error)) {
        if (anyPdf) {
            QString ignored;
            PdfWriteWhole(bankPath, oldPdf, &ignored);
        }
        putTableBack();
        return fail(JPstatus::Failed, error);
    }
    if (tableChanged) {
        m_table.inexactLines.clear();
        m_table.notRead = false;
    }
    out.first = plan.first;
    out.count = count;
    return out;
}

} // namespace tz
