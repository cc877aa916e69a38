// The search window in the running program: Cancel in the real progress
// window stops a search over a full bank at once, the similar-record search
// compares with the card's current record, and another bank starts the window
// afresh.

#include "gui/widgets/progress_window.h"
#include "gui/widgets/qt_user_interface.h"
#include "support/program.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;
using tz::testing::JournalRecord;
using tz::testing::Program;

namespace {

// The real progress window and its event handling; messages are answered OK
// instead of shown, and no sound plays.
struct RealProgress : QtUserInterface
{
    MsgAnswer message(const QString &, MsgButtons, MsgIcon) override { return MsgAnswer::Ok; }
    void playTones(const QList<Tone> &) override {}
};

QPlainTextEdit *resultBox(SearchWindow &w)
{
    return w.findChild<QPlainTextEdit *>(u"BoxResult"_s);
}

} // namespace

class TestSearchProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A search whose every record matches, over 32,767 records with room for
    // every hit: Cancel clicked in the progress window ends it within half a
    // second, and the earlier list stays.
    void cancelStopsAFullBankSearch()
    {
        RealProgress ui;
        Program p;
        p.makeBank(u"full"_s);
        Record r = JournalRecord(1);
        r.Title = u"A common title of every record."_s;
        QVERIFY(writeFile(p.root() + u"full.bnk/record.tzd"_s, EncodeRecord(r).repeated(kMaxRecords)));
        p.writeSettings(u"full"_s, " 1 \r\n 32767 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n");
        SearchWindow &search = p.start(&ui).search();
        auto *keys = search.findChild<QLineEdit *>(u"BoxKeys"_s);
        auto *orSearch = search.findChild<QPushButton *>(u"SearD_1"_s);
        search.SearchSet(KindRecord);
        keys->setText(u"7"_s);
        QTest::mouseClick(orSearch, Qt::LeftButton);
        const QString earlier = resultBox(search)->toPlainText();
        QCOMPARE(search.model().hitCount(), 1);

        search.SearchSet(KindFreeKeyword);
        keys->setText(u"common"_s);
        QElapsedTimer sinceCancel;
        QImage painted;
        // The click lands as soon as the search lets events run.
        QTimer::singleShot(0, &search, [&] {
            ProgressWindow *progress = ui.progressWindow();
            QVERIFY(progress && progress->isVisible());
            painted = progress->grab().toImage();
            sinceCancel.start();
            QTest::mouseClick(progress->findChild<QPushButton *>(u"Cancel"_s), Qt::LeftButton);
        });
        QTest::mouseClick(orSearch, Qt::LeftButton);
        QVERIFY2(sinceCancel.isValid(), "the search ended before Cancel could be clicked");
        const qint64 stopped = sinceCancel.elapsed();
        QVERIFY2(stopped < 500, qPrintable(u"ended %1 ms after the click"_s.arg(stopped)));
        QCOMPARE(search.model().hitCount(), 1);
        QCOMPARE(resultBox(search)->toPlainText(), earlier);
        QVERIFY(!ui.progressWindow()->isVisible());
        // The window was painted: its caption and button are on it.
        QSet<QRgb> colours;
        for (int y = 0; y < painted.height(); y += 2)
            for (int x = 0; x < painted.width(); x += 2)
                colours.insert(painted.pixel(x, y));
        QVERIFY(colours.size() > 8);
        if (const QString shots = qEnvironmentVariable("TZ_SHOTS_DIR"); !shots.isEmpty())
            painted.save(shots + u"/progress_during_search.png"_s);
    }

    // "Similar Record" run again compares with the record the card shows now;
    // another bank empties the result.
    void similarRecordsOfTheCurrentRecordAndAnotherBank()
    {
        Program p;
        Record three = JournalRecord(1), five = JournalRecord(2);
        three.Memo = u"like 1"_s;
        five.Memo = u"like 2"_s;
        p.makeBank(u"mybank"_s, {JournalRecord(1), JournalRecord(2), three, JournalRecord(4), five});
        p.makeBank(u"other"_s);
        p.writeSettings(u"mybank"_s);
        p.start();
        auto click = [](QWidget &window, const char *name) {
            QTest::mouseClick(Program::control(window, name), Qt::LeftButton);
        };
        auto *recNum = Program::control<QLineEdit>(p.card(), u"RecNumBox"_s);
        recNum->selectAll();
        QTest::keyClicks(recNum, u"3"_s);
        QTest::keyClick(recNum, Qt::Key_Return);
        click(p.card(), "CommandSimilar");
        QCOMPARE(p.search().model().engine().hits(), QList<qint16>{1});
        click(p.card(), "CommandNext");
        click(p.card(), "CommandNext");
        click(p.search(), "SearD_1");
        QCOMPARE(p.search().model().engine().hits(), QList<qint16>{2});
        QVERIFY(!resultBox(p.search())->toPlainText().isEmpty());

        QVERIFY(p.bank().logic().OpenBank(p.root(), u"other"_s));
        QCOMPARE(resultBox(p.search())->toPlainText(), QString());
        QCOMPARE(p.search().model().hitCount(), 0);
    }
};

QTEST_MAIN(TestSearchProgram)
#include "tst_search_program.moc"
