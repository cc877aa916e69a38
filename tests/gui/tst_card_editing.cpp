// The live card window driven through its control names: what the person
// types stays what is stored, and its boxes, buttons and menu items reach the
// card's behaviour (tested in depth in tests/core/card).
#include "core/card/record_check.h"
#include "core/common/file_faults.h"
#include "gui/widgets/window_place.h"
#include "support/card_fixture.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QtTest>

using namespace tz;
using tz::testing::Card;
using namespace Qt::StringLiterals;

namespace {

// Text as an input method hands it over (committed), which is how a person
// types Japanese and accented letters.
void typeText(QWidget *box, const QString &text)
{
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(box, &commit);
}

// A way of moving to another record.
using Move = void (*)(Card &);

} // namespace

Q_DECLARE_METATYPE(Move)

class TestCardEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every way of moving: the keyboard focus goes to the memo box, and what
    // is typed next is the memo's and is stored.
    void theFocusFollowsEveryMove_data()
    {
        QTest::addColumn<Move>("move");
        QTest::addColumn<int>("shown");    // the record shown afterwards
        QTest::addColumn<QString>("memo"); // its memo stored after typing
        QTest::newRow("Ctrl+B") << Move([](Card &c) { QTest::keyClick(c.window, Qt::Key_B, Qt::ControlModifier); }) << 4
                                << u"memo 4typed"_s;
        QTest::newRow("Ctrl+N") << Move([](Card &c) { QTest::keyClick(c.window, Qt::Key_N, Qt::ControlModifier); }) << 6
                                << u"typed"_s;
        QTest::newRow("<") << Move([](Card &c) { QTest::mouseClick(c.control(u"CommandBack"_s), Qt::LeftButton); }) << 4
                           << u"memo 4typed"_s;
        QTest::newRow("scroll bar") << Move([](Card &c) {
            c.control<QScrollBar>(u"HScroll"_s)->setValue(4);
            c.control<QScrollBar>(u"HScroll"_s)->setValue(5);
        }) << 5 << u"memo 5typed"_s;
        QTest::newRow("record number") << Move([](Card &c) {
            QTest::mouseClick(c.recNum(), Qt::LeftButton);
            c.enterRecNum(u"4"_s);
            c.enterRecNum(u"5"_s);
        }) << 5 << u"memo 5typed"_s;
        QTest::newRow("undo") << Move([](Card &c) { c.trigger("mnuRU"); }) << 5 << u"memo 5typed"_s;
        QTest::newRow("paste") << Move([](Card &c) { c.trigger("mnuRV"); }) << 5 << u"memo 5typed"_s;
        QTest::newRow("clear") << Move([](Card &c) { c.trigger("mnuRD"); }) << 5 << u"typed"_s;
    }
    void theFocusFollowsEveryMove()
    {
        QFETCH(Move, move);
        QFETCH(int, shown);
        QFETCH(QString, memo);
        Card c;
        c.trigger("mnuRC"); // something to paste
        QTest::mouseClick(c.box(CardBox::Title), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::Title));
        move(c);
        QCOMPARE(c.recNum()->text(), QString::number(shown));
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::Memo));
        QTest::keyClicks(QApplication::focusWidget(), u"typed"_s);
        c.window->close();
        QCOMPARE(c.stored(shown).Memo, memo);
        QVERIFY(!c.stored(shown).Title.contains(u"typed"_s));
    }

    // Enter and Shift+Enter move on; line breaks pasted become blanks.
    void noBoxHoldsALineBreak()
    {
        Card c;
        QTest::mouseClick(c.box(CardBox::Title), Qt::LeftButton);
        QTest::keyClick(c.box(CardBox::Title), Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::JPcode));
        QCOMPARE(c.boxText(CardBox::Title), u"Title 5."_s);
        QTest::mouseClick(c.box(CardBox::Title), Qt::LeftButton);
        static_cast<QPlainTextEdit *>(c.box(CardBox::Title))->moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(u" one\ntwo\r\nthree"_s);
        QTest::keyClick(c.box(CardBox::Title), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(c.boxText(CardBox::Title), u"Title 5. one two three"_s);
        auto *memo = static_cast<QLineEdit *>(c.box(CardBox::Memo));
        memo->setFocus();
        memo->end(false);
        memo->insert(u"\nend"_s);
        QCOMPARE(memo->text(), u"memo 5 end"_s);
        c.click("CommandSave");
        QCOMPARE(c.stored(5).Title, u"Title 5. one two three."_s);
        QCOMPARE(c.stored(5).Memo, u"memo 5 end"_s);
    }

    // A box takes no more than its field holds in bytes: typing stops, a
    // paste is cut and told.
    void aBoxHoldsWhatItsFieldHolds()
    {
        Card c;
        auto *memo = static_cast<QLineEdit *>(c.box(CardBox::Memo));
        memo->setFocus();
        memo->clear();
        for (int i = 0; i < 40; ++i)
            typeText(memo, u"漢"_s);
        QCOMPARE(memo->text(), QString(35, u'漢'));
        QVERIFY(c.ui.messages.isEmpty());
        auto *page = static_cast<QLineEdit *>(c.box(CardBox::Page1));
        page->setFocus();
        page->clear();
        QGuiApplication::clipboard()->setText(u"123456789012345"_s);
        QTest::keyClick(page, Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(page->text(), u"1234567890"_s);
        QCOMPARE(c.ui.messageTexts(), QStringList{BoxCutMessage(CardBox::Page1, 5)});
        c.click("CommandSave");
        QCOMPARE(c.stored(5).Memo, QString(35, u'漢'));
    }

    // Characters code page 932 cannot hold: their closest form when there is
    // one, told once; none stored as "?".
    void unstorableCharacters()
    {
        Card c;
        QTest::mouseClick(c.box(CardBox::Author), Qt::LeftButton);
        static_cast<QPlainTextEdit *>(c.box(CardBox::Author))->clear();
        typeText(c.box(CardBox::Author), u"K. Gödel, P. Erdős, H. Poincaré, T. Müller"_s);
        QTest::mouseClick(c.box(CardBox::Title), Qt::LeftButton);
        static_cast<QPlainTextEdit *>(c.box(CardBox::Title))->setPlainText(u"Sets – a view 😀"_s);
        QTest::mouseClick(c.box(CardBox::Memo), Qt::LeftButton);
        QCOMPARE(c.boxText(CardBox::Author), u"K.Godel, P.Erdos, H.Poincare, T.Muller"_s);
        QCOMPARE(c.boxText(CardBox::Title), u"Sets - a view."_s);
        QCOMPARE(c.ui.messages.size(), 2);
        QVERIFY(c.ui.messages[0].text.contains(u"ö→o"_s) && c.ui.messages[0].text.contains(u"é→e"));
        QVERIFY(c.ui.messages[1].text.contains(u"–→-"_s) && c.ui.messages[1].text.contains(u"😀"));
        c.click("CommandSave");
        QVERIFY(!RecordAt(c.recordFile(), 5).contains('?'));
        QCOMPARE(c.stored(5).Title, u"Sets - a view."_s);
    }

    // Full-width digits from an input method count in the number boxes; a
    // last page that is no number stays as typed.
    void numberBoxesAndPages()
    {
        Card c;
        const CardBox boxes[] = {CardBox::Year, CardBox::Volume, CardBox::Page1, CardBox::Page2, CardBox::DOI};
        const QStringList typed{u"１９６７"_s, u"１２（３）"_s, u"１２３"_s, u"ff"_s, u"１０．１０００／ｘ"_s};
        for (int i = 0; i < typed.size(); ++i) {
            auto *edit = static_cast<QLineEdit *>(c.box(boxes[i]));
            edit->setFocus();
            edit->clear();
            typeText(edit, typed[i]);
        }
        c.click("CommandSave");
        QVERIFY(c.ui.messages.isEmpty());
        const Record r = c.stored(5);
        QCOMPARE(r.Year, 1967);
        QCOMPARE(r.Volume, u"12(3)"_s);
        QCOMPARE(r.Page1 + u'-' + r.Page2, u"123-ff"_s);
        QCOMPARE(c.boxText(CardBox::DOI), u"10.1000/x"_s);
    }

    // A record number beyond the count or not a number shows red while typed,
    // is refused at Enter and gives way to the shown one; printing the card
    // and closing it without edits leave the records as they were.
    void recordNumberPrintAndClose()
    {
        Card c;
        const QByteArray before = c.recordFile();
        for (const auto &[typed, message] : {std::pair{u"7"_s, kMsgRecNumRange}, {u"abc"_s, kMsgRecNumNumeric}}) {
            c.enterRecNum(typed, false);
            QCOMPARE(c.recNum()->palette().color(QPalette::Text), QColor(255, 0, 0));
            QTest::keyClick(c.recNum(), Qt::Key_Return);
            QCOMPARE(c.ui.messageTexts().last(), message);
            c.focus(CardBox::Memo);
            QCOMPARE(c.recNum()->text(), u"5"_s);
        }
        c.ui.printAnswer = PrintChoice{1, 0, 0, true, c.dir.filePath(u"card.pdf"_s)};
        c.trigger("mnuRP");
        QVERIFY(readFile(c.dir.filePath(u"card.pdf"_s)).startsWith("%PDF"));
        c.window->close();
        QCOMPARE(c.recordFile(), before);
        QCOMPARE(c.ui.messages.size(), 2);
    }

    void searchesReachTheSearchWindow()
    {
        Card c;
        c.trigger("mnuOS"); // the automatic duplicate check, on
        c.trigger("mnuIV");
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::Volume));
        static_cast<QLineEdit *>(c.box(CardBox::Volume))->selectAll();
        QTest::keyClicks(c.box(CardBox::Volume), u"4"_s);
        c.click("CommandSave");
        c.trigger("mnuRA");
        const QList<CardSearchRequest> expected{{KindSimilarAuto, kKindSimilar, u"5"_s},
                                                {KindCurrent, kKindCurrent, u"5"_s}};
        QCOMPARE(c.searches, expected);
        // Blank and double-booked records are searched at once, a year is only prepared.
        for (const char *item : {"mnuSY", "mnuSB", "mnuSD"})
            c.trigger(item);
        QCOMPARE(c.opened, (QList<int>{KindYear, KindBlank, KindDouble}));
    }

    // The edit menu; the style buttons and the style menu agree (a book lists
    // the publishers) and leave the card's focused box where the focus is;
    // Quit writes the edited record.
    void editAndStyleMenusAndQuit()
    {
        Card c;
        c.focus(CardBox::Memo);
        auto *memo = static_cast<QLineEdit *>(c.box(CardBox::Memo));
        memo->selectAll();
        QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
        memo->end(false);
        c.trigger("mnuEV");
        QCOMPARE(memo->text(), u"memo 5memo 5"_s);
        memo->home(false);
        QTest::keyClicks(memo, u"x"_s);
        QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier); // the field undo: the stored value
        QCOMPARE(memo->text(), u"memo 5"_s);
        // Select all takes the first 280 characters, whatever the length.
        c.focus(CardBox::Title);
        auto *title = static_cast<QPlainTextEdit *>(c.box(CardBox::Title));
        title->setPlainText(QString(300, u'x'));
        c.trigger("mnuEA");
        QCOMPARE(title->textCursor().selectedText().size(), 280);
        c.session().jp.JPname[101] = u"Springer"_s;
        c.control<QRadioButton>(u"RadioStyle_2"_s)->click();
        QVERIFY(c.control<QAction>(u"mnuFSB"_s)->isChecked());
        QCOMPARE(c.control<QComboBox>(u"JPcombo"_s)->itemText(0), u"Springer"_s);
        // A style chosen from the menu while Memo has the focus: the field
        // undo still acts on Memo.
        c.focus(CardBox::Memo);
        c.trigger("mnuFSJ");
        QVERIFY(c.control<QRadioButton>(u"RadioStyle_1"_s)->isChecked());
        QTest::keyClicks(memo, u"y"_s);
        QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(memo->text(), u"memo 5"_s);
        c.click("CommandQuit");
        QCOMPARE(c.stored(5).Title, QString(280, u'x'));
    }

    // F1 opens the topic of the control that has the focus.
    void eachControlHasItsHelpTopic()
    {
        Card c;
        const std::pair<const char *, int> controls[] = {
            {"EditRecBox_2", 3040},  {"EditRecBox_3", 3050}, {"EditRecBox_6", 3060}, {"EditRecBox_10", 3090},
            {"EditRecBox_12", 3100}, {"JPcombo", 3060},      {"RecNumBox", 2030},    {"RadioStyle_2", 3020},
            {"CommandNext", 2030},   {"LinkView", 2020}};
        for (const auto &[name, topic] : controls) {
            QWidget *w = c.control(name);
            w->setFocus();
            QTest::keyClick(w, Qt::Key_F1);
            QVERIFY2(!c.ui.helpTopics.isEmpty() && c.ui.helpTopics.last() == topic, name);
        }
    }

    // New on a new record that nothing was typed into stays on it; what is
    // typed then is the next record of the file, with no gap before it.
    void aNewRecordTwice()
    {
        Card c;
        c.click("NewRec");
        c.click("NewRec");
        QCOMPARE(c.recNum()->text(), u"6"_s);
        QTest::keyClicks(c.box(CardBox::Memo), u"new"_s);
        c.click("CommandSave");
        QCOMPARE(c.recordFile().size(), 6 * qsizetype(kRecordSize));
        QCOMPARE(c.stored(6).Memo, u"new"_s);
        // A new record left empty is no record: the count goes back.
        c.click("NewRec");
        c.click("CommandBack");
        QCOMPARE(c.control<QLabel>(u"RecRange_2"_s)->text(), u"6"_s);
        c.window->close();
        QCOMPARE(c.recordFile().size(), 6 * qsizetype(kRecordSize));
    }

    // The places across the card are those of the layout table at the
    // screen's dots per inch.
    void theLayoutTable()
    {
        Card c;
        c.trigger("fontz_0");
        const double dpi = c.window->logicalDpiX();
        auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
        const int right = c.window->centralWidget()->width() - px(120);
        const std::pair<const char *, int> lefts[] = {
            {"EditRecBox_1", 990},    {"EditRecLabel_1", 120}, {"EditRecBox_8", 3500}, {"EditRecBox_9", 4940},
            {"EditRecLabel_8", 6020}, {"EditRecBox_10", 6620}, {"JPcombo", 2040},      {"HScroll", 2760}};
        for (const auto &[name, twips] : lefts)
            QVERIFY2(c.control(name)->x() == px(twips), name);
        // The buttons keep their places unless the caption before them needs
        // more room than the table gives in the fonts of this system.
        int after = 0;
        const std::pair<const char *, int> buttons[] = {
            {"JPview", 990}, {"LinkView", 2040}, {"ViewPDF1", 3120}, {"ViewPDF2", 4320}, {"CommandSimilar", 5520}};
        for (const auto &[name, twips] : buttons) {
            QWidget *b = c.control(name);
            QVERIFY2(b->x() == std::max(px(twips), after), name);
            after = b->x() + b->width() + px(40);
        }
        QCOMPARE(c.control(u"EditRecBox_8"_s)->width(), px(855));
        QCOMPARE(c.control(u"EditRecBox_7"_s)->width(), px(1835));
        for (const char *name : {"EditRecBox_1", "HScroll", "EditRecBox_13", "CommandQuit"})
            QVERIFY2(c.control(name)->x() + c.control(name)->width() == right, name);
        QVERIFY(c.control(u"EditRecBox_13"_s)->width() >= px(1020));
        QCOMPARE(c.control(u"CommandSave"_s)->x(), c.control(u"CommandNext"_s)->x());
        // Nothing covers anything else, and everything lies inside the card.
        QRegion covered;
        for (QWidget *w : c.window->centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            const bool placed =
                c.window->centralWidget()->rect().contains(w->geometry()) && !covered.intersects(w->geometry());
            QVERIFY2(!w->isVisible() || placed, qPrintable(w->objectName()));
            covered += w->isVisible() ? w->geometry() : QRect();
        }
    }

    // A full disk in the running program: whatever the person saves (a
    // record, the settings at the end, a result list) leaves the old file as
    // it was, the edit stays, and the system's reason reaches the person.
    void aFullDiskIsTold_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("step");
        QTest::newRow("record, at the first byte") << "record.tzd" << int(FileStep::Write);
        QTest::newRow("record, at the sync") << "record.tzd" << int(FileStep::Sync);
        QTest::newRow("settings, midway") << "tz.cfg" << int(FileStep::Write);
        QTest::newRow("settings, at the rename") << "tz.cfg" << int(FileStep::Rename);
        QTest::newRow("result list") << "result.txt" << int(FileStep::Write);
    }
    void aFullDiskIsTold()
    {
        QFETCH(QString, file);
        QFETCH(int, step);
        Card c;
        const QString path = file == u"record.tzd" ? c.bankPath() + file : c.root() + file;
        writeFile(c.root() + QStringLiteral("result.txt"), "an earlier list\r\n");
        const QByteArray before = readFile(path);
        auto *memo = static_cast<QLineEdit *>(c.box(CardBox::Memo));
        memo->setFocus();
        QTest::keyClicks(memo, QStringLiteral(" edited"));
        {
            const FileFaultScope full(
                FileFault(FileStep(step), ENOSPC, step == int(FileStep::Write) ? 40 : 0, 0, file));
            if (file == u"record.tzd") {
                c.click("CommandSave");
            } else if (file == u"tz.cfg") {
                c.window->close();
            } else {
                c.trigger("mnuRA"); // the record into the search window's list
                c.ui.files.enqueue(path);
                c.ui.answers = {MsgAnswer::Ok};
                testing::Program::control<QPushButton>(c.search(), QStringLiteral("SearD_3"))->click();
            }
        }
        QCOMPARE(readFile(path), before);
        QVERIFY2(c.ui.messageTexts().join(u' ').contains(QStringLiteral("No space left on device")),
                 qPrintable(c.ui.messageTexts().join(u'\n')));
        QCOMPARE(c.ui.messages.last().icon, MsgIcon::Error);
        if (file == u"record.tzd") { // the edit is still there and goes out once there is room
            QCOMPARE(memo->text(), QStringLiteral("memo 5 edited"));
            c.click("CommandSave");
            QCOMPARE(c.stored(5).Memo, QStringLiteral("memo 5 edited"));
        }
    }
};

QTEST_MAIN(TestCardEditing)
#include "tst_card_editing.moc"
