#pragma once
// The program on a bank "mybank" of five journal articles, shown on the card,
// the card window made active; its boxes, buttons and menu items by name.

#include "core/store/link_table.h"
#include "support/program.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <functional>

namespace tz::testing {

struct Card : Program
{
    QList<CardSearchRequest> searches; // asked of the search window
    QList<int> opened;                 // kinds the search menu opened
    CardWindow *window = nullptr;

    // `prepare` changes the bank's files before the program starts.
    explicit Card(const std::function<void(const QString &bank)> &prepare = {})
    {
        const QString bank = makeBank(QStringLiteral("mybank"), {}, 5);
        if (prepare)
            prepare(bank);
        writeSettings(QStringLiteral("mybank"));
        window = &start().card();
        window->card().setToday(kToday);
        QObject::connect(&window->card(), &CardModel::searchRequested,
                         [this](const CardSearchRequest &r) { searches.append(r); });
        QObject::connect(window, &CardWindow::searchKindRequested, [this](int kind) { opened.append(kind); });
        activate(window);
    }
    QString bankPath() { return session().BankPath(); }
    QByteArray recordFile() { return readFile(bankPath() + QStringLiteral("record.tzd")); }
    Record stored(int n) { return StoredRecord(bankPath(), n); }
    template <typename T = QWidget> T *control(const QString &name) const { return Program::control<T>(*window, name); }
    QWidget *box(CardBox b) const { return control(QStringLiteral("EditRecBox_%1").arg(Index(b))); }
    QString boxText(CardBox b) const // as the box shows it
    {
        auto *e = qobject_cast<QPlainTextEdit *>(box(b));
        return e ? e->toPlainText() : static_cast<QLineEdit *>(box(b))->text();
    }
    QLineEdit *recNum() const { return control<QLineEdit>(QStringLiteral("RecNumBox")); }
    // Types into the record-number box over what it shows, then Enter.
    void enterRecNum(const QString &typed, bool enter = true) const
    {
        recNum()->setFocus();
        recNum()->selectAll();
        QTest::keyClicks(recNum(), typed);
        if (enter)
            QTest::keyClick(recNum(), Qt::Key_Return);
    }
    void focus(CardBox b) const
    {
        box(b)->setFocus();
        QCoreApplication::processEvents();
    }
    void click(const char *button) const { control<QPushButton>(QString::fromLatin1(button))->click(); }
    void trigger(const char *item) const { control<QAction>(QString::fromLatin1(item))->trigger(); }
};

} // namespace tz::testing
