// Importing a RIS file of 10,000 references into a new bank as the bank
// menu's import does it: reading and checking the whole file, the duplicate
// check, the JP codes of 300 new journals and publishers (Common Journals
// enlarged as often as needed) and the one write of the records and the
// URL/DOI table. The references vary as a library's export does: 2 to 6
// authors, Japanese and English names and titles, DOIs, volumes and issues,
// page ranges, keywords. The figure is the median elapsed time of 7 rounds,
// each into a bank of its own made beforehand (target < 1 s).
//
//   bench_import [FOLDER]   (default: a temporary folder for the banks)

#include "support/timing.h"

#include "core/bank/bank_files.h"
#include "core/interchange/bank_import.h"
#include "core/store/jpcode.h"
#include "core/store/record.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kReferences = 10000;
constexpr int kSources = 300;

// A small deterministic generator, so that every run imports the same file.
class Numbers
{
public:
    explicit Numbers(quint32 seed) : m_state(seed) {}
    int below(int n)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return int((m_state >> 8) % quint32(n));
    }

private:
    quint32 m_state;
};

QByteArray risFile()
{
    static const char *const families[] = {"Smith",  "Tanaka",   "Müller", "Garcia",   "Suzuki", "Johnson",  "Kim",
                                           "Nguyen", "Brown",    "Sato",   "van Dijk", "Rossi",  "Watanabe", "Lee",
                                           "Novak",  "O'Connor", "Ito",    "Dubois",   "Chen",   "Yamamoto"};
    static const char *const japanese[] = {"山田", "佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "中村"};
    static const char *const words[] = {"analysis",   "structure", "protein", "economic", "learning", "model",
                                        "regulation", "neural",    "quantum", "climate",  "market",   "cells",
                                        "dynamics",   "theory",    "genome",  "network",  "policy",   "signal"};
    static const char *const fields[] = {"Biology", "Physics", "Economics", "Chemistry", "Psychology", "Computing"};
    Numbers n(20250601);
    QString out;
    out.reserve(kReferences * 420);
    auto put = [&out](const char *tag, const QString &value) {
        out += QLatin1String(tag) + QStringLiteral("  - ") + value + QStringLiteral("\r\n");
    };
    for (int i = 0; i < kReferences; ++i) {
        const int source = n.below(kSources);
        const bool book = source >= 250; // the last 50 sources are publishers
        const bool jp = n.below(5) == 0;
        put("TY", book ? QStringLiteral("BOOK") : QStringLiteral("JOUR"));
        const int authors = 2 + n.below(5);
        for (int a = 0; a < authors; ++a)
            put("AU",
                jp ? QString::fromUtf8(japanese[n.below(8)]) + QStringLiteral(", 太郎")
                   : QString::fromUtf8(families[n.below(20)]) +
                         QStringLiteral(", %1. %2.").arg(QChar(u'A' + n.below(26))).arg(QChar(u'A' + n.below(26))));
        // A book has no volume and page to tell it apart: its number leads its title.
        QString title = book ? QStringLiteral("%1: ").arg(i) : QString();
        if (jp) {
            title += QStringLiteral("日本における研究 %1").arg(i);
        } else {
            title += QStringLiteral("On the");
            for (int w = 0, count = 4 + n.below(6); w < count; ++w)
                title += u' ' + QString::fromLatin1(words[n.below(18)]);
            title += QStringLiteral(" %1").arg(i);
        }
        put("TI", title);
        const QString name = QStringLiteral("%1 of %2 %3")
                                 .arg(book ? QStringLiteral("Press") : QStringLiteral("Journal"))
                                 .arg(QString::fromLatin1(fields[source % 6]))
                                 .arg(source);
        if (book) {
            put("PB", name);
        } else {
            put("T2", name);
            put("VL", QString::number(1 + n.below(120)));
            put("IS", QString::number(1 + n.below(12)));
            const int page = 1 + n.below(2000);
            put("SP", QString::number(page));
            put("EP", QString::number(page + 3 + n.below(30)));
        }
        put("PY", QString::number(1950 + n.below(76)));
        for (int k = 0, keys = n.below(4); k < keys; ++k)
            put("KW", QString::fromLatin1(words[n.below(18)]));
        put("DO", QStringLiteral("10.%1/bench.%2").arg(1000 + source).arg(i));
        if (n.below(3) == 0)
            put("UR", QStringLiteral("https://example.org/articles/%1").arg(i));
        out += QStringLiteral("ER  - \r\n\r\n");
    }
    return out.toUtf8();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp(app.arguments().size() > 1 ? app.arguments()[1] + QStringLiteral("/bench-XXXXXX")
                                                  : QDir::tempPath() + QStringLiteral("/bench-XXXXXX"));
    const QByteArray file = risFile();
    constexpr int kRounds = 7;
    QStringList banks;
    for (int i = 0; i <= kRounds; ++i) {
        banks << temp.filePath(QStringLiteral("b%1.bnk").arg(i));
        QString error;
        if (!tz::CreateBank(banks.last(), QDate::currentDate(), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    int round = 0, imported = 0;
    QString error;
    const tz::bench::Times t = tz::bench::median(
        [&] {
            const QString bank = banks[round++];
            tz::JPcodeTable table;
            tz::JPcodeLoad(QDir(bank).filePath(QString(tz::kJPcodeFileName)), table);
            tz::BankImport importer(table);
            importer.bankPath = bank;
            tz::ImportPlan plan = importer.plan(file);
            const tz::ImportOutcome o = importer.apply(plan);
            imported = o.count;
            if (o.status != tz::JPstatus::Done)
                error = o.message.isEmpty() ? plan.error : o.message;
        },
        true, kRounds);
    if (!error.isEmpty() || imported != kReferences || tz::RecCountSet(banks.last()) != kReferences) {
        std::fprintf(stderr, "the import failed: %s (%d records)\n", qPrintable(error), imported);
        return 1;
    }
    std::printf("import %d RIS references (%.1f MB, %d journals and publishers) into a new bank: %.0f ms "
                "(cpu %.0f ms)   target < 1000 ms: %s\n",
                kReferences, double(file.size()) / (1024 * 1024), kSources, t.wall, t.cpu,
                t.wall < 1000 ? "ok" : "MISSED");
    return t.wall < 1000 ? 0 : 2;
}
