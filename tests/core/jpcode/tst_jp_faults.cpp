// Every renumbering of the JP codes made to fail at each step of its writing:
// creating, writing, flushing and renaming each of the files of the change.
// The bank the failure leaves is, once the next opening has run
// CompleteBankChange, either the bank as it was (the failure was told and the
// table in memory is as it was) or the bank as the change makes it; never
// records that point at other names.
#include "core/common/file_faults.h"
#include "core/jpcode/jp_maintenance.h"
#include "core/store/bank_change.h"
#include "support/jp_bank.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tz;
using namespace tz::testing;

namespace {

struct Renumbering
{
    const char *name;
    JPcodeTable table;
    std::function<JPoutcome(JPcodeMaintenance &)> run;
};

const QList<std::pair<int, int>> kCodes = {{5, 3}, {30, 2}, {95, 1}, {120, 4}, {160, 2}, {190, 1}, {0, 1}};

JPcodeTable fullTable(int first, int last, bool ninetyFiveNamed = true)
{
    QMap<int, QString> names{{5, "Top"}, {30, "Zebra"}, {120, "Press"}, {160, "Alpha"}, {190, "Beta"}};
    if (ninetyFiveNamed)
        names.insert(95, "Journal");
    for (int c = first; c <= last; ++c)
        names.insert(c, QStringLiteral("Full %1").arg(c));
    return jpTable(20, 100, 150, 200, names);
}

QList<Renumbering> renumberings()
{
    return {
        {"Top Journals enlarged by 10", fullTable(1, 20), [](JPcodeMaintenance &m) { return m.newCode(JPtop); }},
        {"Common Journals enlarged", fullTable(21, 100), [](JPcodeMaintenance &m) { return m.newCode(JPcommon); }},
        {"Press names enlarged", fullTable(101, 150), [](JPcodeMaintenance &m) { return m.newCode(JPpress); }},
        {"moved to etc.", fullTable(0, -1), [](JPcodeMaintenance &m) { return m.moveCode(120, JPetc); }},
        {"sorted", fullTable(0, -1), [](JPcodeMaintenance &m) { return m.sort(); }},
    };
}

} // namespace

class TestJPFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_banks = 0;

    QString bankOf(const Renumbering &r)
    {
        const QString bank = m_dir.filePath(QStringLiteral("b%1.bnk").arg(++m_banks));
        writeJPbank(bank, r.table, kCodes);
        return bank;
    }
    JPoutcome run(const Renumbering &r, const QString &bank, JPcodeTable &table)
    {
        JPcodeMaintenance m(table);
        m.bankPath = bank;
        return r.run(m);
    }

private Q_SLOTS:
    void everyStepFails_data()
    {
        QTest::addColumn<int>("renumbering");
        QTest::addColumn<int>("step");
        const QList<Renumbering> all = renumberings();
        for (int i = 0; i < all.size(); ++i)
            for (const auto &[step, name] : {std::pair{FileStep::Create, "create"},
                                             {FileStep::Write, "write"},
                                             {FileStep::Sync, "sync"},
                                             {FileStep::Rename, "rename"}})
                QTest::addRow("%s, %s", all[i].name, name) << i << int(step);
    }
    // The step fails at its first, second, ... occurrence (a write after
    // 0, 1000, 2000, ... bytes) until the renumbering runs through.
    void everyStepFails()
    {
        QFETCH(int, renumbering);
        QFETCH(int, step);
        const Renumbering r = renumberings()[renumbering];
        const QString reference = bankOf(r);
        JPcodeTable changed = r.table;
        QCOMPARE(int(run(r, reference, changed).status), int(JPstatus::Done));
        const auto after = folderSnapshot(reference);
        QVERIFY(folderSnapshot(bankOf(r)) != after);

        int failedBefore = 0, inEffect = 0;
        for (int n = 0;; ++n) {
            const QString bank = bankOf(r);
            const auto before = folderSnapshot(bank);
            JPcodeTable table = r.table;
            JPoutcome o;
            int strikes = 0;
            {
                FileFaultScope fault(
                    FileFault(FileStep(step), step == int(FileStep::Rename) ? EIO : ENOSPC, 1000 * n, n));
                o = run(r, bank, table);
                strikes = fault.strikes();
            }
            const QString where = QStringLiteral("failure %1: %2").arg(n).arg(o.message);
            if (strikes == 0) {
                QCOMPARE(int(o.status), int(JPstatus::Done));
                QVERIFY(folderSnapshot(bank) == after);
                break;
            }
            if (o.status == JPstatus::Failed) {
                // Told, and nothing changed: neither the files nor the table in memory.
                QVERIFY2(o.message.contains("tzd") || o.message.contains("renumber"), qPrintable(where));
                QVERIFY(!o.renumbered);
                QCOMPARE(table, r.table);
                QVERIFY(CompleteBankChange(bank));
                QVERIFY2(folderSnapshot(bank) == before, qPrintable(where));
                ++failedBefore;
            } else {
                // In effect: the table waits for the next opening, which puts it in place.
                QCOMPARE(int(o.status), int(JPstatus::Done));
                QVERIFY2(!o.message.isEmpty() && o.renumbered, qPrintable(where));
                QVERIFY(CompleteBankChange(bank));
                QVERIFY2(folderSnapshot(bank) == after, qPrintable(where));
                QCOMPARE(table.JPname, changed.JPname);
                ++inEffect;
            }
            QVERIFY2(journalFault(bank).isEmpty(), qPrintable(where + journalFault(bank)));
            QVERIFY(n < 200);
        }
        QVERIFY(failedBefore > 0);
        if (step == int(FileStep::Rename))
            QCOMPARE(inEffect, 1); // the table's rename after the records' one
    }
};

QTEST_GUILESS_MAIN(TestJPFaults)
#include "tst_jp_faults.moc"
