// A stand-in for the JP code editor at work, to be killed by the tests:
//   tz_jp_stress BANK   makes the bank when it is missing (3000 records on
//                       120 names, each record naming its journal in its
//                       memo), then renumbers it round after round through
//                       the editor's own maintenance routines: sorts, moves
//                       names to other categories, enlarges categories.
// It prints "ready" once the bank is there (after completing a change a
// kill left unfinished, as opening the bank does) and runs until killed. A
// renumbering that fails ends it with status 2 and the reason.
#include "core/jpcode/jp_maintenance.h"
#include "core/store/bank_change.h"
#include "support/jp_bank.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <cstdio>

using namespace tz;
using namespace tz::testing;

namespace {

int stop(const QString &why)
{
    std::fprintf(stderr, "tz_jp_stress: %s\n", why.toUtf8().constData());
    return 2;
}

void makeRenumberingBank(const QString &bank)
{
    QMap<int, QString> names;
    for (auto [first, last, prefix] :
         {std::tuple{1, 15, "Top"}, {21, 80, "Journal"}, {101, 130, "Press"}, {151, 180, "Other"}})
        for (int c = first; c <= last; ++c)
            names.insert(c, QStringLiteral("%1 %2").arg(QLatin1String(prefix)).arg(c));
    const JPcodeTable table = jpTable(20, 100, 150, 200, names);
    QRandomGenerator random(1729);
    const QList<int> codes = names.keys();
    QList<std::pair<int, int>> records;
    for (int i = 0; i < 3000; ++i)
        records.append({codes[int(random.bounded(quint32(codes.size())))], 1});
    writeJPbank(bank, table, records);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2)
        return stop(QStringLiteral("usage: tz_jp_stress BANK"));
    const QString bank = args[1];
    QString error;
    if (!QFileInfo::exists(bank))
        makeRenumberingBank(bank);
    if (!CompleteBankChange(bank, &error))
        return stop(error);
    JPcodeTable table;
    if (!JPcodeLoad(bank + QStringLiteral("/JPcode.tzd"), table, &error))
        return stop(error);
    JPcodeMaintenance m(table);
    m.bankPath = bank;
    std::puts("ready");
    std::fflush(stdout);

    QRandomGenerator *random = QRandomGenerator::global();
    for (;;) {
        JPoutcome o;
        const int category = int(random->bounded(4));
        switch (random->bounded(3)) {
        case 0:
            o = m.sort();
            break;
        case 1: {
            if (m.countUsage().status != JPstatus::Done)
                return stop(QStringLiteral("usage count failed"));
            QList<int> used;
            for (int c = 1; c <= table.JPendE; ++c)
                if (JPusageOf(m.usage, c) > 0)
                    used.append(c);
            o = m.moveCode(used[int(random->bounded(quint32(used.size())))], category);
            break;
        }
        default:
            if (table.JPendE > 1500) {
                o = m.sort();
                break;
            }
            // A full category: its free codes take names without records.
            for (int c = JPcategoryFirst(table, category); c <= JPcategoryLast(table, category); ++c)
                if (table.JPname[c].isEmpty())
                    table.JPname[c] = QStringLiteral("Spare %1 %2").arg(c).arg(random->generate());
            if (m.save().status != JPstatus::Done)
                return stop(QStringLiteral("save failed"));
            o = m.newCode(category);
            break;
        }
        // A move without a free code in its target is refused; anything else
        // that is not done is a fault.
        if (o.status == JPstatus::Failed || o.status == JPstatus::Cancelled ||
            (o.status == JPstatus::Done && !o.message.isEmpty()))
            return stop(o.message);
    }
}
