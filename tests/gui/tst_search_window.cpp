// The search window driven through its control names and menu items, alone
// and in the running program with the real progress window.
#include "gui/search/search_window.h"
#include "gui/widgets/progress_window.h"
#include "gui/widgets/qt_user_interface.h"
#include "support/program.h"
#include "support/search_fixture.h"

#include <QClipboard>
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

struct Window : SearchFixture
{
    std::unique_ptr<SearchWindow> window = std::make_unique<SearchWindow>(*session);

    template <typename T> T *control(const QString &name) const { return Program::control<T>(*window, name); }
    QAction *action(const char *name) const { return control<QAction>(QString::fromLatin1(name)); }
    QPushButton *button(int i) const { return control<QPushButton>(u"SearD_%1"_s.arg(i)); }
    QLineEdit *keys() const { return control<QLineEdit>(u"BoxKeys"_s); }
    QPlainTextEdit *result() const { return control<QPlainTextEdit>(u"BoxResult"_s); }
    QString shown() const { return result()->toPlainText(); }
    // The window shown and active, the key box holding `text` typed key by key.
    void type(const QString &text) const
    {
        Program::activate(window.get());
        keys()->setFocus();
        keys()->clear();
        QTest::keyClicks(keys(), text);
    }
};

// The real progress window and its event handling; messages are answered OK
// instead of shown, and no sound plays.
struct RealProgress : QtUserInterface
{
    MsgAnswer message(const QString &, MsgButtons, MsgIcon) override { return MsgAnswer::Ok; }
    void playTones(const QList<Tone> &) override {}
};

QPlainTextEdit *resultBox(SearchWindow &w)
{
    return Program::control<QPlainTextEdit>(w, u"BoxResult"_s);
}

} // namespace

class TestSearchWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kindsAndTheKeyBox()
    {
        Window w;
        // A kind from the menu shows the window and empties the key box.
        w.action("mnuSF")->trigger();
        QVERIFY(w.window->isVisible());
        w.type(u"telomere"_s);
        w.action("mnuSY")->trigger();
        QCOMPARE(w.keys()->text(), QString());
        QVERIFY(w.button(7)->isHidden());
        // F5 still runs the AND branch with Year.
        w.type(u"1992"_s);
        QTest::keyClick(w.window.get(), Qt::Key_F5);
        QVERIFY(w.window->model().engine().AndMode);
        QVERIFY(w.shown().contains(u"total  1 hits"_s));
        // Blank and double-booked records are searched at once.
        for (const char *item : {"mnuSB", "mnuSD"}) {
            w.window->hide();
            w.result()->clear();
            w.action(item)->trigger();
            QVERIFY2(w.window->isVisible() && w.shown().contains(u"total"_s), item);
        }
    }

    void similarCheckWithNothingSimilarStaysHidden()
    {
        Window w;
        w.window->runCardRequest({KindSimilarAuto, kKindSimilar, u"3"_s});
        QVERIFY(!w.window->isVisible());
        QCOMPARE(w.shown(), QString());
        w.window->runCardRequest({KindCurrent, kKindCurrent, u"3"_s});
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.keys()->text(), u"3"_s);
        QVERIFY(w.shown().contains(u"Title 3."_s));
    }

    // OR preferred at start; the menu item makes AND the default, and Enter
    // in the key box presses it, the focus staying there.
    void theAndPreference()
    {
        Window w;
        w.window->SearchSet(KindFreeKeyword);
        QVERIFY(w.button(1)->isDefault());
        w.action("mnuON")->trigger();
        QVERIFY(w.button(7)->isDefault() && !w.button(1)->isDefault());
        w.type(u"telomere Title"_s);
        QTest::keyClick(w.keys(), Qt::Key_Return);
        QVERIFY(w.window->model().engine().AndMode);
        QVERIFY(w.shown().contains(u"total  0 hits"_s));
        QVERIFY(w.keys()->hasFocus());
        // The close box hides the window and stores its size.
        w.window->close();
        QVERIFY(!w.window->isVisible());
        QCOMPARE(w.session->settings.SearchPos.width, float(w.window->width() * 15));
    }

    void resultMenuSavingAndPrinting()
    {
        Window w;
        w.window->SearchSet(KindFreeKeyword);
        w.type(u"telomere"_s);
        QTest::mouseClick(w.button(1), Qt::LeftButton);
        const QString rendered = w.shown();
        QVERIFY(rendered.contains(u"total  2 hits"_s));
        // Typing into the result in two places, then Ctrl+Z: the rendered list again.
        w.result()->setFocus();
        QTest::keyClicks(w.result(), u"start"_s);
        w.result()->moveCursor(QTextCursor::End);
        QTest::keyClicks(w.result(), u"typed"_s);
        QTest::keyClick(w.result(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.shown(), rendered);
        // Copy with the focus in the key box copies from the key box.
        w.keys()->setFocus();
        w.keys()->setSelection(0, 4);
        w.action("mnuRC")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), u"telo"_s);

        // Saving writes the text as shown, edit included (its encoding is a
        // core test); the print button prints into a PDF file (tst_painting).
        w.result()->setPlainText(u"first\nsecond"_s);
        w.ui.files.enqueue(w.file(u"out.txt"_s));
        QTest::mouseClick(w.button(3), Qt::LeftButton);
        QCOMPARE(readFile(w.file(u"out.txt"_s)), QByteArray("first\r\nsecond\r\n"));
        w.ui.printAnswer = PrintChoice{1, 0, 0, true, w.file(u"list.pdf"_s)};
        QTest::mouseClick(w.button(4), Qt::LeftButton);
        QVERIFY(readFile(w.file(u"list.pdf"_s)).startsWith("%PDF"));
        // "結果の消去" empties the result box; the hits stay.
        w.action("mnuRZ")->trigger();
        QCOMPARE(w.shown(), QString());
        QCOMPARE(w.window->model().engine().HitCount, 2);
    }

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
        QVERIFY(Program::colours(painted) > 8); // painted: its caption and button are on it
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

QTEST_MAIN(TestSearchWindow)
#include "tst_search_window.moc"
