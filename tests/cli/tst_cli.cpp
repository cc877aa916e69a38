// The command-line program's commands, run in the test's process on small
// banks, also under injected file failures; every shipped form in every
// shipped script read back by a parser of its format; convert, and kills of
// it at any moment that never leave a bank that opens unless it is whole.
#include "cli/cli.h"
#include "core/bank/bank_files.h"
#include "core/common/cp932.h"
#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/format/script_file.h"
#include "core/jpcode/jp_maintenance.h"
#include "core/search/search_model.h"
#include "core/store/jpcode.h"
#include "core/store/link_table.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"
#include "support/jp_bank.h"
#include "support/old_bank.h"
#include "support/search_fixture.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
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

// A command with its arguments; what it prints to the terminal is kept (or
// goes to outFile).
Run run(const QStringList &args, const char *outFile = nullptr)
{
    char *out = nullptr, *err = nullptr;
    size_t outSize = 0, errSize = 0;
    std::FILE *outStream = outFile ? std::fopen(outFile, "w") : open_memstream(&out, &outSize);
    std::FILE *errStream = open_memstream(&err, &errSize);
    const int exitCode = RunCli(QStringList{"tessellane-cli"} + args, outStream, errStream);
    std::fclose(outStream);
    std::fclose(errStream);
    const Run r{exitCode, QByteArray(out, qsizetype(outSize)), QString::fromUtf8(err, qsizetype(errSize))};
    std::free(out);
    std::free(err);
    return r;
}

// The same with the arguments separated by "|".
Run run(const QString &line, const char *outFile = nullptr)
{
    return run(line.split(u'|', Qt::SkipEmptyParts), outFile);
}

const QString kForms = QStringLiteral(TZ_SOURCE_DATA "/form.cfx");
const QString kScripts = QStringLiteral(TZ_SOURCE_DATA "/script.cfx");
// Code page 932 trail bytes 5C, 7B and 7D: "\\", "{" and "}" when read alone.
const QString kJapanese = QStringLiteral("ソ表能の本と図（ボマ）");

// The text of an HTML list by Python's parser (support/html_text.py), with
// what it found wrong.
QString htmlText(const QByteArray &bytes, QStringList &faults)
{
    QProcess p;
    p.start(QStringLiteral("python3"), {QStringLiteral(TZ_SOURCE_DATA "/../tests/support/html_text.py")});
    p.write(bytes);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        faults << QStringLiteral("python3 failed: ") + QString::fromUtf8(p.readAllStandardError());
        return {};
    }
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    for (const auto f : o.value("faults").toArray())
        faults << f.toString();
    return o.value("text").toString();
}

// The plain text of an RTF document, read strictly: only ASCII bytes, groups
// balanced, one top group, every control known; \uN with its one fallback
// character, \par and \line as line ends, destinations skipped.
QString rtfText(const QByteArray &rtf, QStringList &faults)
{
    static const QRegularExpression word(QStringLiteral("\\\\([a-z]+)(-?\\d+)? ?"));
    const QString s = QString::fromLatin1(rtf);
    QString text;
    QList<bool> skip{false};
    int groups = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.unicode() >= 0x80)
            faults << QStringLiteral("raw byte at %1").arg(i);
        if (c == u'{') {
            skip.append(skip.last());
            if (++groups > 1 && skip.size() == 2)
                faults << QStringLiteral("text after the document");
        } else if (c == u'}') {
            if (skip.size() < 2)
                faults << QStringLiteral("unbalanced } at %1").arg(i);
            else
                skip.removeLast();
        } else if (c == u'\\' && i + 1 < s.size() && QStringLiteral("\\{}*").contains(s[i + 1])) {
            if (s[++i] == u'*')
                skip.last() = true;
            else if (!skip.last())
                text += s[i];
        } else if (c == u'\\') {
            const QRegularExpressionMatch m =
                word.match(s, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
            if (!m.hasMatch()) {
                faults << QStringLiteral("bad control at %1").arg(i);
                continue;
            }
            i += m.capturedLength() - 1;
            const QString w = m.captured(1);
            if (QStringList{"fonttbl", "colortbl", "stylesheet", "info"}.contains(w))
                skip.last() = true;
            else if (skip.last())
                continue;
            else if (w == u"par" || w == u"line")
                text += u'\n';
            else if (w == u"tab")
                text += u'\t';
            else if (w == u"u") {
                text += QChar(char16_t(m.captured(2).toInt()));
                ++i; // the fallback character
            }
        } else if (!skip.last() && c != u'\r' && c != u'\n') {
            text += c;
        }
    }
    if (skip.size() != 1)
        faults << QStringLiteral("%1 groups left open").arg(skip.size() - 1);
    return text;
}

// A LaTeX list's faults: braces that do not balance, special characters
// outside commands. Gives the text with the script's commands dropped and the
// escapes read back.
QString latexText(const QString &tex, QStringList &faults)
{
    static const QRegularExpression command(QStringLiteral("\\\\([A-Za-z]+|.)"));
    // Each symbol command, then the character it writes.
    static const QStringList symbols =
        QStringLiteral("textasciitilde ~ textasciicircum ^ textbackslash \\ textless < textgreater > textbar | par \n")
            .split(u' ');
    QString text;
    int depth = 0;
    for (qsizetype i = 0; i < tex.size(); ++i) {
        const QChar c = tex[i];
        if (c == u'\\') {
            const QString name =
                command.match(tex, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption)
                    .captured(1);
            i += name.size();
            if (name.size() == 1)
                text += name;
            else if (const qsizetype at = symbols.indexOf(name); at >= 0 && at % 2 == 0)
                text += symbols[at + 1];
            else if (name == u"begin" || name == u"end")
                i = tex.indexOf(u'}', i); // the environment's name
        } else if (c == u'{') {
            ++depth;
        } else if (c == u'}') {
            if (--depth < 0)
                faults << QStringLiteral("unbalanced } at %1").arg(i);
        } else if (QStringLiteral("#$%&~^_").contains(c)) {
            faults << QStringLiteral("raw %1 at %2").arg(c).arg(i);
        } else {
            text += c;
        }
    }
    if (depth != 0)
        faults << QStringLiteral("%1 braces left open").arg(depth);
    return text;
}

// clang-format off
Record awkward(int style, const QString &author, const QString &title, int jp)
{
    return {qint16(style), {}, author, title, qint16(jp), "12{3}", "100", "105", 1990, "A.Ed&itor, B.Ed$",
            "Tom & Jerry's {Big} Book_2 ~ ^.", {}, 45000};
}

Record reference(int style, const char *author, const char *title, int year, int jpcode)
{
    return {qint16(style), {}, author, title, qint16(jpcode), "12", "100", "109", qint16(year), "E.Editor",
            "A Book of Genes", "gene", 45000};
}
// clang-format on

// Fills a bank the program made with `records` and the JP code names `names`.
bool fill(const QString &bank, const QList<Record> &records, const QMap<int, QString> &names)
{
    bool ok = JPcodeSave(QDir(bank).filePath(QString(kJPcodeFileName)), jpTable(20, 100, 150, 200, names));
    for (int n = 1; n <= records.size(); ++n)
        ok = ok && RecWrite(bank, n, records[n - 1], true);
    return ok;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_bank;
    QString m_awkward; // records 1..6 ASCII, 7 Japanese
    ScriptTable m_scripts;
    int m_forms = 0;

    // The list of records `keys` of bank in form and script, as written to a file.
    QByteArray list(const QString &bank, const QString &keys, int form, int script, const QStringList &more = {})
    {
        const QString file = m_dir.filePath(QStringLiteral("list"));
        const Run r = run(QStringList{"search", bank, "--kind", "Record", "--keys", keys, "--max-hits", "32767",
                                      "--forms", kForms, "--scripts", kScripts, "--form", QString::number(form),
                                      "--script", QString::number(script), "--output", file} +
                          more);
        if (r.exitCode != 0)
            qWarning("%s", qPrintable(r.err));
        return readFile(file);
    }
    int scriptWith(TextEscape escape) const
    {
        for (int k = 1; k <= m_scripts.ScriptCount; ++k)
            if (m_scripts.script(k).escape == escape)
                return k;
        return 0;
    }

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
    // Two banks made by the program, then filled. The test bank: five
    // references of all four styles, one with a Japanese title, JP code
    // names, one link and one URL; "info" tells the figures before and after.
    // The awkward bank: records 1..6 ASCII, 7 Japanese.
    void initTestCase()
    {
        m_bank = m_dir.filePath(QStringLiteral("sample.bnk"));
        const Run made = run(args("new|BANK"));
        QVERIFY(made.exitCode == 0 && made.out.startsWith("created "));
        // clang-format off
        QVERIFY(fill(m_bank, {reference(1, "J.Smith, K.Lee", "Gene maps of mice.", 1995, 3),
            reference(2, "A.Jones", "Gene expression.", 1980, 120), reference(3, "B.Brown", "Genes.", 2001, 130),
            reference(4, "C.White", "A gene report.", 2010, 0), reference(1, "山田太郎", "日本語の標題", 1999, 3)},
            {{3, "J. Biol. 生物誌"}, {120, "Academic Press"}, {130, "Springer"}}));
        // clang-format on
        QVERIFY(LinkWrite(m_bank, 1, "3", {}) && PdfWrite(m_bank, 2, {"https://example.org/a", {}}, true));
        const QByteArray info = run(args("info|BANK")).out;
        QVERIFY2(info.contains("records: 5\nJP code group ends: T 20, J 100, P 150, E 200\nlink pairs: 1\n"
                               "URL/DOI entries: 1\n"),
                 info.constData());

        m_awkward = m_dir.filePath(QStringLiteral("awkward.bnk"));
        QCOMPARE(run(QStringList{"new", m_awkward}).exitCode, 0);
        const QString specials = QStringLiteral("Costs & <benefits> of \"50%\" _under_ #3 $4 ~5 ^6 \\alpha {set}.");
        QVERIFY(fill(m_awkward,
                     {awkward(1, "J.O'Brien, K.Tilde~Hat^, L.Back\\Slash{x}", specials, 3),
                      awkward(2, "A.Smith", "It's <b>not</b> bold & 100%.", 121),
                      awkward(3, "C.Wu", "\\end{flushleft} #1 $ \\\\ }{.", 122),
                      awkward(4, "D.Eve", "Report_2 |x| ^y^ @z@ *w* [/].", 160),
                      awkward(1, "A.One, B.Two, C.Three, D.Four, E.Five, F.Six, G.Seven, H.Eight", "Eight authors.", 3),
                      awkward(1, "A.Smith, B.Jones et_al", "Stored et al.", 3),
                      awkward(1, QStringLiteral("山田ソ太郎, 表能子"), kJapanese + QStringLiteral("."), 4)},
                     {{3, "<Lett> & Rev. %_#$"},
                      {4, QStringLiteral("表能学会誌")},
                      {121, "Leeds & Biddle"},
                      {122, "Fox, Duffield & Company"},
                      {160, "Tech. report {draft}"}}));

        QStringList report;
        m_scripts = ParseScriptFile(readFile(kScripts), "script.cfx", report);
        QVERIFY(scriptWith(TextEscape::Html) && scriptWith(TextEscape::Rtf) && scriptWith(TextEscape::Latex));
        m_forms = ParseFormFile(readFile(kForms), "form.cfx", report).FormCount;
        QVERIFY(m_forms >= 8);
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
    // encodings of every script: encodingOption). The automatic similar check
    // without hits shows nothing at all.
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

    // Every form in every script: the list read back by its format's parser
    // holds the same words as the plain-text list.
    void everyFormInEveryFormat_data()
    {
        QTest::addColumn<QString>("bank");
        QTest::addColumn<int>("form");
        for (const char *bank : {"sample", "awkward"})
            for (int form = 1; form <= 8; ++form)
                QTest::addRow("%s bank, form %d", bank, form) << QString(bank) << form;
    }
    void everyFormInEveryFormat()
    {
        QFETCH(QString, bank);
        QFETCH(int, form);
        const QString path = bank == u"sample" ? QStringLiteral(TZ_SHARE_DIR "/sample.bnk") : m_awkward;
        const QString plain = QString::fromUtf8(list(path, "1-32767", form, 1));
        QVERIFY(plain.endsWith(QStringLiteral(" hits )\r\n")) && !plain.contains(QStringLiteral("..")));
        if (bank == u"awkward")
            QVERIFY(plain.contains(kJapanese) && plain.contains(QStringLiteral("Costs & <benefits>")));
        else // every symbol of the word orders put in
            QVERIFY(!plain.contains(u'['));
        for (int k = 2; k <= m_scripts.ScriptCount; ++k) {
            const QByteArray bytes = list(path, "1-32767", form, k);
            QStringList faults;
            QString text;
            switch (m_scripts.script(k).escape) {
            case TextEscape::Html:
                text = htmlText(bytes, faults);
                // The trailer's own line end, then the one that closes every saved list.
                QVERIFY(bytes.startsWith("<!DOCTYPE html>\r\n<html>") && bytes.endsWith("</body>\r\n</html>\r\n\r\n"));
                break;
            case TextEscape::Rtf:
                text = rtfText(bytes, faults);
                break;
            case TextEscape::Latex:
                text = latexText(QString::fromUtf8(bytes), faults);
                break;
            case TextEscape::None:
                continue;
            }
            QVERIFY2(faults.isEmpty(), qPrintable(m_scripts.script(k).name + ": " + faults.join(u'\n')));
            QCOMPARE(text.simplified(), plain.simplified()); // each format breaks lines its own way
        }
    }

    // pdflatex compiles the LaTeX lists of the ASCII records, in every form
    // that writes no Japanese text of its own.
    void latexCompiles()
    {
        const QString pdflatex = QStandardPaths::findExecutable(QStringLiteral("pdflatex"));
        if (pdflatex.isEmpty())
            QSKIP("pdflatex is not installed (Debian: texlive-latex-base): the LaTeX lists were NOT compiled; "
                  "only the brace and special-character check of everyFormInEveryFormat ran");
        for (int form = 1; form <= m_forms; ++form) {
            const QString body = QString::fromUtf8(list(m_awkward, "1-6", form, scriptWith(TextEscape::Latex)));
            if (body.contains(QRegularExpression(QStringLiteral("[\\x{3000}-\\x{FFEF}]")))) {
                qInfo("form %d writes Japanese punctuation of its own: not compiled by pdflatex", form);
                continue;
            }
            QTemporaryDir dir;
            QVERIFY(
                writeFile(dir.filePath("list.tex"),
                          ("\\documentclass{article}\n\\begin{document}\n" + body + "\n\\end{document}\n").toUtf8()));
            QProcess p;
            p.setWorkingDirectory(dir.path());
            p.start(pdflatex, {"-interaction=nonstopmode", "-halt-on-error", "-no-shell-escape", "list.tex"});
            QVERIFY(p.waitForFinished(120000));
            const QByteArray logText = readFile(dir.filePath("list.log"));
            QVERIFY2(p.exitCode() == 0 && !logText.contains("Missing character"),
                     qPrintable(QStringLiteral("form %1:\n").arg(form) + QString::fromUtf8(logText.right(1500))));
        }
    }

    // The bytes of every list above are those its declaration names (the HTML
    // reader decodes by it, the RTF reader takes ASCII only, the rest is read as
    // UTF-8); --encoding chooses only where nothing is declared and is refused
    // where it contradicts the declaration.
    void encodingOption()
    {
        const QStringList search{"search", m_awkward, "--kind", "Record",    "--keys",
                                 "7",      "--forms", kForms,   "--scripts", kScripts};
        for (int k = 1; k <= m_scripts.ScriptCount; ++k) {
            const QString header = m_scripts.script(k).header;
            const QStringList script{"--script", QString::number(k), "--encoding"};
            const Run given = run(search + script.mid(0, 2)), utf8 = run(search + script << "utf8"),
                      sjis = run(search + script << "cp932");
            QVERIFY(given.exitCode == 0 && given.out.endsWith("\r\n") && sjis.exitCode == 0);
            if (header.contains("charset") || header.contains("ansicpg")) {
                QVERIFY2(utf8.exitCode == 2 && utf8.err.contains("contradicts"), qPrintable(utf8.err));
                QCOMPARE(sjis.out, given.out);
                QVERIFY(given.out.startsWith('{') || cp932::decode(given.out).contains(kJapanese)); // RTF: \uN?
            } else {
                QCOMPARE(utf8.out, given.out);
                QVERIFY(given.out.contains(kJapanese.toUtf8()));
                QCOMPARE(sjis.out, cp932::encode(QString::fromUtf8(given.out)));
            }
        }
    }

    void searchHelp()
    {
        const Run r = run({"search", "--help"});
        QCOMPARE(r.exitCode, 0);
        for (const char *option : {"--kind", "--keys", "--form", "--script", "--encoding", "Shift_JIS", "CR LF"})
            QVERIFY2(r.out.contains(option), option);
    }

    // A key of a full-width space alone is searched, by the command line as by
    // the window, with the same hits.
    void fullWidthSpaceKey()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        m.SearchSet(KindFreeKeyword);
        m.setKeyText(QStringLiteral("　"));
        QVERIFY(m.SearD_click(SearOr).show);
        const QString window = m.resultText().section(QStringLiteral("( total"), 1);
        const Run r = run({"search", f.session->BankPath(), "--kind", "0", "--keys", QStringLiteral("　"), "--forms",
                           kForms, "--scripts", kScripts});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(r.out).section(QStringLiteral("( total"), 1).trimmed(), window.trimmed());
    }

    // Without forms or scripts a search says so: the window through the
    // person's messages, the command line on its error stream with status 2.
    void noFormsOrScripts()
    {
        for (const bool noForms : {true, false}) {
            SearchFixture f;
            (noForms ? f.session->forms.FormCount : f.session->scripts.ScriptCount) = 0;
            SearchModel m(*f.session);
            m.SearchSet(KindBlank);
            m.SearD_click(SearOr);
            QCOMPARE(f.ui.messages.size(), 1);
            QVERIFY(f.ui.messages[0].text.contains(noForms ? "form.cfg" : "script.cfg"));

            const QString empty = f.file(QStringLiteral("empty.cfx"));
            QVERIFY(writeFile(empty, "3d\r\n0\r\n"));
            const Run r = run({"search", f.session->BankPath(), "--kind", "Blank", "--forms", noForms ? empty : kForms,
                               "--scripts", noForms ? kScripts : empty});
            QCOMPARE(r.exitCode, 2);
            QVERIFY2(r.err.contains(noForms ? "no output forms" : "no scripts"), qPrintable(r.err));
        }
    }

    // convert: the conversion, and a missing old file told on the error
    // stream with status 2 and no new bank.
    void convertsAndTellsFaults()
    {
        QTemporaryDir dir;
        const QString old = dir.filePath("old"), bank = dir.filePath("new.bnk"), other = dir.filePath("other.bnk");
        writeOldBank(old, {{"memo", "A.Author&&", "A title&&&&", 2000, 5, "1,2-3"}});
        QVERIFY(run({"convert", old, bank}).exitCode == 0 && RecCountSet(bank) == 1);
        QVERIFY(QFile::remove(old + "/JPcount.dat"));
        const Run missing = run({"convert", old, other});
        QVERIFY2(missing.exitCode == 2 && missing.err.contains("JPcount.dat"), qPrintable(missing.err));
        QVERIFY(!QFileInfo::exists(other));
    }

    // A kill at a random moment: the bank's folder is either not there or
    // holds the whole bank; the next run converts it.
    void killsLeaveNoHalfBank()
    {
        const int kills = killCount();
        QTemporaryDir dir;
        const QString old = dir.filePath("old");
        writeOldBank(old,
                     QList<OldRecord>(20000, {"memo", "J. Smith and K. Lee&&", "Title&&key&&", 1999, 12, "4,5-6"}));
        // The kills fall anywhere in the time a whole run takes, and a bit after.
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(QProcess::execute(TZ_CLI_PATH, {"convert", old, dir.filePath("whole.bnk")}), 0);
        const int span = int(timer.elapsed() * 13 / 10) + 1;
        int whole = 0;
        for (int i = 0; i < kills; ++i) {
            const QString bank = dir.filePath(QStringLiteral("kill%1.bnk").arg(i));
            QProcess p;
            p.start(TZ_CLI_PATH, {"convert", old, bank});
            QVERIFY(p.waitForStarted());
            QThread::msleep(QRandomGenerator::global()->bounded(span));
            killNow(p);
            if (QFileInfo::exists(bank)) {
                QVERIFY2(IsBank(bank) && RecCountSet(bank) == 20000, qPrintable(bank));
                ++whole;
            }
            if (i == 0) // a rerun after the kill goes through
                QCOMPARE(run({"convert", old, bank}).exitCode, 0);
        }
        qInfo("convert: %d kills, %d left a whole bank, none a partial one", kills, whole);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
