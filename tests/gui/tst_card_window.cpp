// The record card window driven through its control names: caption, the
// record-number box, Enter, the name list, closing and typing a new record.
#include "app/bank_files.h"
#include "app/fake_user_interface.h"
#include "app/progress_window.h"
#include "app/session.h"
#include "card/card_window.h"
#include "common/ole_date.h"
#include "format/form_file.h"
#include "format/script_file.h"
#include "store/link_table.h"
#include "store/record.h"

#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace tz;
using tz::testing::FakeUserInterface;

namespace {

const QDate kToday(2026, 12, 6);

// A bank "mybank" of five journal articles opened on the card.
struct Card
{
    QTemporaryDir dir;
    FakeUserInterface ui;
    std::unique_ptr<Session> session;
    std::unique_ptr<CardWindow> window;

    explicit Card(int count = 5)
    {
        session = std::make_unique<Session>(ui, dir.path());
        session->setBank(dir.path(), QStringLiteral("mybank"));
        QString error;
        if (!CreateBank(bankPath(), kToday, &error))
            qFatal("%s", qPrintable(error));
        BoxFlags all;
        all.fill(1);
        for (int i = 1; i <= count; ++i) {
            Record r;
            r.Style = 1;
            r.Memo = QStringLiteral("memo %1").arg(i);
            r.Author = QStringLiteral("J.R.Smith");
            r.Title = QStringLiteral("Title %1.").arg(i);
            r.JPcode = 12;
            r.Volume = QString::number(i);
            r.Year = static_cast<qint16>(1990 + i);
            RecWrite(bankPath(), i, r, all);
        }
        window = std::make_unique<CardWindow>(*session);
        window->card().setToday(kToday);
        if (!window->FormSet(&error))
            qFatal("%s", qPrintable(error));
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the card did not become active");
    }
    QString bankPath() const { return session->BankPath(); }
    template <typename T = QWidget> T *control(const QString &name) const { return window->findChild<T *>(name); }
    QWidget *box(int i) const { return control(QStringLiteral("EditRecBox_%1").arg(i)); }
    QString boxText(int i) const
    {
        if (auto *e = qobject_cast<QPlainTextEdit *>(box(i)))
            return e->toPlainText();
        return static_cast<QLineEdit *>(box(i))->text();
    }
    QLineEdit *recNum() const { return control<QLineEdit>(QStringLiteral("RecNumBox")); }
    void focus(int i) const
    {
        box(i)->setFocus();
        QCoreApplication::processEvents();
    }
    void click(const char *button) const
    {
        QTest::mouseClick(control<QPushButton>(QString::fromLatin1(button)), Qt::LeftButton);
    }
};

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestCardWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensOnTheLastRecord()
    {
        Card c;
        QCOMPARE(c.window->windowTitle(), QStringLiteral("レコード編集  Tessellane 3j03 [MYBANK]"));
        QCOMPARE(c.boxText(1), QStringLiteral("memo 5"));
        QCOMPARE(c.boxText(3), QStringLiteral("Title 5."));
        QCOMPARE(c.boxText(6), QStringLiteral("12"));
        QCOMPARE(c.recNum()->text(), QStringLiteral("5"));
        auto *scroll = c.control<QScrollBar>(QStringLiteral("HScroll"));
        QCOMPARE(scroll->minimum(), 1);
        QCOMPARE(scroll->maximum(), 5);
        QCOMPARE(scroll->value(), 5);
        QVERIFY(c.control<QRadioButton>(QStringLiteral("RadioStyle_1"))->isChecked());
        QVERIFY(c.window->width() >= 610);
        c.window->showMaximized();
        QCoreApplication::processEvents();
        QVERIFY(!c.window->isMaximized());
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
        QCOMPARE(c.window->card().curRec(), 5);
        c.focus(1);
        QCOMPARE(num->text(), QStringLiteral("5"));
        QCOMPARE(num->palette().color(QPalette::Text), QColor(0, 0, 192));
    }

    void recordNumberBoxMoves()
    {
        Card c;
        QLineEdit *num = c.recNum();
        num->setFocus();
        num->selectAll();
        QTest::keyClicks(num, QStringLiteral("2"));
        QTest::keyClick(num, Qt::Key_Return);
        QVERIFY(c.ui.messages.isEmpty());
        QCOMPARE(c.boxText(1), QStringLiteral("memo 2"));
        QCOMPARE(c.control<QScrollBar>(QStringLiteral("HScroll"))->value(), 2);
        c.control<QScrollBar>(QStringLiteral("HScroll"))->setValue(4);
        QCOMPARE(c.boxText(1), QStringLiteral("memo 4"));
        QCOMPARE(num->text(), QStringLiteral("4"));
        c.click("CommandBack");
        QCOMPARE(c.boxText(1), QStringLiteral("memo 3"));
    }

    void searchesGoToTheSearchWindow()
    {
        Card c;
        QList<CardSearchRequest> asked;
        CardLinks links;
        links.runSearch = [&asked](const CardSearchRequest &r) { asked.append(r); };
        c.window->setLinks(links);
        c.control<QAction>(QStringLiteral("mnuRA"))->trigger();
        QCOMPARE(asked, (QList<CardSearchRequest>{{KindCurrent, kKindCurrent, QStringLiteral("5")}}));
        // Without a link list the linked-record search only beeps.
        c.control<QPushButton>(QStringLiteral("LinkView"))->click();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(c.ui.tones.size(), 1);
    }

    void enterFollowsTheStyle()
    {
        Card c;
        c.focus(3);
        QTest::keyClick(c.box(3), Qt::Key_Return);
        // A journal skips the editor and the book.
        QCOMPARE(QApplication::focusWidget(), c.box(6));
        QCOMPARE(c.window->card().focusBox(), 6);
        QCOMPARE(c.boxText(3), QStringLiteral("Title 5."));
    }

    void pickingAPublisher()
    {
        Card c;
        c.session->jp.JPname[101] = QStringLiteral("Springer");
        QTest::mouseClick(c.control<QRadioButton>(QStringLiteral("RadioStyle_2")), Qt::LeftButton);
        auto *combo = c.control<QComboBox>(QStringLiteral("JPcombo"));
        QCOMPARE(combo->itemText(0), QStringLiteral("Springer"));
        Q_EMIT combo->activated(0);
        QCoreApplication::processEvents();
        QCOMPARE(c.boxText(6), QStringLiteral("101"));
        QCOMPARE(QApplication::focusWidget(), c.box(7));
        QCOMPARE(combo->currentText(), QStringLiteral("Springer"));
        c.click("CommandSave");
        Record r;
        QVERIFY(RecRead(c.bankPath(), 5, 1, r, kToday));
        QCOMPARE(r.JPcode, 101);
        QCOMPARE(r.Style, 2);
    }

    void closingWithoutEditsKeepsTheRecords()
    {
        Card c;
        const QString file = c.bankPath() + QStringLiteral("record.tzd");
        const QByteArray before = fileBytes(file);
        QVERIFY(!before.isEmpty());
        c.focus(2);
        c.window->close();
        QCOMPARE(fileBytes(file), before);
        QVERIFY(QFile::exists(c.session->cfgFile()));
        QVERIFY(c.ui.messages.isEmpty());
    }

    void editingAndClosingWritesTheRecord()
    {
        Card c;
        c.focus(1);
        QTest::keyClicks(c.box(1), QStringLiteral(" more"));
        c.click("CommandQuit");
        Record r;
        QVERIFY(RecRead(c.bankPath(), 5, 1, r, kToday));
        QCOMPARE(r.Memo, QStringLiteral("memo 5 more"));
    }

    // A whole record typed key by key, saved, and read back from the files.
    void typingANewRecord()
    {
        Card c;
        c.session->jp.JPname[21] = QStringLiteral("Nature");
        c.session->jp.JPname[22] = QStringLiteral("Science");
        c.window->card().refreshJPlist();
        c.window->refresh();
        c.click("NewRec");
        QCOMPARE(c.recNum()->text(), QStringLiteral("6"));
        c.focus(2);
        QTest::keyClicks(c.box(2), QStringLiteral("A. B. Smith and C. Jones"));
        c.focus(3);
        QTest::keyClicks(c.box(3), QStringLiteral("A typed title"));
        QTest::keyClick(c.box(3), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), c.box(6));
        // The journal is picked from the name list with the arrow keys.
        auto *combo = c.control<QComboBox>(QStringLiteral("JPcombo"));
        combo->setFocus();
        while (combo->currentText() != QStringLiteral("Science") && combo->currentIndex() < combo->count() - 1)
            QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(c.boxText(6), QStringLiteral("22"));
        QCOMPARE(QApplication::focusWidget(), c.box(7));
        QTest::keyClicks(c.box(7), QStringLiteral("12"));
        QTest::keyClick(c.box(7), Qt::Key_Return);
        QTest::keyClicks(c.box(8), QStringLiteral("123"));
        QTest::keyClick(c.box(8), Qt::Key_Return);
        QTest::keyClicks(c.box(9), QStringLiteral("45"));
        QTest::keyClick(c.box(9), Qt::Key_Return);
        QTest::keyClicks(c.box(10), QStringLiteral("98"));
        QTest::keyClick(c.box(10), Qt::Key_Return);
        QTest::keyClick(c.box(11), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), c.box(12));
        QTest::keyClicks(c.box(12), QStringLiteral("5-3,2"));
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
        const QByteArray file = fileBytes(c.bankPath() + QStringLiteral("record.tzd"));
        QCOMPARE(file.size(), 6 * qsizetype(kRecordSize));
        QCOMPARE(RecordAt(file, 6).toByteArray(), EncodeRecord(expected));
        // "5-3" is a reversed range and names nothing; record 2 is linked both ways.
        QCOMPARE(LinkReadAll(c.bankPath(), 6), (QList<LinkPair>{{2, 6}}));
    }

    void fixedHeightAndMinimumWidth()
    {
        Card c;
        QCOMPARE(c.session->settings.FontSizeNo, 4);
        const double dpi = c.window->logicalDpiY();
        // A length in twips, to within half a pixel.
        auto is = [dpi](int pixels, int twips) { return qAbs(PixelsToTwips(pixels, dpi) - twips) <= 8; };
        QVERIFY(is(c.window->height(), 9180));
        c.window->resize(300, 200);
        QVERIFY(is(c.window->width(), 9150));
        QVERIFY(is(c.window->height(), 9180));
        c.control<QAction>(QStringLiteral("fontz_5"))->trigger();
        QVERIFY(is(c.window->height(), 9880));
        QCOMPARE(c.box(1)->font().pointSize(), 14);
        QCOMPARE(c.session->settings.FontSizeNo, 5);
        c.control<QAction>(QStringLiteral("fontn_3"))->trigger();
        QCOMPARE(c.box(12)->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
        QVERIFY(c.control<QAction>(QStringLiteral("fontn_3"))->isChecked());
        QVERIFY(!c.control<QAction>(QStringLiteral("fontn_1"))->isChecked());
        // The place goes to the settings when the card closes; reset brings the default.
        c.window->move(40, 50);
        c.window->close();
        QCOMPARE(c.session->settings.CardPos.left, float(PixelsToTwips(c.window->x(), dpi)));
        c.control<QAction>(QStringLiteral("mnuOD"))->trigger();
        QCOMPARE(c.session->settings.CardPos, Settings().CardPos);
    }

    void recordOperationsThroughTheWindow()
    {
        Card c;
        // Journal -> Book (edt) -> Journal leaves the style marked.
        c.control<QRadioButton>(QStringLiteral("RadioStyle_2"))->click();
        QVERIFY(c.control<QAction>(QStringLiteral("mnuFSB"))->isChecked());
        c.control<QAction>(QStringLiteral("mnuFSJ"))->trigger();
        QVERIFY(c.control<QRadioButton>(QStringLiteral("RadioStyle_1"))->isChecked());
        QCOMPARE(c.window->card().boxChanged()[0], qint16(1));
        QCOMPARE(QApplication::focusWidget(), c.box(1));
        // Undo brings back the record as stored, without marks.
        QTest::keyClicks(c.box(1), QStringLiteral(" edited"));
        c.control<QAction>(QStringLiteral("mnuRU"))->trigger();
        QCOMPARE(c.boxText(1), QStringLiteral("memo 5"));
        QVERIFY(std::ranges::all_of(c.window->card().boxChanged(), [](qint16 m) { return m == 0; }));
        // Clear, then paste: the record is back with every box marked.
        c.control<QAction>(QStringLiteral("mnuRD"))->trigger();
        QCOMPARE(c.boxText(3), QString());
        c.control<QAction>(QStringLiteral("mnuRV"))->trigger();
        QCOMPARE(c.boxText(1), QStringLiteral("memo 5"));
        QCOMPARE(c.boxText(3), QStringLiteral("Title 5."));
        for (int i = 1; i <= 15; ++i)
            QCOMPARE(c.window->card().boxChanged()[size_t(i)], qint16(1));
        // An empty DOI box only beeps.
        c.click("ViewPDF2");
        QVERIFY(c.ui.webPages.isEmpty());
        QCOMPARE(c.ui.tones.size(), 1);
        // Next on the last record asks before making a new one.
        c.ui.answers = {MsgAnswer::Cancel};
        c.click("CommandNext");
        QCOMPARE(c.ui.messageTexts(), QStringList{kAskNewRecord});
        QCOMPARE(c.window->card().recCount(), 5);
        QCOMPARE(c.recNum()->text(), QStringLiteral("5"));
        c.click("CommandNext");
        QCOMPARE(c.recNum()->text(), QStringLiteral("6"));
        QCOMPARE(c.boxText(1), QString());
    }

    void automaticDuplicateCheckAfterVolumeChange()
    {
        Card c;
        QList<CardSearchRequest> asked;
        CardLinks links;
        links.runSearch = [&asked](const CardSearchRequest &r) { asked.append(r); };
        c.window->setLinks(links);
        QVERIFY(!c.control<QAction>(QStringLiteral("mnuOS"))->isChecked());
        c.control<QAction>(QStringLiteral("mnuOS"))->trigger();
        QCOMPARE(c.session->settings.AutoDupCheck, 1);
        c.control<QAction>(QStringLiteral("mnuIV"))->trigger();
        QCOMPARE(QApplication::focusWidget(), c.box(7));
        static_cast<QLineEdit *>(c.box(7))->selectAll();
        QTest::keyClicks(c.box(7), QStringLiteral("4"));
        c.click("CommandSave");
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].SearchItem, int(KindSimilarAuto));
        QCOMPARE(asked[0].kindText, kKindSimilar);
        // The editors' items stay disabled while no editor is connected.
        QVERIFY(!c.control<QAction>(QStringLiteral("mnuOJ"))->isEnabled());
        QVERIFY(!c.control<QPushButton>(QStringLiteral("JPview"))->isEnabled());
    }

    void editMenuActsOnTheFocusedBox()
    {
        Card c;
        QList<std::pair<int, bool>> opened;
        CardLinks links;
        links.openSearch = [&opened](int kind, bool run) { opened.append({kind, run}); };
        c.window->setLinks(links);
        // Select all takes the first 280 characters, whatever the length.
        c.focus(3);
        auto *title = static_cast<QPlainTextEdit *>(c.box(3));
        title->setPlainText(QString(300, u'x'));
        c.control<QAction>(QStringLiteral("mnuEA"))->trigger();
        QCOMPARE(title->textCursor().selectedText().size(), 280);
        // Copy and paste through the clipboard; Ctrl+Z is the field undo.
        c.focus(1);
        auto *memo = static_cast<QLineEdit *>(c.box(1));
        memo->selectAll();
        QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("memo 5"));
        memo->setCursorPosition(6);
        QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(c.window->card().boxText(1), QStringLiteral("memo 5memo 5"));
        c.control<QAction>(QStringLiteral("mnuED"))->trigger(); // nothing selected: nothing deleted
        QCOMPARE(memo->text(), QStringLiteral("memo 5memo 5"));
        QTest::keyClick(memo, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(memo->text(), QStringLiteral("memo 5"));
        // Beep toggles back; blank and double-booked records are searched at once.
        c.control<QAction>(QStringLiteral("mnuOB"))->trigger();
        QCOMPARE(c.session->settings.BeepOn, 0);
        c.control<QAction>(QStringLiteral("mnuOB"))->trigger();
        QCOMPARE(c.session->settings.BeepOn, 1);
        c.control<QAction>(QStringLiteral("mnuSY"))->trigger();
        c.control<QAction>(QStringLiteral("mnuSB"))->trigger();
        c.control<QAction>(QStringLiteral("mnuSD"))->trigger();
        QCOMPARE(opened, (QList<std::pair<int, bool>>{{KindYear, false}, {KindBlank, true}, {KindDouble, true}}));
    }

    void recordMenuItems()
    {
        Card c;
        const struct
        {
            const char *name;
            QKeySequence key;
        } items[] = {{"mnuRU", {}},
                     {"mnuRF", QKeySequence(Qt::CTRL | Qt::Key_F)},
                     {"mnuRB", QKeySequence(Qt::CTRL | Qt::Key_B)},
                     {"mnuRN", QKeySequence(Qt::CTRL | Qt::Key_N)},
                     {"mnuRS", {}},
                     {"mnuRP", QKeySequence(Qt::CTRL | Qt::Key_P)}};
        for (const auto &item : items) {
            auto *a = c.control<QAction>(QString::fromLatin1(item.name));
            QVERIFY2(a, item.name);
            QCOMPARE(a->shortcut(), item.key);
        }
        c.control<QAction>(QStringLiteral("mnuRB"))->trigger();
        QCOMPARE(c.boxText(1), QStringLiteral("memo 4"));
        // Clearing and pasting back through the copy buffer.
        c.control<QAction>(QStringLiteral("mnuRD"))->trigger();
        QCOMPARE(c.boxText(1), QString());
        c.control<QAction>(QStringLiteral("mnuRV"))->trigger();
        QCOMPARE(c.boxText(1), QStringLiteral("memo 4"));
        // An empty URL box only beeps.
        c.control<QAction>(QStringLiteral("mnuRP1"))->trigger();
        QVERIFY(c.ui.webPages.isEmpty());
        // The card printed into a PDF file.
        const QString pdf = c.dir.filePath(QStringLiteral("card.pdf"));
        c.ui.printAnswer = PrintChoice{1, 0, 0, true, pdf};
        c.control<QAction>(QStringLiteral("mnuRP"))->trigger();
        QCOMPARE(c.ui.messageTexts(), QStringList());
        QCOMPARE(c.ui.printDialogs, 1);
        QVERIFY(fileBytes(pdf).startsWith("%PDF"));
    }
};

QTEST_MAIN(TestCardWindow)
#include "tst_card_window.moc"
