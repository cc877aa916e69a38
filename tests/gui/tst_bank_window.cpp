// The bank window, the progress and help windows driven through their
// control names (the bank selection's rules and the progress steps are tested
// in depth in tests/app); and the program's single running copy.

#include "core/session/single_instance.h"
#include "gui/widgets/progress_window.h"
#include "gui/widgets/qt_user_interface.h"
#include "support/program.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace tz;
using tz::testing::Program;

namespace {

const QString kCard = QStringLiteral("レコード編集  Tessellane 3j03 [%1]");

// The program over a folder holding the banks sample and mine; the bank name
// and AutoOpen go to tz.cfg (none when the name is empty).
struct Banks : Program
{
    explicit Banks(const QString &bankName = {}, int autoOpen = 1)
    {
        makeBank(QStringLiteral("sample"));
        makeBank(QStringLiteral("mine"));
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
    void startUpWithoutSettingsOpensSample()
    {
        Banks p;
        QVERIFY(p.card().isVisible() && !p.bank().isVisible());
        QCOMPARE(p.card().windowTitle(), kCard.arg(u"SAMPLE"));
        QCOMPARE(p.bankControl<QComboBox>("Drive1")->itemData(0).toString(), QDir::homePath());
        // Closing the card writes the settings and the recent banks.
        p.card().close();
        QCOMPARE(CfgLoad(p.root() + QStringLiteral("tz.cfg"), p.root()).BankName, QStringLiteral("sample"));
        QCOMPARE(readFile(p.root() + QStringLiteral("Bpath.log")),
                 (p.root() + QStringLiteral("sample.bnk\r\n")).toUtf8());
    }

    void autoOpenZeroShowsOpenMode()
    {
        Banks p(QStringLiteral("mine"), 0);
        QVERIFY(p.bank().isVisible() && !p.card().isVisible());
        QCOMPARE(p.bankControl<QLineEdit>("Bank1")->text(), QStringLiteral("mine.bnk"));
        QCOMPARE(p.bankControl<QLineEdit>("Bank1")->palette().color(QPalette::Text), QColor(0, 0, 255));
        QVERIFY(
            !p.bankControl<QListWidget>("File1")->findItems(QStringLiteral("record.tzd"), Qt::MatchExactly).isEmpty());
        p.act();
        QVERIFY(p.card().isVisible() && !p.bank().isVisible());
        QCOMPARE(p.card().windowTitle(), kCard.arg(u"MINE"));
    }

    void closingBeforeAnyBankEndsTheProgram()
    {
        Banks p(QStringLiteral("sample"), 0);
        QSignalSpy ended(p.app.get(), &Application::finished);
        p.bank().close();
        QCOMPARE(ended.count(), 1);
        // Once a bank is open, Cancel only hides the window.
        p.bank().BankView(BankMode::Open);
        p.act();
        p.bank().BankView(BankMode::New);
        QTest::mouseClick(p.bankControl<QPushButton>("Command2"), Qt::LeftButton);
        QVERIFY(!p.bank().isVisible() && p.card().isVisible());
        QCOMPARE(ended.count(), 1);
    }

    void menuModesAndTypedNewBank()
    {
        Banks p;
        const QList<std::tuple<const char *, QString, QString>> modes{
            {"mnuBO", QStringLiteral("文献バンクを開く  Tessellane 3j03"), QStringLiteral("Open")},
            {"mnuBN", QStringLiteral("文献バンクを作る  Tessellane 3j03"), QStringLiteral("New")},
            {"mnuBD", QStringLiteral("文献バンクの複製  Tessellane 3j03"), QStringLiteral("Dupli")}};
        for (const auto &[item, title, caption] : modes) {
            p.trigger(item);
            QVERIFY(p.bank().isVisible());
            QCOMPARE(p.bank().windowTitle(), title);
            QCOMPARE(p.bankControl<QPushButton>("Command1")->text(), caption);
            p.bank().close();
        }

        // Step out of sample.bnk by clicking the program folder in the list, then type the name.
        p.trigger("mnuBN");
        auto *dirs = p.bankControl<QListWidget>("Dir1");
        QListWidgetItem *parent = nullptr;
        for (int i = 0; i < dirs->count(); ++i)
            if (dirs->item(i)->data(Qt::UserRole).toString() == QDir::cleanPath(p.dir.path()))
                parent = dirs->item(i);
        QVERIFY(parent);
        QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, dirs->visualItemRect(parent).center());
        auto *name = p.bankControl<QLineEdit>("Bank1");
        QVERIFY(name->text().isEmpty());
        QTest::keyClicks(name, QStringLiteral("Abc.BNK"));
        QCOMPARE(name->palette().color(QPalette::Text), QColor(255, 0, 0));
        p.ui.answers = {MsgAnswer::Ok};
        p.act();
        QCOMPARE(p.ui.messageTexts(), QStringList{QStringLiteral("文献バンク abc を作成しますがよろしいですか？")});
        QVERIFY(QFileInfo(p.root() + QStringLiteral("abc.bnk")).isDir());
        QCOMPARE(p.card().windowTitle(), kCard.arg(u"ABC"));
        QCOMPARE(p.bankControl<QComboBox>("Path1")->itemText(0), p.root() + QStringLiteral("abc.bnk"));

        // "New" with the open bank's name just hides the window.
        p.ui.messages.clear();
        p.trigger("mnuBN");
        QCOMPARE(name->text(), QStringLiteral("abc.bnk"));
        p.act();
        QVERIFY(p.ui.messages.isEmpty());
        QVERIFY(!p.bank().isVisible());
    }

    void helpFromTheMenuAndTheButton()
    {
        Banks p;
        p.trigger("mnuHC");
        p.trigger("mnuHQ");
        QCOMPARE(p.ui.webPages, (QList<QUrl>{QUrl::fromLocalFile(p.root() + QStringLiteral("help/9999.html"))}));
        p.trigger("mnuBD");
        QTest::mouseClick(p.bankControl<QPushButton>("Command3"), Qt::LeftButton);
        QCOMPARE(p.ui.helpTopics, (QList<int>{9999, 1040}));
    }

    void progressWindowCancel()
    {
        QtUserInterface ui;
        Session s(ui, QDir::tempPath());
        s.ProgressStep(ProgressMode::Open, 1, 10, 1);
        ProgressWindow *w = ui.progressWindow();
        QVERIFY(w && w->isVisible());
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("Cancel")), Qt::LeftButton);
        QVERIFY(s.CancelFlag);
        s.ProgressStep(ProgressMode::Close, 1, 10, 0);
        QVERIFY(!w->isVisible());
    }

    void secondCopyEndsSilently()
    {
        QTemporaryDir home;
        QVERIFY(QFile::copy(QStringLiteral(TZ_SOURCE_DATA "/form.cfx"), home.filePath(QStringLiteral("form.cfx"))));
        SingleInstance running;
        QCOMPARE(running.lock(home.path()).outcome, LockOutcome::Acquired);
        QProcess second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TESSELLANE_HOME"), home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(env);
        second.start(QStringLiteral(TZ_GUI_EXE), {});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(second.readAllStandardOutput().isEmpty());
        QVERIFY(!QFile::exists(home.filePath(QStringLiteral("tz.cfg"))));
    }
};

QTEST_MAIN(TestBankWindow)
#include "tst_bank_window.moc"
