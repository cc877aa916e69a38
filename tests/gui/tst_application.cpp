// The program as it starts and as its windows are wired: the saved settings
// applied before any window shows and written back at the end; the bank menu
// and the bank window (their rules are tested in depth in tests/core/bank);
// the program's single running copy.
#include "core/session/settings.h"
#include "core/session/single_instance.h"
#include "core/store/jpcode.h"
#include "gui/jpcode/jp_editor_window.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/help_window.h"
#include "gui/widgets/qt_texts.h"
#include "gui/widgets/window_place.h"
#include "support/program.h"
#include "support/test_rows.h"

#include <QAbstractFileIconProvider>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTranslator>
#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;
using tz::testing::Program;

namespace {

// The program on the bank "first" of three journal articles, with "second"
// of two and an empty "sample" beside it; tz.cfg names "first" with AutoOpen
// `autoOpen` (none at all for -1: the program opens the sample bank).
struct Banks : Program
{
    explicit Banks(int autoOpen = 1)
    {
        makeBank(u"first"_s, {}, 3);
        makeBank(u"second"_s, {}, 2);
        makeBank(u"sample"_s);
        if (autoOpen >= 0)
            writeSettings(u"first"_s, QByteArray(testing::kSettingsRest).replace(1, 1, QByteArray::number(autoOpen)));
        start();
    }
    template <typename T> T *bankControl(const char *name) { return control<T>(bank(), QString::fromLatin1(name)); }
    void trigger(const char *item) { Program::trigger(card(), item); }
    void act() { QTest::mouseClick(bankControl<QPushButton>("Command1"), Qt::LeftButton); }
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
        return testing::StoredRecord(root() + bank + u".bnk"_s, 3).Memo;
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
        act();
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
        // The search window's place as it stands when it closes with the card
        // (its 7000 twips high are 467 pixels, written back as 7005).
        QCOMPARE(saved.SearchPos, WindowPlace(&p.search()));
        QCOMPARE(QList<float>({saved.SearchPos.left, saved.SearchPos.top, saved.SearchPos.width}),
                 QList<float>({4500, 1500, 9000}));
        QCOMPARE(QList<int>({saved.FontNameNo, saved.FontSizeNo, saved.BeepOn, saved.AutoDupCheck}),
                 QList<int>({1, 0, 1, 1}));
        p.trigger(card, "mnuOD"); // the default places again
        QCOMPARE(p.session().settings.CardPos, Settings().CardPos);
    }

    // Closing the card ends the program whatever else is open: the other
    // windows close as the person closes them (the JP code editor saves the
    // name typed into it) and none is left showing, which would refuse the end.
    void theCardEndsTheProgram()
    {
        Banks p;
        QSignalSpy ended(p.app.get(), &Application::finished);
        p.trigger("mnuSF");
        p.trigger("mnuOJ");
        JPEditorWindow &jp = p.app->jpEditor();
        QVERIFY(p.search().isVisible() && jp.isVisible());
        QTest::keyClicks(p.control<QLineEdit>(jp, u"JPtext"_s), u"Named At The End"_s);
        p.card().close();
        QCOMPARE(ended.count(), 1);
        for (const QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
        const QByteArray table = readFile(p.root() + u"first.bnk/JPcode.tzd"_s);
        QVERIFY(ParseJPcode(table).JPname.contains(u"Named At The End"_s));
    }

    // An edit on the card reaches its own bank before another bank shows:
    // typed before the bank menu, and typed while the bank window is open.
    void theBankMenuStoresTheShownRecordFirst_data()
    {
        // The item (open, new, duplicate), the bank chosen, the bank shown after.
        rows::table({"item", "target", "shownAfter"},
                    {{"mnuBO", "second", "second"}, {"mnuBN", "third", "third"}, {"mnuBD", "copy", "first"}});
    }
    void theBankMenuStoresTheShownRecordFirst()
    {
        const QString target = rows::text("target"), shownAfter = rows::text("shownAfter");
        Banks p;
        p.typeMemo(u" before"_s);
        p.trigger(rows::text("item").toLatin1().constData());
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
        Banks p;
        const QString records = p.root() + u"second.bnk/record.tzd"_s;
        QVERIFY(QFile::remove(records) && QDir().mkdir(records));
        p.typeMemo(u" kept"_s);
        p.trigger("mnuBO");
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

    // AutoOpen off: the bank window comes first, in open mode on the bank of
    // the settings; closed before any bank is open, it ends the program.
    void autoOpenOffShowsTheBankWindow()
    {
        Banks p(0);
        QVERIFY(p.bank().isVisible() && !p.card().isVisible());
        QCOMPARE(p.bankControl<QLineEdit>("Bank1")->text(), u"first.bnk"_s);
        QSignalSpy ended(p.app.get(), &Application::finished);
        p.bank().close();
        QCOMPARE(ended.count(), 1);
        p.bank().BankView(BankMode::Open);
        p.act();
        QVERIFY(p.card().isVisible() && !p.bank().isVisible());
        QCOMPARE(p.session().BankName(), u"first"_s);
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
        Banks p(-1);
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

    void helpFromTheMenuAndTheButton()
    {
        Banks p;
        p.trigger("mnuHC");
        p.trigger("mnuHQ");
        QCOMPARE(p.ui.webPages, (QList<QUrl>{QUrl::fromLocalFile(p.root() + u"help/9999.html"_s)}));
        p.trigger("mnuBD");
        QTest::mouseClick(p.bankControl<QPushButton>("Command3"), Qt::LeftButton);
        QCOMPARE(p.ui.helpTopics, (QList<int>{9999, 1040}));

        // The help window itself: a topic it lacks gives the contents, and
        // Escape puts it away.
        QTemporaryDir topics;
        QVERIFY(writeFile(topics.filePath(u"9999.html"_s), "<p>目次</p>"));
        HelpWindow help;
        help.setFolders({topics.path()});
        help.showTopic(7);
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QCOMPARE(help.findChild<QTextBrowser *>(u"HelpBrowser"_s)->source(),
                 QUrl::fromLocalFile(topics.filePath(u"9999.html"_s)));
        QTest::keyClick(&help, Qt::Key_Escape);
        QVERIFY(!help.isVisible());
    }

    // What Qt draws itself speaks Japanese with the rest, whatever the
    // system's language: the buttons of a message, the file dialog's
    // captions and kinds of entries, the edit boxes' menus.
    void qtsOwnTextsAreJapanese()
    {
        QTranslator *texts = InstallQtJapaneseTexts();
        QVERIFY2(texts, "Qt's Japanese translation is not installed (qt6-translations-l10n)");
        auto removeTexts = qScopeGuard([texts] {
            QCoreApplication::removeTranslator(texts);
            delete texts;
        });
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Save);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), u"キャンセル"_s);
        QCOMPARE(box.button(QMessageBox::Save)->text(), u"保存"_s);
        QFileDialog files(nullptr, {}, QDir::tempPath());
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.setAcceptMode(QFileDialog::AcceptSave);
        QStringList labels;
        for (const QLabel *label : files.findChildren<QLabel *>())
            labels.append(label->text());
        QVERIFY2(labels.join(u' ').contains(u"ファイル名"_s), qPrintable(labels.join(u'|')));
        QCOMPARE(QAbstractFileIconProvider().type(QFileInfo(QDir::tempPath())), u"フォルダ"_s);
        QLineEdit edit(u"text"_s);
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList items;
        for (const QAction *a : menu->actions())
            items << a->text();
        QVERIFY2(items.join(u' ').contains(u"コピー"_s), qPrintable(items.join(u'|')));
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

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
