// The JP code maintenance on hand-made banks (support/jp_bank.h): after every
// change, after a write that fails at any step and after a kill at any
// moment, each record still points at the name its memo gives.
#include "core/common/file_faults.h"
#include "core/jpcode/jp_editor_model.h"
#include "core/session/session.h"
#include "core/store/bank_change.h"
#include "support/fake_user_interface.h"
#include "support/jp_bank.h"
#include "support/test_rows.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace tz;
using namespace tz::testing;

namespace {

// An outcome as "status code message", for comparisons that show it whole.
QString outcome(const JPoutcome &o)
{
    const char *status[] = {"Done", "Unchanged", "Refused", "Cancelled", "Failed"};
    return QStringLiteral("%1 %2 %3").arg(QLatin1String(status[int(o.status)])).arg(o.code).arg(o.message).trimmed();
}

QString ends(const JPcodeTable &t)
{
    return QStringLiteral("%1 %2 %3 %4").arg(t.JPendT).arg(t.JPendJ).arg(t.JPendP).arg(t.JPendE);
}

// Each renumbering on its bank: a table with `first`..`last` full.
struct Renumbering
{
    const char *name;
    int first, last;
    std::function<JPoutcome(JPcodeMaintenance &)> run;

    JPcodeTable table() const
    {
        QMap<int, QString> names{{5, "Top"},     {30, "Zebra"},  {95, "Journal"},
                                 {120, "Press"}, {160, "Alpha"}, {190, "Beta"}};
        for (int c = first; c <= last; ++c)
            names.insert(c, QStringLiteral("Full %1").arg(c));
        return jpTable(20, 100, 150, 200, names);
    }
};

const Renumbering kRenumberings[] = {
    {"Top Journals enlarged by 10", 1, 20, [](JPcodeMaintenance &m) { return m.newCode(JPtop); }},
    {"Common Journals enlarged", 21, 100, [](JPcodeMaintenance &m) { return m.newCode(JPcommon); }},
    {"Press names enlarged", 101, 150, [](JPcodeMaintenance &m) { return m.newCode(JPpress); }},
    {"moved to etc.", 0, -1, [](JPcodeMaintenance &m) { return m.moveCode(120, JPetc); }},
    {"sorted", 0, -1, [](JPcodeMaintenance &m) { return m.sort(); }},
};

} // namespace

class TestJPMaintenance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_banks = 0;
    QList<QString> m_asked;

    QString newBank() { return m_dir.filePath(QStringLiteral("b%1.bnk").arg(++m_banks)); }

    // The maintenance of the bank's table, every question answered with `answer`.
    JPcodeMaintenance ops(const QString &bank, JPcodeTable &table, bool answer = true)
    {
        m_asked.clear();
        JPcodeMaintenance m(table);
        m.bankPath = bank;
        m.confirm = [this, answer](const QString &q) {
            m_asked.append(q);
            return answer;
        };
        return m;
    }

private Q_SLOTS:
    // "New" in a full category enlarges it: the new group ends, the shift of
    // the old codes per group T, J, P, E, and the code a second "New" finds.
    void enlargements_data()
    {
        // clang-format off
        rows::table({"category", "lastTenFree", "ends", "shift", "firstNew"}, {
            {"Top Journals", "1", "30 100 150 200", "0 10 0 0", "21"}, // the last ten journal codes free
            {"Top Journals", "0", "30 150 200 250", "0 10 50 50", "21"},
            {"Common Journals", "0", "20 150 200 250", "0 0 50 50", "101"},
            {"Press names", "0", "20 100 200 250", "0 0 0 50", "151"}, {"etc.", "0", "20 100 150 250", "0 0 0 0", "201"},
        });
        // clang-format on
    }
    void enlargements()
    {
        const int category =
            int(QStringList{"Top Journals", "Common Journals", "Press names", "etc."}.indexOf(rows::text("category")));
        const bool lastTenFree = rows::number("lastTenFree");
        const QStringList shift = rows::text("shift").split(u' ');
        // The category is full; a few names elsewhere; code 95 (one of the
        // last ten journal codes) used by a record unless they are free.
        JPcodeTable table =
            jpTable(20, 100, 150, 200, {{5, "Top 5"}, {30, "J 30"}, {120, "Press 120"}, {160, "E 160"}});
        const int first[] = {1, 21, 101, 151}, last[] = {20, 100, 150, 200};
        for (int c = first[category]; c <= last[category]; ++c)
            table.JPname[c] = QStringLiteral("Full %1").arg(c);
        const QString bank = newBank();
        writeJPbank(bank, table, {{5, 2}, {30, 1}, {120, 3}, {160, 2}, {0, 1}, {95, lastTenFree ? 0 : 1}});
        const QList<Record> before = storedRecords(bank);

        JPcodeMaintenance m = ops(bank, table);
        QCOMPARE(outcome(m.newCode(category)), "Done 0"); // enlarged; the new codes are not selected
        QCOMPARE(m_asked, QStringList{kAskEnlarge.arg(category == 0 ? 10 : 50)});
        QCOMPARE(ends(storedTable(bank)), rows::text("ends"));
        QCOMPARE(storedTable(bank).JPname, table.JPname);
        QVERIFY2(journalFault(bank).isEmpty(), qPrintable(journalFault(bank)));
        const QList<Record> after = storedRecords(bank);
        const JPcodeTable old = jpTable(20, 100, 150, 200, {});
        for (int i = 0; i < before.size(); ++i) {
            const int group = JPcodeGroup(old, before[i].JPcode);
            QCOMPARE(after[i].JPcode, before[i].JPcode + (group ? shift[group - 1].toInt() : 0));
        }
        // A second "New" finds the first new code.
        QCOMPARE(m.newCode(category).code, rows::number("firstNew"));
    }

    // "New" skips an empty code that a record uses; only an unused code is
    // deleted (the table is written at the next save); with no free code and
    // the enlargement declined, nothing changes.
    void codesInUse()
    {
        JPcodeTable table = jpTable(5, 10, 15, 20, {{1, "A"}, {2, "B"}, {7, "Used"}, {8, "Unused"}});
        const QString bank = newBank();
        writeJPbank(bank, table, {{3, 1}, {7, 1}});
        const auto snapshot = folderSnapshot(bank);
        JPcodeMaintenance m = ops(bank, table);
        QCOMPARE(m.newCode(JPtop).code, 4);
        QCOMPARE(outcome(m.deleteCode(7)), "Refused 0 " + kMsgCodeInUse);
        QCOMPARE(outcome(m.deleteCode(8)), "Done 8");
        QVERIFY(table.JPname[7] == QStringLiteral("Used") && table.JPname[8].isEmpty());
        table.JPname[4] = table.JPname[5] = QStringLiteral("C");
        QCOMPARE(outcome(ops(bank, table, false).newCode(JPtop)), "Cancelled 0");
        QVERIFY(folderSnapshot(bank) == snapshot);
    }

    // Publisher 160 with four records goes to "etc.", where 205 is the lowest
    // free code: the records get 205 and style 4, 160 becomes free.
    void moveTakesRecordsAlong()
    {
        JPcodeTable table = jpTable(20, 100, 200, 250, {{160, "Press 160"}, {30, "J 30"}});
        for (int c = 201; c <= 204; ++c)
            table.JPname[c] = QStringLiteral("etc %1").arg(c);
        const QString bank = newBank();
        writeJPbank(bank, table, {{160, 4}, {30, 2}});
        JPcodeMaintenance m = ops(bank, table);
        const JPoutcome o = m.moveCode(160, JPetc);
        QCOMPARE(outcome(o), "Done 205");
        QCOMPARE(m_asked, QStringList{QStringLiteral("160 番の内容を205 番に移動します。")});
        const QList<Record> records = storedRecords(bank);
        for (int i = 0; i < 4; ++i)
            QVERIFY(records[i].JPcode == 205 && records[i].Style == 4);
        QVERIFY(records[4].JPcode == 30 && records[5].JPcode == 30 && records[5].Style == 1);
        const JPcodeTable stored = storedTable(bank);
        QVERIFY(stored.JPname[205] == "Press 160" && stored.JPname[160].isEmpty());
        QVERIFY(m.usage[205] == 4 && m.usage[160] == 0);
        QVERIFY(o.renumbered && o.renumbered->styleCode == 160);
        QVERIFY(journalFault(bank).isEmpty());
        // Into "Press names" the question has a blank after 内容を.
        QCOMPARE(MoveQuestion(30, 101, JPpress), QStringLiteral("30 番の内容を 101 番に移動します。"));

        // No free code in the target: refused, nothing changes.
        for (int c = 21; c <= 100; ++c)
            table.JPname[c] = QStringLiteral("J %1").arg(c);
        JPcodeSave(bank + "/JPcode.tzd", table);
        const auto snapshot = folderSnapshot(bank);
        QCOMPARE(outcome(ops(bank, table).moveCode(205, JPcommon)), "Refused 0 " + kMsgNoMoveTarget);
        QVERIFY(folderSnapshot(bank) == snapshot);
        // The category of the code itself: nothing happens.
        QCOMPARE(outcome(ops(bank, table).moveCode(205, JPetc)).left(9), "Unchanged");
    }

    // Each category by name, free codes behind the names (also behind names
    // above U+9ED1, and a name "黑黑" stays a name); every record keeps its
    // journal; bytes after the last whole record stay.
    void sortKeepsEveryRecordOnItsName()
    {
        // Codes 1..17 in the groups 1-8, 9-12, 13-15, 16-17.
        const QStringList names =
            QString::fromUtf8("|Zeta||alpha|Beta|黑黑|Ｚ全角|Beta|||Nu|Mu|||Press B|Press A||Other").split(u'|');
        JPcodeTable table = jpTable(8, 12, 15, 17, {});
        table.JPname = names;
        const QString bank = newBank();
        writeJPbank(bank, table, {{1, 2}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {11, 2}, {15, 1}, {17, 1}, {0, 1}});
        const QByteArray tail("partial record");
        QFile f(bank + "/record.tzd");
        QVERIFY(f.open(QIODevice::Append) && f.write(tail) == tail.size());
        f.close();
        const QList<Record> before = storedRecords(bank);

        JPcodeMaintenance m = ops(bank, table);
        QCOMPARE(outcome(m.sort()), "Done 0");
        QCOMPARE(m_asked, QStringList{kAskSort});
        const QStringList expected =
            QString::fromUtf8("|Beta|Beta|Zeta|alpha|黑黑|Ｚ全角|||Mu|Nu|||Press A|Press B||Other|").split(u'|');
        QCOMPARE(storedTable(bank).JPname, expected);
        QVERIFY2(journalFault(bank).isEmpty(), qPrintable(journalFault(bank)));
        QCOMPARE(storedRecords(bank).size(), before.size());
        QVERIFY(readFile(bank + "/record.tzd").endsWith(tail));
        QCOMPARE(m.usage[1] + m.usage[2], 2); // the two "Beta" records, recounted
    }

    // The editor on a bank: the text output (the title line and the three
    // list lines each ended by a carriage return alone, then one CR LF;
    // nothing when cancelled at the question); then Cancel in the progress
    // window during the record pass of a sort: nothing is written and the
    // card is told of no renumbering.
    void textOutputAndACancelledSort()
    {
        FakeUserInterface ui;
        Session session(ui, m_dir.path());
        const QString bank = m_dir.filePath("text.bnk");
        writeJPbank(bank, jpTable(3, 5, 6, 7, {{1, QString::fromUtf8("生物誌")}, {2, "Nature"}}), {{1, 3}, {2, 2}});
        session.setBank(m_dir.path() + "/", "text");
        JPcodeLoad(bank + "/JPcode.tzd", session.jp);
        JPEditorModel editor(session);
        editor.load(0);
        editor.JPgroup_click(JPtop);
        const QString out = m_dir.filePath("list.txt");
        ui.files.enqueue(out);
        editor.textOutput();
        QCOMPARE(ui.saveFilters, kTextOutputFilters);
        QCOMPARE(ui.saveFilter, 1);
        QCOMPARE(ui.messageTexts(), QStringList{out + QStringLiteral("として保存します。")});
        QCOMPARE(readFile(out), QByteArray("JPcode list of Top Journals\r"
                                           "   1  (    3)    \x90\xb6\x95\xa8\x8e\x8f\r"
                                           "   2  (    2)    Nature\r"
                                           "   3  (     )    \r"
                                           "\r\n"));
        ui.files.enqueue(m_dir.filePath("none.txt"));
        ui.answers.append(MsgAnswer::Cancel);
        editor.textOutput();
        QVERIFY(!QFile::exists(m_dir.filePath("none.txt")));

        int renumbered = 0;
        connect(&editor, &JPEditorModel::renumbered, this, [&renumbered] { ++renumbered; });
        const auto snapshot = folderSnapshot(bank);
        ui.duringEvents = [&ui] {
            if (ui.progressShown && ui.cancel)
                ui.cancel();
        };
        editor.sort();
        QVERIFY(ui.progressOpens > 0 && ui.progressCloses == ui.progressOpens);
        QVERIFY(folderSnapshot(bank) == snapshot);
        QCOMPARE(renumbered, 0);
        QCOMPARE(session.jp.JPname[1], QString::fromUtf8("生物誌"));
        ui.duringEvents = nullptr;
        editor.sort();
        QCOMPARE(renumbered, 1);
        QCOMPARE(storedTable(bank).JPname[1], QStringLiteral("Nature"));
    }

    // Records keep their codes; their names come from the copied table.
    void copyOfAnotherBanksTable()
    {
        const QString bank = newBank(), other = newBank();
        JPcodeTable table = jpTable(20, 100, 150, 200, {{3, "Old 3"}, {120, "Old press"}});
        writeJPbank(bank, table, {{3, 2}, {120, 1}});
        const QByteArray records = readFile(bank + "/record.tzd");
        const JPcodeTable copied = jpTable(10, 50, 150, 300, {{3, "New 3"}, {120, "New press"}});
        writeJPbank(other, copied, {});
        int asked = 0;
        auto ask = [&asked](const QString &) {
            ++asked;
            return false;
        };

        QCOMPARE(outcome(CopyJPcodeFile(other + "/JPcode.tzd", bank, table, ask)), "Done 0");
        QCOMPARE(readFile(bank + "/record.tzd"), records);
        QCOMPARE(readFile(bank + "/JPcode.tzd"), readFile(other + "/JPcode.tzd"));
        QVERIFY(JPcodeName(table, 3) == "New 3" && JPcodeName(table, 120) == "New press" && table.JPendE == 300);

        // The bank's own file: left untouched, loaded again.
        const QString own = bank + "/JPcode.tzd";
        const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
        QFile ownFile(own);
        QVERIFY(ownFile.open(QIODevice::ReadWrite) && ownFile.setFileTime(old, QFileDevice::FileModificationTime));
        ownFile.close();
        const auto snapshot = folderSnapshot(bank);
        table.JPname[3] = "unsaved";
        QCOMPARE(int(CopyJPcodeFile(own, bank, table, ask).status), int(JPstatus::Done));
        QVERIFY(folderSnapshot(bank) == snapshot);
        QCOMPARE(QFileInfo(own).lastModified(), old);
        QCOMPARE(JPcodeName(table, 3), QStringLiteral("New 3"));

        // A file not read exactly is copied only when agreed (refused by the
        // command line's test); a folder is no file.
        QCOMPARE(int(CopyJPcodeFile(other, bank, table, ask).status), int(JPstatus::Failed));
        QVERIFY(asked == 0 && folderSnapshot(bank) == snapshot);
    }

    void everyStepFails_data()
    {
        QTest::addColumn<int>("renumbering");
        QTest::addColumn<int>("step");
        for (int i = 0; i < int(std::size(kRenumberings)); ++i)
            for (const auto &[step, name] : {std::pair{FileStep::Create, "create"},
                                             {FileStep::Write, "write"},
                                             {FileStep::Sync, "sync"},
                                             {FileStep::Rename, "rename"}})
                QTest::addRow("%s, %s", kRenumberings[i].name, name) << i << int(step);
    }
    // The step fails at its first, second, ... occurrence (a write after
    // 0, 1000, 2000, ... bytes) until the renumbering runs through. Once the
    // next opening has run CompleteBankChange, the bank is either as it was
    // (the failure told, the table in memory as it was) or as the change makes it.
    void everyStepFails()
    {
        QFETCH(int, renumbering);
        QFETCH(int, step);
        const Renumbering &r = kRenumberings[renumbering];
        const auto bankOf = [&] {
            const QString bank = newBank();
            writeJPbank(bank, r.table(), {{5, 3}, {30, 2}, {95, 1}, {120, 4}, {160, 2}, {190, 1}, {0, 1}});
            return bank;
        };
        const QString reference = bankOf();
        JPcodeTable changed = r.table();
        JPcodeMaintenance done = ops(reference, changed);
        QCOMPARE(int(r.run(done).status), int(JPstatus::Done));
        const auto after = folderSnapshot(reference);
        QVERIFY(folderSnapshot(bankOf()) != after);

        int failedBefore = 0, inEffect = 0;
        for (int n = 0;; ++n) {
            const QString bank = bankOf();
            const auto before = folderSnapshot(bank);
            JPcodeTable table = r.table();
            JPoutcome o;
            int strikes = 0;
            {
                FileFaultScope fault(
                    FileFault(FileStep(step), step == int(FileStep::Rename) ? EIO : ENOSPC, 1000 * n, n));
                JPcodeMaintenance m = ops(bank, table);
                o = r.run(m);
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
                QVERIFY(!o.renumbered && table == r.table());
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

    // A program renumbering a bank of 3000 records over and over, killed at
    // random moments (TZ_KILL_COUNT times, 20 by default): after each kill the
    // bank as the card opens it has its 3000 records, each on its name with
    // the style of that name's category, and no file of the change is left.
    void renumberingsSurviveKills()
    {
        const int kills = killCount();
        const QString bank = newBank();
        QRandomGenerator random(20140726);
        int pending = 0, rolledBack = 0, mixed = 0;
        for (int i = 0; i < kills; ++i) {
            QProcess helper;
            helper.start(TZ_STRESS_PATH, {"renumber", bank});
            QVERIFY(helper.waitForReadyRead(60000));
            QThread::usleep(random.bounded(400000));
            QCOMPARE(helper.state(), QProcess::Running); // a renumbering failed: see its message
            killNow(helper);

            if (QFileInfo::exists(bank + "/" + kBankChangeIntent)) {
                ++pending;
                rolledBack += QFileInfo::exists(bank + "/" + kBankChangeRecords) ? 1 : 0;
                mixed += journalFault(bank).isEmpty() ? 0 : 1; // what the opening must repair
            }
            QString error;
            QVERIFY2(CompleteBankChange(bank, &error), qPrintable(error));
            const QString fault = journalFault(bank);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("after kill %1: %2").arg(i + 1).arg(fault)));
            QCOMPARE(storedRecords(bank).size(), 3000);
            // A plain save of the table killed midway leaves its temporary
            // file (".JPcode.tzd.xxxxxx"); the opening removes it.
            const QStringList files = QDir(bank).entryList(QDir::Files | QDir::Hidden | QDir::System);
            QCOMPARE(files, (QStringList{"JPcode.tzd", "Link.tzd", "Pdf.tzd", "record.tzd"}));
        }
        qInfo("%d kills: %d left a renumbering under way (%d rolled back, %d completed on opening, %d of them with "
              "records and names not agreeing before the opening); every record "
              "kept its name after each; the table has %d codes, and no temporary file is left",
              kills, pending, rolledBack, pending - rolledBack, mixed, int(storedTable(bank).JPendE));
    }
};

QTEST_GUILESS_MAIN(TestJPMaintenance)
#include "tst_jp_maintenance.moc"
