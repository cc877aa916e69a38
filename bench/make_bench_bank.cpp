// Writes the benchmarks' full bank (32,767 records) to a folder, for the
// benchmarks that time whole processes (ratios.py), and prints the two rare
// words that fill a list of 200 hits: "WORD1 WORD2" on one line.
//
//   make_bench_bank BANKDIR

#include "support/bank_generator.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString path = app.arguments().value(1);
    if (path.isEmpty()) {
        std::fprintf(stderr, "usage: make_bench_bank BANKDIR\n");
        return 2;
    }
    const bench::GeneratedBank made = bench::WriteBenchBank(path);
    if (made.path.isEmpty()) {
        std::fprintf(stderr, "make_bench_bank: cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%s %s\n", made.rareWord1.toUtf8().constData(), made.rareWord2.toUtf8().constData());
    return 0;
}
