// tessellane-cli jpcode: each action does what the JP code editor does, through
// the same maintenance routines, and refuses what the editor refuses; the
// editor's questions are taken as answered with OK.
#include "cli/jpcode_command.h"
#include "cli/refusal.h"

#include "core/bank/bank_files.h"
#include "core/common/file_io.h"
#include "core/common/file_lookup.h"
#include "core/jpcode/jp_maintenance.h"
#include "core/store/bank_change.h"

#include <QDir>
#include <QFileInfo>

namespace tz {

const char *const kJPcodeUsage = R"(  tessellane-cli jpcode BANKDIR ACTION
      The JP code editor's operations on the bank's JP code table; codes
      that change number are changed in every record too.
        --list [CATEGORY]      the list lines of a category (all four, each
                               under its title, when none is given): code,
                               usage count and name
        --new CATEGORY         print the lowest free code of the category,
                               enlarging it first when it has none
        --set CODE NAME        give a code its name
        --delete CODE          clear the name of a code no record uses
        --move CODE CATEGORY   move a name to the lowest free code of another
                               category; its records follow
        --sort                 sort every category by name
        --copy-from OTHERBANK  replace the table by another bank's (a bank
                               folder or a JP code file)
      CATEGORY: 0..3, "Top Journals", "Common Journals", "Press names",
      "etc.", or T, J, P, E.
)";

namespace {

int category(const QString &text)
{
    const int c = JPcategoryFromText(text);
    if (c < 0)
        refuse(QStringLiteral("unknown category: %1").arg(text));
    return c;
}

int code(const QString &text, const JPcodeTable &table)
{
    bool ok = false;
    const int c = text.trimmed().toInt(&ok);
    if (!ok || c < 1 || c > table.JPendE)
        refuse(QStringLiteral("no JP code %1: the table holds codes 1 to %2").arg(text).arg(table.JPendE));
    return c;
}

// An outcome that is no success ends the command with its message.
JPoutcome check(const JPoutcome &o)
{
    switch (o.status) {
    case JPstatus::Done:
    case JPstatus::Unchanged:
        return o;
    case JPstatus::Cancelled:
        refuse(o.message.isEmpty() ? QStringLiteral("cancelled") : o.message);
    case JPstatus::Refused:
    case JPstatus::Failed:
        break;
    }
    refuse(o.message);
}

void warnings(const JPoutcome &o, QString *told)
{
    if (!o.message.isEmpty())
        *told += o.message + u'\n';
}

} // namespace

int RunJPcodeCommand(const QStringList &args, std::FILE *out, std::FILE *err, QString *error)
{
    try {
        if (args.size() < 4 || args[2].startsWith(QStringLiteral("--")))
            refuse(QStringLiteral("jpcode takes BANKDIR and one action (see --help)"));
        const QString bank = QDir::cleanPath(args[2]);
        if (!IsBank(bank))
            refuse(QStringLiteral("%1: no bank folder with a record.tzd").arg(bank));
        const QString action = args[3];
        const QStringList rest = args.mid(4);
        auto need = [&](int n) {
            if (rest.size() != n)
                refuse(QStringLiteral("%1 takes %2 value(s)").arg(action).arg(n));
        };

        QString e;
        if (!CompleteBankChange(bank, &e))
            refuse(e);
        JPcodeTable table = DefaultJPcodeTable();
        QString told;
        if (const QString file = FindFileNoCase(bank, QString(kJPcodeFileName)); !file.isEmpty())
            if (!JPcodeLoad(file, table, &e))
                told += e + u'\n';
        JPcodeMaintenance ops(table);
        ops.bankPath = bank;

        if (action == u"--list") {
            if (rest.size() > 1)
                refuse(QStringLiteral("--list takes at most one category"));
            check(ops.countUsage());
            for (int c = 0; c < kJPcategoryCount; ++c) {
                if (!rest.isEmpty() && c != category(rest[0]))
                    continue;
                if (rest.isEmpty())
                    print(out, QStringLiteral("JPcode list of %1\n").arg(kJPcategoryCaptions[size_t(c)]));
                for (const QString &line : JPlistLines(table, ops.usage, c))
                    print(out, line + u'\n');
            }
        } else if (action == u"--new") {
            need(1);
            const int c = category(rest[0]);
            JPoutcome o = check(ops.newCode(c));
            warnings(o, &told);
            if (o.code == 0) {
                print(out,
                      QStringLiteral("%1: %2 new codes\n").arg(kJPcategoryCaptions[size_t(c)]).arg(JPcodePlusCount(c)));
                o = check(ops.newCode(c));
            }
            print(out, QStringLiteral("%1\n").arg(o.code));
        } else if (action == u"--set") {
            need(2);
            const int c = code(rest[0], table);
            QString storable;
            table.JPname[c] = JPnameFromText(rest[1], &storable);
            if (!storable.isEmpty())
                told += storable + u'\n';
            warnings(check(ops.save()), &told);
            check(ops.countUsage());
            print(out, JPlistLine(c, JPusageOf(ops.usage, c), table.JPname[c]) + u'\n');
        } else if (action == u"--delete") {
            need(1);
            check(ops.deleteCode(code(rest[0], table)));
            warnings(check(ops.save()), &told);
        } else if (action == u"--move") {
            need(2);
            const int from = code(rest[0], table);
            const int to = category(rest[1]);
            const JPoutcome o = check(ops.moveCode(from, to));
            warnings(o, &told);
            if (o.status == JPstatus::Unchanged)
                print(out, QStringLiteral("%1 is already in %2\n").arg(from).arg(kJPcategoryCaptions[size_t(to)]));
            else
                print(out, QStringLiteral("%1 -> %2\n").arg(from).arg(o.code));
        } else if (action == u"--sort") {
            need(0);
            warnings(check(ops.sort()), &told);
        } else if (action == u"--copy-from") {
            need(1);
            QString from = rest[0];
            if (QFileInfo(from).isDir()) {
                from = FindFileNoCase(from, QString(kJPcodeFileName));
                if (from.isEmpty())
                    refuse(QStringLiteral("%1: the folder holds no %2").arg(rest[0], kJPcodeFileName));
            }
            // A file not read exactly is copied only when a person agrees:
            // here nobody can, so it is refused.
            QString asked;
            const JPoutcome o = CopyJPcodeFile(from, bank, table, [&asked](const QString &question) {
                asked = question;
                return false;
            });
            if (!asked.isEmpty())
                refuse(asked + QStringLiteral("\nnot copied"));
            warnings(check(o), &told);
        } else {
            refuse(QStringLiteral("unknown action: %1 (see --help)").arg(action));
        }
        if (!told.isEmpty())
            std::fputs(told.toUtf8().constData(), err);
        return 0;
    } catch (const Refusal &r) {
        *error = r.message;
        return 2;
    }
}

} // namespace tz
