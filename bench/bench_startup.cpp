// Start-up of the program up to the visible record card, with a bank of
// 32,767 records opened at once (AutoOpen 1): splash, settings, forms and
// scripts, bank-path log, record count, URL/DOI and JP code tables. Each
// figure is the median of 7 rounds in elapsed time, next to reading the
// whole record file once as the measure of the disk.

#include "app/bank_files.h"
#include "app/bank_window.h"
#include "app/qt_user_interface_gui.h"
#include "app/session.h"
#include "app/version_window.h"
#include "card/card_window.h"
#include "store/record.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRecords = 32767;
constexpr int kRounds = 7;

bool writeBank(const QString &bankPath)
{
    if (!tz::CreateBank(bankPath, QDate(2024, 1, 2), nullptr))
        return false;
    QByteArray all;
    all.reserve(qsizetype(kRecords) * tz::kRecordSize);
    tz::Record r;
    for (int i = 1; i <= kRecords; ++i) {
        r.Style = qint16(1 + i % 4);
        r.Memo = QStringLiteral("memo %1").arg(i);
        r.Author = QStringLiteral("Smith_J, Jones_A_B, Nakamura_T");
        r.Title = QStringLiteral("A study of tessellated surfaces, part %1").arg(i);
        r.JPcode = qint16(i % 50);
        r.Volume = QString::number(i % 120);
        r.Page1 = QString::number(i % 900 + 1);
        r.Page2 = QString::number(i % 900 + 12);
        r.Year = qint16(1950 + i % 70);
        r.Keyword = QStringLiteral("geometry; tiling");
        r.RegDate = 45000.0 + i % 1000;
        all += tz::EncodeRecord(r);
    }
    QFile f(bankPath + QStringLiteral("/record.tzd"));
    return f.open(QIODevice::WriteOnly) && f.write(all) == all.size();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    if (!writeBank(root + QStringLiteral("sample.bnk")) ||
        !QFile::copy(QStringLiteral(TZ_BENCH_DATA "/form.cfx"), root + QStringLiteral("form.cfx")) ||
        !QFile::copy(QStringLiteral(TZ_BENCH_DATA "/script.cfx"), root + QStringLiteral("script.cfx"))) {
        std::fprintf(stderr, "bench_startup: cannot write the bank in %s\n", qPrintable(root));
        return 1;
    }

    std::vector<double> startMs;
    std::vector<double> readMs;
    int shownCount = 0;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer read;
        read.start();
        QFile f(root + QStringLiteral("sample.bnk/record.tzd"));
        if (f.open(QIODevice::ReadOnly))
            (void)f.readAll();
        readMs.push_back(read.nsecsElapsed() / 1e6);

        QElapsedTimer t;
        t.start();
        {
            tz::QtUserInterface ui;
            tz::Session session(ui, root);
            tz::VersionWindow splash;
            splash.show();
            QApplication::processEvents();
            tz::CardWindow card(session);
            tz::BankWindow bank(session, card);
            card.setOnShown([&splash] { splash.hide(); });
            bank.StartUp();
            QApplication::processEvents();
            startMs.push_back(t.nsecsElapsed() / 1e6);
            shownCount = card.isVisible() ? card.recCount() : -1;
        }
    }
    const double start = median(startMs);
    const double read = median(readMs);
    std::printf("bench_startup: %d records shown: start-up to the visible card %.1f ms (median of %d), "
                "reading the record file %.1f ms, ratio %.3f\n",
                shownCount, start, kRounds, read, read > 0 ? start / read : 0.0);
    return shownCount == kRecords && start < 500.0 ? 0 : 1;
}
