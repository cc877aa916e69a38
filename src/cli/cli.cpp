// The commands of tessellane-cli: the bank and the reference-list engine
// without windows.
#include "cli/cli.h"
#include "cli/interchange_command.h"
#include "cli/jpcode_command.h"

#include "core/bank/bank_convert.h"
#include "core/bank/bank_files.h"
#include "core/bank/sample_bank.h"
#include "core/common/cp932.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/format/form_file.h"
#include "core/format/script_file.h"
#include "core/format/script_output.h"
#include "core/search/result_file.h"
#include "core/search/search_engine.h"
#include "core/search/search_render.h"
#include "core/session/app_folder.h"
#include "core/store/jpcode.h"
#include "core/store/link_table.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <optional>

using namespace tz;

namespace {

const char *const kCommands = R"(Usage:
  tessellane-cli new BANKDIR
      Create a bank folder with one blank record, the default JP code table
      and empty link and URL/DOI tables.
  tessellane-cli info BANKDIR
      Print the record count, the ends of the four JP code groups and the
      number of link pairs and of records with a URL or DOI.
  tessellane-cli make-bank SOURCEDIR BANKDIR
      Write a new bank from a readable source folder holding jpcodes.txt
      and records.txt (the format is described at the top of each file).
  tessellane-cli convert OLDBANKDIR BANKDIR
      Convert a bank of the program's version 2 (a folder holding memo.dat,
      person.dat, phrase.dat, year.dat, index.dat, reconow.dat, jpcode.dat,
      link.dat and JPcount.dat) into a new bank folder; a bank already there
      is kept as NAME.bak.
  tessellane-cli search BANKDIR --kind KIND [options]
      Search the bank and print the reference list (search --help: its options).
)";

const char *const kSearchUsage = R"(Usage: tessellane-cli search BANKDIR --kind KIND [options]

Search options:
  --kind KIND          Free Keyword | Memo | Author + Editor | Title + Keyword |
                       JPcode | Year | Record | Blank | Dbl_booked, or 0..12
                       (9, 10 similar records, 11 current record, 12 linked records)
  --keys TEXT          words or numbers (ranges such as 1990-1995)
  --and                AND search (words only)
  --no-unique          allow a record more than once
  --case               compare capitals (default: ignore capitals)
  --top-word           a word counts only at the start
  --additional LIST    start from this hit list (e.g. 3,8,9) in list-append mode
  --current N          the card's record for kinds 9 and 10
  --max-hits N         size of the hit list (default 200)
  --form N|NAME        output form (default 1)
  --script N|NAME      script (default 1)
  --forms FILE         form file (default: the shipped form.cfx)
  --scripts FILE       script file (default: the shipped script.cfx)
  --hits-only          print the record numbers of the hits, one per line,
                       in the order of the form's sort
  --output FILE        write to FILE instead of the terminal
  --encoding ENC       utf8 or cp932 (the bytes the program saves)

The list is written in the encoding its script declares: code page 932 for
a header declaring Shift_JIS (or Windows-31J, cp932, RTF's \ansicpg932),
UTF-8 for one declaring UTF-8 or nothing. --encoding chooses for a script
that declares nothing; one that contradicts the declaration is an error.
The list ends with a line break (CR LF), as the program's saved list does.
A script whose header declares any other encoding cannot be written.
)";

const char *const kExitStatus = R"(
Exit status: 0 on success, 2 on an error (with a message).
)";

struct Failure
{
    QString message;
};

[[noreturn]] void fail(const QString &message)
{
    throw Failure{message};
}

// Where a command writes its results and its warnings.
struct Io
{
    std::FILE *out;
    std::FILE *err;

    void print(const QString &text) const { std::fputs(text.toUtf8().constData(), out); }
    void warn(const QStringList &report) const
    {
        for (const QString &line : report)
            std::fprintf(err, "%s\n", line.toUtf8().constData());
    }
};

// The bytes of a regular file, at most maxBytes of them; a failure ends the command.
QByteArray readRegular(const QString &path, qint64 maxBytes)
{
    QString error;
    QByteArray bytes;
    if (!ReadFileHead(path, maxBytes, bytes, &error))
        fail(error);
    return bytes;
}

QString bankArgument(const QStringList &args)
{
    if (args.size() < 3 || args[2].startsWith(QStringLiteral("--")))
        fail(QStringLiteral("missing BANKDIR"));
    return QDir::cleanPath(args[2]);
}

void requireBank(const QString &bank)
{
    if (!QFileInfo(bank).isDir())
        fail(QStringLiteral("%1: no such bank folder").arg(bank));
    if (!IsBank(bank))
        fail(QStringLiteral("%1: the folder holds no record.tzd").arg(bank));
}

int commandNew(const QStringList &args, const Io &io)
{
    const QString bank = bankArgument(args);
    if (IsBank(bank))
        fail(QStringLiteral("%1: a bank already exists there").arg(bank));
    QString error;
    if (!CreateBank(bank, QDate::currentDate(), &error))
        fail(error);
    io.print(QStringLiteral("created %1\n").arg(bank));
    return 0;
}

// The JP code table of a bank, read without writing anything.
JPcodeTable readJPcodes(const QString &bank)
{
    const QString path = FindFileNoCase(bank, QString(kJPcodeFileName));
    if (path.isEmpty())
        return DefaultJPcodeTable();
    return ParseJPcode(readRegular(path, 64 * 1024 * 1024));
}

int commandInfo(const QStringList &args, const Io &io)
{
    const QString bank = bankArgument(args);
    requireBank(bank);
    QString error;
    const int count = RecCountSet(bank, &error);
    if (count < 0)
        fail(error);
    const JPcodeTable jp = readJPcodes(bank);
    const QList<LinkPair> links = LinkReadAll(bank, count, &error);
    if (!error.isEmpty())
        fail(error);
    const QList<PdfEntry> pdf = PdfReadAll(bank, &error);
    if (!error.isEmpty())
        fail(error);
    int withAddress = 0;
    for (const PdfEntry &e : pdf)
        if (!e.URL.trimmed().isEmpty() || !e.DOI.trimmed().isEmpty())
            ++withAddress;
    io.print(QStringLiteral("bank: %1\n").arg(bank));
    io.print(QStringLiteral("records: %1\n").arg(count));
    io.print(QStringLiteral("JP code group ends: T %1, J %2, P %3, E %4\n")
                 .arg(jp.JPendT)
                 .arg(jp.JPendJ)
                 .arg(jp.JPendP)
                 .arg(jp.JPendE));
    io.print(QStringLiteral("link pairs: %1\n").arg(links.size()));
    io.print(QStringLiteral("URL/DOI entries: %1\n").arg(withAddress));
    return 0;
}

int parseKind(const QString &text)
{
    const int kind = SearchKindFromText(text);
    if (kind < 0)
        fail(QStringLiteral("unknown kind: %1").arg(text));
    return kind;
}

int parseNumber(const QString &option, const QString &text, int lo, int hi)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < lo || n > hi)
        fail(QStringLiteral("%1 takes a number from %2 to %3, not \"%4\"").arg(option).arg(lo).arg(hi).arg(text));
    return n;
}

// A table entry chosen by number or by name.
template <typename Named> int choose(const QString &option, const QString &text, int count, Named name)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok) {
        if (n < 1 || n > count)
            fail(QStringLiteral("%1 %2: there are %3").arg(option, text).arg(count));
        return n;
    }
    for (int k = 1; k <= count; ++k)
        if (name(k).compare(text, Qt::CaseInsensitive) == 0)
            return k;
    fail(QStringLiteral("%1: no entry named \"%2\"").arg(option, text));
}

int commandMakeBank(const QStringList &args, const Io &io)
{
    if (args.size() != 4)
        fail(QStringLiteral("make-bank takes SOURCEDIR and BANKDIR"));
    const QString bank = QDir::cleanPath(args[3]);
    SampleSource source;
    QStringList errors;
    if (!ReadSampleSource(args[2], QDate::currentDate(), source, errors)) {
        io.warn(errors);
        fail(QStringLiteral("%1: %2 fault(s); no bank written").arg(args[2]).arg(errors.size()));
    }
    QString error;
    if (!WriteSampleBank(source, bank, &error))
        fail(error);
    io.print(QStringLiteral("wrote %1: %2 records\n").arg(bank).arg(source.records.size()));
    return 0;
}

int commandConvert(const QStringList &args, const Io &io)
{
    if (args.size() != 4)
        fail(QStringLiteral("convert takes OLDBANKDIR and BANKDIR"));
    QString error, kept;
    if (!ConvertOldBank(QDir::cleanPath(args[2]), QDir::cleanPath(args[3]), QDate::currentDate(), {}, &error, &kept))
        fail(error);
    if (!kept.isEmpty())
        io.print(QStringLiteral("kept the bank that was there as %1\n").arg(kept));
    io.print(QStringLiteral("converted %1 into %2\n").arg(args[2], args[3]));
    return 0;
}

// Whether the list is written in code page 932 (else UTF-8): as the script's
// header declares; `encoding` ("utf8", "cp932" or empty) chooses when it
// declares nothing and must not contradict a declaration.
bool writesCp932(const Script &script, const QString &encoding)
{
    QString declared;
    switch (DeclaredEncodingOf(script.header, &declared)) {
    case DeclaredEncoding::None:
        return encoding == u"cp932";
    case DeclaredEncoding::Cp932:
        if (encoding == u"utf8")
            fail(QStringLiteral("--encoding utf8 contradicts the encoding %1 that script \"%2\" declares")
                     .arg(declared, script.name));
        return true;
    case DeclaredEncoding::Utf8:
        if (encoding == u"cp932")
            fail(QStringLiteral("--encoding cp932 contradicts the encoding %1 that script \"%2\" declares")
                     .arg(declared, script.name));
        return false;
    case DeclaredEncoding::Other:
        break;
    }
    fail(QStringLiteral("script \"%1\" declares the encoding %2; the list can be written in cp932 or utf8 only")
             .arg(script.name, declared));
}

int searchHelp(const Io &io)
{
    io.print(QString::fromUtf8(kSearchUsage) + QString::fromUtf8(kExitStatus));
    return 0;
}

int commandSearch(const QStringList &args, const Io &io)
{
    if (args.size() > 2 && (args[2] == u"--help" || args[2] == u"-h"))
        return searchHelp(io);
    const QString bank = bankArgument(args);
    std::optional<int> kind;
    QString keys, additional, formArg = QStringLiteral("1"), scriptArg = QStringLiteral("1");
    QString formsFile, scriptsFile, output, encoding;
    int current = 0, maxHits = 200;
    bool andMode = false, unique = true, ignoreCase = true, topWord = false, hitsOnly = false;
    for (int i = 3; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                fail(QStringLiteral("%1 needs a value").arg(a));
            return args[++i];
        };
        if (a == u"--help" || a == u"-h")
            return searchHelp(io);
        if (a == u"--kind")
            kind = parseKind(value());
        else if (a == u"--keys")
            keys = value();
        else if (a == u"--and")
            andMode = true;
        else if (a == u"--no-unique")
            unique = false;
        else if (a == u"--case")
            ignoreCase = false;
        else if (a == u"--top-word")
            topWord = true;
        else if (a == u"--additional")
            additional = value();
        else if (a == u"--current")
            current = parseNumber(a, value(), 1, kMaxRecords);
        else if (a == u"--max-hits")
            maxHits = parseNumber(a, value(), 1, kMaxRecords);
        else if (a == u"--form")
            formArg = value();
        else if (a == u"--script")
            scriptArg = value();
        else if (a == u"--forms")
            formsFile = value();
        else if (a == u"--scripts")
            scriptsFile = value();
        else if (a == u"--hits-only")
            hitsOnly = true;
        else if (a == u"--output")
            output = value();
        else if (a == u"--encoding") {
            encoding = value().toLower();
            if (encoding != u"utf8" && encoding != u"cp932")
                fail(QStringLiteral("--encoding takes utf8 or cp932"));
        } else
            fail(QStringLiteral("unknown option: %1").arg(a));
    }
    if (!kind)
        fail(QStringLiteral("--kind is required"));
    requireBank(bank);

    // Forms and scripts.
    const QString defaults = DefaultsFolder();
    QStringList report;
    auto readDefinition = [&](const QString &given, const QString &shipped) {
        const QString path = given.isEmpty() ? QDir(defaults).filePath(shipped) : given;
        return std::make_pair(readRegular(path, 16 * 1024 * 1024), QFileInfo(path).fileName());
    };
    const auto [formBytes, formName] = readDefinition(formsFile, QStringLiteral("form.cfx"));
    const FormTable forms = ParseFormFile(formBytes, formName, report);
    const auto [scriptBytes, scriptName] = readDefinition(scriptsFile, QStringLiteral("script.cfx"));
    const ScriptTable scripts = ParseScriptFile(scriptBytes, scriptName, report);
    io.warn(report);
    // A search with nothing to render it with says so instead of printing nothing.
    if (forms.FormCount < 1)
        fail(QStringLiteral("%1 holds no output forms: the list cannot be written").arg(formName));
    if (scripts.ScriptCount < 1 && !hitsOnly)
        fail(QStringLiteral("%1 holds no scripts: the list cannot be written").arg(scriptName));
    const int formNo =
        choose(QStringLiteral("--form"), formArg, forms.FormCount, [&](int k) { return forms.form(k).name; });
    const int scriptNo = hitsOnly ? 1 : choose(QStringLiteral("--script"), scriptArg, scripts.ScriptCount, [&](int k) {
        return scripts.script(k).name;
    });
    const bool cp932Bytes = hitsOnly ? encoding == u"cp932" : writesCp932(scripts.script(scriptNo), encoding);

    // The bank.
    QString error;
    RecordImage image;
    if (!image.load(bank, &error))
        fail(error);
    const JPcodeTable jp = readJPcodes(bank);
    const QByteArray links = ReadLinkBytes(bank, &error);
    if (!error.isEmpty())
        fail(error);

    // The search.
    SearchEngine engine(maxHits);
    engine.SearchItem = *kind;
    engine.AndMode = andMode;
    engine.CheckMode[CheckUnique] = unique;
    engine.CheckMode[CheckIgnoreCase] = ignoreCase;
    engine.CheckMode[CheckTopWord] = topWord;
    if (!additional.isEmpty()) {
        engine.CheckMode[CheckAdditional] = true;
        const QStringList items = additional.split(u',', Qt::SkipEmptyParts);
        for (const QString &item : items) {
            if (engine.HitCount >= engine.MaxHits)
                break;
            engine.HitList[++engine.HitCount] =
                static_cast<qint16>(parseNumber(QStringLiteral("--additional"), item.trimmed(), 1, kMaxRecords));
        }
    }
    // A key of blanks alone (a full-width space) is searched, as the window searches it.
    if (KindNeedsKey(*kind) && keys.isEmpty())
        fail(QStringLiteral("--keys is required for this kind"));
    if ((*kind == KindSimilar || *kind == KindSimilarAuto) && current == 0)
        fail(QStringLiteral("--current is required for similar records"));
    if (current > image.RecCount())
        fail(QStringLiteral("--current %1: the bank holds %2 records").arg(current).arg(image.RecCount()));
    engine.RunSteps(image, keys, jp, current);

    // The list, rendered as the search window renders it.
    const QString bankName = QFileInfo(bank).completeBaseName();
    const SearchRenderBank renderBank{bankName, jp, forms.form(formNo), scripts.script(scriptNo)};
    QString text;
    if (hitsOnly) {
        SortHits(engine.HitList, engine.HitCount, SearchRenderContext(engine, image, links, renderBank));
        for (int i = 1; i <= engine.HitCount; ++i)
            text += QString::number(engine.HitList[i]) + u'\n';
    } else if (!(*kind == KindSimilarAuto && engine.HitCount == 0)) {
        // The bytes the search window saves: CR LF line ends and one more CR LF.
        text = ResultFileText(RenderHits(engine, image, links, renderBank).value_or(QString()));
    }

    bool lossy = false;
    const QByteArray bytes = cp932Bytes ? cp932::encode(text, &lossy) : text.toUtf8();
    if (lossy)
        std::fprintf(io.err, "some characters cannot be written in code page 932 and were written as \"?\"\n");
    if (output.isEmpty()) {
        const size_t size = static_cast<size_t>(bytes.size());
        if (std::fwrite(bytes.constData(), 1, size, io.out) != size)
            fail(QStringLiteral("cannot write to the standard output"));
        return 0;
    }
    if (!WriteFileAtomic(output, bytes, &error))
        fail(error);
    return 0;
}

} // namespace

namespace tz {

int RunCli(const QStringList &args, std::FILE *out, std::FILE *err)
{
    const Io io{out, err};
    const QString command = args.value(1);
    if (command.isEmpty() || command == u"--help" || command == u"-h" || command == u"help") {
        std::FILE *to = command.isEmpty() ? err : out;
        std::fputs(kCommands, to);
        std::fputs(kJPcodeUsage, to);
        std::fputs(kInterchangeUsage, to);
        std::fputs("\n", to);
        std::fputs(kSearchUsage, to);
        std::fputs(kExitStatus, to);
        return command.isEmpty() ? 2 : 0;
    }
    try {
        int status = 0;
        if (command == u"new")
            status = commandNew(args, io);
        else if (command == u"info")
            status = commandInfo(args, io);
        else if (command == u"make-bank")
            status = commandMakeBank(args, io);
        else if (command == u"convert")
            status = commandConvert(args, io);
        else if (command == u"search")
            status = commandSearch(args, io);
        else if (command == u"jpcode") {
            QString error;
            status = RunJPcodeCommand(args, out, err, &error);
            if (status != 0)
                fail(error);
        } else if (command == u"import" || command == u"export") {
            QString error;
            status = RunInterchangeCommand(args, out, err, &error);
            if (status != 0)
                fail(error);
        } else if (command == u"doi") {
            QString error;
            status = RunDoiCommand(args, out, err, &error);
            if (status != 0 && !error.isEmpty())
                fail(error);
        } else
            fail(QStringLiteral("unknown command: %1 (see --help)").arg(command));
        // What could not be written (a full disk, a closed pipe) is a failure.
        if (std::fflush(out) != 0 || std::ferror(out))
            fail(QStringLiteral("cannot write to the standard output"));
        return status;
    } catch (const Failure &f) {
        std::fprintf(err, "tessellane-cli: %s\n", f.message.toUtf8().constData());
        return 2;
    }
}

} // namespace tz
