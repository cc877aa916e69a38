// The record card window driven through its control names: caption, the
// record-number box, Enter, the name list, closing and typing a new record.
#include "app/bank_files.h"
#include "app/fake_user_interface.h"
#include "app/session.h"
#include "card/card_window.h"
#include "format/form_file.h"
#include "format/script_file.h"
#include "store/record.h"

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

    void searchesShowTheirList()
    {
        Card c;
        QStringList report;
        QFile forms(QStringLiteral(TZ_SOURCE_DATA "/form.cfx"));
        QFile scripts(QStringLiteral(TZ_SOURCE_DATA "/script.cfx"));
        QVERIFY(forms.open(QIODevice::ReadOnly) && scripts.open(QIODevice::ReadOnly));
        c.session->forms = ParseFormFile(forms.readAll(), QStringLiteral("form.cfx"), report);
        c.session->scripts = ParseScriptFile(scripts.readAll(), QStringLiteral("script.cfx"), report);
        c.control<QAction>(QStringLiteral("mnuRA"))->trigger();
        auto *list = c.control<QDialog>(QStringLiteral("CardSearchList"));
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->windowTitle(), QStringLiteral("Current record: 1 件"));
        const QString text = list->findChild<QPlainTextEdit *>()->toPlainText();
        QVERIFY2(text.contains(QStringLiteral("Title 5")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("Title 4")));
        // Without a link list the linked-record search only beeps.
        c.control<QPushButton>(QStringLiteral("LinkView"))->click();
        QCOMPARE(list->windowTitle(), QStringLiteral("Current record: 1 件"));
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

    void typingANewRecord()
    {
        Card c;
        c.click("NewRec");
        QCOMPARE(c.recNum()->text(), QStringLiteral("6"));
        QCOMPARE(c.boxText(1), QString());
        c.focus(1);
        QTest::keyClicks(c.box(1), QStringLiteral("typed memo"));
        c.focus(2);
        QTest::keyClicks(c.box(2), QStringLiteral("A.Author"));
        c.focus(3);
        QTest::keyClicks(c.box(3), QStringLiteral("A typed title"));
        QTest::keyClick(c.box(3), Qt::Key_Return);
        // The new record keeps the JP code of the one shown before.
        QCOMPARE(c.boxText(6), QStringLiteral("12"));
        static_cast<QLineEdit *>(c.box(6))->selectAll();
        QTest::keyClicks(c.box(6), QStringLiteral("15"));
        QTest::keyClick(c.box(6), Qt::Key_Return);
        QTest::keyClicks(c.box(7), QStringLiteral("33"));
        c.click("CommandSave");
        Record r;
        QVERIFY(RecRead(c.bankPath(), 6, 1, r, kToday));
        QCOMPARE(r.Memo, QStringLiteral("typed memo"));
        QCOMPARE(r.Author, QStringLiteral("A.Author"));
        // The title check closes the title with a full stop.
        QCOMPARE(r.Title, QStringLiteral("A typed title."));
        QCOMPARE(r.JPcode, 15);
        QCOMPARE(r.Volume, QStringLiteral("33"));
        QCOMPARE(c.control<QScrollBar>(QStringLiteral("HScroll"))->maximum(), 6);
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
                     {"mnuRS", {}}};
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
    }
};

QTEST_MAIN(TestCardWindow)
#include "tst_card_window.moc"
