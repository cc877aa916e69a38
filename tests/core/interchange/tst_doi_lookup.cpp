// A reference from its DOI, asked of a resolver started by the test on this
// machine that answers as doi.org does: CSL-JSON of a Crossref and a JaLC
// DOI, redirects, 404 and 500, an answer too slow, too large or no JSON, and
// no server at all. Then the command line's "doi" against it.
#include "cli/cli.h"
#include "core/bank/bank_files.h"
#include "core/interchange/doi_lookup.h"
#include "core/store/pdf_table.h"
#include "core/store/record.h"
#include "support/test_files.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

using namespace tz;

namespace {

const QByteArray kCrossref =
    R"({"indexed":{"date-parts":[[2024,1,5]]},"publisher":"Springer Science and Business Media LLC",
 "issue":"4356","DOI":"10.1038/171737a0","type":"journal-article","page":"737-738","source":"Crossref",
 "title":"Molecular Structure of Nucleic Acids: A Structure for Deoxyribose Nucleic Acid","volume":"171",
 "author":[{"given":"J. D.","family":"WATSON","sequence":"first","affiliation":[]},
           {"given":"F. H. C.","family":"CRICK","sequence":"additional","affiliation":[]}],
 "container-title":"Nature","language":"en","URL":"http://dx.doi.org/10.1038/171737a0","ISSN":["0028-0836"],
 "issued":{"date-parts":[[1953,4]]},"reference-count":6})";

const QByteArray kJalc = R"({"type":"article-journal","id":"https://doi.org/10.11316/butsuri.65.1_4",
 "title":"超伝導の五十年","author":[{"family":"山田","given":"太郎"},{"family":"佐藤","given":"花子"}],
 "container-title":["日本物理学会誌"],"publisher":"一般社団法人 日本物理学会","language":"ja",
 "issued":{"date-parts":[["2010"]]},"volume":"65","issue":"1","page":"4-9","DOI":"10.11316/butsuri.65.1_4",
 "URL":"https://doi.org/10.11316/butsuri.65.1_4"})";

// What the resolver answers for a path: the status line's code, more header
// lines, the body; a status of 0 never answers.
struct Answer
{
    int status = 200;
    QByteArray headers;
    QByteArray body;
};

class Resolver : public QObject
{
public:
    QTcpServer server;
    QHash<QByteArray, Answer> answers;
    QList<QByteArray> accepts; // the Accept header of every request, in order
    QList<QByteArray> paths;

    Resolver()
    {
        server.listen(QHostAddress::LocalHost);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                connect(s, &QTcpSocket::readyRead, this, [this, s] { read(s); });
            }
        });
    }
    QString address() const { return QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort()); }

private:
    void read(QTcpSocket *s)
    {
        QByteArray &buffer = m_buffers[s];
        buffer += s->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        buffer.clear();
        const QByteArray path = lines.value(0).split(' ').value(1).toLower(); // DOIs ignore case
        paths << path;
        for (const QByteArray &line : lines)
            if (line.toLower().startsWith("accept:"))
                accepts << line.mid(7).trimmed();
        const Answer a = answers.value(path, Answer{404, {}, "Not found"});
        if (a.status == 0)
            return;
        s->write("HTTP/1.1 " + QByteArray::number(a.status) + " X\r\nContent-Length: " +
                 QByteArray::number(a.body.size()) + "\r\nConnection: close\r\n" + a.headers + "\r\n" + a.body);
        s->disconnectFromHost();
    }
    QHash<QTcpSocket *, QByteArray> m_buffers;
};

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

    Resolver m_resolver;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_resolver.server.isListening());
        qputenv("TESSELLANE_DOI_RESOLVER", m_resolver.address().toUtf8());
        const QByteArray csl = "Content-Type: application/vnd.citationstyles.csl+json\r\n";
        m_resolver.answers = {
            {"/10.1038/171737a0", {200, csl, kCrossref}},
            {"/10.11316/butsuri.65.1_4", {200, csl, kJalc}},
            {"/10.1000/found", {302, "Location: /data/crossref\r\n", {}}},
            {"/10.1000/see-other", {303, "Location: " + m_resolver.address().toUtf8() + "data/jalc\r\n", {}}},
            {"/data/crossref", {200, csl, kCrossref}},
            {"/data/jalc", {200, csl, kJalc}},
            {"/10.1000/broken", {500, {}, "Internal Server Error"}},
            {"/10.1000/slow", {0, {}, {}}},
            {"/10.1000/malformed", {200, csl, kCrossref.left(200)}},
            {"/10.1000/two", {200, csl, "[" + kCrossref + "," + kJalc + "]"}},
            {"/10.1000/huge", {200, csl, QByteArray(kDoiMaxAnswerBytes + 1000, ' ')}},
        };
    }

    // The DOI as typed, and what the answer gives: the title's start and
    // the first author's family name, or the start of the error.
    void answers_data()
    {
        QTest::addColumn<QString>("doi");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("error");
        QTest::newRow("Crossref") << "https://doi.org/10.1038/171737A0"
                                  << "Molecular Structure"
                                  << "";
        QTest::newRow("JaLC") << "doi:10.11316/butsuri.65.1_4"
                              << "超伝導の五十年"
                              << "";
        QTest::newRow("302") << "10.1000/found"
                             << "Molecular Structure"
                             << "";
        QTest::newRow("303 elsewhere") << "10.1000/see-other"
                                       << "超伝導の五十年"
                                       << "";
        QTest::newRow("404") << "10.1000/missing"
                             << ""
                             << "DOI「10.1000/missing」は登録されていません";
        QTest::newRow("500") << "10.1000/broken"
                             << ""
                             << "HTTP 500";
        QTest::newRow("slow") << "10.1000/slow"
                              << ""
                              << "DOI の問い合わせに 0.3 秒たっても答えがありませんでした";
        QTest::newRow("malformed") << "10.1000/malformed"
                                   << ""
                                   << "CSL-JSON ではありません（3 行目: JSON";
        QTest::newRow("two references") << "10.1000/two"
                                        << ""
                                        << "文献が 1 件ではありません";
        QTest::newRow("too large") << "10.1000/huge"
                                   << ""
                                   << "大きすぎます";
        QTest::newRow("no DOI") << "11.1000/x"
                                << ""
                                << "DOI の形";
    }
    void answers()
    {
        QFETCH(QString, doi);
        QFETCH(QString, title);
        QFETCH(QString, error);
        const qsizetype asked = m_resolver.accepts.size();
        const DoiAnswer a = LookUpDoi(doi, nullptr, 300);
        QVERIFY2(a.ok == error.isEmpty() && a.error.contains(error) && error.isEmpty() == a.error.isEmpty(),
                 qPrintable(a.error));
        if (!doi.startsWith("11."))
            QVERIFY(m_resolver.accepts.size() > asked);
        for (const QByteArray &accept : m_resolver.accepts.mid(asked))
            QCOMPARE(accept, QByteArray("application/vnd.citationstyles.csl+json"));
        if (!a.ok)
            return;
        QVERIFY2(a.ref.title.startsWith(title), qPrintable(a.ref.title));
        if (title.startsWith("Mol")) {
            QCOMPARE(a.ref.authors.value(1), (RefPerson{"CRICK", "F. H. C.", {}, {}}));
            QVERIFY(a.ref.journal == "Nature" && a.ref.volume == "171" && a.ref.issue == "4356");
            QVERIFY(a.ref.firstPage == "737" && a.ref.lastPage == "738" && a.ref.year == "1953");
            QCOMPARE(a.ref.doi, QStringLiteral("10.1038/171737a0"));
        } else {
            QCOMPARE(a.ref.authors.value(0), (RefPerson{"山田", "太郎", {}, {}}));
            QVERIFY(a.ref.journal == "日本物理学会誌" && a.ref.publisher == "一般社団法人 日本物理学会");
            QVERIFY(a.ref.volume == "65" && a.ref.year == "2010" && a.ref.lastPage == "9");
        }
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
        qputenv("TESSELLANE_DOI_RESOLVER", m_resolver.address().toUtf8());
        QVERIFY(!a.ok);
        QVERIFY2(a.error.contains(QStringLiteral("http://127.0.0.1:%1/ に接続できません").arg(port)) &&
                     a.error.contains("インターネットにつながっているか"),
                 qPrintable(a.error));
    }

    // The command line: --dry-run lists and writes nothing; the record is
    // appended once (here replacing a new bank's blank record) with its DOI,
    // then found as a duplicate; a failed look-up changes nothing.
    void command()
    {
        QTemporaryDir dir;
        const QString bank = dir.filePath("d.bnk");
        QVERIFY(CreateBank(bank, QDate(2025, 1, 2), nullptr));
        const auto empty = folderSnapshot(bank);
        const Run dry = runCli({"doi", bank, "10.1038/171737a0", "--dry-run"});
        QVERIFY2(dry.exitCode == 0 && dry.out.contains("J.D.WATSON, F.H.C.CRICK | Molecular Structure") &&
                     dry.out.contains("would import 1 of 1 references"),
                 qPrintable(dry.out + dry.err));
        QVERIFY(folderSnapshot(bank) == empty);

        const Run real = runCli({"doi", bank, "https://doi.org/10.1038/171737a0"});
        QVERIFY2(real.exitCode == 0 && real.out.startsWith("imported 1 records as 1..1"),
                 qPrintable(real.out + real.err));
        Record rec;
        PdfEntry pdf;
        QVERIFY(RecRead(bank, 1, ReadMode::Stored, rec, QDate()) && PdfRead(bank, 1, ReadMode::Stored, pdf));
        QVERIFY2(rec.Title.startsWith("Molecular Structure of Nucleic Acids") && rec.Volume == "171(4356)" &&
                     rec.Year == 1953,
                 qPrintable(rec.Title));
        QCOMPARE(pdf, (PdfEntry{"http://dx.doi.org/10.1038/171737a0", "10.1038/171737a0"}));

        const auto filled = folderSnapshot(bank);
        const Run again = runCli({"doi", bank, "10.1038/171737A0"});
        QVERIFY2(again.exitCode == 0 && again.out.startsWith("imported nothing (1 duplicates left out)") &&
                     again.err.contains("DOI がレコード 1 と同じ"),
                 qPrintable(again.out + again.err));
        const Run failed = runCli({"doi", bank, "10.1000/broken"});
        QVERIFY2(failed.exitCode == 2 && failed.err.contains("HTTP 500"), qPrintable(failed.err));
        QVERIFY(folderSnapshot(bank) == filled);
    }
};

QTEST_GUILESS_MAIN(TestDoiLookup)
#include "tst_doi_lookup.moc"
