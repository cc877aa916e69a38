// tessellane-cli convert: the same conversion as the bank menu's, its faults
// on the error stream with status 2, and kills at any moment that never leave
// a bank that opens unless it is whole.

#include "core/bank/bank_files.h"
#include "core/store/record.h"
#include "support/old_bank.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

using namespace tz;
using namespace tz::testing;

namespace {

struct Run
{
    int exitCode = -1;
    QString err;
};

Run convert(const QString &old, const QString &bank)
{
    QProcess p;
    p.start(QStringLiteral(TZ_CLI_PATH), {QStringLiteral("convert"), old, bank});
    Run r;
    if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestCliConvert : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void convertsAndTellsFaults()
    {
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("old")), bank = dir.filePath(QStringLiteral("new.bnk"));
        writeOldBank(old, {{"memo", "A.Author&&", "A title&&&&", 2000, 5, "1,2-3"}});
        QCOMPARE(convert(old, bank).exitCode, 0);
        QCOMPARE(RecCountSet(bank), 1);
        QVERIFY(QFile::remove(old + QStringLiteral("/JPcount.dat")));
        const Run missing = convert(old, dir.filePath(QStringLiteral("other.bnk")));
        QCOMPARE(missing.exitCode, 2);
        QVERIFY2(missing.err.contains(QStringLiteral("JPcount.dat")), qPrintable(missing.err));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("other.bnk"))));
    }

    // A kill at a random moment: the bank's folder is either not there or
    // holds the whole bank; the next run converts it.
    void killsLeaveNoHalfBank()
    {
        const int kills =
            qEnvironmentVariableIntValue("TZ_KILL_COUNT") > 0 ? qEnvironmentVariableIntValue("TZ_KILL_COUNT") : 20;
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("old"));
        writeOldBank(old,
                     QList<OldRecord>(20000, {"memo", "J. Smith and K. Lee&&", "Title&&key&&", 1999, 12, "4,5-6"}));
        // The kills fall anywhere in the time a whole run takes, and a bit after.
        QElapsedTimer run;
        run.start();
        QCOMPARE(convert(old, dir.filePath(QStringLiteral("whole.bnk"))).exitCode, 0);
        const int span = int(run.elapsed() * 13 / 10) + 1;
        int whole = 0;
        for (int i = 0; i < kills; ++i) {
            const QString bank = dir.filePath(QStringLiteral("kill%1.bnk").arg(i));
            QProcess p;
            p.start(QStringLiteral(TZ_CLI_PATH), {QStringLiteral("convert"), old, bank});
            QVERIFY(p.waitForStarted());
            QThread::msleep(QRandomGenerator::global()->bounded(span));
            ::kill(pid_t(p.processId()), SIGKILL);
            p.waitForFinished();
            if (QFileInfo::exists(bank)) {
                QVERIFY2(IsBank(bank) && RecCountSet(bank) == 20000, qPrintable(bank));
                ++whole;
            }
            if (i == 0) // a rerun after the kill goes through
                QCOMPARE(convert(old, bank).exitCode, 0);
        }
        qInfo("convert: %d kills, %d left a whole bank, none a partial one", kills, whole);
    }
};

QTEST_GUILESS_MAIN(TestCliConvert)
#include "tst_cli_convert.moc"
