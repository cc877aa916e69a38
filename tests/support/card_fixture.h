#pragma once
// The program on a bank "mybank" of five journal articles, shown on the card,
// the card window made active; its boxes, buttons and menu items by name.

#include "core/store/link_table.h"
#include "support/program.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tz::testing {

inline const QDate kToday(2026, 12, 6);

// The program on a bank "mybank" of five journal articles, shown on the card.
struct Card : Program
{
    QList<CardSearchRequest> searches; // asked of the search window
    QList<int> opened;                 // kinds the search menu opened
    CardWindow *window = nullptr;

    Card()
    {
        makeJournalBank(QStringLiteral("mybank"), 5);
        writeSettings(QStringLiteral("mybank"));
        start();
        window = &card();
        window->card().setToday(kToday);
        QObject::connect(&window->card(), &CardModel::searchRequested,
                         [this](const CardSearchRequest &r) { searches.append(r); });
        QObject::connect(window, &CardWindow::searchKindRequested, [this](int kind) { opened.append(kind); });
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window))
            qWarning("the card did not become active");
    }
    QString bankPath() { return session().BankPath(); }
    template <typename T = QWidget> T *control(const QString &name) const { return Program::control<T>(*window, name); }
    QWidget *box(CardBox b) const { return control(QStringLiteral("EditRecBox_%1").arg(Index(b))); }
    QString boxText(CardBox i) const
    {
        if (auto *e = qobject_cast<QPlainTextEdit *>(box(i)))
            return e->toPlainText();
        return static_cast<QLineEdit *>(box(i))->text();
    }
    QLineEdit *recNum() const { return control<QLineEdit>(QStringLiteral("RecNumBox")); }
    void focus(CardBox i) const
    {
        box(i)->setFocus();
        QCoreApplication::processEvents();
    }
    void click(const char *button) const { control<QPushButton>(QString::fromLatin1(button))->click(); }
    void trigger(const char *item) const { control<QAction>(QString::fromLatin1(item))->trigger(); }
    const BoxFlags &marks() const { return window->card().boxChanged(); }
};

} // namespace tz::testing
