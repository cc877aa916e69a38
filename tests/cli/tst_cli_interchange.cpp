// tessellane-cli import and export, run in the test's process: a dry run
// changes nothing, an import lands after the last record and comes back out
// by export (all records or the hits of a search), duplicates are told, and
// a bad file or bad arguments end with status 2 and the reason.
#include "cli/cli.h"
#include "core/interchange/exchange_file.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>

using namespace tz;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// The commands with `line`'s arguments separated by "|".
Run run(const QString &line)
{
    char *out = nullptr, *err = nullptr;
    size_t outSize = 0, errSize = 0;
    std::FILE *o = open_memstream(&out, &outSize), *e = open_memstream(&err, &errSize);
    const int code = RunCli(QStringList{"tessellane-cli"} + line.split(u'|', Qt::SkipEmptyParts), o, e);
    std::fclose(o);
    std::fclose(e);
    Run r{code, QByteArray(out, qsizetype(outSize)), QString::fromUtf8(err, qsizetype(errSize))};
    std::free(out);
    std::free(err);
    return r;
}

const QString kData = QStringLiteral(TZ_SOURCE_DATA "/../tests/data/interchange/");

} // namespace

class TestCliInterchange : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_bank, m_file;

    QString args(QString line) const
    {
        return line.replace("BANK", m_bank)
            .replace("FILE", m_file)
            .replace("DATA/", kData)
            .replace("DIR", m_dir.path());
    }
    QList<Reference> exported(const QString &options) const
    {
        const Run r = run(args("export|BANK|" + options));
        const ReadResult read = ReadExchange(r.out);
        if (r.exitCode != 0 || !read.error.isEmpty())
            qWarning() << r.err << read.error;
        return read.refs;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_bank = m_dir.filePath("x.bnk");
        m_file = kData + "article_and_book.ris";
        QCOMPARE(run(args("new|BANK")).exitCode, 0);
    }

    // --dry-run lists each reference and leaves the bank alone; the import
    // then replaces the new bank's blank record; the same file again adds
    // nothing unless duplicates are kept.
    void importThenExport()
    {
        const auto empty = folderSnapshot(m_bank);
        const Run dry = run(args("import|BANK|FILE|--dry-run"));
        QCOMPARE(dry.exitCode, 0);
        QCOMPARE(QString::fromUtf8(dry.out),
                 "1: J.D.Watson, F.H.C.Crick | Molecular structure of nucleic acids. | Nature | 1953\n"
                 "13: 山田 太郎 | 日本語の本. | 岩波書店 | 1999\n"
                 "would import 2 of 2 references (0 duplicates left out)\n");
        QVERIFY(folderSnapshot(m_bank) == empty);

        QCOMPARE(run(args("import|BANK|FILE")).out, "imported 2 records as 1..2 (0 duplicates left out)\n");
        const Run again = run(args("import|BANK|FILE"));
        QCOMPARE(again.out, "imported nothing (2 duplicates left out)\n");
        QVERIFY2(again.err.contains("1 行目（Molecular structure of nucleic acids.）: 重複 — DOI がレコード 1 と同じ"),
                 qPrintable(again.err));
        QCOMPARE(run(args("import|BANK|FILE|--keep-duplicates")).out,
                 "imported 2 records as 3..4 (2 duplicates kept)\n");

        const QList<Reference> all = exported("--format|ris");
        QCOMPARE(all.size(), 4);
        QVERIFY(all[0].doi == "10.1038/171737a0" && all[0].journal == "Nature" && all[1].publisher == "岩波書店");
        QCOMPARE(all[3].title, "日本語の本");
        const Run saved = run(args("export|BANK|--format|bibtex|--output|DIR/out.bib"));
        QCOMPARE(saved.out, args("wrote 4 references to DIR/out.bib\n").toUtf8());
        QCOMPARE(ReadExchange(readFile(m_dir.filePath("out.bib"))).refs.size(), 4);
    }

    // Only the hits of the search go out.
    void exportHits()
    {
        const QList<Reference> hits = exported("--format|csljson|--kind|Year|--keys|1999");
        QCOMPARE(hits.size(), 2);
        QVERIFY(hits[0].title == "日本語の本" && hits[1].title == "日本語の本");
        QCOMPARE(exported("--format|json|--kind|Record|--keys|3").value(0).doi, "10.1038/171737a0");
        QCOMPARE(run(args("export|BANK|--format|ris|--kind|Year|--keys|2020")).out,
                 "no records found: nothing written\n");
    }

    // The arguments after the command, and the start of the message; exit
    // code 2, nothing written. A file that cannot be read is named with the
    // line (the readers' messages are the core tests').
    void errors_data()
    {
        // clang-format off
        rows::table({"line", "message"}, {
            {"import|BANK|DATA/unknown_tag.ris", "DATA/unknown_tag.ris: 3 行目: "},
            {"import|BANK|DIR/none.ris", "none.ris"}, {"import|BANK", "missing FILE"},
            {"import|BANK|FILE|--fast", "unknown option: --fast"}, {"import|DIR/no.bnk|FILE", "no bank folder"},
            {"export|BANK", "--format is required"}, {"export|BANK|--format|xml", "--format takes ris, bibtex or csljson"},
            {"export|BANK|--format|ris|--kind|Year", "--keys is required"},
            {"export|BANK|--format|ris|--kind|99|--keys|1", "unknown kind: 99"},
            {"export|BANK|--format|ris|--output|DIR/no/such/out.ris", "out.ris"},
        });
        // clang-format on
    }
    void errors()
    {
        const auto before = folderSnapshot(m_dir.path());
        const Run r = run(args(rows::text("line")));
        QCOMPARE(r.exitCode, 2);
        const QString message = rows::text("message").replace("DATA/", kData).replace("DIR", m_dir.path());
        QVERIFY2(r.err.startsWith("tessellane-cli: ") && r.err.contains(message), qPrintable(r.err));
        QVERIFY(folderSnapshot(m_dir.path()) == before);
    }
};

QTEST_GUILESS_MAIN(TestCliInterchange)
#include "tst_cli_interchange.moc"
