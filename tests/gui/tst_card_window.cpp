// The record card window driven through its control names: that its boxes,
// buttons and menu items reach the card's behaviour (tested in depth in
// tests/card), and a new record typed key by key.
#include "core/common/ole_date.h"
#include "support/card_fixture.h"

#include <QComboBox>
#include <QRadioButton>
#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;
using tz::testing::Card;
using tz::testing::kToday;

class TestCardWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordNumberBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("beyond the count") << u"7"_s << kMsgRecNumRange;
        QTest::newRow("letters") << u"abc"_s << kMsgRecNumNumeric;
    }
    void recordNumberBox()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Card c;
        c.enterRecNum(typed, false);
        QCOMPARE(c.recNum()->palette().color(QPalette::Text), QColor(255, 0, 0));
        QTest::keyClick(c.recNum(), Qt::Key_Return);
        QCOMPARE(c.ui.messageTexts(), QStringList{message});
        c.focus(CardBox::Memo);
        QCOMPARE(c.recNum()->text(), u"5"_s);
    }

    void recordOperations()
    {
        Card c;
        // Journal -> Book (edt) -> Journal; a book lists the publishers.
        c.session().jp.JPname[101] = u"Springer"_s;
        c.control<QRadioButton>(u"RadioStyle_2"_s)->click();
        QVERIFY(c.control<QAction>(u"mnuFSB"_s)->isChecked());
        QCOMPARE(c.control<QComboBox>(u"JPcombo"_s)->itemText(0), u"Springer"_s);
        c.trigger("mnuFSJ");
        QVERIFY(c.control<QRadioButton>(u"RadioStyle_1"_s)->isChecked());
        // Undo brings back the record as stored; clear, then paste, too.
        c.focus(CardBox::Memo);
        QTest::keyClicks(c.box(CardBox::Memo), u" edited"_s);
        c.trigger("mnuRU");
        QCOMPARE(c.boxText(CardBox::Memo), u"memo 5"_s);
        c.trigger("mnuRD");
        QCOMPARE(c.boxText(CardBox::Title), QString());
        c.trigger("mnuRV");
        QCOMPARE(c.boxText(CardBox::Title), u"Title 5."_s);
        // An empty DOI box only beeps.
        c.click("ViewPDF2");
        QVERIFY(c.ui.webPages.isEmpty());
        QCOMPARE(c.ui.tones.size(), 1);
        // Next on the last record asks before making a new one.
        c.ui.answers = {MsgAnswer::Cancel};
        c.click("CommandNext");
        QCOMPARE(c.ui.messageTexts(), QStringList{kAskNewRecord});
        QCOMPARE(c.recNum()->text(), u"5"_s);
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

    void editMenuAndQuit()
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
        // Quit writes the edited record.
        c.click("CommandQuit");
        QCOMPARE(c.stored(5).Title, QString(280, u'x'));
    }

    // Printing the card and closing it without edits leave the records as
    // they were.
    void printingAndClosingKeepTheRecords()
    {
        Card c;
        const QByteArray before = c.recordFile();
        c.focus(CardBox::Author);
        c.ui.printAnswer = PrintChoice{1, 0, 0, true, c.dir.filePath(u"card.pdf"_s)};
        c.trigger("mnuRP");
        QCOMPARE(c.ui.printDialogs, 1);
        QVERIFY(readFile(c.dir.filePath(u"card.pdf"_s)).startsWith("%PDF"));
        c.window->close();
        QCOMPARE(c.recordFile(), before);
        QVERIFY(c.ui.messages.isEmpty());
    }

    // A whole record typed key by key, saved, and read back from the files.
    void typingANewRecord()
    {
        Card c;
        c.session().jp.JPname[21] = u"Nature"_s;
        c.session().jp.JPname[22] = u"Science"_s;
        c.window->card().refreshJPlist();
        c.window->refresh();
        c.click("NewRec");
        // Enter moves on: the keys go to the box that has the focus.
        auto enter = [](const QString &keys) {
            QTest::keyClicks(QApplication::focusWidget(), keys);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        };
        c.focus(CardBox::Author);
        enter(u"A. B. Smith and C. Jones"_s);
        enter(u"A typed title"_s);
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::JPcode)); // a journal skips the editor and the book
        // The journal is picked from the name list with the arrow keys.
        auto *combo = c.control<QComboBox>(u"JPcombo"_s);
        combo->setFocus();
        while (combo->currentText() != u"Science"_s && combo->currentIndex() < combo->count() - 1)
            QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(c.boxText(CardBox::JPcode), u"22"_s);
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::Volume));
        for (const QString &keys : {u"12"_s, u"123"_s, u"45"_s, u"98"_s, QString()})
            enter(keys);
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::Link));
        QTest::keyClicks(c.box(CardBox::Link), u"5-3,2"_s);
        c.click("CommandSave");
        QVERIFY(c.ui.messages.isEmpty());
        c.window->close();

        // Style, memo, author, title, JP code, volume, pages, year, editor, book, keywords, date.
        const Record expected{
            1,  {}, u"A.B.Smith, C.Jones"_s, u"A typed title."_s, 22, u"12"_s, u"123"_s, u"145"_s, 1998, {},
            {}, {}, DateToOle(kToday)};
        const QByteArray file = c.recordFile();
        QCOMPARE(file.size(), 6 * qsizetype(kRecordSize));
        QCOMPARE(RecordAt(file, 6).toByteArray(), EncodeRecord(expected));
        // "5-3" is a reversed range and names nothing; record 2 is linked both ways.
        QCOMPARE(LinkReadAll(c.bankPath(), 6), (QList<LinkPair>{{2, 6}}));
    }
};

QTEST_MAIN(TestCardWindow)
#include "tst_card_window.moc"
