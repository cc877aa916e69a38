// One running copy per program folder. Only "another copy runs here" ends
// the program silently; every other lock that cannot be taken is told with
// the lock's path, and a lock that provably belongs to no running copy is
// taken over.
#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/session/single_instance.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

using namespace tz;

class TestSingleInstance : public QObject
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
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_single_instance.moc"
