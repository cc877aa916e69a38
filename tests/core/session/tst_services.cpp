// Signals, the progress driver, the single running copy and the program folder.

#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/session/app_folder.h"
#include "core/session/services.h"
#include "core/session/session.h"
#include "support/fake_user_interface.h"
#include "support/test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace tz;
using tz::testing::FakeUserInterface;

class TestServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Signals 1 to 3 with beeps on; nothing with beeps off or other numbers.
    void signalTones()
    {
        FakeUserInterface ui;
        for (int n : {0, 1, 2, 3, 4})
            Signal(ui, 0, n);
        for (int n : {-1, 0, 1, 2, 3, 4})
            Signal(ui, 1, n);
        QCOMPARE(ui.tones, (QList<QList<Tone>>{{{200, 300}}, {{400, 300}}, {{400, 400}, {800, 150}}}));
    }

    // Rising zero crossings count the periods of each tone.
    void tonePcmHasLengthAndPitch()
    {
        const QByteArray pcm = TonePcm(SignalTones(3), 8000);
        QCOMPARE(pcm.size(), (3200 + 1200) * 2);
        const auto periods = [&](int from, int to) {
            int n = 0;
            for (int i = from + 1; i < to; ++i)
                n += qFromLittleEndian<qint16>(pcm.constData() + (i - 1) * 2) < 0 &&
                     qFromLittleEndian<qint16>(pcm.constData() + i * 2) >= 0;
            return n;
        };
        QVERIFY(qAbs(periods(0, 3200) - 160) <= 2);    // 400 Hz for 400 ms
        QVERIFY(qAbs(periods(3200, 4400) - 120) <= 2); // 800 Hz for 150 ms
        QVERIFY(TonePcm({}, 8000).isEmpty() && TonePcm(SignalTones(1), 0).isEmpty());
    }

    // Without a range (first = last, or a bound below 1) the window never
    // shows; with one it opens, lets events run at most every 50 ms, and closes.
    void progressOpensStepsAndCloses()
    {
        FakeUserInterface ui;
        int cancel = 0;
        ProgressDriver p(ui, cancel);
        for (const auto &[first, last] : QList<std::pair<int, int>>{{1, 1}, {0, 10}, {1, 0}, {-3, 10}})
            for (int mode : {1, 2, 0})
                p.ProgressStep(mode, first, last, 0);
        QCOMPARE(ui.progressOpens + ui.progressCloses + ui.eventRuns, 0);
        p.ProgressStep(1, 1, 100, 1);
        QVERIFY(ui.progressShown);
        QCOMPARE(ui.eventRuns, 1);
        for (int i = 2; i < 50; ++i)
            p.ProgressStep(2, 1, 100, i);
        QCOMPARE(ui.eventRuns, 1);
        QThread::msleep(ProgressDriver::kProgressEventsMs + 10);
        p.ProgressStep(2, 1, 100, 50);
        p.ProgressStep(7, 1, 100, 50); // unknown mode: nothing
        QCOMPARE(ui.eventRuns, 2);
        p.ProgressStep(0, 1, 100, 0);
        QVERIFY(!ui.progressShown);
        QCOMPARE(ui.eventRuns, 3);
        QCOMPARE(ui.progressOpens, 1);
        QCOMPARE(cancel, 0);
    }

    // The session's progress: Cancel only sets the flag; the search reaches the window.
    void sessionProgress()
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
        s.search.progress(1, 1, 500);
        s.search.progress(0, 500, 500);
        s.search.progress(1, 1, 1); // a single candidate shows nothing
        QCOMPARE(ui.progressOpens, 2);
        QCOMPARE(ui.progressCloses, 2);

        s.WebOn(QStringLiteral("  "));
        s.WebOn(QStringLiteral("https://doi.org/10.1000/1"));
        QCOMPARE(ui.webPages, QList<QUrl>{QUrl(QStringLiteral("https://doi.org/10.1000/1"))});
    }

    // TESSELLANE_HOME names the folder; a new one is seeded with the shipped
    // files, one already set up is left as it is, one that cannot be made fails.
    void appFolderFromEnvironment()
    {
        QTemporaryDir defaults, home;
        for (const char *name : {"form.cfx", "script.cfx"})
            QVERIFY(QFile::copy(QStringLiteral(TZ_SOURCE_DATA "/") + name, defaults.filePath(name)));
        QVERIFY(QDir().mkpath(defaults.filePath("sample.bnk")) && QDir().mkpath(defaults.filePath("help")));
        QVERIFY(writeFile(defaults.filePath("sample.bnk/record.tzd"), QByteArray(1174, ' ')));
        const auto resolve = [&](const QString &target, QString *error) {
            qputenv("TESSELLANE_HOME", target.toLocal8Bit());
            const QString folder = ResolveAppFolder(defaults.path(), error);
            qunsetenv("TESSELLANE_HOME");
            return folder;
        };
        const QString target = home.filePath("fresh/deeper");
        QString error;
        const QString folder = resolve(target, &error);
        QCOMPARE(folder, target + u'/');
        QVERIFY(error.isEmpty());
        QVERIFY(QFile::exists(folder + "form.cfx") && QFileInfo(folder + "help").isDir());
        QCOMPARE(readFile(folder + "script.cfx"), readFile(defaults.filePath("script.cfx")));
        QCOMPARE(QFileInfo(folder + "sample.bnk/record.tzd").size(), 1174);

        QVERIFY(QFile::remove(folder + "script.cfx"));
        QCOMPARE(resolve(target, &error), folder);
        QVERIFY(!QFile::exists(folder + "script.cfx"));

        QVERIFY(writeFile(home.filePath("file"), {}));
        QVERIFY(resolve(home.filePath("file/sub"), &error).isEmpty());
        QVERIFY(error.contains(QStringLiteral("file")));

        // A seed cut short leaves no half sample bank and no form.cfx, so that
        // the next start seeds the folder again.
        const QString again = home.filePath("again");
        {
            FileFaultScope full({FileStep::Write, ENOSPC, 0, 0, "sample.bnk"});
            QVERIFY(resolve(again, &error).isEmpty());
        }
        QVERIFY2(error.contains(SystemReason(ENOSPC)), qPrintable(error));
        QCOMPARE(QDir(again).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"help", "script.cfx"}));
        QCOMPARE(resolve(again, &error), again + u'/');
        QCOMPARE(QFileInfo(again + "/sample.bnk/record.tzd").size(), 1174);
    }
};

QTEST_GUILESS_MAIN(TestServices)
#include "tst_services.moc"
