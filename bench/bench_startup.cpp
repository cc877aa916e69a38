// Start-up of the program up to the visible record card, with a bank of
// 32,767 records opened at once (AutoOpen 1): splash, settings, forms and
// scripts, bank-path log, record count, URL/DOI and JP code tables, the
// search window. The figure is the median elapsed time of 7 rounds, next to
// reading the whole record file once as the measure of the disk.

#include "gui/application.h"
#include "gui/card/card_window.h"
#include "support/bank_generator.h"
#include "support/program.h"
#include "support/timing.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    const bench::GeneratedBank bank = bench::WriteBenchBank(root + QStringLiteral("sample.bnk"));
    if (bank.path.isEmpty() || !tz::bench::WriteProgramFolder(root, QStringLiteral("sample"))) {
        std::fprintf(stderr, "bench_startup: cannot write the bank in %s\n", qPrintable(root));
        return 1;
    }

    const tz::bench::Times read = tz::bench::median([&] {
        QFile f(root + QStringLiteral("sample.bnk/record.tzd"));
        if (f.open(QIODevice::ReadOnly))
            (void)f.readAll();
    });
    int shownCount = 0;
    const tz::bench::Times start = tz::bench::median([&] {
        tz::bench::SilentUserInterface ui;
        tz::Application program(ui, root);
        program.start();
        QApplication::processEvents();
        shownCount = program.card().isVisible() ? program.card().card().recCount() : -1;
    });
    std::printf("bench_startup: %d records shown: start-up to the visible card %.1f ms (median of 7), "
                "reading the record file %.1f ms, ratio %.3f\n",
                shownCount, start.wall, read.wall, read.wall > 0 ? start.wall / read.wall : 0.0);
    return shownCount == bank.records && start.wall < 500.0 ? 0 : 1;
}
