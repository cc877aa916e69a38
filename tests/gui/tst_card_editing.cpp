// What the person types stays what is stored, through the live card window:
// the focus after every way of moving, no line breaks, the room of a field in
// bytes, characters code page 932 cannot hold, full-width digits, the help
// topic of each control, an empty new record, and the places of the layout
// table.

#include "core/card/card_layout.h"
#include "core/card/record_check.h"
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
using tz::testing::kToday;

namespace {

// Text as an input method hands it over (committed), which is how a person
// types Japanese and accented letters.
void typeText(QWidget *box, const QString &text)
{
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(box, &commit);
}

Record storedRecord(Card &c, int n)
{
    Record r;
    RecRead(c.bankPath(), n, ReadMode::Stored, r, kToday);
    return r;
}

} // namespace

class TestCardEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every way of moving: the keyboard focus goes to the memo box, and what
    // is typed next is the memo's and is stored.
    void theFocusFollowsEveryMove_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("shown"); // the record shown afterwards
        for (const char *way : {"Ctrl+B", "<", "scroll bar", "record number", "undo", "paste", "clear"})
            QTest::newRow(way) << way << (QByteArray(way) == "Ctrl+B" || QByteArray(way) == "<" ? 4 : 5);
        QTest::newRow("Ctrl+N") << "Ctrl+N" << 6;
    }
    void theFocusFollowsEveryMove()
    {
        QFETCH(QString, way);
        QFETCH(int, shown);
        Card c;
        c.trigger("mnuRC"); // something to paste
        QTest::mouseClick(c.box(CardBox::Title), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::Title));
        if (way == u"Ctrl+B")
            QTest::keyClick(c.window, Qt::Key_B, Qt::ControlModifier);
        else if (way == u"Ctrl+N")
            QTest::keyClick(c.window, Qt::Key_N, Qt::ControlModifier);
        else if (way == u"<")
            QTest::mouseClick(c.control<QPushButton>(QStringLiteral("CommandBack")), Qt::LeftButton);
        else if (way == u"scroll bar") {
            auto *scroll = c.control<QScrollBar>(QStringLiteral("HScroll"));
            scroll->setValue(4);
            scroll->setValue(5);
        } else if (way == u"record number") {
            QTest::mouseClick(c.recNum(), Qt::LeftButton);
            c.recNum()->selectAll();
            QTest::keyClicks(c.recNum(), QStringLiteral("4"));
            QTest::keyClick(c.recNum(), Qt::Key_Return);
            c.recNum()->setFocus();
            c.recNum()->selectAll();
            QTest::keyClicks(c.recNum(), QStringLiteral("5"));
            QTest::keyClick(c.recNum(), Qt::Key_Return);
        } else {
            c.trigger(way == u"undo" ? "mnuRU" : way == u"paste" ? "mnuRV" : "mnuRD");
        }
        QCOMPARE(c.recNum()->text(), QString::number(shown));
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::Memo));
        QCOMPARE(c.window->card().focusBox(), CardBox::Memo);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("typed"));
        c.window->close();
        QVERIFY(storedRecord(c, shown).Memo.endsWith(QStringLiteral("typed")));
        QVERIFY(!storedRecord(c, shown).Title.contains(QStringLiteral("typed")));
    }

    // Enter and Shift+Enter move on; line breaks pasted become blanks.
    void noBoxHoldsALineBreak()
    {
        Card c;
        QTest::mouseClick(c.box(CardBox::Title), Qt::LeftButton);
        QTest::keyClick(c.box(CardBox::Title), Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::JPcode));
        QCOMPARE(c.boxText(CardBox::Title), QStringLiteral("Title 5."));
        QTest::mouseClick(c.box(CardBox::Title), Qt::LeftButton);
        static_cast<QPlainTextEdit *>(c.box(CardBox::Title))->moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(QStringLiteral(" one\ntwo\r\nthree"));
        QTest::keyClick(c.box(CardBox::Title), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(c.boxText(CardBox::Title), QStringLiteral("Title 5. one two three"));
        auto *memo = static_cast<QLineEdit *>(c.box(CardBox::Memo));
        memo->setFocus();
        memo->end(false);
        memo->insert(QStringLiteral("\nend"));
        QCOMPARE(memo->text(), QStringLiteral("memo 5 end"));
        c.click("CommandSave");
        QCOMPARE(storedRecord(c, 5).Title, QStringLiteral("Title 5. one two three."));
        QCOMPARE(storedRecord(c, 5).Memo, QStringLiteral("memo 5 end"));
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
            typeText(memo, QStringLiteral("漢"));
        QCOMPARE(memo->text(), QString(35, u'漢'));
        QVERIFY(c.ui.messages.isEmpty());
        auto *page = static_cast<QLineEdit *>(c.box(CardBox::Page1));
        page->setFocus();
        page->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("123456789012345"));
        QTest::keyClick(page, Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QCOMPARE(page->text(), QStringLiteral("1234567890"));
        QCOMPARE(c.ui.messageTexts(), QStringList{BoxCutMessage(CardBox::Page1, 5)});
        c.click("CommandSave");
        QCOMPARE(storedRecord(c, 5).Memo, QString(35, u'漢'));
    }

    // Characters code page 932 cannot hold: their closest form when there is
    // one, told once; none stored as "?".
    void unstorableCharacters()
    {
        Card c;
        QTest::mouseClick(c.box(CardBox::Author), Qt::LeftButton);
        static_cast<QPlainTextEdit *>(c.box(CardBox::Author))->clear();
        typeText(c.box(CardBox::Author), QStringLiteral("K. Gödel, P. Erdős, H. Poincaré, T. Müller"));
        QTest::mouseClick(c.box(CardBox::Title), Qt::LeftButton);
        static_cast<QPlainTextEdit *>(c.box(CardBox::Title))->setPlainText(QStringLiteral("Sets – a view 😀"));
        QTest::mouseClick(c.box(CardBox::Memo), Qt::LeftButton);
        QCOMPARE(c.boxText(CardBox::Author), QStringLiteral("K.Godel, P.Erdos, H.Poincare, T.Muller"));
        QCOMPARE(c.boxText(CardBox::Title), QStringLiteral("Sets - a view."));
        QCOMPARE(c.ui.messages.size(), 2);
        QVERIFY(c.ui.messages[0].text.contains(QStringLiteral("ö→o")) && c.ui.messages[0].text.contains(u"é→e"));
        QVERIFY(c.ui.messages[1].text.contains(QStringLiteral("–→-")) && c.ui.messages[1].text.contains(u"😀"));
        c.click("CommandSave");
        const QByteArray file = readFile(c.bankPath() + QStringLiteral("record.tzd"));
        QVERIFY(!RecordAt(file, 5).contains('?'));
        QCOMPARE(storedRecord(c, 5).Title, QStringLiteral("Sets - a view."));
    }

    // Full-width digits from an input method count in the number boxes; a
    // last page that is no number stays as typed.
    void numberBoxesAndPages()
    {
        Card c;
        const std::pair<CardBox, const char16_t *> typed[] = {{CardBox::Year, u"１９６７"},
                                                              {CardBox::Volume, u"１２（３）"},
                                                              {CardBox::Page1, u"１２３"},
                                                              {CardBox::Page2, u"ff"},
                                                              {CardBox::DOI, u"１０．１０００／ｘ"}};
        for (const auto &[box, text] : typed) {
            auto *edit = static_cast<QLineEdit *>(c.box(box));
            edit->setFocus();
            edit->clear();
            typeText(edit, QString::fromUtf16(text));
        }
        c.click("CommandSave");
        QVERIFY(c.ui.messages.isEmpty());
        const Record r = storedRecord(c, 5);
        QCOMPARE(r.Year, 1967);
        QCOMPARE(r.Volume, QStringLiteral("12(3)"));
        QCOMPARE(r.Page1 + u'-' + r.Page2, QStringLiteral("123-ff"));
        QCOMPARE(c.boxText(CardBox::DOI), QStringLiteral("10.1000/x"));
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
            QWidget *w = c.control(QString::fromLatin1(name));
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
        QCOMPARE(c.recNum()->text(), QStringLiteral("6"));
        QTest::keyClicks(c.box(CardBox::Memo), QStringLiteral("new"));
        c.click("CommandSave");
        const QByteArray file = readFile(c.bankPath() + QStringLiteral("record.tzd"));
        QCOMPARE(file.size(), 6 * qsizetype(kRecordSize));
        QCOMPARE(storedRecord(c, 6).Memo, QStringLiteral("new"));
        // A new record left empty is no record: the count goes back.
        c.click("NewRec");
        c.click("CommandBack");
        QCOMPARE(c.control<QLabel>(QStringLiteral("RecRange_2"))->text(), QStringLiteral("6"));
        c.window->close();
        QCOMPARE(readFile(c.bankPath() + QStringLiteral("record.tzd")).size(), 6 * qsizetype(kRecordSize));
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
            {"EditRecBox_1", 990},  {"EditRecLabel_1", 120},  {"EditRecBox_8", 3500},
            {"EditRecBox_9", 4940}, {"EditRecLabel_8", 6020}, {"EditRecBox_10", 6620},
            {"JPcombo", 2040},      {"HScroll", 2760},        {"JPview", 990}};
        for (const auto &[name, twips] : lefts)
            QVERIFY2(c.control(QString::fromLatin1(name))->x() == px(twips), name);
        // The buttons keep their places unless the caption before them needs
        // more room than the table gives in the fonts of this system.
        int after = 0;
        for (const auto &[name, twips] : {std::pair{"JPview", 990},
                                          {"LinkView", 2040},
                                          {"ViewPDF1", 3120},
                                          {"ViewPDF2", 4320},
                                          {"CommandSimilar", 5520}}) {
            QWidget *b = c.control(QString::fromLatin1(name));
            QVERIFY2(b->x() == std::max(px(twips), after), name);
            after = b->x() + b->width() + px(40);
        }
        QCOMPARE(c.control(QStringLiteral("EditRecBox_8"))->width(), px(855));
        QCOMPARE(c.control(QStringLiteral("EditRecBox_7"))->width(), px(1835));
        for (const char *name : {"EditRecBox_1", "HScroll", "EditRecBox_13", "CommandQuit"}) {
            QWidget *w = c.control(QString::fromLatin1(name));
            QVERIFY2(w->x() + w->width() == right, name);
        }
        QVERIFY(c.control(QStringLiteral("EditRecBox_13"))->width() >= px(1020));
        QCOMPARE(c.control(QStringLiteral("CommandSave"))->x(), c.control(QStringLiteral("CommandNext"))->x());
        // Nothing covers anything else, and everything lies inside the card.
        const QList<QWidget *> shown = c.window->centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *a : shown) {
            if (!a->isVisible())
                continue;
            QVERIFY2(c.window->centralWidget()->rect().contains(a->geometry()), qPrintable(a->objectName()));
            for (QWidget *b : shown)
                QVERIFY2(a == b || !b->isVisible() || !a->geometry().intersects(b->geometry()),
                         qPrintable(a->objectName() + u' ' + b->objectName()));
        }
    }
};

QTEST_MAIN(TestCardEditing)
#include "tst_card_editing.moc"
