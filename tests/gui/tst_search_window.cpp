// The search window driven through its control names and menu items: kinds
// and the key box, the menus that search at once, the AND preference, the
// similar check that finds nothing, the result menu, saving and printing.
#include "gui/search/search_window.h"
#include "support/program.h"
#include "support/search_fixture.h"

#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;

namespace {

struct Window : SearchFixture
{
    std::unique_ptr<SearchWindow> window = std::make_unique<SearchWindow>(*session);

    template <typename T> T *control(const QString &name) const { return testing::Program::control<T>(*window, name); }
    QAction *action(const char *name) const { return control<QAction>(QString::fromLatin1(name)); }
    QPushButton *button(int i) const { return control<QPushButton>(u"SearD_%1"_s.arg(i)); }
    QLineEdit *keys() const { return control<QLineEdit>(u"BoxKeys"_s); }
    QPlainTextEdit *result() const { return control<QPlainTextEdit>(u"BoxResult"_s); }
    QString shown() const { return result()->toPlainText(); }
    // The window shown and active, the key box holding `text` typed key by key.
    void type(const QString &text) const
    {
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the search window did not become active");
        keys()->setFocus();
        keys()->clear();
        QTest::keyClicks(keys(), text);
    }
};

} // namespace

class TestSearchWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kindsAndTheKeyBox()
    {
        Window w;
        // A kind from the menu shows the window and empties the key box.
        w.action("mnuSF")->trigger();
        QVERIFY(w.window->isVisible());
        w.type(u"telomere"_s);
        w.action("mnuSY")->trigger();
        QCOMPARE(w.keys()->text(), QString());
        QVERIFY(w.button(7)->isHidden());
        // F5 still runs the AND branch with Year.
        w.type(u"1992"_s);
        QTest::keyClick(w.window.get(), Qt::Key_F5);
        QVERIFY(w.window->model().engine().AndMode);
        QVERIFY(w.shown().contains(u"total  1 hits"_s));
        // Blank and double-booked records are searched at once.
        for (const char *item : {"mnuSB", "mnuSD"}) {
            w.window->hide();
            w.result()->clear();
            w.action(item)->trigger();
            QVERIFY2(w.window->isVisible() && w.shown().contains(u"total"_s), item);
        }
    }

    void similarCheckWithNothingSimilarStaysHidden()
    {
        Window w;
        w.window->runCardRequest({KindSimilarAuto, kKindSimilar, u"3"_s});
        QVERIFY(!w.window->isVisible());
        QCOMPARE(w.shown(), QString());
        w.window->runCardRequest({KindCurrent, kKindCurrent, u"3"_s});
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.keys()->text(), u"3"_s);
        QVERIFY(w.shown().contains(u"Title 3."_s));
    }

    // OR preferred at start; the menu item makes AND the default, and Enter
    // in the key box presses it, the focus staying there.
    void theAndPreference()
    {
        Window w;
        w.window->SearchSet(KindFreeKeyword);
        QVERIFY(w.button(1)->isDefault());
        w.action("mnuON")->trigger();
        QVERIFY(w.button(7)->isDefault() && !w.button(1)->isDefault());
        w.type(u"telomere Title"_s);
        QTest::keyClick(w.keys(), Qt::Key_Return);
        QVERIFY(w.window->model().engine().AndMode);
        QVERIFY(w.shown().contains(u"total  0 hits"_s));
        QVERIFY(w.keys()->hasFocus());
        // The close box hides the window and stores its size.
        w.window->close();
        QVERIFY(!w.window->isVisible());
        QCOMPARE(w.session->settings.SearchPos.width, float(w.window->width() * 15));
    }

    void resultMenuSavingAndPrinting()
    {
        Window w;
        w.window->SearchSet(KindFreeKeyword);
        w.type(u"telomere"_s);
        QTest::mouseClick(w.button(1), Qt::LeftButton);
        const QString rendered = w.shown();
        QVERIFY(rendered.contains(u"total  2 hits"_s));
        // Typing into the result in two places, then Ctrl+Z: the rendered list again.
        w.result()->setFocus();
        QTest::keyClicks(w.result(), u"start"_s);
        w.result()->moveCursor(QTextCursor::End);
        QTest::keyClicks(w.result(), u"typed"_s);
        QTest::keyClick(w.result(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.shown(), rendered);
        // Copy with the focus in the key box copies from the key box.
        w.keys()->setFocus();
        w.keys()->setSelection(0, 4);
        w.action("mnuRC")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), u"telo"_s);

        // Saving writes the text as shown, edit included (its encoding is a
        // core test); the print button prints into a PDF file (tst_print_text).
        w.result()->setPlainText(u"first\nsecond"_s);
        w.ui.files.enqueue(w.file(u"out.txt"_s));
        QTest::mouseClick(w.button(3), Qt::LeftButton);
        QCOMPARE(readFile(w.file(u"out.txt"_s)), QByteArray("first\r\nsecond\r\n"));
        w.ui.printAnswer = PrintChoice{1, 0, 0, true, w.file(u"list.pdf"_s)};
        QTest::mouseClick(w.button(4), Qt::LeftButton);
        QVERIFY(readFile(w.file(u"list.pdf"_s)).startsWith("%PDF"));
        // "結果の消去" empties the result box; the hits stay.
        w.action("mnuRZ")->trigger();
        QCOMPARE(w.shown(), QString());
        QCOMPARE(w.window->model().engine().HitCount, 2);
    }
};

QTEST_MAIN(TestSearchWindow)
#include "tst_search_window.moc"
