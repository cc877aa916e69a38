// Every window paints its controls: a grab of the bank window in its three
// modes, the version, progress and search windows, the JP code editor in each
// category, the form editor with its preview and the record card in each style
// and three font sizes (over the sample bank) is the window's size and not one
// plain colour. With TZ_SHOTS_DIR set the grabs are saved there as PNG files
// for a look by eye.

#include "core/bank/sample_bank.h"
#include "gui/formedit/form_editor_window.h"
#include "gui/jpcode/jp_editor_window.h"
#include "gui/widgets/progress_window.h"
#include "gui/widgets/version_window.h"
#include "support/program.h"

#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;

namespace {

// The window shown and grabbed: its size, and more than a few colours.
void check(QWidget *w, const QString &name)
{
    w->show();
    QApplication::processEvents();
    const QImage image = w->grab().toImage();
    QCOMPARE(image.size(), w->size() * image.devicePixelRatio());
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            seen.insert(image.pixel(x, y));
    QVERIFY2(seen.size() > 8, qPrintable(name));
    if (const QString dir = qEnvironmentVariable("TZ_SHOTS_DIR"); !dir.isEmpty())
        QVERIFY(image.save(dir + u'/' + name + u".png"_s));
}

} // namespace

class TestWindowShots : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowsPaint()
    {
        testing::Program program;
        SampleSource source;
        QStringList errors;
        QVERIFY2(ReadSampleSource(QStringLiteral(TZ_SOURCE_DATA "/sample"), QDate(2024, 1, 2), source, errors),
                 qPrintable(errors.join(u'\n')));
        QVERIFY(WriteSampleBank(source, program.root() + u"sample.bnk/"_s, nullptr));
        program.start();
        for (BankMode mode : {BankMode::Open, BankMode::New, BankMode::Duplicate}) {
            program.bank().BankView(mode);
            check(&program.bank(), u"bank_mode%1"_s.arg(int(mode)));
        }
        check(&program.app->versionWindow(), u"version"_s);
        ProgressWindow progress;
        check(&progress, u"progress"_s);
        SearchWindow &search = program.search();
        search.SearchSet(KindFreeKeyword);
        search.findChild<QLineEdit *>(u"BoxKeys"_s)->setText(u"the of"_s);
        search.SearD_click(SearOr);
        QVERIFY(search.model().hitCount() > 0);
        check(&search, u"search"_s);
        program.trigger(program.card(), "mnuOJ");
        for (int k = 0; k < 4; ++k) {
            program.trigger(program.app->jpEditor(), (QByteArray("mnuFC") + "TJPE"[k]).constData());
            check(&program.app->jpEditor(), u"jp_editor_%1"_s.arg(k));
        }
        // The form editor, its preview on records among those hits.
        program.trigger(program.card(), "mnuOR");
        check(&program.app->formEditor(), u"form_editor"_s);

        // The card in each style, in the smallest, a middle and the largest font
        // size: everything fits the fixed height.
        CardWindow &card = program.card();
        auto *quit = card.findChild<QPushButton *>(u"CommandQuit"_s);
        auto *doi = card.findChild<QWidget *>(u"EditRecBox_15"_s);
        for (int style = 1; style <= 4; ++style) {
            const auto &all = source.records;
            const auto first = std::find_if(all.begin(), all.end(), [&](auto &e) { return e.record.Style == style; });
            QVERIFY(card.card().goTo(int(first - all.begin()) + 1));
            card.refresh();
            for (int size : {0, 4, 5}) {
                card.findChild<QAction *>(u"fontz_%1"_s.arg(size))->trigger();
                check(&card, u"card_style%1_size%2"_s.arg(style).arg(size));
                QVERIFY(quit->mapTo(&card, QPoint(0, quit->height())).y() <= card.height());
                QVERIFY(doi->mapTo(&card, QPoint(0, doi->height())).y() < quit->mapTo(&card, QPoint(0, 0)).y());
            }
        }
    }
};

QTEST_MAIN(TestWindowShots)
#include "tst_window_shots.moc"
