// The record card's behaviour: the field check of each box, then the card on
// real bank folders: moving, saving, styles, the name list and the record
// menu. (The same card driven through its window is tested under gui/.)
#include "core/card/card_model.h"
#include "core/card/record_check.h"
#include "core/session/session.h"
#include "core/store/link_table.h"
#include "support/program_folder.h"
#include "support/test_rows.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

using namespace tz;
using testing::JournalRecord;

namespace {

// "x*80" stands for 80 times "x".
QString expand(const QString &text)
{
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("^(.)\\*(\\d+)$")).match(text);
    return m.hasMatch() ? m.captured(1).repeated(m.captured(2).toInt()) : text;
}

} // namespace

class TestCardModel : public QObject
{
    Q_OBJECT

    testing::ProgramFolder m_home;
    QString m_bank;
    int m_banks = 0;
    std::unique_ptr<testing::FakeUserInterface> m_ui;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<CardModel> m_card;
    QList<CardSearchRequest> m_searches; // the searches the card asked for

    // A new bank of `count` journal articles (and `extra` at its number, the
    // records before it blank).
    void makeBank(int count, const std::optional<std::pair<int, Record>> &extra = {})
    {
        m_bank = m_home.makeBank(QStringLiteral("bank%1").arg(++m_banks), {}, count);
        if (extra && QFile(file("record.tzd")).resize(qint64(extra->first - 1) * kRecordSize))
            RecWrite(m_bank, extra->first, extra->second, true);
    }
    // A card over the bank, with a user interface that has asked nothing yet.
    CardModel &card()
    {
        m_card.reset();
        m_ui = std::make_unique<testing::FakeUserInterface>();
        m_session = std::make_unique<Session>(*m_ui, m_home.dir.path());
        m_card = std::make_unique<CardModel>(*m_session);
        m_searches.clear();
        connect(m_card.get(), &CardModel::searchRequested, this,
                [this](const CardSearchRequest &r) { m_searches << r; });
        m_card->setToday(testing::kToday);
        if (!m_card->openBank(m_bank))
            qWarning("the bank did not open");
        return *m_card;
    }
    CardModel &open(int count, const std::optional<std::pair<int, Record>> &extra = {})
    {
        makeBank(count, extra);
        return card();
    }

    // Types into a box and leaves it.
    static void type(CardModel &card, CardBox box, const QString &text)
    {
        card.setFocusBox(box);
        card.setBoxText(box, text);
        card.leaveBox(box);
    }

    Record stored(int n) const { return testing::StoredRecord(m_bank, n); }
    QString file(const char *name) const { return m_bank + QLatin1String(name); }
    QStringList messages() const { return m_ui->messageTexts(); }

private Q_SLOTS:
    // The field check, box by box, on record 4 of 20 with 200 JP codes, a
    // stored record with title "Old title.", year 1998, JP code 12, last page
    // 145 and registration date 2014/07/26: the box, the text typed, the
    // context (box 9: the first page; box 10: the stored year; box 12: the
    // stored link list), the text after the check, whether the box is marked,
    // and the start of the message.
    void boxes_data()
    {
        // clang-format off
        rows::table({"box", "typed", "context", "expected", "marked", "message"}, {
            {"1", "m*80", "", "m*70", "1", ""}, {"1", "  note  ", "", "note", "1", ""}, {"1", "  ", "", "", "0", ""},
            {"2", "J. R. Smith and C. Brown", "", "J.R.Smith, C.Brown", "1", ""},
            {"3", "A study of X", "", "A study of X.", "1", ""},
            {"3", "研究。", "", "研究。", "1", ""}, {"3", "Old title", "", "Old title.", "0", ""},
            {"3", "t*300", "", "t*280", "1", ""}, {"5", "b*150", "", "b*140", "1", ""}, {"7", "7*25", "", "7*20", "1", ""},
            {"8", "123456789012", "", "1234567890", "1", ""},
            // The style: 1 to 4, anything else 1.
            {"0", "1", "", "1", "0", ""}, {"0", "2", "", "2", "1", ""}, {"0", "7", "", "1", "0", ""},
            {"0", "99999999", "", "1", "0", ""},
            // The JP code: beyond the table or below 1 is 0; no number is told.
            {"6", "", "", "", "0", ""}, {"6", "101", "", "101", "1", ""}, {"6", "12", "", "12", "0", ""},
            {"6", "9999", "", "0", "1", ""}, {"6", "-3", "", "0", "1", ""}, {"6", "101.5", "", "102", "1", ""},
            {"6", "abc", "", "abc", "0", "JPコード"}, {"6", "70000", "", "70000", "0", "JPコード"},
            // The last page completed from the first.
            {"9", "56", "1234", "1256", "1", ""}, {"9", "3", "99", "103", "1", ""}, {"9", "145", "123", "145", "0", ""},
            {"9", "45", "123", "145", "1", ""}, {"9", "5", "1234567890", "5", "1", ""},
            // The year: two digits and one are of this century or the last, a fifth digit is cut.
            {"10", "98", "", "1998", "1", ""}, {"10", "5", "", "2005", "1", ""}, {"10", "1998", "", "1998", "0", ""},
            {"10", "20011", "", "2001", "1", ""}, {"10", "", "", "", "1", ""}, {"10", "  ", "0", "  ", "0", ""},
            {"10", "nineteen", "", "nineteen", "0", "年号"}, {"10", "9e99", "", "9e99", "0", "年号"},
            // The link list: ranges expanded, records out of range and the record itself dropped.
            {"12", "12, 3-6; 30 /9,12", "", "3,5,6,9,12", "1", ""}, {"12", " 3,5 ", "3,5", " 3,5 ", "0", ""},
            {"12", "", "3,5", "", "1", ""},
            {"13", "99/04/28", "", "99/04/28", "1", ""}, {"13", "2014/07/26", "", "2014/07/26", "0", ""},
            {"13", "tomorrow", "", "tomorrow", "0", "登録日"},
        });
        // clang-format on
    }
    void boxes()
    {
        const int box = rows::number("box");
        const QString context = rows::text("context"), expected = expand(rows::text("expected"));
        RecX x;
        x.title = QStringLiteral("Old title.");
        x.year = box == 10 && !context.isEmpty() ? qint16(context.toInt()) : 1998;
        x.JPcode = 12;
        x.page2 = QStringLiteral("145");
        x.regDate = QDate(2014, 7, 26);
        const RecCheckResult r =
            P3RecCheck(BoxAt(box), expand(rows::text("typed")),
                       RecCheckContext{x, box == 12 ? context : QString(), context, 4, 20, 200, 200});
        QCOMPARE(r.text, expected);
        QCOMPARE(r.marked, rows::number("marked") == 1);
        QCOMPARE(r.message.left(rows::text("message").size()), rows::text("message"));
        QCOMPARE(r.message.isEmpty(), rows::text("message").isEmpty());
        if (box == 6)
            QCOMPARE(r.showJPname, r.marked);
        if (box == 12) // the link list follows the box
            QCOMPARE(r.linkText, expected.trimmed());
    }

    // Moving saves the edited record and shows the next one unmarked; there is
    // nothing before the first record. Next on the last record asks first
    // (Cancel is driven through the card window under gui/); the new record
    // is written only when something is typed into it.
    void movingSavesAndClearsMarks()
    {
        CardModel &card = open(5);
        QVERIFY(card.goTo(1));
        card.previous();
        QVERIFY(card.curRec() == 1 && messages().isEmpty() && card.goTo(4));
        type(card, CardBox::Memo, QStringLiteral("edited"));
        card.next();
        QVERIFY(card.curRec() == 5 && stored(4).Memo == QStringLiteral("edited"));
        QCOMPARE(card.boxChanged(), BoxFlags{}); // record 5 is not written for record 4's edit
        m_ui->answers = {MsgAnswer::Ok};
        card.next();
        QVERIFY(messages() == QStringList{kAskNewRecord} && card.curRec() == 6 && card.recCount() == 6);
        QCOMPARE(card.boxText(CardBox::Memo) + card.boxText(CardBox::JPcode), QStringLiteral("12")); // the journal
        QCOMPARE(readFile(file("record.tzd")).size(), 5 * kRecordSize);
    }

    // A save that cannot be written (the record file a folder, vanished, or
    // shrunk below the shown record) never loses the typed record nor makes
    // the file anew: the card stays on it.
    void failedSaveStaysOnRecord()
    {
        for (int breakage : {0, 1, 2}) {
            CardModel &card = open(3);
            if (breakage == 0)
                QVERIFY(QFile::remove(file("record.tzd")) && QDir().mkdir(file("record.tzd")));
            else if (breakage == 1)
                QVERIFY(QDir(m_bank).removeRecursively() && QDir().mkpath(m_bank));
            else
                QVERIFY(writeFile(file("record.tzd"), readFile(file("record.tzd")).left(kRecordSize)));
            type(card, CardBox::Memo, QStringLiteral("unsaved"));
            QVERIFY(!card.save() && !card.goTo(1) && !card.newRecord());
            QVERIFY(card.curRec() == 3 && card.recCount() == 3 && card.boxChanged()[CardBox::Memo]);
            QCOMPARE(card.boxText(CardBox::Memo), QStringLiteral("unsaved"));
            QCOMPARE(messages().size(), 3);
            QCOMPARE(readFile(file("record.tzd")).size(), breakage == 2 ? kRecordSize : 0);
        }
    }

    // Tables that cannot be read when a bank opens are told then; a JP code
    // table not read exactly is written back at the end only when the person agrees.
    void badTablesWhenABankOpens()
    {
        makeBank(0);
        QVERIFY(QFile::remove(file("Link.tzd")) && QDir().mkdir(file("Link.tzd")));
        const QByteArray utf8 = "3d\r\n1-2-3-4\r\nNature\r\n日本の雑誌\r\n\r\n\r\n";
        QVERIFY(writeFile(file("JPcode.tzd"), utf8));
        CardModel &c = card();
        QCOMPARE(messages().size(), 2);
        QVERIFY(messages().join(u' ').contains(u"Link.tzd") && messages().join(u' ').contains(u"JPcode.tzd"));
        m_ui->answers = {MsgAnswer::Cancel};
        QVERIFY(c.close());
        QCOMPARE(messages().size(), 3);
        QCOMPARE(readFile(file("JPcode.tzd")), utf8);
        QVERIFY(c.close());
        QVERIFY(readFile(file("JPcode.tzd")).startsWith("3d\r\n1-2-3-4\r\nNature\r\n"));
    }

    void styles()
    {
        Record five = JournalRecord(3);
        five.Style = 5;
        CardModel &card = open(2, {{3, five}});
        // Styles 5 and 6 have no button and no name list, and stay as they are.
        QVERIFY(card.boxText(CardBox::Style) == QStringLiteral("5") && card.styleButton() == 0);
        QVERIFY(card.jpList().isEmpty() && card.styleLayout() == P3StyleSet(4));
        type(card, CardBox::Volume, QStringLiteral("Apr"));
        QVERIFY(card.save());
        QCOMPARE(stored(3).Style, 5);

        // A changed style is stored. (The name list of each style is checked
        // through the card window under gui/.)
        QVERIFY(card.goTo(2));
        card.clickStyle(3);
        QVERIFY(card.save());
        QCOMPARE(stored(2).Style, 3);
    }

    void clearPasteAndUndo()
    {
        CardModel &card = open(3);
        const QByteArray before = readFile(file("record.tzd"));
        card.clearAll();
        QCOMPARE(card.boxText(CardBox::Memo) + card.boxText(CardBox::JPcode) + card.boxText(CardBox::RegDate),
                 QStringLiteral("2026/12/06"));
        card.pasteAll();
        QVERIFY(card.save());
        QCOMPARE(readFile(file("record.tzd")), before);

        // Undo brings back the record as stored, style and link list included.
        type(card, CardBox::Memo, QStringLiteral("changed"));
        type(card, CardBox::Link, QStringLiteral("1"));
        card.clickStyle(3);
        card.undo();
        QVERIFY(card.boxText(CardBox::Memo) + card.boxText(CardBox::Link) == QStringLiteral("memo 3") &&
                card.styleButton() == 1);
        QVERIFY(card.save());
        QCOMPARE(readFile(file("record.tzd")), before);
        QVERIFY(LinkReadAll(m_bank, 3).isEmpty());
    }

    // The undo of one box brings back the stored value, an empty box for a
    // number stored as 0.
    void undoField()
    {
        Record r = JournalRecord(2);
        r.JPcode = 0;
        for (const auto &[box, restored] : {std::pair{CardBox::JPcode, ""}, {CardBox::RegDate, "2023/03/15"}}) {
            CardModel &card = open(1, {{2, r}});
            type(card, box, QStringLiteral("99/01/01"));
            card.undoField();
            QCOMPARE(card.boxText(box), restored);
            card.leaveBox(box);
            QCOMPARE(card.boxText(box), restored);
        }
    }

    // A DOI opens at its resolver, trimmed; the linked records are searched
    // as typed. (An empty box's beep is checked through the card window.)
    void webPagesAndSearches()
    {
        CardModel &card = open(4);
        card.setBoxText(CardBox::DOI, QStringLiteral(" 10.1000/xyz "));
        card.setBoxText(CardBox::Link, QStringLiteral("1,3"));
        card.openDOI();
        card.linkedRecords();
        QCOMPARE(m_ui->webPages, QList<QUrl>{QUrl("https://doi.org/10.1000/xyz")});
        QCOMPARE(m_searches, (QList<CardSearchRequest>{{KindLinked, kKindLinked, QStringLiteral("1,3")}}));
    }

    // The automatic check on or off, the box typed into, the JP code, the
    // similar-record searches each save starts.
    void automaticSimilarCheck_data()
    {
        rows::table({"check", "box", "code", "searches"},
                    {{"1", "7", "12", "1"}, {"1", "1", "12", "0"}, {"1", "7", "", "0"}, {"0", "7", "12", "0"}});
    }
    void automaticSimilarCheck()
    {
        CardModel &card = open(3);
        m_session->settings.AutoDupCheck = rows::number("check");
        card.setBoxText(CardBox::JPcode, rows::text("code"));
        type(card, BoxAt(rows::number("box")), QStringLiteral("77"));
        QVERIFY(card.save());
        QVERIFY(card.save()); // the marks stay: a second save checks again
        QCOMPARE(m_searches, QList<CardSearchRequest>(2 * rows::number("searches"),
                                                      {KindSimilarAuto, kKindSimilar, QStringLiteral("3")}));
    }

    // Closing writes a missing JP code table back, and the edits of the boxes.
    void closeKeepsTheLastEdits()
    {
        CardModel &card = open(3);
        QFile::remove(file("JPcode.tzd"));
        QVERIFY(card.close());
        QVERIFY(QFile::exists(file("JPcode.tzd")));

        // The focused memo box was never left, the link list was: closing keeps both.
        QVERIFY(card.openBank(m_bank));
        card.setFocusBox(CardBox::Memo);
        card.setBoxText(CardBox::Memo, QStringLiteral("last words"));
        type(card, CardBox::Link, QStringLiteral("1"));
        card.setFocusBox(CardBox::Memo);
        QVERIFY(card.close());
        QCOMPARE(stored(3).Memo, QStringLiteral("last words"));
        QCOMPARE(LinkReadAll(m_bank, 3), (QList<LinkPair>{{1, 3}}));
        QVERIFY(messages().isEmpty());
    }

    // A box holding text its check rejected never reaches the file: the field
    // keeps its stored value and the rest of the record is saved.
    void rejectedTextKeepsStoredValue()
    {
        for (const auto &[box, text, message] : {std::tuple{CardBox::JPcode, "abc", kMsgJPcodeNumeric},
                                                 {CardBox::Year, "1e9", kMsgYearNumeric},
                                                 {CardBox::RegDate, "tomorrow", kMsgRegDate}}) {
            CardModel &card = open(2);
            card.setBoxText(CardBox::Memo, QStringLiteral("kept edit"));
            card.setBoxText(box, text);
            QVERIFY(card.save());
            QVERIFY(messages().contains(message));
            Record expected = JournalRecord(2);
            expected.Memo = QStringLiteral("kept edit");
            QCOMPARE(stored(2), expected);
            QCOMPARE(card.boxText(box), text); // the box keeps what was typed
        }
    }

    void newRecordAtTheLimit()
    {
        CardModel &card = open(1, {{kMaxRecords, JournalRecord(7)}});
        QCOMPARE(card.curRec(), kMaxRecords);
        QVERIFY(!card.newRecord());
        card.next();
        QVERIFY(card.recCount() == kMaxRecords && card.curRec() == kMaxRecords);
        QCOMPARE(messages(), (QStringList{kMsgRecordLimit, kMsgRecordLimit}));
    }
};

QTEST_GUILESS_MAIN(TestCardModel)
#include "tst_card_model.moc"
