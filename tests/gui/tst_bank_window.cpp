// The bank window, the bank menu's conversion of an old bank and help driven
// through their control names (the bank selection's rules are tested in depth
// in tests/core/bank); and the program's single running copy.

#include "core/session/single_instance.h"
#include "support/old_bank.h"
#include "support/program.h"

#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;
using tz::testing::Program;
using tz::testing::writeOldBank;

namespace {

// The program over a folder holding the banks sample and mine; the bank name
// and AutoOpen go to tz.cfg (none when the name is empty).
struct Banks : Program
{
    explicit Banks(const QString &bankName = {}, int autoOpen = 1)
    {
        makeBank(u"sample"_s);
        makeBank(u"mine"_s);
        if (!bankName.isEmpty())
            writeSettings(bankName, " " + QByteArray::number(autoOpen) + " \r\n 200 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n");
        start();
    }
    template <typename T> T *bankControl(const char *name) { return control<T>(bank(), QString::fromLatin1(name)); }
    void trigger(const char *item) { Program::trigger(card(), item); }
    void act() { QTest::mouseClick(bankControl<QPushButton>("Command1"), Qt::LeftButton); }
};

} // namespace

class TestBankWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // AutoOpen off: the bank window comes first, in open mode on the bank of
    // the settings; closed before any bank is open, it ends the program.
    void autoOpenOffShowsTheBankWindow()
    {
        Banks p(u"mine"_s, 0);
        QVERIFY(p.bank().isVisible() && !p.card().isVisible());
        QCOMPARE(p.bankControl<QLineEdit>("Bank1")->text(), u"mine.bnk"_s);
        QSignalSpy ended(p.app.get(), &Application::finished);
        p.bank().close();
        QCOMPARE(ended.count(), 1);
        p.bank().BankView(BankMode::Open);
        p.act();
        QVERIFY(p.card().isVisible() && !p.bank().isVisible());
        QCOMPARE(p.session().BankName(), u"mine"_s);
        // Once a bank is open, Cancel only hides the window.
        p.bank().BankView(BankMode::New);
        QTest::mouseClick(p.bankControl<QPushButton>("Command2"), Qt::LeftButton);
        QVERIFY(!p.bank().isVisible() && p.card().isVisible());
        QCOMPARE(ended.count(), 1);
    }

    // Without settings the sample bank shows; out of sample.bnk by a click on
    // the program folder in the list, then a new bank's name typed and Enter;
    // Escape closes the window.
    void aNewBankTypedIntoTheWindow()
    {
        Banks p;
        QVERIFY(p.card().isVisible() && !p.bank().isVisible());
        QCOMPARE(p.session().BankName(), u"sample"_s);
        p.trigger("mnuBN");
        auto *dirs = p.bankControl<QListWidget>("Dir1");
        QListWidgetItem *parent = nullptr;
        for (int i = 0; i < dirs->count(); ++i)
            if (dirs->item(i)->data(Qt::UserRole).toString() == QDir::cleanPath(p.dir.path()))
                parent = dirs->item(i);
        QVERIFY(parent);
        QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, dirs->visualItemRect(parent).center());
        auto *name = p.bankControl<QLineEdit>("Bank1");
        QTest::keyClicks(name, u"Abc.BNK"_s);
        QTest::keyClick(name, Qt::Key_Return); // Enter presses "New"
        QCOMPARE(p.ui.messages.size(), 1);     // asked before making it
        QCOMPARE(p.session().BankName(), u"abc"_s);
        QVERIFY(p.card().isVisible() && !p.bank().isVisible());
        p.trigger("mnuBO"); // Escape is Cancel
        QTest::keyClick(name, Qt::Key_Escape);
        QVERIFY(!p.bank().isVisible());
        // Closing the card writes the recent banks.
        p.card().close();
        QVERIFY(readFile(p.root() + u"Bpath.log"_s).startsWith((p.root() + u"abc.bnk\r\n"_s).toUtf8()));
    }

    // The old bank named in the input box becomes NAME.bnk beside it; the
    // open bank stays open.
    void convertingAnOldBank()
    {
        Banks p;
        writeOldBank(p.root() + u"old"_s, {{"first", "A.Author&&", "One&&&&", 1990, 3, "1,2-3"},
                                           {"second", "B.Author&&", "Two?&&&&", 1991, 120, "4,5-6"}});
        p.ui.inputs.enqueue(u"old"_s);
        p.trigger("mnuBC");
        QCOMPARE(p.ui.messages.size(), 2); // the bank found, and done
        QVERIFY(p.ui.messages.last().text.startsWith(u"変換作業が終わりました。"_s));
        QCOMPARE(p.session().BankName(), u"sample"_s);
        QVERIFY(p.bank().logic().OpenBank(p.root(), u"old"_s));
        QCOMPARE(p.card().card().recCount(), 2);
        QCOMPARE(p.card().card().boxText(CardBox::Title), u"Two?"_s);
        QCOMPARE(p.card().card().styleButton(), 2);
    }

    void helpFromTheMenuAndTheButton()
    {
        Banks p;
        p.trigger("mnuHC");
        p.trigger("mnuHQ");
        QCOMPARE(p.ui.webPages, (QList<QUrl>{QUrl::fromLocalFile(p.root() + u"help/9999.html"_s)}));
        p.trigger("mnuBD");
        QTest::mouseClick(p.bankControl<QPushButton>("Command3"), Qt::LeftButton);
        QCOMPARE(p.ui.helpTopics, (QList<int>{9999, 1040}));
    }

    void secondCopyEndsSilently()
    {
        QTemporaryDir home;
        QVERIFY(QFile::copy(QStringLiteral(TZ_SOURCE_DATA "/form.cfx"), home.filePath(u"form.cfx"_s)));
        SingleInstance running;
        QCOMPARE(running.lock(home.path()).outcome, LockOutcome::Acquired);
        QProcess second;
        second.setEnvironment(QProcess::systemEnvironment() << u"TESSELLANE_HOME="_s + home.path());
        second.start(QStringLiteral(TZ_GUI_EXE), {});
        QVERIFY(second.waitForFinished(20000));
        QVERIFY(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0);
        QVERIFY(second.readAllStandardOutput().isEmpty());
        QVERIFY(!QFile::exists(home.filePath(u"tz.cfg"_s)));
    }
};

QTEST_MAIN(TestBankWindow)
#include "tst_bank_window.moc"
