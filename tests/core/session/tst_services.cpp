// Signals, the progress driver, the program folder, and the help topics: one
// page per help context number that the menus and windows carry, each
// well-formed UTF-8 on its own subject, with working links, reachable from
// the contents page 9999, and copied into the build tree.

#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/session/app_folder.h"
#include "core/session/services.h"
#include "core/session/session.h"
#include "support/fake_user_interface.h"
#include "support/test_files.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QThread>
#include <QXmlStreamReader>
#include <QtTest>

using namespace tz;
using tz::testing::FakeUserInterface;

namespace {

const QDir kHelpDir(QStringLiteral(TZ_SOURCE_DATA "/help"));

// The pages a page links to.
QStringList links(const QString &page)
{
    QStringList out;
    for (const auto &m : QRegularExpression(QStringLiteral("href=\"([^\"]*)\"")).globalMatch(page))
        out.append(m.captured(1));
    return out;
}

} // namespace

class TestServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The three signals with beeps on, nothing with beeps off; their samples:
    // rising zero crossings count the periods of each tone.
    void signalTones()
    {
        FakeUserInterface ui;
        for (bool beepOn : {false, true})
            for (SignalKind kind : {SignalKind::EmptyField, SignalKind::StartUpError, SignalKind::SearchDone})
                Signal(ui, beepOn, kind);
        QCOMPARE(ui.tones, (QList<QList<Tone>>{{{200, 300}}, {{400, 300}}, {{400, 400}, {800, 150}}}));
        const QByteArray pcm = TonePcm(ui.tones.last(), 8000);
        QCOMPARE(pcm.size(), (3200 + 1200) * 2);
        const auto periods = [&](int from, int to) {
            int n = 0;
            for (int i = from + 1; i < to; ++i)
                n += qFromLittleEndian<qint16>(pcm.constData() + (i - 1) * 2) < 0 &&
                     qFromLittleEndian<qint16>(pcm.constData() + i * 2) >= 0;
            return n;
        };
        QVERIFY(qAbs(periods(0, 3200) - 160) <= 2 && qAbs(periods(3200, 4400) - 120) <= 2); // 400 Hz, then 800 Hz
        QVERIFY(TonePcm({}, 8000).isEmpty() && TonePcm(ui.tones.first(), 0).isEmpty());
    }

    // Without a range (first = last, or a bound below 1) the window never
    // shows; with one it opens, lets events run at most every 50 ms, and
    // closes; its Cancel only sets the flag. The session opens no blank page.
    void progressAndWebPages()
    {
        FakeUserInterface ui;
        bool cancel = false;
        ProgressDriver p(ui, cancel);
        for (const auto &[first, last] : QList<std::pair<int, int>>{{1, 1}, {0, 10}, {1, 0}, {-3, 10}})
            for (ProgressMode mode : {ProgressMode::Open, ProgressMode::Step, ProgressMode::Close})
                p.ProgressStep(mode, first, last, 0);
        QCOMPARE(ui.progressOpens + ui.progressCloses + ui.eventRuns, 0);
        p.ProgressStep(ProgressMode::Open, 1, 100, 1);
        QVERIFY(ui.progressShown && ui.eventRuns == 1);
        for (int i = 2; i < 50; ++i)
            p.ProgressStep(ProgressMode::Step, 1, 100, i);
        QCOMPARE(ui.eventRuns, 1);
        QThread::msleep(ProgressDriver::kProgressEventsMs + 10);
        p.ProgressStep(ProgressMode::Step, 1, 100, 50);
        QCOMPARE(ui.eventRuns, 2);
        ui.cancel();
        QVERIFY(cancel && ui.progressShown); // the window stays until the loop closes it
        p.ProgressStep(ProgressMode::Close, 1, 100, 0);
        QVERIFY(!ui.progressShown && ui.eventRuns == 3 && ui.progressOpens == 1);
        Session s(ui, QDir::tempPath());
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
        QString error;
        const auto resolve = [&](const QString &target) {
            qputenv("TESSELLANE_HOME", target.toLocal8Bit());
            const QString folder = ResolveAppFolder(defaults.path(), &error);
            qunsetenv("TESSELLANE_HOME");
            return folder;
        };
        const QString folder = home.filePath("fresh/deeper/");
        const QMap<QString, QByteArray> seed = folderSnapshot(defaults.path());
        QVERIFY2(resolve(home.filePath("fresh/deeper")) == folder && error.isEmpty(), qPrintable(error));
        QCOMPARE(folderSnapshot(home.filePath("fresh/deeper")), seed);
        QVERIFY(QFile::remove(folder + "script.cfx") && resolve(folder) == folder &&
                !QFile::exists(folder + "script.cfx"));
        QVERIFY(writeFile(home.filePath("file"), {}) && resolve(home.filePath("file/sub")).isEmpty());
        QVERIFY2(error.contains("file"), qPrintable(error));
        // A seed cut short leaves no half sample bank and no form.cfx, so that
        // the next start seeds the folder again.
        const QString again = home.filePath("again");
        {
            FileFaultScope full({FileStep::Write, ENOSPC, 0, 0, "sample.bnk"});
            QVERIFY(resolve(again).isEmpty());
        }
        QVERIFY2(error.contains(SystemReason(ENOSPC)), qPrintable(error));
        QCOMPARE(QDir(again).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"help", "script.cfx"}));
        QVERIFY(resolve(again) == again + u'/' && folderSnapshot(again) == seed);
    }

    // Every help context number, with a caption its page must explain.
    void everyTopicHasItsPage_data()
    {
        QTest::addColumn<QString>("caption");
        const QString topics = QStringLiteral(
            "1010 バンク(B)|1020 文献バンクを開く(O)|1030 文献バンクを作る(N)|1040 文献バンクの複製(D)|"
            "1050 旧文献バンクからのデータ変換(C)|1060 他文献バンクからのJPコード複製(J)|2020 類似文献を調べる(S)|"
            "2030 レコード内の全データ・ペースト(V)|2040 切り抜き(T)|2050 ビープ音を出す(B)|3000 フィールド(F)|"
            "3020 単行本/モノグラフ(M)|3030 メモ(M)|3040 Van_Der_Berg|3050 キーワード|"
            "3060 JPコードは数値で入力して下さい|3070 vol|3080 1256|3090 年号は数値で入力して下さい|3100 3,5,6,9,12|"
            "4000 AND Search|4030 Title + Keyword|4080 Dbl_booked|5000 Press names|6000 Word orders|9999 目次");
        for (const QString &t : topics.split(u'|'))
            QTest::newRow(qPrintable(t.left(4) + QStringLiteral(".html"))) << t.mid(5);
    }
    void everyTopicHasItsPage()
    {
        QFETCH(QString, caption);
        const QString file = QString::fromLatin1(QTest::currentDataTag());
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString page = utf8(readFile(kHelpDir.filePath(file)));
        QVERIFY2(!page.isEmpty() && !utf8.hasError(), "unreadable or not UTF-8");
        QXmlStreamReader xml(page);
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(page.contains("<html lang=\"ja\"") && page.contains("charset=\"utf-8\"") &&
                links(page).contains("help.css"));
        QVERIFY2(page.contains(caption), qPrintable(caption));
        QVERIFY2(file == u"9999.html" ||
                     (links(page).contains("9999.html") &&
                      links(QString::fromUtf8(readFile(kHelpDir.filePath("9999.html")))).contains(file)),
                 "no way to and from the contents");
        for (const QString &href : links(page))
            QVERIFY2(!href.contains(u':') && kHelpDir.exists(href.section(u'#', 0, 0)), qPrintable(href));
    }

    // No page without a topic; the build tree holds the same files.
    void buildTreeHoldsTheSamePages()
    {
        const QDir built(QStringLiteral(TZ_SHARE_DIR "/help"));
        const QStringList files = kHelpDir.entryList(QDir::Files);
        QVERIFY(built.entryList(QDir::Files) == files && files.filter(".html").size() == 26);
        for (const QString &file : files)
            QVERIFY2(readFile(kHelpDir.filePath(file)) == readFile(built.filePath(file)), qPrintable(file));
    }
};

QTEST_GUILESS_MAIN(TestServices)
#include "tst_services.moc"
