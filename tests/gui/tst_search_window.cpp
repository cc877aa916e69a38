// The search window driven through its control names and menu items: kinds
// and the key box, the menus that search at once, the AND preference, the
// similar check that finds nothing, the result menu, saving and printing.
#include "gui/search/search_window.h"
#include "support/search_fixture.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QtTest>

using namespace tz;

namespace {

struct Window : SearchFixture
{
    std::unique_ptr<SearchWindow> window;

    Window() { window = std::make_unique<SearchWindow>(*session); }
    template <typename T = QWidget> T *control(const QString &name) const
    {
        T *w = window->findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QAction *action(const char *name) const { return control<QAction>(QString::fromLatin1(name)); }
    QPushButton *button(int i) const { return control<QPushButton>(QStringLiteral("SearD_%1").arg(i)); }
    QLineEdit *keys() const { return control<QLineEdit>(QStringLiteral("BoxKeys")); }
    QPlainTextEdit *result() const { return control<QPlainTextEdit>(QStringLiteral("BoxResult")); }
    void activate() const
    {
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the search window did not become active");
    }
    void type(const QString &text) const
    {
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
        QVERIFY(!w.window->isVisible());
        // A kind from the menu shows the window and empties the key box.
        w.action("mnuSF")->trigger();
        QVERIFY(w.window->isVisible());
        w.activate();
        w.type(QStringLiteral("telomere"));
        w.action("mnuSY")->trigger();
        QCOMPARE(w.keys()->text(), QString());
        QCOMPARE(w.keys()->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xFF));
        QVERIFY(w.button(7)->isHidden());
        // F5 still runs the AND branch with Year.
        w.type(QStringLiteral("1992"));
        QTest::keyClick(w.window.get(), Qt::Key_F5);
        QVERIFY(w.window->model().engine().AndMode);
        QVERIFY(w.result()->toPlainText().contains(QStringLiteral("total  1 hits")));
    }

    void blankAndDoubleStartAtOnce()
    {
        for (const char *item : {"mnuSB", "mnuSD"}) {
            Window w;
            w.action(item)->trigger();
            QVERIFY(w.window->isVisible());
            QVERIFY(w.result()->toPlainText().contains(QStringLiteral("total")));
            QVERIFY(w.button(7)->isHidden());
            QCOMPARE(w.keys()->palette().color(QPalette::Base), QColor(0xE0, 0xE0, 0xE0));
        }
    }

    void similarCheckWithNothingSimilarStaysHidden()
    {
        Window w;
        w.window->runCardRequest({KindSimilarAuto, QStringLiteral("Similar Record"), QStringLiteral("3")});
        QVERIFY(!w.window->isVisible());
        QCOMPARE(w.result()->toPlainText(), QString());
        w.window->runCardRequest({KindCurrent, QStringLiteral("Current record"), QStringLiteral("3")});
        QVERIFY(w.window->isVisible());
        QCOMPARE(w.control<QComboBox>(QStringLiteral("ComboItem"))->placeholderText(),
                 QStringLiteral("Current record"));
        QCOMPARE(w.keys()->text(), QStringLiteral("3"));
        QVERIFY(w.result()->toPlainText().contains(QStringLiteral("Title 3.")));
    }

    void emptyKeyAndThePreference()
    {
        Window w;
        w.window->SearchSet(KindFreeKeyword);
        w.activate();
        QTest::mouseClick(w.button(5), Qt::LeftButton); // Close with an empty key: nothing
        QVERIFY(w.window->isVisible());
        QTest::mouseClick(w.button(1), Qt::LeftButton);
        QCOMPARE(w.result()->toPlainText(), QString());

        // OR preferred at start; the menu item makes AND the default.
        QVERIFY(w.button(1)->isDefault());
        QCOMPARE(w.button(1)->palette().color(QPalette::Button), QColor(0xC0, 0xFF, 0xC0));
        QCOMPARE(w.button(7)->palette().color(QPalette::Button), QColor(0xFF, 0xC0, 0x80));
        w.action("mnuON")->trigger();
        QVERIFY(w.action("mnuON")->isChecked());
        QVERIFY(w.button(7)->isDefault());
        QCOMPARE(w.button(7)->palette().color(QPalette::Button), QColor(0xC0, 0xFF, 0xC0));
        QCOMPARE(w.button(1)->palette().color(QPalette::Button), QColor(0xFF, 0xC0, 0x80));
        // Enter in the key box presses it and the focus stays.
        w.type(QStringLiteral("telomere Title"));
        QTest::keyClick(w.keys(), Qt::Key_Return);
        QVERIFY(w.window->model().engine().AndMode);
        QVERIFY(w.result()->toPlainText().contains(QStringLiteral("total  0 hits")));
        QVERIFY(w.keys()->hasFocus());
        // The close box hides the window and stores its size.
        w.window->close();
        QVERIFY(!w.window->isVisible());
        QCOMPARE(w.session->settings.SearchPos.width, float(w.window->width() * 15));
    }

    void resultMenuAndSaving()
    {
        Window w;
        w.window->SearchSet(KindFreeKeyword);
        w.activate();
        w.type(QStringLiteral("telomere"));
        QTest::mouseClick(w.button(1), Qt::LeftButton);
        const QString rendered = w.result()->toPlainText();
        QVERIFY(rendered.contains(QStringLiteral("total  2 hits")));

        // Typing into the result, then Ctrl+Z: the rendered list again.
        w.result()->setFocus();
        w.result()->moveCursor(QTextCursor::End);
        QTest::keyClicks(w.result(), QStringLiteral("typed"));
        QVERIFY(w.result()->toPlainText().endsWith(QStringLiteral("typed")));
        QTest::keyClick(w.result(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.result()->toPlainText(), rendered);

        // Copy with the focus in the key box copies from the key box.
        w.keys()->setFocus();
        w.keys()->setSelection(0, 4);
        w.action("mnuRC")->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("telo"));

        // Saving writes the text as shown, edit included, and one CR LF.
        w.result()->setPlainText(QStringLiteral("first\nsecond 文献"));
        const QString path = w.file(QStringLiteral("out.txt"));
        w.ui.files.enqueue(path);
        QTest::mouseClick(w.button(3), Qt::LeftButton);
        QCOMPARE(readFile(path), QByteArray("first\r\nsecond \x95\xb6\x8c\xa3\r\n"));

        // The print button prints through the dialog into a PDF file, with its title and page number.
        const QString pdf = w.file(QStringLiteral("list.pdf"));
        w.ui.printAnswer = PrintChoice{1, 0, 0, true, pdf};
        QTest::mouseClick(w.button(4), Qt::LeftButton);
        QCOMPARE(w.ui.printDialogs, 1);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains(QStringLiteral("Search Result   (1)")), qPrintable(printed));
        QVERIFY(printed.contains(QStringLiteral("second 文献")));

        // "結果の消去" empties the result box; the hits stay.
        w.action("mnuRZ")->trigger();
        QCOMPARE(w.result()->toPlainText(), QString());
        QCOMPARE(w.window->model().engine().HitCount, 2);
    }
};

QTEST_MAIN(TestSearchWindow)
#include "tst_search_window.moc"
