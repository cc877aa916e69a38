// The search window's behaviour without widgets: kinds and the key box, the
// buttons an empty key blocks, a cancelled search,
// rendering with the chosen script, and saving. (The window itself, another
// bank and a cancelled search of a whole bank are tested under gui/.)
#include "core/search/result_file.h"
#include "core/search/search_model.h"
#include "support/search_fixture.h"

#include <QtTest>

using namespace tz;

class TestSearchModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kindsAndEmptyKey()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        for (int kind = 0; kind <= 6; ++kind) {
            m.setKeyText(QStringLiteral("left over"));
            QVERIFY(m.SearchSet(kind).focusKeys && m.keyText().isEmpty());
            QCOMPARE(m.keyInput(), kind <= 3 ? KeyInput::Latin : KeyInput::Disabled);
        }

        // An empty key blocks every button (no save dialog either); a blank
        // key does not, nor do the kinds without a key.
        m.SearchSet(KindFreeKeyword);
        m.setKeyText(QStringLiteral("telomere"));
        m.SearD_click(SearOr);
        const QString shown = m.resultText();
        m.setKeyText(QString());
        for (int b = 0; b <= 8; ++b) {
            const SearchAction a = m.SearD_click(b);
            QVERIFY(!a.show && !a.hide && !a.print);
        }
        QVERIFY(m.resultText() == shown && f.ui.messages.isEmpty());
        m.setKeyText(QStringLiteral(" "));
        QVERIFY(m.SearD_click(SearClose).hide);
        m.SearchSet(KindBlank);
        QCOMPARE(m.keyInput(), KeyInput::Latin); // kept as the word search left it
        QVERIFY(m.SearD_click(SearClose).hide);

        // The "for" buttons are the Additional mode. (The AND preference is
        // tested on the window, gui/tst_search_window.)
        m.setForCurrentRecords(true);
        QVERIFY(m.engine().CheckMode[CheckAdditional]);
    }

    // "List" renders again in the chosen script, which becomes CurScript;
    // Reset goes back to the first.
    void scripts()
    {
        SearchFixture f(6, 5);
        SearchModel m(*f.session);
        m.SearchSet(KindBlank);
        QVERIFY(m.SearD_click(SearOr).show);
        QVERIFY(m.resultText().contains(QStringLiteral("total  1 hits")) && m.resultText().contains(u"\r\n"));
        m.setScriptIndex(1);
        m.SearD_click(SearList);
        QCOMPARE(f.session->settings.CurScript, 2);
        QVERIFY(m.resultText().startsWith(f.session->scripts.script(2).header));
        m.SearD_click(SearReset);
        QVERIFY(m.scriptIndex() == 0 && f.session->settings.CurScript == 1);
    }

    // Cancelled before or after new hits were stored: the earlier list and
    // its rendering stay whole.
    void aCancelledSearchKeepsTheEarlierList()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        m.SearchSet(KindFreeKeyword);
        m.setKeyText(QStringLiteral("telomere"));
        m.SearD_click(SearOr);
        const QList<qint16> hits = m.engine().hits();
        const int version = m.resultVersion();
        const QString shown = m.resultText();
        f.ui.duringEvents = [&] {
            if (f.ui.progressShown)
                f.ui.cancel();
        };
        m.setKeyText(QStringLiteral("Title"));
        QVERIFY(m.SearD_click(SearOr).show);
        QVERIFY(m.resultVersion() == version && m.resultText() == shown && m.engine().hits() == hits);
        QVERIFY(!m.engine().CancelFlag && !f.ui.progressShown);
        f.ui.duringEvents = nullptr;
        m.engine().progress = [&](ProgressMode mode, int pos, int) {
            m.engine().CancelFlag = mode == ProgressMode::Step && pos == 5;
        };
        m.SearD_click(SearOr);
        QCOMPARE(m.engine().hits(), hits);
        m.SearD_click(SearList);
        QCOMPARE(m.resultText(), shown);
    }

    void saving()
    {
        SearchFixture f;
        SearchModel m(*f.session);
        const QString path = f.file(QStringLiteral("list.txt"));
        const auto save = [&](const QString &text, QList<MsgAnswer> answers = {}) {
            m.setResultText(text);
            f.ui.files.enqueue(path);
            f.ui.answers = answers;
            m.saveResult();
            return readFile(path);
        };
        // Cancelled confirmation: nothing written.
        QCOMPARE(save(QStringLiteral("a"), {MsgAnswer::Cancel}), QByteArray());
        QCOMPARE(f.ui.messages.last().text, path + QStringLiteral("として保存します。"));
        // The text as the box holds it ("\n" lines, an edit), one CR LF more, code page 932.
        const QByteArray cp932("\x95\xb6\x8c\xa3 1\r\nline 2\r\nend\r\n");
        QCOMPARE(save(QStringLiteral("文献 1\nline 2\r\nend")), cp932);
        // A character code page 932 cannot hold is named before anything is
        // written; Cancel keeps the old file, OK writes UTF-8.
        QCOMPARE(save(QStringLiteral("Ω ok ☃ and ☃\n"), {MsgAnswer::Ok, MsgAnswer::Cancel}), cp932);
        QVERIFY(f.ui.messages.last().text.contains(QStringLiteral("「☃」")));
        QCOMPARE(save(QStringLiteral("Ω ok ☃ and ☃\n")), QStringLiteral("Ω ok ☃ and ☃\r\n\r\n").toUtf8());
        QCOMPARE(UnencodableChars(QStringLiteral("a😀bΩ😀☃")), QStringList({QStringLiteral("😀"), QStringLiteral("☃")}));
        // A folder that does not exist: the error names the file.
        f.ui.files.enqueue(f.file(QStringLiteral("no/such/list.txt")));
        m.saveResult();
        QVERIFY(f.ui.messages.last().icon == MsgIcon::Error && f.ui.messages.last().text.contains(u"list.txt"));
    }
};

QTEST_GUILESS_MAIN(TestSearchModel)
#include "tst_search_model.moc"
