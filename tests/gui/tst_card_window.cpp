// The record card window driven through its control names: that its boxes,
// buttons and menu items reach the card's behaviour (tested in depth in
// tests/card), the worked cases of the card, and a new record typed key by key.
#include "core/common/ole_date.h"
#include "core/store/link_table.h"
#include "gui/widgets/window_place.h"
#include "support/card_fixture.h"

#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

using namespace tz;
using tz::testing::Card;
using tz::testing::kToday;

class TestCardWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void captionHeightAndWidth()
    {
        Card c;
        QCOMPARE(c.window->windowTitle(), QStringLiteral("レコード編集  Tessellane 3j03 [MYBANK]"));
        QCOMPARE(c.session().settings.FontSizeNo, 4);
        const double dpi = c.window->logicalDpiY();
        // A length in twips, to within half a pixel.
        auto is = [dpi](int pixels, int twips) { return qAbs(PixelsToTwips(pixels, dpi) - twips) <= 8; };
        QVERIFY(is(c.window->height(), 9180));
        c.window->resize(300, 200);
        QVERIFY(is(c.window->width(), 9150));
        QVERIFY(is(c.window->height(), 9180));
        c.trigger("fontz_5");
        QVERIFY(is(c.window->height(), 9880));
        // The place goes to the settings when the card closes; reset brings the default.
        c.window->close();
        QCOMPARE(c.session().settings.CardPos.left, float(PixelsToTwips(c.window->x(), dpi)));
        c.trigger("mnuOD");
        QCOMPARE(c.session().settings.CardPos, Settings().CardPos);
    }

    void recordNumberBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("beyond the count") << QStringLiteral("7") << kMsgRecNumRange;
        QTest::newRow("letters") << QStringLiteral("abc") << kMsgRecNumNumeric;
    }
    void recordNumberBox()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Card c;
        QLineEdit *num = c.recNum();
        num->setFocus();
        num->selectAll();
        QTest::keyClicks(num, typed);
        QCOMPARE(num->palette().color(QPalette::Text), QColor(255, 0, 0));
        QTest::keyClick(num, Qt::Key_Return);
        QCOMPARE(c.ui.messageTexts(), QStringList{message});
        c.focus(CardBox::Memo);
        QCOMPARE(num->text(), QStringLiteral("5"));
        QCOMPARE(num->palette().color(QPalette::Text), QColor(0, 0, 192));
    }

    void numberBoxScrollBarAndButtonsMove()
    {
        Card c;
        c.recNum()->setFocus();
        c.recNum()->selectAll();
        QTest::keyClicks(c.recNum(), QStringLiteral("2"));
        QTest::keyClick(c.recNum(), Qt::Key_Return);
        QCOMPARE(c.boxText(CardBox::Memo), QStringLiteral("memo 2"));
        auto *scroll = c.control<QScrollBar>(QStringLiteral("HScroll"));
        QCOMPARE(scroll->value(), 2);
        scroll->setValue(4);
        QCOMPARE(c.recNum()->text(), QStringLiteral("4"));
        c.click("CommandBack");
        QCOMPARE(c.boxText(CardBox::Memo), QStringLiteral("memo 3"));
        QVERIFY(c.ui.messages.isEmpty());
    }

    void enterAndThePublisherList()
    {
        Card c;
        c.focus(CardBox::Title);
        QTest::keyClick(c.box(CardBox::Title), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::JPcode)); // a journal skips the editor and the book
        c.session().jp.JPname[101] = QStringLiteral("Springer");
        c.control<QRadioButton>(QStringLiteral("RadioStyle_2"))->click();
        auto *combo = c.control<QComboBox>(QStringLiteral("JPcombo"));
        QCOMPARE(combo->itemText(0), QStringLiteral("Springer"));
        Q_EMIT combo->activated(0);
        QCoreApplication::processEvents();
        QCOMPARE(c.boxText(CardBox::JPcode), QStringLiteral("101"));
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::Volume));
    }

    void recordOperations()
    {
        Card c;
        // Journal -> Book (edt) -> Journal leaves the style marked.
        c.control<QRadioButton>(QStringLiteral("RadioStyle_2"))->click();
        QVERIFY(c.control<QAction>(QStringLiteral("mnuFSB"))->isChecked());
        c.trigger("mnuFSJ");
        QVERIFY(c.control<QRadioButton>(QStringLiteral("RadioStyle_1"))->isChecked());
        QVERIFY(c.marks()[CardBox::Style]);
        // Undo brings back the record as stored, without marks.
        c.focus(CardBox::Memo);
        QTest::keyClicks(c.box(CardBox::Memo), QStringLiteral(" edited"));
        c.trigger("mnuRU");
        QCOMPARE(c.boxText(CardBox::Memo), QStringLiteral("memo 5"));
        QCOMPARE(c.marks(), BoxFlags{});
        // Clear, then paste: the record is back with every box marked.
        c.trigger("mnuRD");
        QCOMPARE(c.boxText(CardBox::Title), QString());
        c.trigger("mnuRV");
        QCOMPARE(c.boxText(CardBox::Title), QStringLiteral("Title 5."));
        BoxFlags all;
        all.markAll(true);
        QCOMPARE(c.marks(), all);
        // An empty DOI box only beeps.
        c.click("ViewPDF2");
        QVERIFY(c.ui.webPages.isEmpty());
        QCOMPARE(c.ui.tones.size(), 1);
        // Next on the last record asks before making a new one.
        c.ui.answers = {MsgAnswer::Cancel};
        c.click("CommandNext");
        QCOMPARE(c.ui.messageTexts(), QStringList{kAskNewRecord});
        QCOMPARE(c.recNum()->text(), QStringLiteral("5"));
        c.click("CommandNext");
        QCOMPARE(c.recNum()->text(), QStringLiteral("6"));
    }

    void searchesReachTheSearchWindow()
    {
        Card c;
        c.trigger("mnuOS"); // the automatic duplicate check, on
        QVERIFY(c.session().settings.AutoDupCheck);
        c.trigger("mnuIV");
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::Volume));
        static_cast<QLineEdit *>(c.box(CardBox::Volume))->selectAll();
        QTest::keyClicks(c.box(CardBox::Volume), QStringLiteral("4"));
        c.click("CommandSave");
        c.trigger("mnuRA");
        const QList<CardSearchRequest> expected{{KindSimilarAuto, kKindSimilar, QStringLiteral("5")},
                                                {KindCurrent, kKindCurrent, QStringLiteral("5")}};
        QCOMPARE(c.searches, expected);
        // Blank and double-booked records are searched at once, a year is only prepared.
        c.trigger("mnuSY");
        c.trigger("mnuSB");
        c.trigger("mnuSD");
        QCOMPARE(c.opened, (QList<int>{KindYear, KindBlank, KindDouble}));
    }

    void editMenuAndQuit()
    {
        Card c;
        c.focus(CardBox::Memo);
        auto *memo = static_cast<QLineEdit *>(c.box(CardBox::Memo));
        memo->selectAll();
        QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("memo 5"));
        memo->setCursorPosition(6);
        c.trigger("mnuEV");
        QCOMPARE(c.window->card().boxText(CardBox::Memo), QStringLiteral("memo 5memo 5"));
        QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier); // the field undo
        QCOMPARE(memo->text(), QStringLiteral("memo 5"));
        // Select all takes the first 280 characters, whatever the length.
        c.focus(CardBox::Title);
        auto *title = static_cast<QPlainTextEdit *>(c.box(CardBox::Title));
        title->setPlainText(QString(300, u'x'));
        c.trigger("mnuEA");
        QCOMPARE(title->textCursor().selectedText().size(), 280);
        // Quit writes the edited record.
        c.click("CommandQuit");
        Record r;
        QVERIFY(RecRead(c.bankPath(), 5, ReadMode::Stored, r, kToday));
        QCOMPARE(r.Title, QString(280, u'x'));
    }

    void closingWithoutEditsKeepsTheRecords()
    {
        Card c;
        const QString file = c.bankPath() + QStringLiteral("record.tzd");
        const QByteArray before = readFile(file);
        QVERIFY(!before.isEmpty());
        c.focus(CardBox::Author);
        c.window->close();
        QCOMPARE(readFile(file), before);
        QVERIFY(QFile::exists(c.session().cfgFile()));
        QVERIFY(c.ui.messages.isEmpty());
    }

    void printingTheCardToPdf()
    {
        Card c;
        const QString pdf = c.dir.filePath(QStringLiteral("card.pdf"));
        c.ui.printAnswer = PrintChoice{1, 0, 0, true, pdf};
        c.trigger("mnuRP");
        QCOMPARE(c.ui.messageTexts(), QStringList());
        QCOMPARE(c.ui.printDialogs, 1);
        QVERIFY(readFile(pdf).startsWith("%PDF"));
    }

    // A whole record typed key by key, saved, and read back from the files.
    void typingANewRecord()
    {
        Card c;
        c.session().jp.JPname[21] = QStringLiteral("Nature");
        c.session().jp.JPname[22] = QStringLiteral("Science");
        c.window->card().refreshJPlist();
        c.window->refresh();
        c.click("NewRec");
        QCOMPARE(c.recNum()->text(), QStringLiteral("6"));
        c.focus(CardBox::Author);
        QTest::keyClicks(c.box(CardBox::Author), QStringLiteral("A. B. Smith and C. Jones"));
        c.focus(CardBox::Title);
        QTest::keyClicks(c.box(CardBox::Title), QStringLiteral("A typed title"));
        QTest::keyClick(c.box(CardBox::Title), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::JPcode));
        // The journal is picked from the name list with the arrow keys.
        auto *combo = c.control<QComboBox>(QStringLiteral("JPcombo"));
        combo->setFocus();
        while (combo->currentText() != QStringLiteral("Science") && combo->currentIndex() < combo->count() - 1)
            QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(c.boxText(CardBox::JPcode), QStringLiteral("22"));
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::Volume));
        const std::pair<CardBox, const char *> typed[] = {{CardBox::Volume, "12"},
                                                          {CardBox::Page1, "123"},
                                                          {CardBox::Page2, "45"},
                                                          {CardBox::Year, "98"},
                                                          {CardBox::Keyword, ""}};
        for (const auto &[box, keys] : typed) {
            QTest::keyClicks(c.box(box), QString::fromLatin1(keys));
            QTest::keyClick(c.box(box), Qt::Key_Return);
        }
        QCOMPARE(QApplication::focusWidget(), c.box(CardBox::Link));
        QTest::keyClicks(c.box(CardBox::Link), QStringLiteral("5-3,2"));
        c.click("CommandSave");
        QVERIFY(c.ui.messages.isEmpty());
        c.window->close();

        Record expected;
        expected.Style = 1;
        expected.Author = QStringLiteral("A.B.Smith, C.Jones");
        expected.Title = QStringLiteral("A typed title.");
        expected.JPcode = 22;
        expected.Volume = QStringLiteral("12");
        expected.Page1 = QStringLiteral("123");
        expected.Page2 = QStringLiteral("145");
        expected.Year = 1998;
        expected.RegDate = DateToOle(kToday);
        const QByteArray file = readFile(c.bankPath() + QStringLiteral("record.tzd"));
        QCOMPARE(file.size(), 6 * qsizetype(kRecordSize));
        QCOMPARE(RecordAt(file, 6).toByteArray(), EncodeRecord(expected));
        // "5-3" is a reversed range and names nothing; record 2 is linked both ways.
        QCOMPARE(LinkReadAll(c.bankPath(), 6), (QList<LinkPair>{{2, 6}}));
    }
};

QTEST_MAIN(TestCardWindow)
#include "tst_card_window.moc"
