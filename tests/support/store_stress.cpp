// A stand-in for the program at work, to be killed by the tests:
//   tz_store_stress lock FOLDER        holds the lock of program folder FOLDER
//   tz_store_stress saves FOLDER BANK  holds FOLDER's lock and saves records,
//                                      links, URL/DOI entries and the JP code
//                                      table of BANK through the store's own
//                                      routines, round after round
// Each prints "ready" once it holds the lock and then runs until killed. A
// save that fails ends it with status 2 and the reason.
#include "support/store_stress.h"
#include "core/bank/bank_files.h"
#include "core/session/single_instance.h"
#include "core/store/link_table.h"

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
    std::fprintf(stderr, "tz_store_stress: %s\n", why.toUtf8().constData());
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 || (args[1] == u"saves" && args.size() < 4))
        return stop(QStringLiteral("usage: tz_store_stress lock FOLDER | saves FOLDER BANK"));
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
