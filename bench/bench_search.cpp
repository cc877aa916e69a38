// Searching a full bank of 32,767 records as the search window does it, each
// search reading the record file again: free keywords with the rendering of
// 200 hits, year, JP code and blank records over the whole bank, the
// duplicate check, and rendering 200 hits sorted by author. Each figure is the
// median of 7 rounds, elapsed time, and its ratio to one whole read of the
// record file (what `cat record.tzd > /dev/null` does).
//
//   bench_search [BANKDIR]   (default: a generated bank in a temporary folder)

#include "support/bank_generator.h"
#include "support/timing.h"

#include "core/format/form_file.h"
#include "core/format/script_file.h"
#include "core/search/search_engine.h"
#include "core/search/search_render.h"
#include "core/session/app_folder.h"
#include "core/store/jpcode.h"
#include "core/store/record.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using tz::bench::median;
using tz::bench::Times;

QByteArray readWhole(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What cat does: the whole file through one small buffer.
qint64 catFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    static char buffer[128 * 1024];
    qint64 total = 0;
    for (qint64 got; (got = f.read(buffer, sizeof buffer)) > 0;)
        total += got;
    return total;
}

template <typename Table>
Table readTable(const QString &file, Table (*parse)(QByteArrayView, const QString &, QStringList &))
{
    QStringList report;
    return parse(readWhole(QDir(tz::DefaultsFolder()).filePath(file)), file, report);
}

int g_failures = 0;

void report(const char *what, const Times &t, const Times &cat, double targetMs, int hits)
{
    const bool ok = targetMs <= 0 || t.wall < targetMs;
    if (!ok)
        ++g_failures;
    std::printf("%-44s %7.1f ms  %5.1f x cat   (cpu %6.1f ms)  %5d hits", what, t.wall, t.wall / cat.wall, t.cpu, hits);
    if (targetMs > 0)
        std::printf("   target < %.0f ms: %s", targetMs, ok ? "ok" : "MISSED");
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    QString bankPath = app.arguments().value(1);
    if (bankPath.isEmpty()) {
        QElapsedTimer t;
        t.start();
        const bench::GeneratedBank made = bench::WriteBenchBank(temp.filePath(QStringLiteral("bench.bnk")));
        if (made.path.isEmpty()) {
            std::fprintf(stderr, "cannot write the bank\n");
            return 1;
        }
        bankPath = made.path;
        std::printf("generated %d records (%d booked twice) in %.0f ms\n", made.records, made.duplicates,
                    static_cast<double>(t.elapsed()));
    }
    const QString recordFile = QDir(bankPath).filePath(QString(tz::kRecordFileName));
    const QString words = QString::fromUtf8("telomerase ミトコンドリア");

    const tz::FormTable forms = readTable(QStringLiteral("form.cfx"), &tz::ParseFormFile);
    const tz::ScriptTable scripts = readTable(QStringLiteral("script.cfx"), &tz::ParseScriptFile);
    tz::JPcodeTable jp;
    tz::JPcodeLoad(QDir(bankPath).filePath(QString(tz::kJPcodeFileName)), jp);
    if (forms.FormCount < 1 || scripts.ScriptCount < 1) {
        std::fprintf(stderr, "no shipped forms or scripts\n");
        return 1;
    }

    // The file read first, before anything else touches it this run.
    QElapsedTimer first;
    first.start();
    const qint64 size = catFile(recordFile);
    std::printf("record file: %.1f MB, first read %.1f ms\n", static_cast<double>(size) / 1e6,
                static_cast<double>(first.nsecsElapsed()) / 1e6);
    const Times cat = median([&] { catFile(recordFile); }, false);
    report("cat record.tzd > /dev/null", cat, cat, 0, 0);
    report("record file read into one new buffer", median([&] { tz::ReadRecordFile(bankPath); }), cat, 0, 0);

    const QDate today = QDate::currentDate();
    tz::RecordImage image;
    auto loadImage = [&] { image.load(bankPath); };
    const QString bankName = QStringLiteral("bench");
    const QByteArray noLinks;
    // The rendering the search window does, as the search window sets it up.
    auto render = [&](tz::SearchEngine &engine, const tz::OutputForm &form) {
        const tz::SearchRenderBank bank{bankName, jp, form, scripts.script(1)};
        return tz::RenderHits(engine, image, noLinks, bank).value_or(QString()).size();
    };
    qsizetype checksum = 0;

    // Free keywords, OR, with the 200 hits rendered in form 1.
    tz::SearchEngine words200;
    const Times free = median([&] {
        loadImage();
        words200.SearchItem = tz::KindFreeKeyword;
        words200.Step1GetWord(words);
        words200.Step2HitWord(image);
        checksum += render(words200, forms.form(1));
    });
    report("free keywords (2 words, OR) + render 200", free, cat, 150, words200.HitCount);

    // The number kinds and blank records over the whole bank: the list may
    // hold every record, so the scan never stops early.
    auto wholeBank = [&](int kind, const QString &keys, const char *what, double target) {
        tz::SearchEngine engine(tz::kMaxRecords);
        engine.SearchItem = kind;
        const Times t = median([&] {
            loadImage();
            if (kind == tz::KindBlank) {
                engine.Step2HitBlank(image);
            } else {
                engine.Step1GetNum(keys, tz::NumberContext{image.RecCount(), &jp, today.year()});
                engine.Step2HitNum(image);
            }
        });
        report(what, t, cat, target, engine.HitCount);
    };
    wholeBank(tz::KindYear, QStringLiteral("1995"), "year 1995", 60);
    wholeBank(tz::KindJPcode, QStringLiteral("7"), "JP code 7", 60);
    wholeBank(tz::KindBlank, {}, "blank records", 60);

    tz::SearchEngine doubles(tz::kMaxRecords);
    const Times dbl = median([&] {
        loadImage();
        doubles.Step2HitDouble(image);
    });
    report("duplicate check (whole bank)", dbl, cat, 150, doubles.HitCount);

    // Rendering alone: 200 hits spread over the bank, sorted by author.
    tz::OutputForm byAuthor = forms.form(1);
    byAuthor.sort = 1;
    loadImage();
    tz::SearchEngine spread;
    for (int i = 1; i <= 200; ++i)
        spread.HitList[i] = static_cast<qint16>(i * (image.RecCount() / 200));
    spread.HitCount = 200;
    const QList<qint16> unsorted = spread.HitList;
    const Times sorted = median([&] {
        spread.HitList = unsorted;
        checksum += render(spread, byAuthor);
    });
    report("render 200 hits, sort Author ABC", sorted, cat, 30, 200);

    std::printf("(checksum %lld)\n", static_cast<long long>(checksum));
    return g_failures == 0 ? 0 : 2;
}
