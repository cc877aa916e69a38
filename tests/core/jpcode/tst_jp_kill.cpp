// Kills (SIGKILL) at random moments of a program renumbering the JP codes of
// a bank of 3000 records over and over. After each kill the bank is opened
// as the card opens it (CompleteBankChange): then every record points at the
// name its memo gives, with the style of that name's category, no file of the
// change is left, and the record file holds its 3000 records.
//
// TZ_KILL_COUNT sets the number of kills (20 by default).
#include "core/store/bank_change.h"
#include "support/jp_bank.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>

using namespace tz;
using namespace tz::testing;

class TestJPKill : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void renumberingsSurviveKills()
    {
        bool ok = false;
        const int env = qEnvironmentVariableIntValue("TZ_KILL_COUNT", &ok);
        const int kills = ok && env > 0 ? env : 20;
        QTemporaryDir home;
        const QString bank = home.filePath("kill.bnk");
        QRandomGenerator random(20140726);
        int pending = 0, rolledBack = 0, mixed = 0;
        for (int i = 0; i < kills; ++i) {
            QProcess helper;
            helper.start(TZ_JP_STRESS_PATH, {bank});
            QVERIFY(helper.waitForReadyRead(60000));
            QThread::usleep(random.bounded(400000));
            QCOMPARE(helper.state(), QProcess::Running); // a renumbering failed: see its message
            ::kill(pid_t(helper.processId()), SIGKILL);
            helper.waitForFinished(20000);

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

QTEST_GUILESS_MAIN(TestJPKill)
#include "tst_jp_kill.moc"
