// The program as it starts and as its windows are wired: the saved settings
// applied before any window shows and written back at the end, and the bank
// menu, which stores the shown record before another bank shows and keeps the
// open bank when another one cannot be opened.

#include "core/session/settings.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/window_place.h"
#include "support/program.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;
using tz::testing::Program;

namespace {

// The program on the bank "first" of three journal articles, with "second"
// beside it.
struct TwoBanks : Program
{
    TwoBanks()
    {
        makeBank(u"first"_s, {}, 3);
        makeBank(u"second"_s, {}, 2);
        writeSettings(u"first"_s);
        start();
    }
    // Types at the end of the memo box, key by key.
    void typeMemo(const QString &text)
    {
        auto *memo = control<QLineEdit>(card(), u"EditRecBox_1"_s);
        memo->setFocus();
        memo->end(false);
        QTest::keyClicks(memo, text);
    }
    // The memo of record 3 as stored in the bank.
    QString storedMemo(const QString &bank = u"first"_s)
    {
        Record r;
        RecRead(root() + bank + u".bnk"_s, 3, ReadMode::Stored, r, QDate(2026, 1, 1));
        return r.Memo;
    }
    // The bank window's action on the bank `name` in the program folder:
    // standing in its folder when there is one, else in the program folder.
    void chooseBank(const QString &name)
    {
        const QString folder = root() + name + u".bnk"_s;
        bank().logic().DirChange(QFileInfo(folder).isDir() ? folder : root());
        bank().logic().bankText = name + u".bnk"_s;
        bank().sync();
        ui.answers = {MsgAnswer::Ok};
        QTest::mouseClick(control<QPushButton>(bank(), u"Command1"_s), Qt::LeftButton);
    }
};

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savedSettingsAreAppliedAndKept()
    {
        Program p;
        p.makeBank(u"mine"_s, {}, 2);
        p.writeSettings(u"mine"_s, " 1 \r\n 200 \r\n 1 \r\n 1 \r\n 0 \r\n 0 \r\n3000,3000,9150,8100\r\n"
                                   "4500,1500,9000,7000\r\n2000,6000,7905,7290\r\n0,1\r\n");
        p.start();
        CardWindow &card = p.card();
        const double dpi = card.logicalDpiX();
        QCOMPARE(card.pos(), QPoint(TwipsToPixels(3000, dpi), TwipsToPixels(3000, card.logicalDpiY())));
        QCOMPARE(card.width(), TwipsToPixels(9150, dpi));
        QCOMPARE(card.height(), TwipsToPixels(8100, card.logicalDpiY()));
        const QFont font = p.control<QLineEdit>(card, u"EditRecBox_1"_s)->font();
        QCOMPARE(font, ChosenFont(0, 0));
        const std::pair<const char *, bool> ticks[] = {{"fontn_0", true},  {"fontn_1", false}, {"fontz_0", true},
                                                       {"fontz_4", false}, {"mnuOB", false},   {"mnuOS", true}};
        for (const auto &[item, ticked] : ticks)
            QVERIFY2(p.control<QAction>(card, item)->isChecked() == ticked, item);
        // The search window opens where it was.
        p.trigger(card, "mnuSF");
        SearchWindow &search = p.search();
        QCOMPARE(search.pos(), QPoint(TwipsToPixels(4500, dpi), TwipsToPixels(1500, search.logicalDpiY())));
        QCOMPARE(p.control<QLineEdit>(search, u"BoxKeys"_s)->font(), ChosenFont(0, 0));

        // At the end the values are written back, the changes made with them.
        card.move(card.pos() + QPoint(40, 0));
        p.trigger(card, "fontn_1");
        p.trigger(card, "mnuOB");
        card.close();
        const Settings saved = CfgLoad(p.root() + u"tz.cfg"_s, p.root());
        QCOMPARE(saved.CardPos, (WindowPos{float(PixelsToTwips(card.x(), dpi)), 3000, 9150, 8100}));
        QVERIFY(saved.CardPos.left > 3000);
        QCOMPARE(saved.SearchPos, (WindowPos{4500, 1500, 9000, 7000}));
        QCOMPARE(saved.FontNameNo, 1);
        QCOMPARE(saved.FontSizeNo, 0);
        QVERIFY(saved.BeepOn);
        QVERIFY(saved.AutoDupCheck);
        p.trigger(card, "mnuOD"); // the default places again
        QCOMPARE(p.session().settings.CardPos, Settings().CardPos);
    }

    // An edit on the card reaches its own bank before another bank shows:
    // typed before the bank menu, and typed while the bank window is open.
    void theBankMenuStoresTheShownRecordFirst_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("open") << u"mnuBO"_s << u"second"_s << u"second"_s;
        QTest::newRow("new") << u"mnuBN"_s << u"third"_s << u"third"_s;
        QTest::newRow("duplicate") << u"mnuBD"_s << u"copy"_s << u"first"_s;
    }
    void theBankMenuStoresTheShownRecordFirst()
    {
        QFETCH(QString, item);
        QFETCH(QString, target);
        QFETCH(QString, shownAfter);
        TwoBanks p;
        p.typeMemo(u" before"_s);
        p.trigger(p.card(), item.toLatin1().constData());
        QVERIFY(p.bank().isVisible());
        QCOMPARE(p.storedMemo(), u"memo 3 before"_s);
        p.typeMemo(u" during"_s);
        QString storedWhenShown;
        connect(&p.session(), &Session::bankChanged, this, [&] { storedWhenShown = p.storedMemo(); });
        p.bank().setFocus(); // the card's box loses the focus to the bank window
        p.chooseBank(target);
        QVERIFY(!p.bank().isVisible());
        QCOMPARE(p.storedMemo(), u"memo 3 before during"_s);
        QCOMPARE(p.session().BankName(), shownAfter);
        if (shownAfter != u"first")
            QCOMPARE(storedWhenShown, u"memo 3 before during"_s);
        else // the copy holds the edit too
            QCOMPARE(p.storedMemo(target), u"memo 3 before during"_s);
    }

    void aBankThatCannotBeReadLeavesTheOldOneOpen()
    {
        TwoBanks p;
        const QString records = p.root() + u"second.bnk/record.tzd"_s;
        QVERIFY(QFile::remove(records) && QDir().mkdir(records));
        p.typeMemo(u" kept"_s);
        p.trigger(p.card(), "mnuBO");
        p.ui.messages.clear();
        p.chooseBank(u"second"_s);
        QCOMPARE(p.ui.messages.size(), 1);
        QVERIFY(p.ui.messages[0].icon == MsgIcon::Error && p.ui.messages[0].text.contains(u"record.tzd"_s));
        QVERIFY(p.bank().isVisible());
        QCOMPARE(p.session().BankName(), u"first"_s);
        QCOMPARE(p.card().card().bankPath(), p.root() + u"first.bnk/"_s);
        // The card goes on working on the old bank.
        QCOMPARE(p.storedMemo(), u"memo 3 kept"_s);
        p.card().close();
        QCOMPARE(CfgLoad(p.session().cfgFile(), p.root()).BankName, u"first"_s);
        QCOMPARE(p.session().BankPaths.first(), p.root() + u"first.bnk"_s);
    }
};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
