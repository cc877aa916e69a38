// Renumbering the JP codes of a full bank of 32,767 records as the JP code
// editor does it: sorting every category by name, enlarging "Common Journals"
// (every publisher and "etc." record moves up by 50) and moving one journal to
// another category. Each renumbering reads the record file once, renumbers it
// in memory and replaces the record file and the table as one change, flushed
// to the device. Each figure is the median of 7 rounds on the bank as it was
// generated, elapsed time, with its ratio to one whole read of the record file.
//
//   bench_jpcode [FOLDER]   (default: a temporary folder for the bank)

#include "support/bank_generator.h"

#include "core/jpcode/jp_maintenance.h"
#include "core/store/record.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

double medianOf(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp(app.arguments().size() > 1 ? app.arguments()[1] + QStringLiteral("/bench-XXXXXX")
                                                  : QDir::tempPath() + QStringLiteral("/bench-XXXXXX"));
    const bench::GeneratedBank made = bench::WriteBenchBank(temp.filePath(QStringLiteral("pristine.bnk")));
    if (made.path.isEmpty()) {
        std::fprintf(stderr, "cannot write the bank\n");
        return 1;
    }
    const QString bank = temp.filePath(QStringLiteral("bench.bnk"));
    QDir().mkpath(bank);
    // The bank as generated again, its record file read once so that it is
    // in the page cache, as the file of a bank the card has open is.
    auto restore = [&] {
        for (const char *name : {"record.tzd", "JPcode.tzd"})
            if (!copyFile(QDir(made.path).filePath(QLatin1String(name)), QDir(bank).filePath(QLatin1String(name))))
                std::exit(1);
        tz::ReadRecordFile(bank);
    };
    restore();
    const QString recordFile = QDir(bank).filePath(QString(tz::kRecordFileName));
    std::printf("bank: %d records, %.1f MB, in %s\n", made.records, double(QFileInfo(recordFile).size()) / 1e6,
                qPrintable(temp.path()));

    QList<double> reads;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer t;
        t.start();
        QFile f(recordFile);
        f.open(QIODevice::ReadOnly);
        static char buffer[128 * 1024];
        while (f.read(buffer, sizeof buffer) > 0) {
        }
        reads.append(double(t.nsecsElapsed()) / 1e6);
    }
    const double cat = medianOf(reads);
    std::printf("%-46s %7.1f ms\n", "cat record.tzd > /dev/null", cat);

    int failures = 0;
    // Rounds on the bank as generated; only the operation itself is timed.
    auto time = [&](const char *what, double targetMs, const std::function<tz::JPoutcome(tz::JPcodeMaintenance &)> &op,
                    const std::function<void(tz::JPcodeTable &)> &prepare = {}) {
        QList<double> rounds;
        int changed = 0;
        for (int i = 0; i < 8; ++i) {
            restore();
            tz::JPcodeTable table;
            tz::JPcodeLoad(QDir(bank).filePath(QString(tz::kJPcodeFileName)), table);
            if (prepare)
                prepare(table);
            tz::JPcodeMaintenance m(table);
            m.bankPath = bank;
            QElapsedTimer t;
            t.start();
            const tz::JPoutcome o = op(m);
            const double ms = double(t.nsecsElapsed()) / 1e6;
            if (o.status != tz::JPstatus::Done) {
                std::fprintf(stderr, "%s: %s\n", what, qPrintable(o.message));
                std::exit(1);
            }
            if (i > 0) // the first round warms up
                rounds.append(ms);
            changed = 0;
            if (o.renumbered)
                for (int c = 1; c <= tz::kJPcodeMax; ++c)
                    changed += o.renumbered->code[c] != c ? 1 : 0;
        }
        const double ms = medianOf(rounds);
        const bool ok = targetMs <= 0 || ms < targetMs;
        failures += ok ? 0 : 1;
        std::printf("%-46s %7.1f ms  %5.1f x cat   (%d codes renumbered)", what, ms, ms / cat, changed);
        if (targetMs > 0)
            std::printf("   target < %.0f ms: %s", targetMs, ok ? "ok" : "MISSED");
        std::printf("\n");
    };
    time("sort every category (JPcodeSort)", 300, [](tz::JPcodeMaintenance &m) { return m.sort(); });
    // "New" in a full "Common Journals" enlarges it.
    time(
        "enlarge Common Journals (JPcodePlusJ)", 300, [](tz::JPcodeMaintenance &m) { return m.newCode(tz::JPcommon); },
        [](tz::JPcodeTable &t) {
            for (int c = t.JPendT + 1; c <= t.JPendJ; ++c)
                if (t.JPname[c].isEmpty())
                    t.JPname[c] = QStringLiteral("Spare %1").arg(c);
        });
    // A move needs a free code in "etc.": one more code at its end.
    time(
        "move one journal to etc. (JPcodeX)", 300, [](tz::JPcodeMaintenance &m) { return m.moveCode(7, tz::JPetc); },
        [](tz::JPcodeTable &t) {
            ++t.JPendE;
            tz::JPcodeRepairEnds(t);
        });
    time("usage count", 0, [](tz::JPcodeMaintenance &m) { return m.countUsage(); });
    return failures == 0 ? 0 : 2;
}
