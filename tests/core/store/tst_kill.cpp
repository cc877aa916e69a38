// Kills at random moments (SIGKILL) of a program saving records, links,
// URL/DOI entries and the JP code table, and of tessellane-cli make-bank.
// After each kill: the record file holds whole records, each one of the
// versions written; every whole file is an old or a new version; the link
// table holds whole, distinct pairs; no lock is left that blocks the next
// start; a bank is either absent or complete, never half made.
//
// TZ_KILL_COUNT sets the number of kills of each kind (20 by default).
#include "core/common/file_io.h"
#include "core/session/single_instance.h"
#include "core/store/link_table.h"
#include "support/store_stress.h"
#include "support/test_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>

using namespace tz;
using namespace tz::testing;

namespace {

int killCount()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("TZ_KILL_COUNT", &ok);
    return ok && n > 0 ? n : 20;
}

void killNow(QProcess &p)
{
    ::kill(pid_t(p.processId()), SIGKILL);
    p.waitForFinished(20000);
}

// What is wrong with the bank the saving helper left, or an empty text.
QString bankFault(const QString &bank)
{
    const QByteArray records = readFile(bank + "/record.tzd");
    if (records.size() % kRecordSize != 0)
        return QStringLiteral("record.tzd holds %1 bytes, no whole number of records").arg(records.size());
    const int count = int(records.size() / kRecordSize);
    if (count < 1 || count > kStressRecords)
        return QStringLiteral("record.tzd holds %1 records").arg(count);
    const QByteArray first = EncodeRecord(BlankRecord(QDate(2024, 5, 17)));
    for (int n = 1; n <= count; ++n) {
        const QByteArrayView bytes = RecordAt(records, n);
        const std::optional<quint32> v =
            stressVersion(DecodeRecord(bytes).Memo, QStringLiteral("record %1 version ").arg(n));
        if (!(v ? bytes == EncodeRecord(stressRecord(n, *v)) : (n == 1 && bytes == first)))
            return QStringLiteral("record %1 is none of the versions written").arg(n);
    }

    const QByteArray pdf = readFile(bank + "/Pdf.tzd");
    if (pdf.size() % kPdfEntrySize != 0 || pdf.size() / kPdfEntrySize > count)
        return QStringLiteral("Pdf.tzd holds %1 bytes for %2 records").arg(pdf.size()).arg(count);
    for (int n = 1; n <= pdf.size() / kPdfEntrySize; ++n) {
        const QByteArrayView bytes = QByteArrayView(pdf).sliced((n - 1) * kPdfEntrySize, kPdfEntrySize);
        const std::optional<quint32> v =
            stressVersion(DecodePdfEntry(bytes).URL, QStringLiteral("https://example.org/%1/").arg(n));
        if (!(v ? bytes == EncodePdfEntry(stressEntry(n, *v)) : bytes == QByteArray(kPdfEntrySize, ' ')))
            return QStringLiteral("URL/DOI entry %1 is none of the versions written").arg(n);
    }

    const QByteArray links = readFile(bank + "/Link.tzd");
    if (links.size() % kLinkEntrySize != 0)
        return QStringLiteral("Link.tzd holds %1 bytes").arg(links.size());
    QSet<quint32> seen;
    bool free = false;
    for (const LinkPair &p : DecodeLinkTable(links)) {
        if (p == LinkPair()) {
            free = true;
            continue;
        }
        if (free || !IsValidLink(p, kStressRecords) || seen.contains(quint32(p.RecA) << 16 | quint16(p.RecB)))
            return QStringLiteral("Link.tzd holds the pair %1-%2 out of place").arg(p.RecA).arg(p.RecB);
        seen.insert(quint32(p.RecA) << 16 | quint16(p.RecB));
    }

    const QByteArray jp = readFile(bank + "/JPcode.tzd");
    const JPcodeTable table = ParseJPcode(jp);
    const std::optional<quint32> v = stressVersion(table.JPname.value(1), QStringLiteral("version "));
    if (!(v ? jp == SerializeJPcode(stressTable(*v)) : jp == SerializeJPcode(DefaultJPcodeTable())))
        return QStringLiteral("JPcode.tzd is none of the versions written");
    return {};
}

// The exit status of a whole run of make-bank.
int makeBank(const QString &source, const QString &target)
{
    QProcess p;
    p.start(TZ_CLI_PATH, {"make-bank", source, target});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

} // namespace

class TestKill : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
        const int temps = QDir(bank).entryList({".JPcode.tzd.*", ".Pdf.tzd.*"}, QDir::Files | QDir::Hidden).size();
        qInfo("saves: %d kills, bank checked after each, up to %d records, %d temporary files left by kills",
              killCount(), maxRecords, temps);
    }

    void makeBankSurvivesKills()
    {
        QTemporaryDir home;
        const QString reference = home.filePath("reference.bnk");
        const QString target = home.filePath("sample.bnk");
        const QString source = TZ_SOURCE_DATA "/sample";
        // How long a whole run takes (the quickest of three, in µs).
        qint64 took = std::numeric_limits<qint64>::max();
        for (int i = 0; i < 3; ++i) {
            QDir(reference).removeRecursively();
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(makeBank(source, reference), 0);
            took = qMin(took, timer.nsecsElapsed() / 1000);
        }
        const QMap<QString, QByteArray> complete = folderSnapshot(reference);
        QVERIFY(complete.size() == 4);

        QRandomGenerator random(19991231);
        int finished = 0, absent = 0, stale = 0;
        for (int i = 0; i < killCount(); ++i) {
            QProcess cli;
            cli.start(TZ_CLI_PATH, {"make-bank", source, target});
            QVERIFY(cli.waitForStarted(20000));
            QThread::usleep(random.bounded(quint32(took * 13 / 10)));
            if (cli.state() == QProcess::Running)
                killNow(cli);
            else
                QCOMPARE(cli.exitCode(), 0);
            // All or nothing; what is left half made is no bank.
            if (QFileInfo::exists(target)) {
                QVERIFY2(folderSnapshot(target) == complete, "a half-made bank has the bank's name");
                ++finished;
                QVERIFY(QDir(target).removeRecursively());
            } else {
                ++absent;
            }
            stale += QFileInfo::exists(BuildingFolderFor(target)) ? 1 : 0;
            const QStringList entries = QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
            QCOMPARE(entries, QStringList{"reference.bnk"});
        }
        // The next run clears what an earlier one left and writes the bank.
        QCOMPARE(makeBank(source, target), 0);
        QVERIFY(folderSnapshot(target) == complete);
        QVERIFY(!QFileInfo::exists(BuildingFolderFor(target)));
        qInfo("make-bank: %d kills (a run takes %lld ms): %d complete banks, %d absent, %d left a building folder",
              killCount(), took / 1000, finished, absent, stale);
    }
};

QTEST_GUILESS_MAIN(TestKill)
#include "tst_kill.moc"
