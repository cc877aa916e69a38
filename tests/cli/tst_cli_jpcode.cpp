// tessellane-cli jpcode: the editor's operations on a bank, run in the test's
// own process one after the other: what each prints, its refusals with
// status 2, and the records following every renumbering.
#include "cli/cli.h"
#include "core/jpcode/jp_maintenance.h"
#include "support/jp_bank.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tz;
using namespace tz::testing;

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

Run jpcode(const QStringList &args)
{
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    Run r;
    r.status = RunCli(QStringList{"tessellane-cli", "jpcode"} + args, out, err);
    auto read = [](std::FILE *f) {
        QByteArray bytes(long(std::ftell(f)), '\0');
        std::rewind(f);
        bytes.resize(qsizetype(std::fread(bytes.data(), 1, size_t(bytes.size()), f)));
        std::fclose(f);
        return QString::fromUtf8(bytes);
    };
    r.out = read(out);
    r.err = read(err);
    return r;
}

} // namespace

class TestCliJPcode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theEditorsOperations()
    {
        QTemporaryDir dir;
        const QString bank = dir.filePath("b.bnk");
        JPcodeTable table = jpTable(3, 6, 8, 10, {{1, "Top"}, {2, "Alpha"}, {3, "Beta"}, {5, "Zeta"}, {7, "Press"}});
        writeJPbank(bank, table, {{5, 2}, {7, 1}, {2, 1}});

        // Every step: the arguments, the status, what stdout holds or stderr says.
        const struct
        {
            QStringList args;
            int status;
            QString out;
        } steps[] = {
            {{bank, "--list", "Common Journals"}, 0, "   4  (     )    \n   5  (    2)    Zeta\n   6  (     )    \n"},
            {{bank, "--new", "J"}, 0, "4\n"},
            {{bank, "--set", "4", " Nature "}, 0, "   4  (     )    Nature\n"},
            {{bank, "--delete", "5"}, 2, kMsgCodeInUse},
            {{bank, "--delete", "4"}, 0, ""},
            {{bank, "--move", "7", "E"}, 0, "7 -> 9\n"},
            {{bank, "--move", "9", "etc."}, 0, "9 is already in etc.\n"},
            {{bank, "--new", "T"}, 0, "Top Journals: 10 new codes\n4\n"},
            {{bank, "--sort"}, 0, ""},
            {{bank, "--list", "0"}, 0, ""},
            {{bank, "--move", "1", "X"}, 2, "unknown category: X"},
            {{bank, "--delete", "99"}, 2, "no JP code 99: the table holds codes 1 to 60"},
            {{dir.filePath("none.bnk"), "--sort"}, 2, "no bank folder"},
        };
        for (const auto &step : steps) {
            const Run r = jpcode(step.args);
            const QString what = step.args.join(u' ') + QStringLiteral(": ") + r.out + r.err;
            QVERIFY2(r.status == step.status, qPrintable(what));
            if (step.status == 0 && !step.out.isEmpty())
                QVERIFY2(r.out == step.out, qPrintable(what));
            if (step.status != 0)
                QVERIFY2(r.err.contains(step.out), qPrintable(what));
            QVERIFY2(journalFault(bank).isEmpty(), qPrintable(what + journalFault(bank)));
        }
        // The move gave the publisher's record style 4; the sort kept the names in order.
        const JPcodeTable t = storedTable(bank);
        QCOMPARE(t.JPname.mid(1, 4), (QStringList{"Alpha", "Beta", "Top", QString()}));
        QCOMPARE(storedRecords(bank)[2].Style, qint16(4));

        // Another bank's table; one not read exactly is refused.
        const QString other = dir.filePath("o.bnk");
        writeJPbank(other, jpTable(1, 2, 3, 4, {{1, "Copied"}}), {});
        QCOMPARE(jpcode({bank, "--copy-from", other}).status, 0);
        QCOMPARE(readFile(bank + "/JPcode.tzd"), readFile(other + "/JPcode.tzd"));
        writeFile(other + "/JPcode.tzd", "3d\r\n1-1-1-1\r\n\x82\r\n");
        const Run refused = jpcode({bank, "--copy-from", other});
        QVERIFY(refused.status == 2 && refused.err.contains("not copied"));
        QCOMPARE(storedTable(bank).JPname[1], QStringLiteral("Copied"));
    }
};

QTEST_GUILESS_MAIN(TestCliJPcode)
#include "tst_cli_jpcode.moc"
