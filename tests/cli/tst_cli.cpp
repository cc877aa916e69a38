// The command-line program's commands, run in the test's process on a small
// bank, also under injected file failures; the JP code operations on a
// hand-made bank. (Every shipped form in every
// shipped script is read back by real parsers in tst_cli_formats.)
#include "cli/cli.h"
#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/jpcode/jp_maintenance.h"
#include "core/store/jpcode.h"
#include "core/store/link_table.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"
#include "support/jp_bank.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

using namespace tz;
using namespace tz::testing;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// The commands with `line`'s arguments separated by "|"; what they print to
// the terminal is kept (or goes to outFile).
Run run(const QString &line, const char *outFile = nullptr)
{
    char *out = nullptr, *err = nullptr;
    size_t outSize = 0, errSize = 0;
    std::FILE *outStream = outFile ? std::fopen(outFile, "w") : open_memstream(&out, &outSize);
    std::FILE *errStream = open_memstream(&err, &errSize);
    const int exitCode =
        RunCli(QStringList{"tessellane-cli"} + line.split(u'|', Qt::SkipEmptyParts), outStream, errStream);
    std::fclose(outStream);
    std::fclose(errStream);
    const Run r{exitCode, QByteArray(out, qsizetype(outSize)), QString::fromUtf8(err, qsizetype(errSize))};
    std::free(out);
    std::free(err);
    return r;
}

// clang-format off
Record reference(int style, const char *author, const char *title, int year, int jpcode)
{
    return {qint16(style), {}, author, title, qint16(jpcode), "12", "100", "109", qint16(year), "E.Editor",
            "A Book of Genes", "gene", 45000};
}
// clang-format on

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_bank;

    // `line` with BANK the test bank, NONE a folder that does not exist, DIR
    // a folder without records at the start of an argument.
    QString args(const QString &line) const
    {
        const QList<std::pair<QString, QString>> names{
            {"BANK", m_bank}, {"NONE", m_dir.filePath("none.bnk")}, {"DIR", m_dir.path()}};
        QStringList out = line.split(u'|');
        for (QString &a : out)
            for (const auto &[name, path] : names)
                if (a.startsWith(name))
                    a.replace(0, name.size(), path);
        return out.join(u'|');
    }

private Q_SLOTS:
    // A bank made by the program, then filled: five references of all four
    // styles, one with a Japanese title, JP code names, one link and one URL;
    // "info" tells the figures before and after.
    void initTestCase()
    {
        m_bank = m_dir.filePath(QStringLiteral("sample.bnk"));
        const Run made = run(args("new|BANK"));
        QVERIFY(made.exitCode == 0 && made.out.startsWith("created "));
        // clang-format off
        const QList<Record> records{reference(1, "J.Smith, K.Lee", "Gene maps of mice.", 1995, 3),
            reference(2, "A.Jones", "Gene expression.", 1980, 120), reference(3, "B.Brown", "Genes.", 2001, 130),
            reference(4, "C.White", "A gene report.", 2010, 0), reference(1, "山田太郎", "日本語の標題", 1999, 3)};
        // clang-format on
        for (int n = 1; n <= records.size(); ++n)
            QVERIFY(RecWrite(m_bank, n, records[n - 1], true));
        JPcodeTable jp = DefaultJPcodeTable();
        jp.JPname[3] = "J. Biol. 生物誌", jp.JPname[120] = "Academic Press", jp.JPname[130] = "Springer";
        QVERIFY(JPcodeSave(QDir(m_bank).filePath(QString(kJPcodeFileName)), jp));
        QVERIFY(LinkWrite(m_bank, 1, "3", {}) && PdfWrite(m_bank, 2, {"https://example.org/a", {}}, true));
        const QByteArray info = run(args("info|BANK")).out;
        QVERIFY2(info.contains("records: 5\nJP code group ends: T 20, J 100, P 150, E 200\nlink pairs: 1\n"
                               "URL/DOI entries: 1\n"),
                 info.constData());
    }

    // The options after "search BANK", and the records listed. Form 1 sorts
    // by author, form 2 by record number, form 7 by year, newest first.
    void hitsInTheFormsOrder_data()
    {
        // clang-format off
        rows::table({"options", "hits"}, {
            {"--kind|Free Keyword|--keys|gene|--form|1", "3 2 1 4 5"},
            {"--kind|Title + Keyword|--keys|gene|--form|7", "4 3 5 1 2"},
            {"--kind|Record|--keys|5,2 4|--form|2", "5 2 4"},
            {"--kind|4|--keys|3|--form|2", "1 5"}, {"--kind|0|--keys|gene mice|--and", "1"},
            {"--kind|3|--keys|maps mice|--no-unique|--form|2", "1 1"}, {"--kind|2|--keys|smith|--case", ""},
            {"--kind|3|--keys|gene|--additional|4,1|--no-unique|--form|2", "1 1 4 4"},
        });
        // clang-format on
    }
    void hitsInTheFormsOrder()
    {
        const Run r = run(args("search|BANK|--hits-only|") + rows::text("options"));
        const QString hits = rows::text("hits");
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, hits.isEmpty() ? QByteArray() : QString(hits + u' ').replace(u' ', u'\n').toLatin1());
    }

    // The whole command line, and the start of the message; exit code 2.
    void errors_data()
    {
        // clang-format off
        rows::table({"line", "message"}, {
            {"", "Usage:"}, {"search|NONE|--kind|Blank", "no such bank folder"},
            {"search|DIR|--kind|Blank", "holds no record.tzd"}, {"new|BANK", "already exists"},
            {"search|BANK", "--kind is required"}, {"search|BANK|--kind|13", "unknown kind: 13"},
            {"search|BANK|--kind|Year", "--keys is required"},
            {"search|BANK|--kind|Blank|--form|9", "--form 9: there are 8"},
            {"search|BANK|--kind|Blank|--script|0", "--script 0: there are 5"},
            {"search|BANK|--kind|Blank|--forms|NONE", "none.bnk"},
            {"search|BANK|--kind|Blank|--fast", "unknown option: --fast"},
            {"search|BANK|--kind|Blank|--max-hits|abc", "--max-hits takes a number from 1 to 32767"},
            {"search|BANK|--kind|9|--current|6", "--current 6: the bank holds 5"},
            {"search|BANK|--kind|Year|--keys|1995|--additional|1,x", "--additional takes a number"},
            {"search|BANK|--kind|Year|--keys|1995|--output|DIR/no/such/list.txt", "list.txt"},
        });
        // clang-format on
    }
    void errors()
    {
        const Run r = run(args(rows::text("line")));
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(rows::text("message")) && r.out.isEmpty(), qPrintable(r.err));
    }

    // The list in code page 932 goes to a file as to the terminal (the
    // encodings of every script are checked in tst_cli_formats). The automatic
    // similar check without hits shows nothing at all.
    void outputFile()
    {
        const QString search = args("search|BANK|--kind|Record|--keys|5|--script|1|--encoding|cp932");
        const QString path = m_dir.filePath(QStringLiteral("list.txt"));
        const Run shown = run(search), saved = run(search + "|--output|" + path);
        QVERIFY(shown.out.contains("\x93\xfa\x96\x7b\x8c\xea")); // 日本語
        QVERIFY(saved.exitCode == 0 && saved.out.isEmpty() && readFile(path) == shown.out);
        QCOMPARE(run(args("search|BANK|--kind|10|--current|2")).out, QByteArray());
    }

    // An output file or a bank that cannot be written whole fails with exit
    // status 2 and the system's reason; what was there stays as it was, and
    // no half-made bank or temporary file is left.
    void failedWritesExitWith2_data()
    {
        QTest::addColumn<bool>("makeBank");
        QTest::addColumn<QString>("point");
        for (const bool makeBank : {false, true})
            for (const char *point : {"create", "start", "midway", "commit"})
                QTest::addRow("%s at %s", makeBank ? "make-bank" : "--output", point) << makeBank << QString(point);
    }
    void failedWritesExitWith2()
    {
        QFETCH(bool, makeBank);
        QFETCH(QString, point);
        QTemporaryDir dir, scratch;
        const QString command = makeBank ? "make-bank|" TZ_SOURCE_DATA "/sample|%1/x.bnk"
                                         : "search|" + m_bank +
                                               "|--kind|0|--keys|gene|--forms|" TZ_SOURCE_DATA
                                               "/form.cfx|--scripts|" TZ_SOURCE_DATA "/script.cfx|--output|%1/list.txt";
        QVERIFY(writeFile(dir.filePath("list.txt"), {}));
        qint64 total = 0;
        {
            FileFaultScope count({FileStep::Write, ENOSPC, std::numeric_limits<qint64>::max()});
            QCOMPARE(run(command.arg(scratch.path())).exitCode, 0);
            total = count.bytesThrough();
        }
        const FileFault fault = point == "create"   ? FileFault{FileStep::Create, EROFS}
                                : point == "start"  ? FileFault{FileStep::Write, ENOSPC, 0}
                                : point == "midway" ? FileFault{FileStep::Write, ENOSPC, total / 2}
                                                    : FileFault{FileStep::Rename, EIO, 0, makeBank ? 3 : 0};
        const QMap<QString, QByteArray> before = folderSnapshot(dir.path());
        FileFaultScope scope(fault); // make-bank's last rename gives the bank its name
        const Run r = run(command.arg(dir.path()));
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.startsWith("tessellane-cli: ") && r.err.contains(SystemReason(fault.error)) &&
                     r.err.contains(makeBank ? "x.bnk" : "list.txt"),
                 qPrintable(r.err));
        QCOMPARE(folderSnapshot(dir.path()), before);
    }

    // What a killed make-bank left is cleared by the next run, never taken
    // for the bank; a bank that exists is never written over.
    void makeBankAfterAKill()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("x.bnk"), left = BuildingFolderFor(target);
        QVERIFY(QDir().mkpath(left) && writeFile(left + "/record.tzd", QByteArray(600, 'x')));
        const QString line = "make-bank|" TZ_SOURCE_DATA "/sample|" + target;
        QCOMPARE(run(line).exitCode, 0);
        QVERIFY(!QFileInfo::exists(left) && QFileInfo(target + "/record.tzd").size() % kRecordSize == 0);
        const Run again = run(line);
        QVERIFY2(again.exitCode == 2 && again.err.contains("already exists"), qPrintable(again.err));
    }

    // jpcode: the editor's operations one after the other on a hand-made bank,
    // what each prints, its refusals with status 2, and the records following
    // every renumbering.
    void jpcodeOperations()
    {
        QTemporaryDir dir;
        const QString bank = dir.filePath("b.bnk"), other = dir.filePath("o.bnk");
        const QMap<int, QString> names{{1, "Top"}, {2, "Alpha"}, {3, "Beta"}, {5, "Zeta"}, {7, "Press"}};
        writeJPbank(bank, jpTable(3, 6, 8, 10, names), {{5, 2}, {7, 1}, {2, 1}});
        // The arguments after the bank, the status, what stdout holds (when not
        // empty) or stderr says.
        // clang-format off
        const QList<std::tuple<QString, int, QString>> steps{
            {"--list|Common Journals", 0, "   4  (     )    \n   5  (    2)    Zeta\n   6  (     )    \n"},
            {"--new|J", 0, "4\n"}, {"--set|4| Nature ", 0, "   4  (     )    Nature\n"},
            {"--delete|5", 2, kMsgCodeInUse}, {"--delete|4", 0, ""}, {"--move|7|E", 0, "7 -> 9\n"},
            {"--move|9|3", 0, "9 is already in etc.\n"}, // a category by its number
            {"--new|T", 0, "Top Journals: 10 new codes\n4\n"}, {"--sort", 0, ""},
            {"--move|1|X", 2, "unknown category: X"}, {"--delete|99", 2, "no JP code 99: the table holds codes 1 to 60"},
        };
        // clang-format on
        for (const auto &[line, status, text] : steps) {
            const Run r = run("jpcode|" + bank + u'|' + line);
            const QString what = line + ": " + QString::fromUtf8(r.out) + r.err;
            QVERIFY2(r.exitCode == status && (status ? r.err.contains(text) : text.isEmpty() || r.out == text.toUtf8()),
                     qPrintable(what));
            QVERIFY2(journalFault(bank).isEmpty(), qPrintable(what + journalFault(bank)));
        }
        // The move gave the publisher's record style 4; the sort kept the names in order.
        QCOMPARE(storedTable(bank).JPname.mid(1, 4), (QStringList{"Alpha", "Beta", "Top", QString()}));
        QCOMPARE(storedRecords(bank)[2].Style, qint16(4));
        QVERIFY(run(args("jpcode|NONE|--sort")).err.contains("no bank folder"));

        // Another bank's table; one not read exactly is refused.
        writeJPbank(other, jpTable(1, 2, 3, 4, {{1, "Copied"}}), {});
        QCOMPARE(run("jpcode|" + bank + "|--copy-from|" + other).exitCode, 0);
        QCOMPARE(readFile(bank + "/JPcode.tzd"), readFile(other + "/JPcode.tzd"));
        writeFile(other + "/JPcode.tzd", "3d\r\n1-1-1-1\r\n\x82\r\n");
        const Run refused = run("jpcode|" + bank + "|--copy-from|" + other);
        QVERIFY(refused.exitCode == 2 && refused.err.contains("not copied"));
        QCOMPARE(storedTable(bank).JPname[1], QStringLiteral("Copied"));
    }

    // A list that cannot be written to the terminal is an error, not success.
    void fullOutputDevice()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full");
        const Run r = run(args("search|BANK|--kind|Free Keyword|--keys|gene"), "/dev/full");
        QVERIFY2(r.exitCode == 2 && r.err.contains("cannot write"), qPrintable(r.err));
        QCOMPARE(run(args("info|BANK"), "/dev/full").exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
