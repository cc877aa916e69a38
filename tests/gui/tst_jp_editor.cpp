// The JP code editor through the program's own wiring: opened by every item
// of the card that names it, its list lines and fonts, names set with Enter,
// Up and Down, Apply and a renumbering followed by the card, the save when
// the card becomes active, Cancel, the card's name list taking typed names,
// and the bank menu's copy of another bank's table.
#include "core/card/card_layout.h"
#include "core/jpcode/jp_maintenance.h"
#include "gui/jpcode/jp_editor_window.h"
#include "support/jp_bank.h"
#include "support/program.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tz;
using namespace tz::testing;

namespace {

// The program on "mybank": five journal articles on code 12, shown on the card.
struct Editor : Program
{
    QString bank;
    CardWindow *cardWindow = nullptr;
    JPEditorWindow *jp = nullptr;

    Editor()
    {
        bank = makeBank(QStringLiteral("mybank"), {}, 5);
        JPcodeSave(bank + QStringLiteral("JPcode.tzd"),
                   jpTable(20, 100, 150, 200, {{12, "Journal of Tests"}, {101, "Press One"}, {151, "Other One"}}));
        writeSettings(QStringLiteral("mybank"));
        start();
        cardWindow = &card();
        jp = &app->jpEditor();
        activate(cardWindow);
    }
    static void activate(QWidget *w)
    {
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            qWarning("%s did not become active", qPrintable(w->objectName()));
    }
    template <typename T = QWidget> T *ctl(const char *name) const
    {
        return control<T>(*jp, QString::fromLatin1(name));
    }
    template <typename T = QWidget> T *cardCtl(const char *name) const
    {
        return control<T>(*cardWindow, QString::fromLatin1(name));
    }
    QListWidget *list() const { return ctl<QListWidget>("JPlist"); }
    QLineEdit *text() const { return ctl<QLineEdit>("JPtext"); }
    QStringList lines() const
    {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out.append(list()->item(i)->text());
        return out;
    }
    QAction *category(int k) const { return ctl<QAction>((QByteArray("mnuFC") + "TJPE"[k]).constData()); }
    // The editor opened from the card, on category `k` unless that is -1.
    void openEditor(int k = 0)
    {
        cardCtl<QPushButton>("JPview")->click();
        activate(jp);
        if (k >= 0)
            category(k)->trigger();
    }
    void press(int button) const { ctl<QPushButton>(QStringLiteral("JpeD_%1").arg(button).toLatin1())->click(); }
    void select(int code) const { list()->setCurrentRow(code - jp->model().firstCode()); }
    QString cardBox(int i) const
    {
        return cardCtl<QLineEdit>(QStringLiteral("EditRecBox_%1").arg(i).toLatin1())->text();
    }
};

} // namespace

class TestJPEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // "edit JP" and JPコードの編集: the editor on the category of the card's
    // style, its title, the focus in the name box.
    void everyCardItemOpensTheEditor_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("category");
        QTest::newRow("edit JP, a journal") << "JPview" << 1 << 1;
        QTest::newRow("JPコードの編集, a monograph") << "mnuOJ" << 3 << 2;
        QTest::newRow("JPコードの編集, etc.") << "mnuOJ" << 4 << 3;
    }
    void everyCardItemOpensTheEditor()
    {
        QFETCH(QString, item);
        QFETCH(int, style);
        QFETCH(int, category);
        Editor e;
        e.cardCtl<QRadioButton>(QStringLiteral("RadioStyle_%1").arg(style).toLatin1())->click();
        QWidget *opener = e.cardWindow->findChild<QWidget *>(item);
        QAction *action = e.cardWindow->findChild<QAction *>(item);
        QVERIFY(opener ? opener->isEnabled() : action->isEnabled());
        opener ? static_cast<QPushButton *>(opener)->click() : action->trigger();
        QVERIFY(e.jp->isVisible());
        QCOMPARE(e.jp->windowTitle(), QStringLiteral("JPコード編集  Tessellane 3j03 [MYBANK]"));
        QCOMPARE(e.ctl<QComboBox>("JPgroup")->currentIndex(), category);
        QVERIFY(e.category(category)->isChecked());
        QTRY_COMPARE(QApplication::focusWidget(), e.text());
    }

    // A code used by five records and one that no record uses, in the
    // fixed-pitch list font; Enter on an edited name changes only its line,
    // Enter on an emptied name clears it and keeps the focus in the name box;
    // Up and Down wrap around.
    void listLinesNamesAndWrapAround()
    {
        Editor e;
        e.cardCtl<QAction>("fontn_3")->trigger();
        QCOMPARE(e.list()->font().family(), FontCaption(1));
        QCOMPARE(e.text()->font().family(), FontCaption(3));
        e.openEditor();
        QCOMPARE(e.lines().size(), 20);
        QCOMPARE(e.lines()[11], QStringLiteral("  12  (    5)    Journal of Tests"));
        QCOMPARE(e.lines()[12], QStringLiteral("  13  (     )    "));

        const QStringList before = e.lines();
        e.select(13);
        QCOMPARE(e.text()->text(), QString());
        QTest::keyClicks(e.text(), QStringLiteral("  New Letters "));
        QTest::keyClick(e.text(), Qt::Key_Return);
        QStringList expected = before;
        expected[12] = QStringLiteral("  13  (     )    New Letters");
        QCOMPARE(e.lines(), expected);
        QCOMPARE(e.list()->currentRow(), 12);
        QCOMPARE(e.session().jp.JPname[13], QStringLiteral("New Letters"));
        e.text()->selectAll();
        QTest::keyClick(e.text(), Qt::Key_Delete);
        QTest::keyClick(e.text(), Qt::Key_Return);
        QCOMPARE(e.lines(), before);
        QCOMPARE(QApplication::focusWidget(), e.text());

        e.category(2)->trigger(); // Press names: 101..150
        e.select(150);
        e.press(5); // Up: the next line, after the last the first
        QCOMPARE(e.list()->currentRow(), 0);
        QCOMPARE(e.text()->text(), QStringLiteral("Press One"));
        e.press(6); // Down: the previous line, before the first the last
        QCOMPARE(e.list()->currentRow(), 49);
        QTest::keyClick(e.jp, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(e.list()->currentRow(), 0);
        QTest::keyClick(e.jp, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(e.list()->currentRow(), 49);
    }

    // Apply puts the code and its style on the card: a publisher code keeps
    // the monograph the card shows; a journal code gives style 1. A move then
    // renumbers the records and the card's record follows, so that its next
    // save keeps the new code and style.
    void theCardFollowsApplyAndRenumbering()
    {
        Editor e;
        e.cardCtl<QRadioButton>("RadioStyle_3")->click();
        e.openEditor(-1);
        QCOMPARE(e.jp->model().category(), 2);
        e.select(101);
        e.press(4);
        QCOMPARE(e.cardBox(6), QStringLiteral("101"));
        QVERIFY(e.cardCtl<QRadioButton>("RadioStyle_3")->isChecked());
        QCOMPARE(e.cardCtl<QComboBox>("JPcombo")->currentText(), QStringLiteral("Press One"));
        e.category(0)->trigger();
        e.select(12);
        Q_EMIT e.list()->itemDoubleClicked(e.list()->currentItem()); // a double click on the line
        QCOMPARE(e.cardBox(6), QStringLiteral("12"));
        QVERIFY(e.cardCtl<QRadioButton>("RadioStyle_1")->isChecked());
        e.cardCtl<QPushButton>("CommandSave")->click();
        QCOMPARE(storedRecords(e.bank).last().JPcode, 12);

        e.ctl<QAction>("mnuEMS")->trigger(); // to etc.: 151 is taken, 152 is the lowest free code
        QCOMPARE(e.ui.messageTexts().last(), QStringLiteral("12 番の内容を152 番に移動します。"));
        QCOMPARE(e.cardBox(6), QStringLiteral("152"));
        QVERIFY(e.cardCtl<QRadioButton>("RadioStyle_4")->isChecked());
        QCOMPARE(e.cardCtl<QComboBox>("JPcombo")->currentText(), QStringLiteral("Journal of Tests"));
        QTest::keyClicks(e.cardCtl<QLineEdit>("EditRecBox_1"), QStringLiteral(" edited"));
        e.cardCtl<QPushButton>("CommandSave")->click();
        for (const Record &r : storedRecords(e.bank))
            QVERIFY(r.JPcode == 152 && r.Style == 4);
        QCOMPARE(e.lines()[11], QStringLiteral("  12  (     )    "));
    }

    // Switching to the card takes the name box over and writes the table;
    // Cancel gives edits made since back their saved names and unloads.
    void savedOnTheCardCancelledOtherwise()
    {
        Editor e;
        e.openEditor();
        e.select(14);
        QTest::keyClicks(e.text(), QStringLiteral("Typed Only"));
        Editor::activate(e.cardWindow);
        QTRY_COMPARE(storedTable(e.bank).JPname[14], QStringLiteral("Typed Only"));
        QCOMPARE(e.cardCtl<QComboBox>("JPcombo")->itemText(13), QStringLiteral("Typed Only"));

        e.openEditor();
        e.select(15);
        QTest::keyClicks(e.text(), QStringLiteral("Dropped"));
        QTest::keyClick(e.text(), Qt::Key_Return);
        e.press(7);
        QVERIFY(!e.jp->isVisible() && !e.jp->model().isLoaded());
        QVERIFY(e.session().jp.JPname[15].isEmpty());
        QCOMPARE(storedTable(e.bank).JPname[14], QStringLiteral("Typed Only"));
    }

    // A name typed into the card's name list: an existing one gives its code,
    // a new one takes the lowest free journal code when the person agrees, an
    // emptied list clears the code; whatever is taken is saved with the record.
    void theCardTakesTypedNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("agree");
        QTest::addColumn<int>("code");
        QTest::newRow("a name of the group, in other capitals") << "JOURNAL OF TESTS" << true << 12;
        QTest::newRow("a new name, agreed") << "Brand New Journal" << true << 1;
        QTest::newRow("a new name, declined") << "Brand New Journal" << false << 12;
        QTest::newRow("no name") << "" << true << 0;
    }
    void theCardTakesTypedNames()
    {
        QFETCH(QString, typed);
        QFETCH(bool, agree);
        QFETCH(int, code);
        Editor e;
        e.openEditor(); // the editor follows a name the card adds
        Editor::activate(e.cardWindow);
        auto *combo = e.cardCtl<QComboBox>("JPcombo");
        combo->lineEdit()->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(combo->lineEdit(), typed);
        if (!agree)
            e.ui.answers.append(MsgAnswer::Cancel);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(e.cardBox(6), code ? QString::number(code) : QString());
        e.cardCtl<QPushButton>("CommandSave")->click();
        QCOMPARE(int(storedRecords(e.bank).last().JPcode), code);
        const bool isNew = typed.startsWith(u'B');
        QCOMPARE(e.ui.messageTexts().contains(kAskAddJPname.arg(typed).arg(1)), isNew);
        QCOMPARE(storedTable(e.bank).JPname[1] == QStringLiteral("Brand New Journal"), isNew && agree);
        QCOMPARE(e.lines()[0].endsWith(QStringLiteral("Brand New Journal")), isNew && agree);
    }

    // The bank menu's copy (the records keeping their codes is a core test):
    // the file dialog, the question, the table shown on the card and in the editor.
    void copyOfAnotherBanksTable()
    {
        Editor e;
        e.openEditor();
        const QString other = e.root() + QStringLiteral("other.bnk/JPcode.tzd");
        writeJPbank(e.root() + QStringLiteral("other.bnk"), jpTable(20, 100, 150, 200, {{12, "Copied Journal"}}), {});
        e.ui.files.enqueue(other);
        e.cardCtl<QAction>("mnuBJ")->trigger();
        QCOMPARE(e.ui.messages.last().text, kAskCopyJPcode.arg(QDir::toNativeSeparators(other)));
        QCOMPARE(readFile(e.bank + QStringLiteral("JPcode.tzd")), readFile(other));
        QCOMPARE(e.cardCtl<QComboBox>("JPcombo")->currentText(), QStringLiteral("Copied Journal"));
        QCOMPARE(e.lines()[11], QStringLiteral("  12  (    5)    Copied Journal"));
    }
};

QTEST_MAIN(TestJPEditor)
#include "tst_jp_editor.moc"
