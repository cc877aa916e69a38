// Moving between records on the card of a full bank: the next-record command
// from the middle of a 32,767-record bank, with the window brought up to date
// and its events run, without and with an edited record to write first. Each
// figure is the median elapsed time of 51 moves.

#include "gui/application.h"
#include "gui/card/card_window.h"
#include "support/bank_generator.h"
#include "support/program.h"
#include "support/timing.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    const bench::GeneratedBank bank = bench::WriteBenchBank(root + QStringLiteral("full.bnk"));
    if (bank.path.isEmpty() || !tz::bench::WriteProgramFolder(root, QStringLiteral("full"))) {
        std::fprintf(stderr, "cannot write the bank\n");
        return 1;
    }
    tz::bench::SilentUserInterface ui;
    tz::Application program(ui, root);
    program.start();
    tz::CardWindow &card = program.card();
    QApplication::processEvents();
    QAction *next = card.findChild<QAction *>(QStringLiteral("mnuRF"));
    auto *memo = card.findChild<QLineEdit *>(QStringLiteral("EditRecBox_1"));
    constexpr int kRounds = 51;

    card.card().goTo(bank.records / 2);
    const tz::bench::Times plain = tz::bench::median(
        [&] {
            next->trigger();
            QApplication::processEvents();
        },
        true, kRounds);
    const tz::bench::Times edited = tz::bench::median(
        [&] {
            card.card().setBoxText(tz::CardBox::Memo, QStringLiteral("edited"));
            card.card().leaveBox(tz::CardBox::Memo);
            next->trigger();
            QApplication::processEvents();
        },
        true, kRounds);
    std::printf("records: %d (now on %d, memo \"%s\")\n", card.card().recCount(), card.card().curRec(),
                qPrintable(memo->text()));
    std::printf("| figure | ms elapsed | ms processor | target |\n|---|---|---|---|\n");
    std::printf("| next record | %.2f | %.2f | < 20 |\n", plain.wall, plain.cpu);
    std::printf("| next record after an edit (record written) | %.2f | %.2f | < 20 |\n", edited.wall, edited.cpu);
    return plain.wall < 20 && edited.wall < 20 ? 0 : 1;
}
