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
using tz::testing::JournalRecord;
using tz::testing::Program;

namespace {

// The real progress window and its event handling; messages, dialogs and
// sounds are recorded instead of shown.
struct RealProgress : QtUserInterface
{
    QStringList messages;
    MsgAnswer message(const QString &text, MsgButtons, MsgIcon) override
    {
        messages.append(text);
        return MsgAnswer::Ok;
    }
    void playTones(const QList<Tone> &) override {}
};

QPlainTextEdit *resultBox(SearchWindow &w)
{
    return w.findChild<QPlainTextEdit *>(QStringLiteral("BoxResult"));
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
        QTemporaryDir dir;
        const QString root = dir.path() + u'/';
        for (const char *name : {"/form.cfx", "/script.cfx"})
            QFile::copy(QStringLiteral(TZ_SOURCE_DATA) + name, dir.path() + name);
        QVERIFY(CreateBank(root + QStringLiteral("full.bnk"), QDate(2024, 1, 2), nullptr));
        Record r = JournalRecord(1);
        r.Title = QStringLiteral("A common title of every record.");
        QByteArray records;
        for (int i = 0; i < kMaxRecords; ++i)
            records += EncodeRecord(r);
        QVERIFY(writeFile(root + QStringLiteral("full.bnk/record.tzd"), records));
        QVERIFY(writeFile(root + QStringLiteral("tz.cfg"),
                          "3I\r\n" + root.toUtf8() + "\r\nfull\r\n 1 \r\n 32767 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n"));
        RealProgress ui;
        Application app(ui, root);
        app.start();
        SearchWindow &search = app.search();
        auto *keys = search.findChild<QLineEdit *>(QStringLiteral("BoxKeys"));
        auto *orSearch = search.findChild<QPushButton *>(QStringLiteral("SearD_1"));
        search.SearchSet(KindRecord);
        keys->setText(QStringLiteral("7"));
        QTest::mouseClick(orSearch, Qt::LeftButton);
        const QString earlier = resultBox(search)->toPlainText();
        QCOMPARE(search.model().hitCount(), 1);

        search.SearchSet(KindFreeKeyword);
        keys->setText(QStringLiteral("common"));
        QElapsedTimer sinceCancel;
        QImage painted;
        // The click lands as soon as the search lets events run.
        QTimer::singleShot(0, &search, [&] {
            ProgressWindow *progress = ui.progressWindow();
            QVERIFY(progress && progress->isVisible());
            painted = progress->grab().toImage();
            sinceCancel.start();
            QTest::mouseClick(progress->findChild<QPushButton *>(QStringLiteral("Cancel")), Qt::LeftButton);
        });
        QElapsedTimer whole;
        whole.start();
        QTest::mouseClick(orSearch, Qt::LeftButton);
        QVERIFY2(sinceCancel.isValid(), "the search ended before Cancel could be clicked");
        const qint64 stopped = sinceCancel.elapsed();
        qInfo("search cancelled after %lld ms, ended %lld ms after the click", whole.elapsed() - stopped, stopped);
        QVERIFY2(stopped < 500, qPrintable(QString::number(stopped)));
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
            painted.save(shots + QStringLiteral("/progress_during_search.png"));
    }

    // "Similar Record" run again compares with the record the card shows now;
    // another bank empties the result.
    void similarRecordsOfTheCurrentRecordAndAnotherBank()
    {
        Program p;
        Record three = JournalRecord(1), five = JournalRecord(2);
        three.Memo = QStringLiteral("like 1");
        five.Memo = QStringLiteral("like 2");
        p.makeBank(QStringLiteral("mybank"), {JournalRecord(1), JournalRecord(2), three, JournalRecord(4), five});
        p.makeBank(QStringLiteral("other"));
        p.writeSettings(QStringLiteral("mybank"));
        p.start();
        auto *recNum = Program::control<QLineEdit>(p.card(), QStringLiteral("RecNumBox"));
        recNum->selectAll();
        QTest::keyClicks(recNum, QStringLiteral("3"));
        QTest::keyClick(recNum, Qt::Key_Return);
        QTest::mouseClick(Program::control<QPushButton>(p.card(), QStringLiteral("CommandSimilar")), Qt::LeftButton);
        QCOMPARE(p.search().model().engine().hits(), QList<qint16>{1});
        QTest::mouseClick(Program::control<QPushButton>(p.card(), QStringLiteral("CommandNext")), Qt::LeftButton);
        QTest::mouseClick(Program::control<QPushButton>(p.card(), QStringLiteral("CommandNext")), Qt::LeftButton);
        QTest::mouseClick(Program::control<QPushButton>(p.search(), QStringLiteral("SearD_1")), Qt::LeftButton);
        QCOMPARE(p.search().model().engine().hits(), QList<qint16>{2});
        QVERIFY(!resultBox(p.search())->toPlainText().isEmpty());

        QVERIFY(p.bank().logic().OpenBank(p.root(), QStringLiteral("other")));
        QCOMPARE(resultBox(p.search())->toPlainText(), QString());
        QCOMPARE(p.search().model().hitCount(), 0);
        QCOMPARE(p.search().windowTitle(), QStringLiteral("文献検索  Tessellane 3j03 [OTHER]"));
    }
};

QTEST_MAIN(TestSearchProgram)
#include "tst_search_program.moc"
