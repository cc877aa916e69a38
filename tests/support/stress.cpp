// A stand-in for the program at work, to be killed by the tests:
//   tz_stress lock FOLDER        holds the lock of program folder FOLDER
//   tz_stress saves FOLDER BANK  holds FOLDER's lock and saves records, links,
//                                URL/DOI entries and the JP code table of BANK
//                                through the store's own routines
//   tz_stress renumber BANK      makes the bank when it is missing (3000
//                                records on 120 names, each record naming its
//                                journal in its memo), then renumbers it through
//                                the editor's own maintenance routines: sorts,
//                                moves names to other categories, enlarges
//                                categories
//   tz_stress cut BANK PART      makes BANK with records 1 to 7 (version 1),
//                                then rewrites record 7 (version 2) and ends
//                                as if killed after 600 bytes of the first
//                                write to a file whose path contains PART
// Each prints "ready" once it holds the lock or the bank is there (after
// completing a change a kill left unfinished, as opening the bank does), then
// works round after round until killed. A save or a renumbering that fails
// ends it with status 2 and the reason.
#include "core/bank/bank_files.h"
#include "core/common/file_faults.h"
#include "core/jpcode/jp_maintenance.h"
#include "core/session/single_instance.h"
#include "core/store/bank_change.h"
#include "core/store/link_table.h"
#include "support/jp_bank.h"
#include "support/store_stress.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QStringList>
#include <QThread>
#include <cstdio>

using namespace tz;
using namespace tz::testing;

namespace {

int stop(const QString &why)
{
    std::fprintf(stderr, "tz_stress: %s\n", why.toUtf8().constData());
    return 2;
}

void ready()
{
    std::puts("ready");
    std::fflush(stdout);
}

int saves(const QString &bank)
{
    QString error;
    if (!IsBank(bank) && !CreateBank(bank, QDate(2024, 5, 17), &error))
        return stop(error);
    ready();
    QRandomGenerator *random = QRandomGenerator::global();
    for (quint64 round = 0;; ++round) {
        const int count = RecCountSet(bank, &error);
        if (count < 0)
            return stop(error);
        const quint32 version = random->generate();
        // A record in place or after the last one.
        const int n = 1 + int(random->bounded(quint32(qMin(count + 1, kStressRecords))));
        if (!RecWrite(bank, n, stressRecord(n, version), true, &error) ||
            !PdfWrite(bank, n, stressEntry(n, version), true, &error))
            return stop(error);
        // A new link list for one of the first records.
        const int records = qMax(count, n);
        const int r = 1 + int(random->bounded(quint32(qMin(records, 3))));
        QStringList wanted;
        for (int x = 1; x <= records; ++x)
            if (x != r && random->bounded(2) == 0)
                wanted.append(QString::number(x));
        const QString old = LinkRead(bank, r, records, kMaxRecords, &error);
        if (!error.isEmpty() || !LinkWrite(bank, r, wanted.join(u','), old, &error) ||
            (round % 4 == 0 &&
             !JPcodeSave(QDir(bank).filePath(QString(kJPcodeFileName)), stressTable(version), &error)))
            return stop(error);
    }
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

int renumber(const QString &bank)
{
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
    ready();

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

int cut(const QString &bank, const QString &part)
{
    QString error;
    if (!CreateBank(bank, QDate(2024, 5, 17), &error))
        return stop(error);
    for (int n = 1; n <= 7; ++n)
        if (!RecWrite(bank, n, stressRecord(n, 1), true, &error))
            return stop(error);
    const FileFaultScope kill({FileStep::Write, kFaultEndsProcess, 600, 0, part});
    if (!RecWrite(bank, 7, stressRecord(7, 2), true, &error))
        return stop(error);
    return stop(QStringLiteral("the write was not cut"));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == u"renumber")
        return renumber(args[2]);
    if (args.size() == 4 && args[1] == u"cut")
        return cut(args[2], args[3]);
    if (args.size() < 3 || (args[1] == u"saves" && args.size() < 4))
        return stop(QStringLiteral("usage: tz_stress lock FOLDER | saves FOLDER BANK | renumber BANK"));
    SingleInstance single;
    const LockResult lock = single.lock(args[2]);
    if (lock.outcome != LockOutcome::Acquired)
        return stop(lock.outcome == LockOutcome::OtherCopyRuns ? QStringLiteral("another copy runs") : lock.message);
    if (args[1] == u"saves")
        return saves(args[3]);
    ready();
    for (;;)
        QThread::sleep(60);
}
