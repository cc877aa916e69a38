// The bank menu's conversion through the running program: the old bank named
// in the input box becomes NAME.bnk beside it, and opens on the card.

#include "support/old_bank.h"
#include "support/program.h"

#include <QtTest>

using namespace tz;
using namespace tz::testing;

class TestBankMenu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void convertingAnOldBank()
    {
        Program p;
        p.makeBank(QStringLiteral("mine"), {}, 2);
        p.writeSettings(QStringLiteral("mine"));
        writeOldBank(p.root() + QStringLiteral("old"), {{"first", "A.Author&&", "One&&&&", 1990, 3, "1,2-3"},
                                                        {"second", "B.Author&&", "Two?&&&&", 1991, 120, "4,5-6"}});
        p.start();
        p.ui.inputs.enqueue(QStringLiteral("old"));
        Program::control<QAction>(p.card(), QStringLiteral("mnuBC"))->trigger();
        QCOMPARE(p.ui.messages.size(), 2); // the bank found, and done
        QVERIFY(p.ui.messages.last().text.startsWith(QStringLiteral("変換作業が終わりました。")));
        QCOMPARE(p.session().BankName(), QStringLiteral("mine")); // the open bank stays open
        QVERIFY(p.bank().logic().OpenBank(p.root(), QStringLiteral("old")));
        QCOMPARE(p.card().card().recCount(), 2);
        QCOMPARE(p.card().card().boxText(CardBox::Title), QStringLiteral("Two?"));
        QCOMPARE(p.card().card().styleButton(), 2);
    }
};

QTEST_MAIN(TestBankMenu)
#include "tst_bank_menu.moc"
