// The command-line program, run as a separate process on a small bank, and
// its commands run in the test's process under injected file failures.
#include "cli/cli.h"
#include "core/common/cp932.h"
#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/store/jpcode.h"
#include "core/store/link_table.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"
#include "support/test_files.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// The program with `line`'s arguments separated by "|".
Run cli(const QString &line, const QString &stdoutFile = {})
{
    QProcess p;
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    p.start(QStringLiteral(TZ_CLI_PATH), line.split(u'|', Qt::SkipEmptyParts));
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The commands in this process; what they print to the terminal is kept.
Run runHere(const QStringList &args)
{
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    Run r;
    r.exitCode = RunCli(QStringList{"tessellane-cli"} + args, out, err);
    auto read = [](std::FILE *f) {
        QByteArray bytes(long(std::ftell(f)), '\0');
        std::rewind(f);
        bytes.resize(qsizetype(std::fread(bytes.data(), 1, size_t(bytes.size()), f)));
        std::fclose(f);
        return bytes;
    };
    r.out = read(out);
    r.err = QString::fromUtf8(read(err));
    return r;
}

const QString kJapaneseTitle = QStringLiteral("日本語の標題");

Record reference(int style, const QString &author, const QString &title, int year, int jpcode)
{
    return Record{qint16(style), {},    author,       title,      qint16(jpcode),    "12",
                  "100",         "109", qint16(year), "E.Editor", "A Book of Genes", "gene",
                  45000};
}

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
        QVERIFY(m_dir.isValid());
        m_bank = m_dir.filePath(QStringLiteral("sample.bnk"));
        const Run made = cli(args("new|BANK"));
        QCOMPARE(made.exitCode, 0);
        QVERIFY(made.out.startsWith("created "));
        const QByteArray info = cli(args("info|BANK")).out;
        for (const char *line : {"records: 1\n", "JP code group ends: T 20, J 100, P 150, E 200\n", "link pairs: 0\n",
                                 "URL/DOI entries: 0\n"})
            QVERIFY2(info.contains(line), info.constData());

        const QList<Record> records{
            reference(1, QStringLiteral("J.Smith, K.Lee"), QStringLiteral("Gene maps of mice."), 1995, 3),
            reference(2, QStringLiteral("A.Jones"), QStringLiteral("Gene expression."), 1980, 120),
            reference(3, QStringLiteral("B.Brown"), QStringLiteral("Genes."), 2001, 130),
            reference(4, QStringLiteral("C.White"), QStringLiteral("A gene report."), 2010, 0),
            reference(1, QStringLiteral("山田太郎"), kJapaneseTitle, 1999, 3),
        };
        for (int n = 1; n <= records.size(); ++n)
            QVERIFY(RecWrite(m_bank, n, records[n - 1], true));
        JPcodeTable jp = DefaultJPcodeTable();
        jp.JPname[3] = QStringLiteral("J. Biol. 生物誌");
        jp.JPname[120] = QStringLiteral("Academic Press");
        jp.JPname[130] = QStringLiteral("Springer");
        QVERIFY(JPcodeSave(QDir(m_bank).filePath(QString(kJPcodeFileName)), jp));
        QVERIFY(LinkWrite(m_bank, 1, QStringLiteral("3"), {}));
        QVERIFY(PdfWrite(m_bank, 2, PdfEntry{QStringLiteral("https://example.org/a"), {}}, true));
        const QByteArray filled = cli(args("info|BANK")).out;
        for (const char *line : {"records: 5\n", "link pairs: 1\n", "URL/DOI entries: 1\n"})
            QVERIFY2(filled.contains(line), filled.constData());
    }

    void everyFormAndScript_data()
    {
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("script");
        for (int form = 1; form <= 7; ++form)
            for (int script = 1; script <= 5; ++script)
                QTest::addRow("form %d, script %d", form, script) << form << script;
    }
    void everyFormAndScript()
    {
        QFETCH(int, form);
        QFETCH(int, script);
        const Run r =
            cli(args("search|BANK|--kind|Free Keyword|--keys|gene|--form|%1|--script|%2").arg(form).arg(script));
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.err.isEmpty());
        const QString text = QString::fromUtf8(r.out);
        QVERIFY2(text.contains(QStringLiteral("( total  5 hits )")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Gene maps of mice.")));
        QVERIFY(!text.contains(u'[')); // every symbol of the word orders was put in
        if (script == 2 || script == 3) {
            QVERIFY(text.startsWith(QStringLiteral("<!DOCTYPE html>\r\n<html>\r\n")));
            QVERIFY(text.contains(QStringLiteral("<meta charset=\"Shift_JIS\">")) && text.contains("<br>\r\n"));
            QVERIFY(text.endsWith(QStringLiteral("</p>\r\n</body>\r\n</html>\r\n")));
        }
    }

    // The options after "search BANK", and the records listed. Form 1 sorts
    // by author, form 2 by record number, form 7 by year, newest first.
    void hitsInTheFormsOrder_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("author ABC") << "--kind|Free Keyword|--keys|gene|--form|1" << QByteArray("3\n2\n1\n4\n5\n");
        QTest::newRow("year 321") << "--kind|Title + Keyword|--keys|gene|--form|7" << QByteArray("4\n3\n5\n1\n2\n");
        QTest::newRow("record kind in key order") << "--kind|Record|--keys|5,2 4|--form|2" << QByteArray("5\n2\n4\n");
        QTest::newRow("JP code") << "--kind|4|--keys|3|--form|2" << QByteArray("1\n5\n");
        QTest::newRow("AND") << "--kind|0|--keys|gene mice|--and" << QByteArray("1\n");
        QTest::newRow("OR repeats") << "--kind|3|--keys|maps mice|--no-unique|--form|2" << QByteArray("1\n1\n");
        QTest::newRow("capitals") << "--kind|2|--keys|smith|--case" << QByteArray();
        QTest::newRow("additional") << "--kind|3|--keys|gene|--additional|4,1|--no-unique|--form|2"
                                    << QByteArray("1\n1\n4\n4\n");
    }
    void hitsInTheFormsOrder()
    {
        QFETCH(QString, options);
        QFETCH(QByteArray, expected);
        const Run r = cli(args("search|BANK|--hits-only|") + options);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, expected);
    }

    // The whole command line, and the start of the message; exit code 2.
    void errors_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const char *line, const char *message) {
            QTest::newRow(name) << QString::fromUtf8(line) << QString::fromUtf8(message);
        };
        row("no command", "", "Usage:");
        row("search: missing bank", "search|NONE|--kind|Blank", "no such bank folder");
        row("search: folder without records", "search|DIR|--kind|Blank", "holds no record.tzd");
        row("new: bank exists", "new|BANK", "already exists");
        row("no kind", "search|BANK", "--kind is required");
        row("kind out of range", "search|BANK|--kind|13", "unknown kind: 13");
        row("no keys", "search|BANK|--kind|Year", "--keys is required");
        row("unknown form number", "search|BANK|--kind|Blank|--form|8", "--form 8: there are 7");
        row("unknown script", "search|BANK|--kind|Blank|--script|0", "--script 0: there are 5");
        row("missing form file", "search|BANK|--kind|Blank|--forms|NONE", "none.bnk");
        row("malformed number", "search|BANK|--kind|Blank|--max-hits|abc", "--max-hits takes a number from 1 to 32767");
        row("unknown option", "search|BANK|--kind|Blank|--fast", "unknown option: --fast");
        row("current record beyond the bank", "search|BANK|--kind|9|--current|6", "--current 6: the bank holds 5");
        row("bad hit list", "search|BANK|--kind|Year|--keys|1995|--additional|1,x", "--additional takes a number");
        row("unwritable output", "search|BANK|--kind|Year|--keys|1995|--output|DIR/no/such/list.txt", "list.txt");
    }
    void errors()
    {
        QFETCH(QString, line);
        QFETCH(QString, message);
        const Run r = cli(args(line));
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }

    // The list in UTF-8, or in code page 932 to the terminal or a file.
    void encodingsAndOutputFile()
    {
        const QString search = args("search|BANK|--kind|Record|--keys|5|--script|HTML");
        const Run utf8 = cli(search);
        QCOMPARE(utf8.exitCode, 0);
        QVERIFY(utf8.out.contains(kJapaneseTitle.toUtf8()));
        const Run sjis = cli(search + "|--encoding|cp932");
        QCOMPARE(sjis.out, cp932::encode(QString::fromUtf8(utf8.out)));
        QVERIFY(sjis.out.contains(QByteArray("\x93\xfa\x96\x7b\x8c\xea"))); // 日本語
        const QString path = m_dir.filePath(QStringLiteral("list.txt"));
        const Run saved = cli(search + "|--encoding|cp932|--output|" + path);
        QCOMPARE(saved.exitCode, 0);
        QVERIFY(saved.out.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), sjis.out);
        // The automatic similar check without hits shows nothing at all.
        QCOMPARE(cli(args("search|BANK|--kind|10|--current|2")).out, QByteArray());
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
        QTemporaryDir dir;
        const QString list = dir.filePath("list.txt");
        const QStringList command = makeBank ? QStringList{"make-bank", TZ_SOURCE_DATA "/sample", dir.filePath("x.bnk")}
                                             : QStringList{"search",    m_bank,
                                                           "--kind",    "0",
                                                           "--keys",    "gene",
                                                           "--forms",   TZ_SOURCE_DATA "/form.cfx",
                                                           "--scripts", TZ_SOURCE_DATA "/script.cfx",
                                                           "--output",  list};
        QVERIFY(QFile(list).open(QIODevice::WriteOnly));
        qint64 total = 0;
        {
            QTemporaryDir scratch;
            QStringList first = command;
            first.last() = scratch.filePath(QFileInfo(command.last()).fileName());
            FileFaultScope count({FileStep::Write, ENOSPC, std::numeric_limits<qint64>::max()});
            QCOMPARE(runHere(first).exitCode, 0);
            total = count.bytesThrough();
        }
        FileFault fault{FileStep::Rename, EIO, 0, makeBank ? 3 : 0}; // make-bank: the bank's own name
        if (point == "create")
            fault = {FileStep::Create, EROFS};
        else if (point == "start")
            fault = {FileStep::Write, ENOSPC, 0};
        else if (point == "midway")
            fault = {FileStep::Write, ENOSPC, total / 2};
        const QMap<QString, QByteArray> before = folderSnapshot(dir.path());
        FileFaultScope scope(fault);
        const Run r = runHere(command);
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
        const QString target = dir.filePath("x.bnk");
        const QString left = BuildingFolderFor(target);
        QVERIFY(QDir().mkpath(left));
        QFile half(left + "/record.tzd");
        QVERIFY(half.open(QIODevice::WriteOnly) && half.write(QByteArray(600, 'x')) == 600);
        half.close();
        const QString line = "make-bank|" TZ_SOURCE_DATA "/sample|" + target;
        QCOMPARE(cli(line).exitCode, 0);
        QVERIFY(!QFileInfo::exists(left));
        QCOMPARE(QFileInfo(target + "/record.tzd").size() % kRecordSize, 0);
        const Run again = cli(line);
        QCOMPARE(again.exitCode, 2);
        QVERIFY2(again.err.contains("already exists"), qPrintable(again.err));
    }

    // A list that cannot be written to the terminal is an error, not success.
    void fullOutputDevice()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full");
        const Run r = cli(args("search|BANK|--kind|Free Keyword|--keys|gene"), QStringLiteral("/dev/full"));
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(QStringLiteral("cannot write")), qPrintable(r.err));
        QCOMPARE(cli(args("info|BANK"), QStringLiteral("/dev/full")).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
