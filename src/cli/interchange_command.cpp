// tessellane-cli importer, export and doi, through the same routines as the
// card's bank and record menus; the questions the card asks are answered
// with OK, and the report goes to the error output.
#include "cli/interchange_command.h"
#include "cli/refusal.h"

#include "core/bank/bank_files.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/interchange/bank_export.h"
#include "core/interchange/bank_import.h"
#include "core/search/search_engine.h"
#include "core/search/search_kinds.h"
#include "core/store/bank_change.h"
#include "core/store/record_image.h"

#include <QDir>

namespace tz {

const char *const kInterchangeUsage = R"(  tessellane-cli import BANKDIR FILE [--dry-run] [--keep-duplicates]
      Append the references of a RIS, BibTeX or CSL-JSON file (UTF-8, code
      page 932 or UTF-16 with its byte-order mark, told apart by themselves)
      after the last record. The whole file is checked first; a reference
      whose DOI or duplicate key is already in the bank is listed and left
      out unless --keep-duplicates.
      --dry-run lists what would be imported and changes nothing.
  tessellane-cli export BANKDIR --format ris|bibtex|csljson [--kind KIND
                 --keys TEXT [--and]] [--output FILE]
      Write every record (or the hits of a search) with its URL, DOI and
      journal or publisher name.
  tessellane-cli doi BANKDIR DOI [--dry-run]
      Ask doi.org for the reference of a DOI and append it as a new record.
)";

namespace {

QString openBank(const QStringList &args, JPcodeTable &table, QString *told)
{
    if (args.size() < 3 || args[2].startsWith(QStringLiteral("--")))
        refuse(QStringLiteral("missing BANKDIR"));
    const QString bank = QDir::cleanPath(args[2]);
    if (!IsBank(bank))
        refuse(QStringLiteral("%1: no bank folder with a record.tzd").arg(bank));
    QString e;
    if (!CompleteBankChange(bank, &e))
        refuse(e);
    table = DefaultJPcodeTable();
    if (const QString file = FindFileNoCase(bank, QString(kJPcodeFileName)); !file.isEmpty())
        if (!JPcodeLoad(file, table, &e))
            *told += e + u'\n';
    return bank;
}

// Appends the plan (or lists it with dryRun) and prints what happened.
void runImport(BankImport &importer, ImportPlan &plan, bool dryRun, std::FILE *out, std::FILE *err)
{
    for (const QString &line : plan.report())
        print(err, line + u'\n');
    if (!plan.error.isEmpty())
        refuse(plan.error);
    if (dryRun) {
        for (qsizetype i = 0; i < plan.records.size(); ++i) {
            const ImportedRecord &r = plan.records[i];
            print(out, QStringLiteral("%1: %2 | %3 | %4 | %5\n")
                           .arg(plan.lines[i])
                           .arg(r.rec.Author, r.rec.Title, r.jpName)
                           .arg(r.rec.Year));
        }
        print(out, QStringLiteral("would import %1 of %2 references (%3 duplicates %4)\n")
                       .arg(plan.records.size())
                       .arg(plan.entries)
                       .arg(plan.duplicates.size())
                       .arg(plan.duplicatesKept ? QStringLiteral("kept") : QStringLiteral("left out")));
        return;
    }
    const ImportOutcome o = importer.apply(plan);
    if (o.status == JPstatus::Unchanged) {
        print(out, QStringLiteral("imported nothing (%1 duplicates left out)\n").arg(plan.duplicates.size()));
        return;
    }
    if (o.status != JPstatus::Done)
        refuse(o.message.isEmpty() ? QStringLiteral("cancelled") : o.message);
    print(out, QStringLiteral("imported %1 records as %2..%3 (%4 duplicates %5)\n")
                   .arg(o.count)
                   .arg(o.first)
                   .arg(o.first + o.count - 1)
                   .arg(plan.duplicates.size())
                   .arg(plan.duplicatesKept ? QStringLiteral("kept") : QStringLiteral("left out")));
}

int importCommand(const QStringList &args, std::FILE *out, std::FILE *err, QString *told)
{
    JPcodeTable table;
    const QString bank = openBank(args, table, told);
    QString file;
    bool dryRun = false, keep = false;
    for (const QString &a : args.mid(3)) {
        if (a == u"--dry-run")
            dryRun = true;
        else if (a == u"--keep-duplicates")
            keep = true;
        else if (a.startsWith(QStringLiteral("--")) || !file.isEmpty())
            refuse(QStringLiteral("unknown option: %1").arg(a));
        else
            file = a;
    }
    if (file.isEmpty())
        refuse(QStringLiteral("missing FILE"));
    QByteArray bytes;
    QString e;
    if (!ReadFileHead(file, kMaxExchangeFileBytes + 1, bytes, &e))
        refuse(e);
    BankImport importer(table);
    importer.bankPath = bank;
    ImportPlan plan = importer.plan(bytes, keep);
    if (!plan.error.isEmpty() && plan.records.isEmpty() && plan.entries == 0)
        plan.error = file + QStringLiteral(": ") + plan.error;
    runImport(importer, plan, dryRun, out, err);
    return 0;
}

int exportCommand(const QStringList &args, std::FILE *out, QString *told)
{
    JPcodeTable table;
    const QString bank = openBank(args, table, told);
    std::optional<ExchangeFormat> format;
    std::optional<int> kind;
    QString keys, output;
    bool andMode = false;
    for (int i = 3; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                refuse(QStringLiteral("%1 needs a value").arg(a));
            return args[++i];
        };
        if (a == u"--format") {
            format = ExchangeFormatFromName(value());
            if (!format)
                refuse(QStringLiteral("--format takes ris, bibtex or csljson"));
        } else if (a == u"--kind") {
            kind = SearchKindFromText(value());
            if (*kind < 0)
                refuse(QStringLiteral("unknown kind: %1").arg(args[i]));
        } else if (a == u"--keys") {
            keys = value();
        } else if (a == u"--and") {
            andMode = true;
        } else if (a == u"--output") {
            output = value();
        } else {
            refuse(QStringLiteral("unknown option: %1").arg(a));
        }
    }
    if (!format)
        refuse(QStringLiteral("--format is required"));
    QList<int> numbers;
    if (kind) {
        if (KindNeedsKey(*kind) && keys.isEmpty())
            refuse(QStringLiteral("--keys is required for this kind"));
        RecordImage image;
        QString e;
        if (!image.load(bank, &e))
            refuse(e);
        SearchEngine engine(kMaxRecords);
        engine.SearchItem = *kind;
        engine.AndMode = andMode;
        engine.RunSteps(image, keys, table, 0);
        for (int i = 1; i <= engine.HitCount; ++i)
            numbers << engine.HitList[i];
        if (numbers.isEmpty()) {
            print(out, QStringLiteral("no records found: nothing written\n"));
            return 0;
        }
    }
    QString e;
    if (output.isEmpty()) {
        QList<Reference> refs;
        if (!ExportReferences(bank, table, numbers, refs, &e))
            refuse(e);
        const QByteArray bytes = WriteExchange(*format, refs);
        if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out) != size_t(bytes.size()))
            refuse(QStringLiteral("cannot write to the standard output"));
        return 0;
    }
    int count = 0;
    if (!ExportBankFile(bank, table, numbers, *format, output, &count, &e))
        refuse(e);
    print(out, QStringLiteral("wrote %1 references to %2\n").arg(count).arg(output));
    return 0;
}

int doiCommand(const QStringList &args, std::FILE *out, std::FILE *err, QString *told, const DoiLookUp &lookUp)
{
    JPcodeTable table;
    const QString bank = openBank(args, table, told);
    QString doi;
    bool dryRun = false;
    for (const QString &a : args.mid(3)) {
        if (a == u"--dry-run")
            dryRun = true;
        else if (a.startsWith(QStringLiteral("--")) || !doi.isEmpty())
            refuse(QStringLiteral("unknown option: %1").arg(a));
        else
            doi = a;
    }
    if (doi.isEmpty())
        refuse(QStringLiteral("missing DOI"));
    const DoiAnswer answer = lookUp(doi);
    if (!answer.ok)
        refuse(answer.error);
    BankImport importer(table);
    importer.bankPath = bank;
    ImportPlan plan = importer.plan({answer.ref});
    runImport(importer, plan, dryRun, out, err);
    return 0;
}

} // namespace

int RunInterchangeCommand(const QStringList &args, std::FILE *out, std::FILE *err, QString *error,
                          const DoiLookUp &lookUp)
{
    try {
        QString told;
        int status = 0;
        const QString command = args.value(1);
        if (command == u"import")
            status = importCommand(args, out, err, &told);
        else if (command == u"export")
            status = exportCommand(args, out, &told);
        else if (lookUp)
            status = doiCommand(args, out, err, &told, lookUp);
        else
            refuse(QStringLiteral("unknown command: %1").arg(command));
        if (!told.isEmpty())
            print(err, told);
        return status;
    } catch (const Refusal &r) {
        *error = r.message;
        return 2;
    }
}

} // namespace tz
