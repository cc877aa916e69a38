// The output-form editor through the program's own wiring: opened from the
// card's option menu, its lists and number boxes driven with key presses,
// the legend putting symbols into the word order, a form saved as new and
// then over itself rendering in the search window as edited, and the preview
// following each key press on a full bank.
#include "gui/formedit/form_editor_window.h"
#include "support/program.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;
using tz::testing::JournalRecord;
using tz::testing::Program;

namespace {

struct Editor : Program
{
    FormEditorWindow *fm = nullptr;

    // The program on "mybank" (records made by the caller), the editor opened
    // from the card's option menu.
    void open()
    {
        writeSettings(u"mybank"_s);
        start();
        fm = &app->formEditor();
        trigger(card(), "mnuOR");
    }
    template <typename T = QWidget> T *ctl(const QString &name) const { return control<T>(*fm, name); }
    QLineEdit *order(int style) const { return ctl<QLineEdit>(u"Forder_%1"_s.arg(style)); }
    QString preview() const { return ctl<QPlainTextEdit>(u"Preview"_s)->toPlainText(); }
    // Replaces the text of a box by typing.
    static void retype(QLineEdit *box, const QString &text)
    {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    void save() { QTest::mouseClick(ctl(u"Do_0"_s), Qt::LeftButton); }
};

} // namespace

class TestFormEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The option menu opens the editor on form 1; its lists and legend; the
    // number boxes and the lists follow each other; a legend symbol goes to
    // the cursor of the word order last used.
    void openedFromTheCard()
    {
        Editor e;
        e.makeBank(u"mybank"_s, {}, 2);
        e.open();
        QVERIFY(e.fm->isVisible());
        QCOMPARE(e.fm->windowTitle(), u"書式編集  Tessellane 3j03 [MYBANK]"_s);
        auto *name = e.ctl<QComboBox>(u"Fname"_s);
        QTRY_VERIFY(name->hasFocus() || name->lineEdit()->hasFocus());
        const FormTable &forms = e.session().forms;
        QCOMPARE(name->count(), forms.FormCount);
        QCOMPARE(name->currentText(), forms.form(1).name);
        QCOMPARE(e.order(1)->text(), forms.form(1).order[1]);
        QCOMPARE(e.ctl<QComboBox>(u"ECombo_4"_s)->itemText(1), u"先頭著者のみを表記"_s);
        QCOMPARE(e.ctl<QComboBox>(u"ACombo_4"_s)->itemText(1), u"先頭著者のみ"_s);
        QCOMPARE(e.ctl<QLabel>(u"Abb_15"_s)->text(), u"[Nx] Numbering (from x)"_s);
        QCOMPARE(e.ctl<QPushButton>(u"Do_1"_s)->text(), u"Back"_s);
        QVERIFY(e.ctl<QRadioButton>(u"Sort_%1"_s.arg(forms.form(1).sort))->isChecked());

        auto *box = e.ctl<QLineEdit>(u"Author_3"_s);
        Editor::retype(box, u"20"_s);
        QCOMPARE(box->text(), u"5"_s);
        QCOMPARE(e.ctl<QComboBox>(u"ACombo_3"_s)->currentIndex(), 4);
        QTest::keyClicks(box, u"x"_s);
        QCOMPARE(box->text(), u"5"_s);

        QTest::mouseClick(e.ctl(u"Do_1"_s), Qt::LeftButton); // Back: the last form
        QCOMPARE(name->currentText(), forms.form(forms.FormCount).name);
        QTest::mouseClick(e.ctl(u"Do_2"_s), Qt::LeftButton); // Next: form 1 again
        QCOMPARE(name->currentIndex(), 0);

        Editor::retype(e.order(2), u"[A] [B]"_s);
        e.order(2)->setCursorPosition(3);
        QTest::mouseClick(e.ctl(u"Abb_7"_s), Qt::LeftButton); // [Y]
        QCOMPARE(e.order(2)->text(), u"[A][Y] [B]"_s);
        QCOMPARE(e.fm->model().order(2), u"[A][Y] [B]"_s);
        QCOMPARE(e.fm->property("helpContext").toInt(), 6000);
    }

    // Saved as new, the form is listed at once in the search window, and a
    // search with it renders as edited; saved again over itself, the result
    // shown stays until the next List, which uses the new word order.
    void anEditedFormRendersInTheSearchWindow()
    {
        Editor e;
        e.makeBank(u"mybank"_s, {}, 2);
        e.open();
        Editor::retype(e.order(1), u"[R]: [T] ([Y])[/]"_s);
        QVERIFY2(e.preview().contains(u"Journal  (Rec 1)\n 1: Title 1. (1991)\n"_s), qPrintable(e.preview()));
        QTest::mouseClick(e.ctl(u"Sort_5"_s), Qt::LeftButton); // Rec 123
        auto *name = e.ctl<QComboBox>(u"Fname"_s);
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
        search.SearchSet(KindFreeKeyword);
        Program::control<QLineEdit>(search, u"BoxKeys"_s)->setText(u"Smith"_s);
        QTest::mouseClick(Program::control(search, u"SearD_1"_s), Qt::LeftButton);
        const QString first = u" 1: Title 1. (1991)\r\n 2: Title 2. (1992)\r\n( total  2 hits )"_s;
        QCOMPARE(search.model().resultText(), first);

        Editor::retype(e.order(1), u"[T][/]"_s);
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
        Editor e;
        e.makeBank(u"mybank"_s);
        QVERIFY(writeFile(e.root() + u"mybank.bnk/record.tzd"_s, EncodeRecord(JournalRecord(1)).repeated(kMaxRecords)));
        e.open();
        Editor::retype(e.order(1), u"[T] ([Y]) z"_s);
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

QTEST_MAIN(TestFormEditor)
#include "tst_form_editor.moc"
