// A reference from its DOI, asked of the tests' local resolver answering as
// doi.org does: CSL-JSON of a Crossref and a JaLC DOI, redirects, 404 and
// 500, an answer too slow, too large or no JSON, and no server at all. Then
// the command line's "doi" against it, in this process and in the program.
#include "cli/cli.h"
#include "core/bank/bank_files.h"
#include "core/interchange/doi_lookup.h"
#include "core/interchange/exchange_file.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"
#include "support/doi_server.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

using namespace tz;
using tz::testing::DoiServer;

namespace {

const QString kData = QStringLiteral(TZ_SOURCE_DATA "/../tests/data/interchange/");
const QByteArray kAccept = "\r\nAccept: application/vnd.citationstyles.csl+json\r\n";

struct Run
{
    int exitCode = -1;
    QString out, err;
};

Run runCli(const QStringList &args)
{
    char *out = nullptr, *err = nullptr;
    size_t outSize = 0, errSize = 0;
    std::FILE *o = open_memstream(&out, &outSize), *e = open_memstream(&err, &errSize);
    const int code = RunCli(QStringList{"tessellane-cli"} + args, o, e);
    std::fclose(o);
    std::fclose(e);
    Run r{code, QString::fromUtf8(out, qsizetype(outSize)), QString::fromUtf8(err, qsizetype(errSize))};
    std::free(out);
    std::free(err);
    return r;
}

} // namespace

class TestDoiLookup : public QObject
{
    Q_OBJECT

    DoiServer m_server;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_server.isListening());
        const QByteArray crossref = readFile(kData + "crossref_doi.json"), jalc = readFile(kData + "jalc_doi.json");
        QVERIFY(!crossref.isEmpty() && !jalc.isEmpty());
        m_server.answers = {
            {"/10.5555/j.jhs.2019.01.023", {200, crossref, {}, 0}},
            {"/10.11999/jjei.9.1", {200, jalc, {}, 0}},
            {"/10.1000/found", {302, {}, "/data/crossref", 0}},
            {"/10.1000/see-other", {303, {}, m_server.address() + "data/jalc", 0}},
            {"/data/crossref", {200, crossref, {}, 0}},
            {"/data/jalc", {200, jalc, {}, 0}},
            {"/10.1000/broken", {500, "Internal Server Error", {}, 0}},
            {"/10.1000/slow", {200, crossref, {}, -1}},
            {"/10.1000/malformed", {200, jalc.left(jalc.indexOf("\"title\"") + 5), {}, 0}}, // cut in line 4
            {"/10.1000/two", {200, "[" + crossref + "," + jalc + "]", {}, 0}},
            {"/10.1000/huge", {200, QByteArray(kDoiMaxAnswerBytes + 1000, ' '), {}, 0}},
        };
    }

    // The DOI as typed, and the file whose reference it gives (read there
    // the same, field by field) or the start of the error.
    void answers_data()
    {
        // clang-format off
        rows::table({"doi", "file", "error"}, {
            {"https://doi.org/10.5555/J.JHS.2019.01.023", "crossref_doi.json", ""},
            {"doi:10.11999/jjei.9.1", "jalc_doi.json", ""},
            {"10.1000/found", "crossref_doi.json", ""},   // 302 to a relative address
            {"10.1000/see-other", "jalc_doi.json", ""},   // 303 to an absolute one
            {"10.1000/missing", "", "DOI「10.1000/missing」は登録されていません"},
            {"10.1000/broken", "", "HTTP 500"},
            {"10.1000/slow", "", "DOI の問い合わせに 0.3 秒たっても答えがありませんでした"},
            {"10.1000/malformed", "", "CSL-JSON ではありません（4 行目: JSON"},
            {"10.1000/two", "", "文献が 1 件ではありません"},
            {"10.1000/huge", "", "大きすぎます"},
            {"11.1000/x", "", "DOI の形"},
        });
        // clang-format on
    }
    void answers()
    {
        const QString doi = rows::text("doi"), error = rows::text("error");
        const qsizetype asked = m_server.requests.size();
        const DoiAnswer a = LookUpDoi(doi, nullptr, 300);
        QVERIFY2(a.ok == error.isEmpty() && a.error.contains(error) && error.isEmpty() == a.error.isEmpty(),
                 qPrintable(a.error));
        QCOMPARE(m_server.requests.size() > asked, !doi.startsWith("11."));
        for (const QByteArray &head : m_server.requests.mid(asked))
            QVERIFY2(head.contains(kAccept), head.constData());
        if (!a.ok)
            return;
        const QDate day(2025, 1, 2);
        const ImportedRecord got = RecordFromReference(a.ref, day),
                             want =
                                 RecordFromReference(ReadExchange(readFile(kData + rows::text("file"))).refs[0], day);
        QVERIFY(got.rec == want.rec && got.pdf == want.pdf && got.jpName == want.jpName && got.notes == want.notes);
        QVERIFY2(!got.rec.Title.isEmpty() && !got.pdf.DOI.isEmpty(), qPrintable(got.rec.Title));
    }

    // No server on the port: the offline message.
    void noServer()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        qputenv("TESSELLANE_DOI_RESOLVER", QStringLiteral("http://127.0.0.1:%1").arg(port).toUtf8());
        const DoiAnswer a = LookUpDoi("10.1038/171737a0", nullptr, 2000);
        qputenv("TESSELLANE_DOI_RESOLVER", m_server.address());
        QVERIFY(!a.ok);
        QVERIFY2(a.error.contains(QStringLiteral("http://127.0.0.1:%1/ に接続できません").arg(port)) &&
                     a.error.contains("インターネットにつながっているか"),
                 qPrintable(a.error));
    }

    // The command line, in this process and as the program itself (which
    // starts without Qt Network and runs the command in tessellane-doi beside
    // it): --dry-run lists and writes nothing; the record is appended once
    // (here replacing a new bank's blank record) with its DOI, then found as
    // a duplicate; a failed look-up changes nothing and is told once.
    void command_data()
    {
        QTest::addColumn<bool>("program");
        QTest::newRow("in this process") << false;
        QTest::newRow("the program") << true;
    }
    void command()
    {
        QFETCH(bool, program);
        QTemporaryDir dir;
        const QString bank = dir.filePath("d.bnk");
        QVERIFY(CreateBank(bank, QDate(2025, 1, 2), nullptr));
        const auto run = [program](const QStringList &args) {
            if (!program)
                return runCli(args);
            QProcess p;
            p.start(QStringLiteral(TZ_CLI_PATH), args);
            // The resolver answers from this process's event loop meanwhile.
            [&p] { QTRY_VERIFY_WITH_TIMEOUT(p.state() == QProcess::NotRunning, 60000); }();
            return Run{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                       QString::fromUtf8(p.readAllStandardError())};
        };
        const auto empty = folderSnapshot(bank);
        const Run dry = run({"doi", bank, "10.5555/j.jhs.2019.01.023", "--dry-run"});
        QVERIFY2(dry.exitCode == 0 && dry.out.contains("Hiroshi Tanaka, Ana Maria Rodriguez, Pieter van_den_Berg") &&
                     dry.out.contains("would import 1 of 1 references"),
                 qPrintable(dry.out + dry.err));
        QVERIFY(folderSnapshot(bank) == empty);

        const Run real = run({"doi", bank, "https://doi.org/10.5555/j.jhs.2019.01.023"});
        QVERIFY2(real.exitCode == 0 && real.out.startsWith("imported 1 records as 1..1"),
                 qPrintable(real.out + real.err));
        Record rec;
        PdfEntry pdf;
        QVERIFY(RecRead(bank, 1, ReadMode::Stored, rec, QDate()) && PdfRead(bank, 1, ReadMode::Stored, pdf));
        QVERIFY2(rec.Title.startsWith("Recharge of a semi-arid karst aquifer") && rec.Volume == "570(3)" &&
                     rec.Year == 2019,
                 qPrintable(rec.Title));
        QCOMPARE(pdf, (PdfEntry{"http://dx.doi.org/10.5555/j.jhs.2019.01.023", "10.5555/j.jhs.2019.01.023"}));

        const auto filled = folderSnapshot(bank);
        const Run again = run({"doi", bank, "10.5555/J.JHS.2019.01.023"});
        QVERIFY2(again.exitCode == 0 && again.out.startsWith("imported nothing (1 duplicates left out)") &&
                     again.err.contains("DOI がレコード 1 と同じ"),
                 qPrintable(again.out + again.err));
        const Run failed = run({"doi", bank, "10.1000/broken"});
        QVERIFY2(failed.exitCode == 2 && failed.err.contains("HTTP 500") && failed.err.count("tessellane-cli:") == 1,
                 qPrintable(failed.err));
        QVERIFY(folderSnapshot(bank) == filled);
        if (!program)
            return;
        const QString ldd = QStandardPaths::findExecutable(QStringLiteral("ldd"));
        if (ldd.isEmpty())
            QSKIP("no ldd to list the libraries the program loads");
        QProcess libraries;
        libraries.start(ldd, {QStringLiteral(TZ_CLI_PATH)});
        QVERIFY(libraries.waitForFinished(30000));
        const QString loaded = QString::fromUtf8(libraries.readAllStandardOutput());
        QVERIFY2(loaded.contains("libQt6Core") && !loaded.contains("libQt6Network"), qPrintable(loaded));
    }
};

QTEST_GUILESS_MAIN(TestDoiLookup)
#include "tst_doi_lookup.moc"
