// The bank window, the record card, the version, progress and help windows,
// driven through their control names; and the program's single running copy.

#include "app/bank_files.h"
#include "app/bank_window.h"
#include "app/fake_user_interface.h"
#include "app/help_window.h"
#include "app/progress_window.h"
#include "app/qt_user_interface_gui.h"
#include "app/session.h"
#include "app/single_instance.h"
#include "app/version_window.h"
#include "card/card_window.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

using namespace tz;
using tz::testing::FakeUserInterface;

namespace {

struct Program
{
    QTemporaryDir dir;
    FakeUserInterface ui;
    std::unique_ptr<Session> session;
    std::unique_ptr<CardWindow> card;
    std::unique_ptr<BankWindow> bank;

    Program()
    {
        CreateBank(root() + QStringLiteral("sample.bnk"), QDate(2024, 1, 2), nullptr);
        QFile::copy(QStringLiteral(TZ_SOURCE_DATA "/form.cfx"), root() + QStringLiteral("form.cfx"));
        QFile::copy(QStringLiteral(TZ_SOURCE_DATA "/script.cfx"), root() + QStringLiteral("script.cfx"));
        session = std::make_unique<Session>(ui, dir.path());
        card = std::make_unique<CardWindow>(*session);
        bank = std::make_unique<BankWindow>(*session, *card);
        card->setBankView([this](int mode) { bank->BankView(mode); });
    }
    QString root() const { return dir.path() + QLatin1Char('/'); }
    template <typename T> T *bankControl(const char *name) const
    {
        return bank->findChild<T *>(QString::fromLatin1(name));
    }
    void writeCfg(const QString &bankName, int autoOpen)
    {
        QFile cfg(root() + QStringLiteral("tz.cfg"));
        cfg.open(QIODevice::WriteOnly);
        cfg.write("3I\r\n" + root().toUtf8() + "\r\n" + bankName.toUtf8() + "\r\n " + QByteArray::number(autoOpen) +
                  " \r\n 200 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n");
    }
    void triggerBankMenu(const char *item) { card->findChild<QAction *>(QString::fromLatin1(item))->trigger(); }
};

QColor textColour(const QWidget *w)
{
    return w->palette().color(QPalette::Text);
}

} // namespace

class TestBankWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controlsCarryTheirNames()
    {
        Program p;
        for (const char *name : {"Bank1", "Drive1", "Dir1", "File1", "Path1", "Command1", "Command2", "Command3"})
            QVERIFY2(p.bank->findChild<QWidget *>(QString::fromLatin1(name)), name);
        QCOMPARE(p.bankControl<QPushButton>("Command2")->text(), QStringLiteral("Cancel"));
        QCOMPARE(p.bankControl<QPushButton>("Command3")->text(), QStringLiteral("Help"));
        const auto *drives = p.bankControl<QComboBox>("Drive1");
        QVERIFY(drives->count() >= 1);
        QCOMPARE(drives->itemData(0).toString(), QDir::homePath());
    }

    void startUpWithoutSettingsOpensSample()
    {
        Program p;
        p.bank->StartUp();
        QVERIFY(p.card->isVisible());
        QVERIFY(!p.bank->isVisible());
        QCOMPARE(p.card->windowTitle(), QStringLiteral("レコード編集  Tessellane 3j03 [SAMPLE]"));
        QCOMPARE(p.card->recCount(), 1);
    }

    void autoOpenZeroShowsOpenMode()
    {
        Program p;
        QVERIFY(CreateBank(p.root() + QStringLiteral("mine.bnk"), QDate(2024, 1, 2), nullptr));
        p.writeCfg(QStringLiteral("mine"), 0);
        p.bank->StartUp();
        QVERIFY(p.bank->isVisible());
        QVERIFY(!p.card->isVisible());
        QCOMPARE(p.bank->windowTitle(), QStringLiteral("文献バンクを開く  Tessellane 3j03"));
        QCOMPARE(p.bankControl<QPushButton>("Command1")->text(), QStringLiteral("Open"));
        const auto *name = p.bankControl<QLineEdit>("Bank1");
        QCOMPARE(name->text(), QStringLiteral("mine.bnk"));
        QCOMPARE(textColour(name), QColor(0, 0, 255));
        QCOMPARE(p.bankControl<QComboBox>("Path1")->currentText(), p.root() + QStringLiteral("mine.bnk/"));
        // The file list shows the bank's files.
        QVERIFY(
            !p.bankControl<QListWidget>("File1")->findItems(QStringLiteral("record.tzd"), Qt::MatchExactly).isEmpty());
        // Open: the preselected bank goes to the card.
        QTest::mouseClick(p.bankControl<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(p.card->isVisible());
        QVERIFY(!p.bank->isVisible());
        QCOMPARE(p.card->windowTitle(), QStringLiteral("レコード編集  Tessellane 3j03 [MINE]"));
    }

    void cancelBeforeAnyBankEndsTheProgram()
    {
        Program p;
        p.writeCfg(QStringLiteral("sample"), 0);
        QSignalSpy ended(p.bank.get(), &BankWindow::hiddenWithoutBank);
        p.bank->StartUp();
        QCOMPARE(ended.count(), 0);
        p.bank->close();
        QVERIFY(!p.bank->isVisible());
        QCOMPARE(ended.count(), 1);
        // Once a bank is open, closing only hides the window.
        p.bank->BankView(1);
        QTest::mouseClick(p.bankControl<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(p.card->isVisible());
        p.bank->BankView(2);
        QTest::mouseClick(p.bankControl<QPushButton>("Command2"), Qt::LeftButton);
        QVERIFY(!p.bank->isVisible());
        QCOMPARE(ended.count(), 1);
    }

    void menuModesAndTypedNewBank()
    {
        Program p;
        p.bank->StartUp();
        const struct
        {
            const char *item;
            const char16_t *title;
            const char16_t *caption;
        } modes[] = {{"mnuBO", u"文献バンクを開く  Tessellane 3j03", u"Open"},
                     {"mnuBN", u"文献バンクを作る  Tessellane 3j03", u"New"},
                     {"mnuBD", u"文献バンクの複製  Tessellane 3j03", u"Dupli"}};
        for (const auto &m : modes) {
            p.triggerBankMenu(m.item);
            QVERIFY(p.bank->isVisible());
            QCOMPARE(p.bank->windowTitle(), QString::fromUtf16(m.title));
            QCOMPARE(p.bankControl<QPushButton>("Command1")->text(), QString::fromUtf16(m.caption));
            p.bank->close();
        }

        p.triggerBankMenu("mnuBN");
        // Step out of sample.bnk by clicking the program folder in the list.
        auto *dirs = p.bankControl<QListWidget>("Dir1");
        QListWidgetItem *parent = nullptr;
        for (int i = 0; i < dirs->count(); ++i)
            if (dirs->item(i)->data(Qt::UserRole).toString() == QDir::cleanPath(p.dir.path()))
                parent = dirs->item(i);
        QVERIFY(parent);
        QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, dirs->visualItemRect(parent).center());
        auto *name = p.bankControl<QLineEdit>("Bank1");
        QVERIFY(name->text().isEmpty());
        QCOMPARE(textColour(name), QColor(144, 144, 144));
        QTest::keyClicks(name, QStringLiteral("Abc.BNK"));
        QCOMPARE(textColour(name), QColor(255, 0, 0));
        p.ui.answers = {MsgAnswer::Ok};
        QTest::mouseClick(p.bankControl<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(p.ui.messageTexts(), QStringList{QStringLiteral("文献バンク abc を作成しますがよろしいですか？")});
        QVERIFY(QFileInfo(p.root() + QStringLiteral("abc.bnk")).isDir());
        QVERIFY(!p.bank->isVisible());
        QCOMPARE(p.card->windowTitle(), QStringLiteral("レコード編集  Tessellane 3j03 [ABC]"));
        QCOMPARE(p.card->recCount(), 1);
        QCOMPARE(p.bankControl<QComboBox>("Path1")->itemText(0), p.root() + QStringLiteral("abc.bnk"));

        // "New" with the open bank's name just hides the window.
        p.ui.messages.clear();
        p.triggerBankMenu("mnuBN");
        QCOMPARE(p.bankControl<QLineEdit>("Bank1")->text(), QStringLiteral("abc.bnk"));
        QTest::mouseClick(p.bankControl<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(p.ui.messages.isEmpty());
        QVERIFY(!p.bank->isVisible());
    }

    void recentBankChosenFromPath()
    {
        Program p;
        QVERIFY(CreateBank(p.root() + QStringLiteral("two.bnk"), QDate(2024, 1, 2), nullptr));
        QFile log(p.root() + QStringLiteral("Bpath.log"));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write((p.root() + QStringLiteral("sample.bnk\r\n") + p.root() + QStringLiteral("two.bnk\r\n")).toUtf8());
        log.close();
        p.bank->StartUp();
        p.triggerBankMenu("mnuBO");
        auto *path = p.bankControl<QComboBox>("Path1");
        QCOMPARE(path->count(), 2);
        path->setCurrentIndex(1);
        Q_EMIT path->activated(1);
        QCOMPARE(p.bankControl<QLineEdit>("Bank1")->text(), QStringLiteral("two.bnk"));
        QTest::mouseClick(p.bankControl<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(p.card->windowTitle(), QStringLiteral("レコード編集  Tessellane 3j03 [TWO]"));
        QCOMPARE(path->itemText(0), p.root() + QStringLiteral("two.bnk"));
        QCOMPARE(path->itemText(1), p.root() + QStringLiteral("sample.bnk"));
    }

    void closingTheCardWritesSettingsAndLog()
    {
        Program p;
        p.bank->StartUp();
        p.card->close();
        const Settings saved = CfgLoad(p.root() + QStringLiteral("tz.cfg"), p.root());
        QCOMPARE(saved.BankName, QStringLiteral("sample"));
        QFile log(p.root() + QStringLiteral("Bpath.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QCOMPARE(log.readAll(), (p.root() + QStringLiteral("sample.bnk\r\n")).toUtf8());
        QVERIFY(p.ui.messages.isEmpty());
    }

    void cardHelpMenu()
    {
        Program p;
        bool versionShown = false;
        p.card->setShowVersion([&versionShown] { versionShown = true; });
        p.bank->StartUp();
        p.triggerBankMenu("mnuHC");
        p.triggerBankMenu("mnuHV");
        p.triggerBankMenu("mnuHQ");
        QCOMPARE(p.ui.webPages, (QList<QUrl>{QUrl::fromLocalFile(p.root() + QStringLiteral("help/9999.html"))}));
        p.triggerBankMenu("mnuBD");
        QTest::mouseClick(p.bankControl<QPushButton>("Command3"), Qt::LeftButton);
        QCOMPARE(p.ui.helpTopics, (QList<int>{9999, 1040}));
        QVERIFY(versionShown);
    }

    void progressWindow()
    {
        QtUserInterface ui;
        Session s(ui, QDir::tempPath());
        s.ProgressStep(1, 1, 1, 0);
        QVERIFY(!ui.progressWindow() || !ui.progressWindow()->isVisible());
        s.ProgressStep(1, 1, 10, 1);
        ProgressWindow *w = ui.progressWindow();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("作業中"));
        QVERIFY(w->findChild<QLabel *>()->text() == QStringLiteral("ただいま作業中です。"));
        QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("Cancel")), Qt::LeftButton);
        QCOMPARE(s.search.CancelFlag, 1);
        QVERIFY(w->isVisible());
        s.ProgressStep(0, 1, 10, 0);
        QVERIFY(!w->isVisible());
        QCOMPARE(TwipsToPixels(1500, 96), 100);
    }

    void versionWindowClosesOnAnyKey()
    {
        VersionWindow v;
        const QStringList texts = [&] {
            QStringList t;
            for (const QLabel *l : v.findChildren<QLabel *>())
                t.append(l->text());
            return t;
        }();
        QVERIFY(texts.contains(QStringLiteral("Tessellane")));
        QVERIFY(texts.contains(QStringLiteral("Ver. 3j03")));
        QVERIFY(texts.contains(QStringLiteral("2014.07.26")));
        QVERIFY(!v.findChild<QLabel *>(QStringLiteral("Icon"))->pixmap().isNull());
        v.show();
        QTest::keyClick(&v, Qt::Key_X);
        QVERIFY(!v.isVisible());
        v.show();
        QTest::mouseClick(v.findChild<QPushButton *>(QStringLiteral("Close")), Qt::LeftButton);
        QVERIFY(!v.isVisible());
    }

    void helpTopicsFromFolder()
    {
        QTemporaryDir dir;
        QFile contents(dir.filePath(QStringLiteral("9999.html")));
        QVERIFY(contents.open(QIODevice::WriteOnly));
        contents.write("<html><body><p>contents page</p></body></html>");
        contents.close();
        QtUserInterface ui;
        ui.setHelpFolders({dir.path()});
        ui.showHelp(1020); // missing: the contents instead
        auto *browser = ui.helpWindow()->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"));
        QVERIFY(browser->toPlainText().contains(QStringLiteral("contents page")));
        QCOMPARE(ui.helpWindow()->topic(), 1020);
    }

    void secondCopyEndsSilently()
    {
        QTemporaryDir home;
        QVERIFY(QFile::copy(QStringLiteral(TZ_SOURCE_DATA "/form.cfx"), home.filePath(QStringLiteral("form.cfx"))));
        SingleInstance running;
        QVERIFY(running.acquire(home.path()));
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
