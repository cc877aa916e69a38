// One running copy per program folder. Only "another copy runs here" ends
// the program silently; every other lock that cannot be taken is told with
// the lock's path, and a lock that provably belongs to no running copy is
// taken over.
#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/session/single_instance.h"
#include "support/test_files.h"

#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

Q_DECLARE_METATYPE(tz::LockOutcome)

class TestSingleInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lockCases_data()
    {
        QTest::addColumn<QString>("left"); // what the program folder holds
        QTest::addColumn<LockOutcome>("outcome");
        QTest::addColumn<QString>("said"); // part of the message
        QTest::newRow("no lock") << "" << LockOutcome::Acquired << "";
        QTest::newRow("empty (power loss)") << "empty" << LockOutcome::Acquired << "";
        QTest::newRow("garbled") << "garbled" << LockOutcome::Acquired << "";
        QTest::newRow("dead process") << "dead" << LockOutcome::Acquired << "";
        QTest::newRow("foreign host") << "foreign" << LockOutcome::Failed << "elsewhere.example";
        QTest::newRow("folder") << "folder" << LockOutcome::Failed << QString::fromUtf8("フォルダです");
        QTest::newRow("read-only program folder") << "read-only" << LockOutcome::Failed << "Read-only file system";
        QTest::newRow("live process") << "live" << LockOutcome::OtherCopyRuns << "";
        QTest::newRow("this process") << "self" << LockOutcome::OtherCopyRuns << "";
    }
    void lockCases()
    {
        QFETCH(QString, left);
        QFETCH(LockOutcome, outcome);
        QFETCH(QString, said);
        QTemporaryDir home;
        const QString lockPath = home.filePath(kLockFileName.toString());
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        QProcess live;
        SingleInstance other;
        std::optional<FileFaultScope> fault;
        if (left == "empty")
            QVERIFY(writeFile(lockPath, {}));
        else if (left == "garbled")
            QVERIFY(writeFile(lockPath, "\x01\xff\xfe junk"));
        else if (left == "dead") // beyond the largest process number of Linux
            QVERIFY(writeFile(lockPath, "4194305\ntessellane\n" + host + "\n"));
        else if (left == "foreign")
            QVERIFY(writeFile(lockPath, "123\ntessellane\nelsewhere.example\n"));
        else if (left == "folder")
            QVERIFY(QDir().mkdir(lockPath));
        else if (left == "read-only")
            fault.emplace(FileFault{FileStep::Create, EROFS});
        else if (left == "self")
            QCOMPARE(other.lock(home.path()).outcome, LockOutcome::Acquired);
        else if (left == "live") {
            live.start(TZ_STRESS_PATH, {"lock", home.path()});
            QVERIFY(live.waitForReadyRead(20000));
            QCOMPARE(live.readAllStandardOutput().trimmed(), "ready");
        }
        const QByteArray before = readFile(lockPath);
        {
            SingleInstance single;
            const LockResult result = single.lock(home.path());
            QCOMPARE(result.outcome, outcome);
            if (outcome == LockOutcome::Failed)
                QVERIFY2(result.message.contains(QDir::toNativeSeparators(lockPath)) && result.message.contains(said),
                         qPrintable(result.message));
            if (outcome == LockOutcome::Acquired)
                QCOMPARE(readFile(lockPath).split('\n').value(0),
                         QByteArray::number(QCoreApplication::applicationPid()));
            else
                QCOMPARE(readFile(lockPath), before); // someone else's lock stays as it was
        }
        if (outcome == LockOutcome::Acquired)
            QVERIFY(!QFile::exists(lockPath)); // released at the end
        if (left == "live") {
            // Once the copy is gone, its lock is taken over.
            live.kill();
            QVERIFY(live.waitForFinished(20000));
            SingleInstance after;
            QCOMPARE(after.lock(home.path()).outcome, LockOutcome::Acquired);
        }
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
