// The search window's behaviour without widgets: kinds and the key box, the
// buttons an empty key blocks, the AND preference, the searches the card
// starts, a cancelled search, rendering with the chosen form and script, and
// saving the result list.
#include "search/result_file.h"
#include "search/search_model.h"
#include "search_fixture.h"

#include <QtTest>

using namespace tz;

class TestSearchModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kindsSetTheKeyBox()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        for (int kind = 0; kind <= 8; ++kind) {
            m.setKeyText(QStringLiteral("left over"));
            const SearchAction a = m.SearchSet(kind);
            QVERIFY(a.focusKeys);
            QCOMPARE(m.keyText(), QString());
            QCOMPARE(m.kindText(), SearchModel::kindNames().at(kind));
            QCOMPARE(m.andVisible(), kind <= 3);
            QCOMPARE(m.keyBoxColour(), kind > 6 ? kKeyBoxGrey : kKeyBoxWhite);
            if (kind <= 3)
                QCOMPARE(m.keyInput(), KeyInput::Latin);
            else if (kind <= 6)
                QCOMPARE(m.keyInput(), KeyInput::Disabled);
        }
        // Blank and double-booked keep the input mode they found.
        QCOMPARE(m.keyInput(), KeyInput::Disabled);
    }

    void anEmptyKeyBlocksEveryButton()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        m.SearchSet(KindFreeKeyword);
        m.setKeyText(QStringLiteral("telomere"));
        m.SearD_click(SearOr);
        const QString shown = m.resultText();
        QVERIFY(shown.contains(QStringLiteral("total  2 hits")));
        m.setKeyText(QString());
        for (int b = 0; b <= 8; ++b) {
            const SearchAction a = m.SearD_click(b);
            QVERIFY(!a.show && !a.hide && !a.print);
        }
        QCOMPARE(m.resultText(), shown);
        QVERIFY(f.ui.messages.isEmpty()); // no save dialog either
        // A blank key does not block; the kinds without a key are never blocked.
        m.setKeyText(QStringLiteral(" "));
        QVERIFY(m.SearD_click(SearClose).hide);
        m.SearchSet(KindBlank);
        QVERIFY(m.SearD_click(SearClose).hide);
    }

    void searchesRenderWithTheChosenFormAndScript()
    {
        SearchFixture f(6, 5);
        f.session->settings.CurScript = 1;
        SearchModel m(*f.session);
        m.SearchSet(KindBlank);
        const SearchAction a = m.SearD_click(SearOr);
        QVERIFY(a.show);
        QCOMPARE(m.hitCount(), 1);
        QVERIFY(m.resultText().contains(QStringLiteral("total  1 hits")));
        QVERIFY(m.resultText().contains(QStringLiteral("\r\n")));
        QCOMPARE(f.ui.tones.size(), 1); // signal 3 for the rendering
        // Another script: "List" renders again and the choice becomes CurScript.
        m.setScriptIndex(1);
        m.SearD_click(SearList);
        QCOMPARE(f.session->settings.CurScript, 2);
        QVERIFY(m.resultText().startsWith(f.session->scripts.script(2).header));
        // Reset goes back to the first script.
        m.SearD_click(SearReset);
        QCOMPARE(m.scriptIndex(), 0);
        QCOMPARE(f.session->settings.CurScript, 1);
        // The year kind's AND button runs the year search all the same.
        m.SearchSet(KindYear);
        m.setKeyText(QStringLiteral("1993"));
        m.SearD_click(SearAnd);
        QCOMPARE(f.session->search.AndMode, 1);
        QCOMPARE(m.hitCount(), 1);
        QCOMPARE(f.session->search.HitList[1], qint16(3));
        // Every progress window that opened was closed.
        QVERIFY(f.ui.progressOpens > 0);
        QCOMPARE(f.ui.progressCloses, f.ui.progressOpens);
        // Another bank: the record numbers found in this one are gone.
        m.bankChanged();
        QCOMPARE(m.hitCount(), 0);
        m.SearD_click(SearList);
        QVERIFY(m.resultText().contains(QStringLiteral("total  0 hits")));
    }

    void andPreferenceFollowsItsMenuItemOnly()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        QCOMPARE(m.defaultButton(), int(SearOr));
        QCOMPARE(m.buttonColour(SearOr), kPreferredColour);
        QCOMPARE(m.buttonColour(SearAnd), kOtherColour);
        m.setCheckMode(CheckAndPreferred, true); // the box alone
        QCOMPARE(m.defaultButton(), int(SearOr));
        m.toggleCheckMode(CheckAndPreferred); // the menu: off again, applied
        QVERIFY(!m.checkMode(CheckAndPreferred));
        QCOMPARE(m.defaultButton(), int(SearOr));
        m.toggleCheckMode(CheckAndPreferred);
        QCOMPARE(m.defaultButton(), int(SearAnd));
        QCOMPARE(m.buttonColour(SearAnd), kPreferredColour);
        QCOMPARE(m.buttonColour(SearOr), kOtherColour);
        // The "for" buttons are the Additional mode.
        m.setForCurrentRecords(true);
        QCOMPARE(f.session->search.CheckMode[CheckAdditional], 1);
        m.toggleCheckMode(CheckAdditional);
        QVERIFY(!m.forCurrentRecords());
    }

    void cardRequests()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        m.setKeyText(QStringLiteral("kept"));
        // The automatic check finds nothing similar to record 1: nothing shows.
        SearchAction a = m.runCardRequest({KindSimilarAuto, QStringLiteral("Similar Record"), QStringLiteral("1")});
        QVERIFY(!a.show);
        QCOMPARE(m.hitCount(), 0);
        QCOMPARE(m.resultText(), QString());
        QCOMPARE(m.keyText(), QStringLiteral("kept"));
        QCOMPARE(m.kindText(), QStringLiteral("Similar Record"));
        // Linked records: the numbers go to the key box, in the order given.
        a = m.runCardRequest({KindLinked, QStringLiteral("Linked record"), QStringLiteral("4, 2")});
        QVERIFY(a.show);
        QCOMPARE(m.keyText(), QStringLiteral("4, 2"));
        QCOMPARE(m.hitCount(), 2);
        QCOMPARE(m.keyInput(), KeyInput::Disabled);
        QVERIFY(m.resultText().contains(QStringLiteral("telomere 4")));
    }

    void aCancelledSearchKeepsTheEarlierList()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        m.SearchSet(KindFreeKeyword);
        m.setKeyText(QStringLiteral("telomere"));
        m.SearD_click(SearOr);
        const QList<qint16> hits = f.session->search.hits();
        const int version = m.resultVersion();
        const QString shown = m.resultText();
        bool pressed = false; // Cancel, pressed once
        f.ui.duringEvents = [&] {
            if (f.ui.progressShown && !pressed) {
                pressed = true;
                f.ui.cancel();
            }
        };
        m.setKeyText(QStringLiteral("Title"));
        QVERIFY(m.SearD_click(SearOr).show);
        QCOMPARE(m.resultVersion(), version);
        QCOMPARE(m.resultText(), shown);
        QCOMPARE(f.session->search.hits(), hits); // count and entries
        QCOMPARE(f.session->search.CancelFlag, 0);
        QVERIFY(!f.ui.progressShown);

        // Cancelled after two new hits were stored: the earlier list comes back whole.
        f.session->search.progress = [&](int mode, int pos, int) {
            if (mode == 2 && pos == 5)
                f.session->search.CancelFlag = 1;
        };
        m.SearD_click(SearOr);
        QCOMPARE(f.session->search.hits(), hits);
        m.SearD_click(SearList);
        QCOMPARE(m.resultText(), shown);
    }

    void saving()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        const QString path = f.file(QStringLiteral("list.txt"));
        // Cancelled dialog, then cancelled confirmation: nothing written.
        m.setResultText(QStringLiteral("a"));
        m.saveResult();
        QCOMPARE(f.ui.saveFilters, kSaveFilters);
        QCOMPARE(f.ui.saveFilter, 1);
        f.ui.files.enqueue(path);
        f.ui.answers = {MsgAnswer::Cancel};
        m.saveResult();
        QCOMPARE(f.ui.messages.last().text, path + QStringLiteral("として保存します。"));
        QVERIFY(!QFile::exists(path));

        // The text as the box holds it ("\n" lines, an edit), one CR LF more, code page 932.
        m.setResultText(QStringLiteral("文献 1\nline 2\r\nend"));
        f.ui.files.enqueue(path);
        m.saveResult();
        QCOMPARE(readFile(path), QByteArray("\x95\xb6\x8c\xa3 1\r\nline 2\r\nend\r\n"));

        // A character code page 932 cannot hold is named before anything is
        // written; Cancel keeps the old file, OK writes UTF-8.
        m.setResultText(QStringLiteral("Ω ok ☃ and ☃\n"));
        f.ui.files.enqueue(path);
        f.ui.answers = {MsgAnswer::Ok, MsgAnswer::Cancel};
        m.saveResult();
        QVERIFY(f.ui.messages.last().text.contains(QStringLiteral("「☃」")));
        QCOMPARE(f.ui.messages.last().icon, MsgIcon::Question);
        QCOMPARE(readFile(path), QByteArray("\x95\xb6\x8c\xa3 1\r\nline 2\r\nend\r\n"));
        f.ui.files.enqueue(path);
        m.saveResult();
        QCOMPARE(readFile(path), QStringLiteral("Ω ok ☃ and ☃\r\n\r\n").toUtf8());
        QCOMPARE(UnencodableChars(QStringLiteral("a😀bΩ😀☃")), QStringList({QStringLiteral("😀"), QStringLiteral("☃")}));

        // A folder that does not exist: the error names the file.
        m.setResultText(QStringLiteral("x"));
        const QString bad = f.file(QStringLiteral("no/such/list.txt"));
        f.ui.files.enqueue(bad);
        m.saveResult();
        QCOMPARE(f.ui.messages.last().icon, MsgIcon::Error);
        QVERIFY(f.ui.messages.last().text.contains(QStringLiteral("list.txt")));
    }
};

QTEST_GUILESS_MAIN(TestSearchModel)
#include "tst_search_model.moc"
