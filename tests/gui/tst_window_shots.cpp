// Every window paints its controls: a grab of the bank window in its three
// modes, the version, progress and search windows and the record card in
// each style and three font sizes (over the sample bank) is the window's size
// and not one plain colour. With TZ_SHOTS_DIR set the grabs are saved there
// as PNG files for a look by eye.

#include "core/bank/sample_bank.h"
#include "gui/widgets/progress_window.h"
#include "gui/widgets/version_window.h"
#include "support/program.h"

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace tz;

namespace {

int colourCount(const QImage &image)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            seen.insert(image.pixel(x, y));
    return int(seen.size());
}

void check(QWidget *w, const QString &name)
{
    w->show();
    QApplication::processEvents();
    const QImage image = w->grab().toImage();
    QCOMPARE(image.size(), w->size() * image.devicePixelRatio());
    QVERIFY2(colourCount(image) > 8, qPrintable(name));
    const QString dir = qEnvironmentVariable("TZ_SHOTS_DIR");
    if (!dir.isEmpty())
        QVERIFY(image.save(dir + QLatin1Char('/') + name + QStringLiteral(".png")));
}

} // namespace

class TestWindowShots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowsPaint()
    {
        testing::Program program;
        const QString root = program.root();
        SampleSource source;
        QStringList errors;
        QVERIFY2(ReadSampleSource(QStringLiteral(TZ_SOURCE_DATA "/sample"), QDate(2024, 1, 2), source, errors),
                 qPrintable(errors.join(u'\n')));
        QVERIFY(WriteSampleBank(source, root + QStringLiteral("sample.bnk/"), nullptr));
        program.start();
        BankWindow &bank = program.bank();
        CardWindow &card = program.card();
        SearchWindow &search = program.search();
        for (BankMode mode : {BankMode::Open, BankMode::New, BankMode::Duplicate}) {
            bank.BankView(mode);
            check(&bank, QStringLiteral("bank_mode%1").arg(int(mode)));
        }
        check(&program.app->versionWindow(), QStringLiteral("version"));
        ProgressWindow progress;
        check(&progress, QStringLiteral("progress"));

        search.SearchSet(KindFreeKeyword);
        search.findChild<QLineEdit *>(QStringLiteral("BoxKeys"))->setText(QStringLiteral("the of"));
        search.SearD_click(SearOr);
        QVERIFY(search.model().hitCount() > 0);
        check(&search, QStringLiteral("search"));

        // The card in each style, in the smallest, a middle and the largest font
        // size: everything fits the fixed height.
        for (int style = 1; style <= 4; ++style) {
            int n = 1;
            while (n <= int(source.records.size()) && source.records[n - 1].record.Style != style)
                ++n;
            QVERIFY(card.card().goTo(n));
            card.refresh();
            for (int size : {0, 4, 5}) {
                card.findChild<QAction *>(QStringLiteral("fontz_%1").arg(size))->trigger();
                check(&card, QStringLiteral("card_style%1_size%2").arg(style).arg(size));
                auto *quit = card.findChild<QPushButton *>(QStringLiteral("CommandQuit"));
                QVERIFY(quit->mapTo(&card, QPoint(0, quit->height())).y() <= card.height());
                auto *doi = card.findChild<QWidget *>(QStringLiteral("EditRecBox_15"));
                QVERIFY(doi->mapTo(&card, QPoint(0, doi->height())).y() < quit->mapTo(&card, QPoint(0, 0)).y());
            }
        }
    }
};

QTEST_MAIN(TestWindowShots)
#include "tst_window_shots.moc"
