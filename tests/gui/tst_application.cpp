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
using tz::testing::Program;

namespace {

// The program on the bank "first" of three journal articles, with "second"
// beside it.
struct TwoBanks : Program
{
    TwoBanks()
    {
        makeJournalBank(QStringLiteral("first"), 3);
        makeJournalBank(QStringLiteral("second"), 2);
        writeSettings(QStringLiteral("first"));
        start();
    }
    QLineEdit *memo() { return control<QLineEdit>(card(), QStringLiteral("EditRecBox_1")); }
    // Types at the end of the memo box, key by key.
    void typeMemo(const QString &text)
    {
        memo()->setFocus();
        memo()->end(false);
        QTest::keyClicks(memo(), text);
    }
    QString storedMemo(const QString &bank, int n)
    {
        Record r;
        RecRead(root() + bank + QStringLiteral(".bnk"), n, ReadMode::Stored, r, QDate(2026, 1, 1));
        return r.Memo;
    }
    // The bank window's action on the bank `name` in the program folder:
    // standing in its folder when there is one, else in the program folder.
    void chooseBank(const QString &name)
    {
        const QString folder = root() + name + QStringLiteral(".bnk");
        bank().logic().DirChange(QFileInfo(folder).isDir() ? folder : root());
        bank().logic().bankText = name + QStringLiteral(".bnk");
        bank().sync();
        ui.answers = {MsgAnswer::Ok};
        QTest::mouseClick(control<QPushButton>(bank(), QStringLiteral("Command1")), Qt::LeftButton);
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
        p.makeJournalBank(QStringLiteral("mine"), 2);
        p.writeSettings(QStringLiteral("mine"), " 1 \r\n 200 \r\n 1 \r\n 1 \r\n 0 \r\n 0 \r\n3000,3000,9150,8100\r\n"
                                                "4500,1500,9000,7000\r\n2000,6000,7905,7290\r\n0,1\r\n");
        p.start();
        CardWindow &card = p.card();
        QVERIFY(card.isVisible());
        const double dpi = card.logicalDpiX();
        QCOMPARE(card.pos(), QPoint(TwipsToPixels(3000, dpi), TwipsToPixels(3000, card.logicalDpiY())));
        QCOMPARE(card.width(), TwipsToPixels(9150, dpi));
        QCOMPARE(card.height(), TwipsToPixels(8100, card.logicalDpiY()));
        const QFont font = p.control<QLineEdit>(card, QStringLiteral("EditRecBox_1"))->font();
        QCOMPARE(font, ChosenFont(0, 0));
        QCOMPARE(font.pointSize(), 8);
        for (const auto &[item, ticked] : {std::pair{"fontn_0", true},
                                           {"fontn_1", false},
                                           {"fontz_0", true},
                                           {"fontz_4", false},
                                           {"mnuOB", false},
                                           {"mnuOS", true}})
            QVERIFY2(p.control<QAction>(card, QString::fromLatin1(item))->isChecked() == ticked, item);
        // The search window opens where it was.
        p.trigger(card, "mnuSF");
        SearchWindow &search = p.search();
        QVERIFY(search.isVisible());
        QCOMPARE(search.pos(), QPoint(TwipsToPixels(4500, dpi), TwipsToPixels(1500, search.logicalDpiY())));
        QCOMPARE(p.control<QLineEdit>(search, QStringLiteral("BoxKeys"))->font(), ChosenFont(0, 0));

        // At the end the same values are written back.
        card.close();
        const Settings saved = CfgLoad(p.root() + QStringLiteral("tz.cfg"), p.root());
        QCOMPARE(saved.CardPos, (WindowPos{3000, 3000, 9150, 8100}));
        QCOMPARE(saved.SearchPos, (WindowPos{4500, 1500, 9000, 7000}));
        QCOMPARE(saved.FontNameNo, 0);
        QCOMPARE(saved.FontSizeNo, 0);
        QVERIFY(!saved.BeepOn);
        QVERIFY(saved.AutoDupCheck);
    }

    // An edit on the card reaches its own bank before another bank shows:
    // typed before the bank menu, and typed while the bank window is open.
    void theBankMenuStoresTheShownRecordFirst_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("shownAfter");
        QTest::newRow("open") << "mnuBO"
                              << "second"
                              << "second";
        QTest::newRow("new") << "mnuBN"
                             << "third"
                             << "third";
        QTest::newRow("duplicate") << "mnuBD"
                                   << "copy"
                                   << "first";
    }
    void theBankMenuStoresTheShownRecordFirst()
    {
        QFETCH(QString, item);
        QFETCH(QString, target);
        QFETCH(QString, shownAfter);
        TwoBanks p;
        p.typeMemo(QStringLiteral(" before"));
        p.trigger(p.card(), item.toLatin1().constData());
        QVERIFY(p.bank().isVisible());
        QCOMPARE(p.storedMemo(QStringLiteral("first"), 3), QStringLiteral("memo 3 before"));
        p.typeMemo(QStringLiteral(" during"));
        QString storedWhenShown;
        connect(&p.session(), &Session::bankChanged, this,
                [&] { storedWhenShown = p.storedMemo(QStringLiteral("first"), 3); });
        p.bank().setFocus(); // the card's box loses the focus to the bank window
        p.chooseBank(target);
        QVERIFY(!p.bank().isVisible());
        QCOMPARE(p.storedMemo(QStringLiteral("first"), 3), QStringLiteral("memo 3 before during"));
        QCOMPARE(p.session().BankName(), shownAfter);
        if (shownAfter != u"first")
            QCOMPARE(storedWhenShown, QStringLiteral("memo 3 before during"));
        else // the copy holds the edit too
            QCOMPARE(p.storedMemo(target, 3), QStringLiteral("memo 3 before during"));
    }

    void aBankThatCannotBeReadLeavesTheOldOneOpen()
    {
        TwoBanks p;
        const QString second = p.root() + QStringLiteral("second.bnk/");
        QVERIFY(QFile::remove(second + QStringLiteral("record.tzd")));
        QVERIFY(QDir().mkdir(second + QStringLiteral("record.tzd")));
        p.typeMemo(QStringLiteral(" kept"));
        p.trigger(p.card(), "mnuBO");
        p.ui.messages.clear();
        p.chooseBank(QStringLiteral("second"));
        QCOMPARE(p.ui.messages.size(), 1);
        QCOMPARE(p.ui.messages.first().icon, MsgIcon::Error);
        QVERIFY(p.ui.messages.first().text.contains(QStringLiteral("record.tzd")));
        QVERIFY(p.bank().isVisible());
        QCOMPARE(p.session().BankName(), QStringLiteral("first"));
        QCOMPARE(p.card().windowTitle(), QStringLiteral("レコード編集  Tessellane 3j03 [FIRST]"));
        QCOMPARE(p.card().card().bankPath(), p.root() + QStringLiteral("first.bnk/"));
        QCOMPARE(CfgLoad(p.session().cfgFile(), p.root()).BankName, QStringLiteral("first"));
        // The card goes on working on the old bank.
        QCOMPARE(p.storedMemo(QStringLiteral("first"), 3), QStringLiteral("memo 3 kept"));
        p.card().close();
        QCOMPARE(CfgLoad(p.session().cfgFile(), p.root()).BankName, QStringLiteral("first"));
        QCOMPARE(p.session().BankPaths.first(), p.root() + QStringLiteral("first.bnk"));
    }
};

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
