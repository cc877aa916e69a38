// Kills at random moments (SIGKILL) of a program saving records, links,
// URL/DOI entries and the JP code table, and of tessellane-cli make-bank.
// After each kill: the record file holds whole records, each one of the
// versions written; every whole file is an old or a new version; the link
// table holds whole, distinct pairs; no lock is left that blocks the next
// start; a bank is either absent or complete, never half made.
//
// TZ_KILL_COUNT sets the number of kills of each kind (20 by default).
//
// The lock: one running copy per program folder. Only "another copy runs
// here" ends the program silently; every other lock that cannot be taken is
// told with the lock's path, and a lock that provably belongs to no running
// copy is taken over.
#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/session/single_instance.h"
#include "core/store/link_table.h"
#include "support/store_stress.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

using namespace tz;
using namespace tz::testing;

namespace {

int killCount()
{
    const int n = qEnvironmentVariableIntValue("TZ_KILL_COUNT");
    return n > 0 ? n : 20;
}

void killNow(QProcess &p)
{
    ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished(20000);
}

// What is wrong with the bank the saving helper left, or an empty text.
QString bankFault(const QString &bank)
{
    const QByteArray records = readFile(bank + "/record.tzd"), pdf = readFile(bank + "/Pdf.tzd");
    const QByteArray links = readFile(bank + "/Link.tzd"), jp = readFile(bank + "/JPcode.tzd");
    const int count = int(records.size() / kRecordSize);
    if (records.size() % kRecordSize != 0 || count < 1 || count > kStressRecords)
        return QStringLiteral("record.tzd holds %1 bytes, no whole number of records").arg(records.size());
    if (pdf.size() % kPdfEntrySize != 0 || pdf.size() / kPdfEntrySize > count)
        return QStringLiteral("Pdf.tzd holds %1 bytes for %2 records").arg(pdf.size()).arg(count);
    for (int n = 1; n <= count; ++n) {
        const QByteArrayView record = RecordAt(records, n);
        const auto v = stressVersion(DecodeRecord(record).Memo, QStringLiteral("record %1 version ").arg(n));
        if (!(v ? record == EncodeRecord(stressRecord(n, *v))
                : n == 1 && record == EncodeRecord(BlankRecord(QDate(2024, 5, 17)))))
            return QStringLiteral("record %1 is none of the versions written").arg(n);
        if (n > pdf.size() / kPdfEntrySize)
            continue;
        const QByteArrayView entry = QByteArrayView(pdf).sliced((n - 1) * kPdfEntrySize, kPdfEntrySize);
        const auto w = stressVersion(DecodePdfEntry(entry).URL, QStringLiteral("https://example.org/%1/").arg(n));
        if (!(w ? entry == EncodePdfEntry(stressEntry(n, *w)) : entry == QByteArray(kPdfEntrySize, ' ')))
            return QStringLiteral("URL/DOI entry %1 is none of the versions written").arg(n);
    }
    if (links.size() % kLinkEntrySize != 0)
        return QStringLiteral("Link.tzd holds %1 bytes").arg(links.size());
    QSet<quint32> seen;
    bool free = false; // after the first free entry, every entry is free
    for (const LinkPair &p : DecodeLinkTable(links)) {
        const quint32 pair = quint32(p.RecA) << 16 | quint16(p.RecB);
        free = free || pair == 0;
        if (pair != 0 && (free || !IsValidLink(p, kStressRecords) || seen.contains(pair)))
            return QStringLiteral("Link.tzd holds the pair %1-%2 out of place").arg(p.RecA).arg(p.RecB);
        seen.insert(pair);
    }
    const auto v = stressVersion(ParseJPcode(jp).JPname.value(1), QStringLiteral("version "));
    if (jp != SerializeJPcode(v ? stressTable(*v) : DefaultJPcodeTable()))
        return QStringLiteral("JPcode.tzd is none of the versions written");
    return {};
}

} // namespace

class TestKill : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What the program folder holds, what lock() says, part of the message.
    void lockCases_data()
    {
        // clang-format off
        rows::table({"left", "outcome", "said"}, {
            {"nothing", "acquired", ""}, {"empty (power loss)", "acquired", ""}, {"dead process", "acquired", ""},
            {"foreign host", "failed", "elsewhere.example"}, {"folder", "failed", "フォルダです"},
            {"read-only program folder", "failed", "Read-only file system"}, {"live process", "other copy runs", ""},
        });
        // clang-format on
    }
    void lockCases()
    {
        const QString left = rows::text("left");
        const auto outcome =
            LockOutcome(QStringList{"acquired", "other copy runs", "failed"}.indexOf(rows::text("outcome")));
        QTemporaryDir home;
        const QString lockPath = home.filePath(kLockFileName.toString());
        QProcess live;
        std::optional<FileFaultScope> fault;
        if (left == "empty (power loss)")
            QVERIFY(writeFile(lockPath, {}));
        else if (left == "dead process") // beyond the largest process number of Linux
            QVERIFY(writeFile(lockPath, "4194305\ntessellane\n" + QSysInfo::machineHostName().toUtf8() + "\n"));
        else if (left == "foreign host")
            QVERIFY(writeFile(lockPath, "123\ntessellane\nelsewhere.example\n"));
        else if (left == "folder")
            QVERIFY(QDir().mkdir(lockPath));
        else if (left == "read-only program folder")
            fault.emplace(FileFault{FileStep::Create, EROFS});
        else if (left == "live process") {
            live.start(TZ_STRESS_PATH, {"lock", home.path()});
            QVERIFY(live.waitForReadyRead(20000) && live.readAllStandardOutput().trimmed() == "ready");
        }
        const QByteArray before = readFile(lockPath);
        {
            SingleInstance single;
            const LockResult result = single.lock(home.path());
            QCOMPARE(result.outcome, outcome);
            QVERIFY2(outcome != LockOutcome::Failed || (result.message.contains(QDir::toNativeSeparators(lockPath)) &&
                                                        result.message.contains(rows::text("said"))),
                     qPrintable(result.message));
            if (outcome == LockOutcome::Acquired) // this process's lock
                QCOMPARE(readFile(lockPath).split('\n').value(0),
                         QByteArray::number(QCoreApplication::applicationPid()));
            else
                QCOMPARE(readFile(lockPath), before); // someone else's lock stays as it was
        }
        QVERIFY(outcome != LockOutcome::Acquired || !QFile::exists(lockPath)); // released at the end
        if (left == "live process") {
            // Once the copy is gone, its lock is taken over.
            live.kill();
            QVERIFY(live.waitForFinished(20000));
            SingleInstance after;
            QCOMPARE(after.lock(home.path()).outcome, LockOutcome::Acquired);
        }
    }

    void savesSurviveKills()
    {
        QTemporaryDir home;
        const QString bank = home.filePath("kill.bnk");
        QRandomGenerator random(20140726);
        int maxRecords = 0;
        for (int i = 0; i < killCount(); ++i) {
            QProcess helper;
            helper.start(TZ_STRESS_PATH, {"saves", home.path(), bank});
            QVERIFY(helper.waitForReadyRead(20000));
            QThread::usleep(random.bounded(60000));
            QCOMPARE(helper.state(), QProcess::Running); // a save failed: see its message
            killNow(helper);
            const QString fault = bankFault(bank);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("after kill %1: %2").arg(i + 1).arg(fault)));
            maxRecords = qMax(maxRecords, int(QFileInfo(bank + "/record.tzd").size() / kRecordSize));
            SingleInstance next; // the killed copy's lock does not block the next start
            QCOMPARE(next.lock(home.path()).outcome, LockOutcome::Acquired);
        }
        qInfo("saves: %d kills, bank checked after each, up to %d records", killCount(), maxRecords);
    }

    // All or nothing: what is left half made is no bank, and the next run
    // clears it and writes the bank.
    void makeBankSurvivesKills()
    {
        QTemporaryDir home;
        const QString reference = home.filePath("reference.bnk"), target = home.filePath("sample.bnk");
        const QString source = TZ_SOURCE_DATA "/sample";
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(QProcess::execute(TZ_CLI_PATH, {"make-bank", source, reference}), 0);
        const qint64 took = timer.nsecsElapsed() / 1000; // a whole run, in µs
        const QMap<QString, QByteArray> complete = folderSnapshot(reference);
        QCOMPARE(complete.size(), 4);
        QRandomGenerator random(19991231);
        int finished = 0;
        for (int i = 0; i < killCount(); ++i) {
            QProcess cli;
            cli.start(TZ_CLI_PATH, {"make-bank", source, target});
            QVERIFY(cli.waitForStarted(20000));
            QThread::usleep(random.bounded(quint32(took * 13 / 10)));
            if (cli.state() == QProcess::Running)
                killNow(cli);
            else
                QCOMPARE(cli.exitCode(), 0);
            if (QFileInfo::exists(target)) {
                QVERIFY2(folderSnapshot(target) == complete, "a half-made bank has the bank's name");
                QVERIFY(QDir(target).removeRecursively());
                ++finished;
            }
            QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     QStringList{"reference.bnk"});
        }
        QCOMPARE(QProcess::execute(TZ_CLI_PATH, {"make-bank", source, target}), 0);
        QVERIFY(folderSnapshot(target) == complete && !QFileInfo::exists(BuildingFolderFor(target)));
        qInfo("make-bank: %d kills (a run takes %lld ms), %d complete banks", killCount(), took / 1000, finished);
    }
};

QTEST_GUILESS_MAIN(TestKill)
#include "tst_kill.moc"
