// Signals, the progress driver, the single running copy and the program folder.

#include "app/app_folder.h"
#include "app/fake_user_interface.h"
#include "app/services.h"
#include "app/session.h"
#include "app/single_instance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace tz;
using tz::testing::FakeUserInterface;

class TestServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void signalTones()
    {
        FakeUserInterface ui;
        for (int n : {0, 1, 2, 3, 4})
            Signal(ui, 0, n);
        QVERIFY(ui.tones.isEmpty());
        for (int n : {-1, 0, 1, 2, 3, 4})
            Signal(ui, 1, n);
        const QList<QList<Tone>> expected{{{200, 300}}, {{400, 300}}, {{400, 400}, {800, 150}}};
        QCOMPARE(ui.tones, expected);
    }

    void tonePcmHasLengthAndPitch()
    {
        const int rate = 8000;
        const QByteArray pcm = TonePcm(SignalTones(3), rate);
        QCOMPARE(pcm.size(), (rate * 400 / 1000 + rate * 150 / 1000) * 2);
        // Rising zero crossings count the periods of each tone.
        auto periods = [&](int fromSample, int toSample) {
            int n = 0;
            for (int i = fromSample + 1; i < toSample; ++i) {
                const qint16 a = qFromLittleEndian<qint16>(pcm.constData() + (i - 1) * 2);
                const qint16 b = qFromLittleEndian<qint16>(pcm.constData() + i * 2);
                n += a < 0 && b >= 0;
            }
            return n;
        };
        QVERIFY(qAbs(periods(0, 3200) - 160) <= 2);    // 400 Hz for 400 ms
        QVERIFY(qAbs(periods(3200, 4400) - 120) <= 2); // 800 Hz for 150 ms
        QVERIFY(TonePcm({}, rate).isEmpty());
        QVERIFY(TonePcm(SignalTones(1), 0).isEmpty());
    }

    void progressNeedsARange_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("first = last") << 1 << 1;
        QTest::newRow("first 0") << 0 << 10;
        QTest::newRow("last 0") << 1 << 0;
        QTest::newRow("negative") << -3 << 10;
    }
    void progressNeedsARange()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        FakeUserInterface ui;
        int cancel = 0;
        ProgressDriver p(ui, cancel);
        for (int mode : {1, 2, 0})
            p.ProgressStep(mode, first, last, 0);
        QCOMPARE(ui.progressOpens, 0);
        QCOMPARE(ui.progressCloses, 0);
        QCOMPARE(ui.eventRuns, 0);
    }

    void progressOpensStepsAndCloses()
    {
        FakeUserInterface ui;
        int cancel = 0;
        ProgressDriver p(ui, cancel);
        p.ProgressStep(1, 1, 100, 1);
        QVERIFY(ui.progressShown);
        QCOMPARE(ui.eventRuns, 1);
        // Steps in quick succession let events run at most every 50 ms.
        for (int i = 2; i < 50; ++i)
            p.ProgressStep(2, 1, 100, i);
        QCOMPARE(ui.eventRuns, 1);
        QThread::msleep(ProgressDriver::kProgressEventsMs + 10);
        p.ProgressStep(2, 1, 100, 50);
        QCOMPARE(ui.eventRuns, 2);
        p.ProgressStep(7, 1, 100, 50); // unknown mode: nothing
        QCOMPARE(ui.eventRuns, 2);
        p.ProgressStep(0, 1, 100, 0);
        QVERIFY(!ui.progressShown);
        QCOMPARE(ui.eventRuns, 3);
        QCOMPARE(ui.progressOpens, 1);
        QCOMPARE(cancel, 0);
    }

    void cancelSetsTheFlagOnly()
    {
        FakeUserInterface ui;
        Session s(ui, QDir::tempPath());
        s.ProgressStep(1, 1, 10, 1);
        QVERIFY(ui.cancel);
        ui.cancel();
        QCOMPARE(s.search.CancelFlag, 1);
        QVERIFY(ui.progressShown); // the window stays until the loop closes it
        s.ProgressStep(0, 1, 10, 0);
        QVERIFY(!ui.progressShown);
    }

    void searchProgressReachesTheWindow()
    {
        FakeUserInterface ui;
        Session s(ui, QDir::tempPath());
        s.search.progress(1, 1, 500);
        s.search.progress(0, 500, 500);
        QCOMPARE(ui.progressOpens, 1);
        QCOMPARE(ui.progressCloses, 1);
        s.search.progress(1, 1, 1); // a single candidate shows nothing
        QCOMPARE(ui.progressOpens, 1);
    }

    void webOnOpensValidAddressesOnly()
    {
        FakeUserInterface ui;
        Session s(ui, QDir::tempPath());
        s.WebOn(QStringLiteral("  "));
        s.WebOn(QStringLiteral("https://doi.org/10.1000/1"));
        QCOMPARE(ui.webPages, QList<QUrl>{QUrl(QStringLiteral("https://doi.org/10.1000/1"))});
    }

    void secondCopyIsRefused()
    {
        QTemporaryDir dir;
        SingleInstance first;
        QVERIFY(first.acquire(dir.path()));
        SingleInstance second;
        QVERIFY(!second.acquire(dir.path()));
    }

    void staleLockIsRecovered()
    {
        QTemporaryDir dir;
        // A lock written by a process that is gone (pid 2^22 + 1 is beyond
        // Linux's pid range).
        QFile lock(dir.filePath(kLockFileName.toString()));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write("4194305\ntessellane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        SingleInstance copy;
        QVERIFY(copy.acquire(dir.path()));
    }

    void appFolderFromEnvironmentIsSeeded()
    {
        QTemporaryDir defaults;
        QTemporaryDir home;
        QVERIFY(QFile::copy(QStringLiteral(TZ_SOURCE_DATA "/form.cfx"), defaults.filePath("form.cfx")));
        QVERIFY(QFile::copy(QStringLiteral(TZ_SOURCE_DATA "/script.cfx"), defaults.filePath("script.cfx")));
        QVERIFY(QDir().mkpath(defaults.filePath("sample.bnk")));
        QFile rec(defaults.filePath("sample.bnk/record.tzd"));
        QVERIFY(rec.open(QIODevice::WriteOnly) && rec.write(QByteArray(1174, ' ')) == 1174);
        rec.close();
        QVERIFY(QDir().mkpath(defaults.filePath("help")));

        const QString target = home.filePath("fresh/deeper");
        qputenv("TESSELLANE_HOME", target.toLocal8Bit());
        QString error;
        const QString folder = ResolveAppFolder(defaults.path(), &error);
        qunsetenv("TESSELLANE_HOME");
        QCOMPARE(folder, target + QLatin1Char('/'));
        QVERIFY(error.isEmpty());
        QVERIFY(QFile::exists(folder + "form.cfx"));
        QVERIFY(QFile::exists(folder + "script.cfx"));
        QCOMPARE(QFileInfo(folder + "sample.bnk/record.tzd").size(), 1174);
        QVERIFY(QFileInfo(folder + "help").isDir());

        // A folder already set up is left as it is.
        QVERIFY(QFile::remove(folder + "script.cfx"));
        qputenv("TESSELLANE_HOME", target.toLocal8Bit());
        QCOMPARE(ResolveAppFolder(defaults.path(), &error), folder);
        qunsetenv("TESSELLANE_HOME");
        QVERIFY(!QFile::exists(folder + "script.cfx"));
    }

    void appFolderThatCannotBeMade()
    {
        QTemporaryDir home;
        QFile file(home.filePath("file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        qputenv("TESSELLANE_HOME", home.filePath("file/sub").toLocal8Bit());
        QString error;
        QVERIFY(ResolveAppFolder(QStringLiteral(TZ_SOURCE_DATA), &error).isEmpty());
        qunsetenv("TESSELLANE_HOME");
        QVERIFY(error.contains(QStringLiteral("file")));
    }
};

QTEST_GUILESS_MAIN(TestServices)
#include "tst_services.moc"
