// The JP code editor and the output-form editor through the program's own
// wiring: opened from the card, driven with key presses and clicks, with the
// card, the bank and the search window following what they do.
#include "core/card/card_layout.h"
#include "core/jpcode/jp_maintenance.h"
#include "gui/formedit/form_editor_window.h"
#include "gui/jpcode/jp_editor_window.h"
#include "support/card_fixture.h"
#include "support/jp_bank.h"
#include "support/test_rows.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tz;
using namespace tz::testing;
using namespace Qt::StringLiterals;

namespace {

// The card's program (support/card_fixture.h) with names for JP code 12 and
// two publishers, and `records` in the record file instead when given.
struct Editors : Card
{
    JPEditorWindow *jp = &app->jpEditor();
    FormEditorWindow *fm = &app->formEditor();

    explicit Editors(const QByteArray &records = {})
        : Card([&records](const QString &bank) {
              JPcodeSave(
                  bank + u"JPcode.tzd"_s,
                  jpTable(20, 100, 150, 200, {{12, "Journal of Tests"}, {101, "Press One"}, {151, "Other One"}}));
              if (!records.isEmpty())
                  writeFile(bank + u"record.tzd"_s, records);
          })
    {}
    template <typename T = QWidget> T *ctl(const QString &name) const { return Program::control<T>(*jp, name); }
    QListWidget *list() const { return ctl<QListWidget>("JPlist"); }
    QLineEdit *text() const { return ctl<QLineEdit>("JPtext"); }
    QStringList lines() const
    {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out.append(list()->item(i)->text());
        return out;
    }
    QAction *category(int k) const { return ctl<QAction>(u"mnuFC"_s + u"TJPE"_s[k]); }
    // The editor opened from the card, on category `k` unless that is -1.
    void openEditor(int k = 0)
    {
        click("JPview");
        activate(jp);
        if (k >= 0)
            category(k)->trigger();
    }
    void press(int button) const { ctl<QPushButton>(u"JpeD_%1"_s.arg(button))->click(); }
    void select(int code) const { list()->setCurrentRow(code - jp->model().firstCode()); }
    QString code() const { return boxText(CardBox::JPcode); }
    template <typename T = QWidget> T *fmCtl(const QString &name) const { return Program::control<T>(*fm, name); }
    QLineEdit *order(int style) const { return fmCtl<QLineEdit>(u"Forder_%1"_s.arg(style)); }
    QString preview() const { return fmCtl<QPlainTextEdit>(u"Preview"_s)->toPlainText(); }
    // Replaces the text of a box by typing.
    static void retype(QLineEdit *box, const QString &text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    void save() { QTest::mouseClick(fmCtl(u"Do_0"_s), Qt::LeftButton); }
};

} // namespace

class TestEditors : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // "edit JP" (JPview) and JPコードの編集 (mnuOJ): the editor on the
    // category of the card's style, its title, the focus in the name box.
    void everyCardItemOpensTheEditor_data()
    {
        rows::table({"item", "style", "category"}, {{"JPview", "1", "1"}, {"mnuOJ", "3", "2"}, {"mnuOJ", "4", "3"}});
    }
    void everyCardItemOpensTheEditor()
    {
        const QString item = rows::text("item");
        const int category = rows::number("category");
        Editors e;
        e.control<QRadioButton>(u"RadioStyle_"_s + rows::text("style"))->click();
        QWidget *opener = e.window->findChild<QWidget *>(item);
        QAction *action = e.window->findChild<QAction *>(item);
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
        Editors e;
        e.control<QAction>("fontn_3")->trigger();
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
        Editors e;
        e.control<QRadioButton>("RadioStyle_3")->click();
        e.openEditor(-1);
        QCOMPARE(e.jp->model().category(), 2);
        e.select(101);
        e.press(4);
        QCOMPARE(e.code(), QStringLiteral("101"));
        QVERIFY(e.control<QRadioButton>("RadioStyle_3")->isChecked());
        QCOMPARE(e.control<QComboBox>("JPcombo")->currentText(), QStringLiteral("Press One"));
        e.category(0)->trigger();
        e.select(12);
        Q_EMIT e.list()->itemDoubleClicked(e.list()->currentItem()); // a double click on the line
        QCOMPARE(e.code(), QStringLiteral("12"));
        QVERIFY(e.control<QRadioButton>("RadioStyle_1")->isChecked());
        e.click("CommandSave");
        QCOMPARE(storedRecords(e.bankPath()).last().JPcode, 12);

        e.ctl<QAction>("mnuEMS")->trigger(); // to etc.: 151 is taken, 152 is the lowest free code
        QCOMPARE(e.ui.messageTexts().last(), QStringLiteral("12 番の内容を152 番に移動します。"));
        QCOMPARE(e.code(), QStringLiteral("152"));
        QVERIFY(e.control<QRadioButton>("RadioStyle_4")->isChecked());
        QCOMPARE(e.control<QComboBox>("JPcombo")->currentText(), QStringLiteral("Journal of Tests"));
        QTest::keyClicks(e.control<QLineEdit>("EditRecBox_1"), QStringLiteral(" edited"));
        e.click("CommandSave");
        for (const Record &r : storedRecords(e.bankPath()))
            QVERIFY(r.JPcode == 152 && r.Style == 4);
        QCOMPARE(e.lines()[11], QStringLiteral("  12  (     )    "));
    }

    // Switching to the card takes the name box over and writes the table;
    // Cancel gives edits made since back their saved names and unloads.
    void savedOnTheCardCancelledOtherwise()
    {
        Editors e;
        e.openEditor();
        e.select(14);
        QTest::keyClicks(e.text(), QStringLiteral("Typed Only"));
        Program::activate(e.window);
        QTRY_COMPARE(storedTable(e.bankPath()).JPname[14], QStringLiteral("Typed Only"));
        QCOMPARE(e.control<QComboBox>("JPcombo")->itemText(13), QStringLiteral("Typed Only"));

        e.openEditor();
        e.select(15);
        QTest::keyClicks(e.text(), QStringLiteral("Dropped"));
        QTest::keyClick(e.text(), Qt::Key_Return);
        e.press(7);
        QVERIFY(!e.jp->isVisible() && !e.jp->model().isLoaded());
        QVERIFY(e.session().jp.JPname[15].isEmpty());
        QCOMPARE(storedTable(e.bankPath()).JPname[14], QStringLiteral("Typed Only"));
    }

    // A name typed into the card's name list: an existing one gives its code,
    // a new one takes the lowest free journal code when the person agrees, an
    // emptied list clears the code; whatever is taken is saved with the record.
    // The keys go where the keyboard sends them, to the focused list, which
    // hands them to its box; Enter or leaving the list takes the name.
    void theCardTakesTypedNames_data()
    {
        // What is typed (a name of the group in other capitals, a new name, no
        // name), whether the person agrees to a new name, whether the list is
        // left by Enter or for another box, the code stored.
        rows::table({"typed", "agree", "enter", "code"}, {{"JOURNAL OF TESTS", "1", "1", "12"},
                                                          {"Brand New Journal", "1", "1", "1"},
                                                          {"Brand New Journal", "1", "0", "1"},
                                                          {"Brand New Journal", "0", "1", "12"},
                                                          {"", "1", "1", "0"},
                                                          {"", "1", "0", "0"}});
    }
    void theCardTakesTypedNames()
    {
        const QString typed = rows::text("typed");
        const bool agree = rows::number("agree");
        const bool enter = rows::number("enter");
        const int code = rows::number("code");
        Editors e;
        e.openEditor(); // the editor follows a name the card adds
        Program::activate(e.window);
        auto *combo = e.control<QComboBox>("JPcombo");
        combo->lineEdit()->setFocus();
        combo->lineEdit()->selectAll();
        QWidget *keys = QApplication::focusWidget();
        QVERIFY(keys);
        QTest::keyClick(keys, Qt::Key_Delete);
        QTest::keyClicks(keys, typed);
        if (!agree)
            e.ui.answers.append(MsgAnswer::Cancel);
        if (enter)
            QTest::keyClick(keys, Qt::Key_Return);
        else
            e.control<QLineEdit>("EditRecBox_10")->setFocus();
        QCOMPARE(e.code(), code ? QString::number(code) : QString());
        e.click("CommandSave");
        QCOMPARE(int(storedRecords(e.bankPath()).last().JPcode), code);
        const bool isNew = typed.startsWith(u'B');
        QCOMPARE(e.ui.messageTexts().contains(kAskAddJPname.arg(typed).arg(1)), isNew);
        QCOMPARE(storedTable(e.bankPath()).JPname[1] == QStringLiteral("Brand New Journal"), isNew && agree);
        QCOMPARE(e.lines()[0].endsWith(QStringLiteral("Brand New Journal")), isNew && agree);
    }

    // The program taken down while the card shows a name touched in its list:
    // the list picks the name's entry as it loses the focus, which must reach
    // no card any more (the sanitizer build sees a card used after its end).
    void theCardTakenDownWithANameInItsList()
    {
        Editors e;
        auto *combo = e.control<QComboBox>("JPcombo");
        QCOMPARE(combo->currentText(), u"Journal of Tests"_s);
        combo->lineEdit()->setFocus();
        combo->lineEdit()->end(false);
        QWidget *keys = QApplication::focusWidget();
        QTest::keyClick(keys, Qt::Key_Space);
        QTest::keyClick(keys, Qt::Key_Backspace);
        int picked = 0;
        QObject::connect(combo, &QComboBox::activated, [&picked] { ++picked; });
        e.app.reset();
        QCOMPARE(picked, 1);
    }

    // The bank menu's copy (the records keeping their codes is a core test):
    // the file dialog, the question, the table shown on the card and in the editor.
    void copyOfAnotherBanksTable()
    {
        Editors e;
        e.openEditor();
        const QString other = e.root() + QStringLiteral("other.bnk/JPcode.tzd");
        writeJPbank(e.root() + QStringLiteral("other.bnk"), jpTable(20, 100, 150, 200, {{12, "Copied Journal"}}), {});
        e.ui.files.enqueue(other);
        e.control<QAction>("mnuBJ")->trigger();
        QCOMPARE(e.ui.messages.last().text, kAskCopyJPcode.arg(QDir::toNativeSeparators(other)));
        QCOMPARE(readFile(e.bankPath() + QStringLiteral("JPcode.tzd")), readFile(other));
        QCOMPARE(e.control<QComboBox>("JPcombo")->currentText(), QStringLiteral("Copied Journal"));
        QCOMPARE(e.lines()[11], QStringLiteral("  12  (    5)    Copied Journal"));
    }

    // The option menu opens the form editor on form 1; its lists and legend;
    // the number boxes and the lists follow each other; a legend symbol goes
    // to the cursor of the word order last used.
    void openedFromTheCard()
    {
        Editors e;
        e.trigger("mnuOR"); // the option menu
        QVERIFY(e.fm->isVisible());
        QCOMPARE(e.fm->windowTitle(), u"書式編集  Tessellane 3j03 [MYBANK]"_s);
        QCOMPARE(e.fm->property("helpContext").toInt(), 6000);
        auto *name = e.fmCtl<QComboBox>(u"Fname"_s);
        QTRY_VERIFY(name->hasFocus() || name->lineEdit()->hasFocus());
        const FormTable &forms = e.session().forms;
        QCOMPARE(name->count(), forms.FormCount);
        QCOMPARE(name->currentText(), forms.form(1).name);
        QCOMPARE(e.order(1)->text(), forms.form(1).order[1]);
        QVERIFY(e.fmCtl<QRadioButton>(u"Sort_%1"_s.arg(forms.form(1).sort))->isChecked());

        auto *box = e.fmCtl<QLineEdit>(u"Author_3"_s);
        Editors::retype(box, u"20"_s);
        QCOMPARE(box->text(), u"5"_s);
        QCOMPARE(e.fmCtl<QComboBox>(u"ACombo_3"_s)->currentIndex(), 4);
        QTest::keyClicks(box, u"x"_s);
        QCOMPARE(box->text(), u"5"_s);

        QTest::mouseClick(e.fmCtl(u"Do_1"_s), Qt::LeftButton); // Back: the last form
        QCOMPARE(name->currentText(), forms.form(forms.FormCount).name);
        QTest::mouseClick(e.fmCtl(u"Do_2"_s), Qt::LeftButton); // Next: form 1 again
        QCOMPARE(name->currentIndex(), 0);

        Editors::retype(e.order(2), u"[A] [B]"_s);
        e.order(2)->setCursorPosition(3);
        QTest::mouseClick(e.fmCtl(u"Abb_7"_s), Qt::LeftButton); // [Y]
        QCOMPARE(e.order(2)->text(), u"[A][Y] [B]"_s);
        QCOMPARE(e.fm->model().order(2), u"[A][Y] [B]"_s);
    }

    // Saved as new, the form is listed at once in the search window, and a
    // search with it renders as edited; saved again over itself, the result
    // shown stays until the next List, which uses the new word order.
    void anEditedFormRendersInTheSearchWindow()
    {
        Editors e;
        e.trigger("mnuOR");
        Editors::retype(e.order(1), u"[R]: [T] ([Y])[/]"_s);
        QVERIFY2(e.preview().contains(u"Journal  (Rec 1)\n 1: Title 1. (1991)\n"_s), qPrintable(e.preview()));
        QTest::mouseClick(e.fmCtl(u"Sort_5"_s), Qt::LeftButton); // Rec 123
        auto *name = e.fmCtl<QComboBox>(u"Fname"_s);
        name->lineEdit()->selectAll();
        QTest::keyClicks(name->lineEdit(), u"My order"_s);
        e.save();
        QCOMPARE(e.ui.messageTexts().last(), u"My order を新しいフォームとして保存します"_s);
        const int count = e.session().forms.FormCount;
        QCOMPARE(e.session().forms.form(count).name, u"My order"_s);
        QCOMPARE(name->itemText(count - 1), u"My order"_s);

        SearchWindow &search = e.search();
        auto *forms = Program::control<QComboBox>(search, u"ComboForm"_s);
        QCOMPARE(forms->count(), count);
        QCOMPARE(forms->itemText(count - 1), u"My order"_s);
        forms->setCurrentIndex(count - 1);
        search.SearchSet(KindRecord);
        Program::control<QLineEdit>(search, u"BoxKeys"_s)->setText(u"2,1"_s);
        QTest::mouseClick(Program::control(search, u"SearD_1"_s), Qt::LeftButton);
        const QString first = u" 1: Title 1. (1991)\r\n 2: Title 2. (1992)\r\n( total  2 hits )"_s;
        QCOMPARE(search.model().resultText(), first);

        Editors::retype(e.order(1), u"[T][/]"_s);
        e.save();
        QCOMPARE(e.ui.messageTexts().last(), u"My order をオーバーライト保存します"_s);
        QCOMPARE(e.session().forms.FormCount, count);
        QCOMPARE(search.model().resultText(), first);
        QCOMPARE(forms->currentIndex(), count - 1);
        QTest::mouseClick(Program::control(search, u"SearD_6"_s), Qt::LeftButton); // List
        QCOMPARE(search.model().resultText(), u"Title 1.\r\nTitle 2.\r\n( total  2 hits )"_s);
    }

    // On a bank of 32,767 records the preview shows the word order as typed
    // when the key press has been handled, well within 100 ms.
    void thePreviewFollowsEachKeyOnAFullBank()
    {
        Editors e(EncodeRecord(JournalRecord(1)).repeated(kMaxRecords));
        e.trigger("mnuOR");
        Editors::retype(e.order(1), u"[T] ([Y]) z"_s);
        qint64 slowest = 0;
        for (const QChar c : u"qrs"_s) {
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(e.order(1), c.toLatin1());
            slowest = std::max(slowest, timer.elapsed());
        }
        QVERIFY2(e.preview().startsWith(u"Journal  (Rec 1)\nTitle 1. (1991) zqrs\n"_s), qPrintable(e.preview()));
        QVERIFY2(slowest < 100, qPrintable(u"%1 ms"_s.arg(slowest)));
        if (const QString dir = qEnvironmentVariable("TZ_SHOTS_DIR"); !dir.isEmpty())
            QVERIFY(e.fm->grab().save(dir + u"/form_editor_full_bank.png"_s));
    }
};

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
