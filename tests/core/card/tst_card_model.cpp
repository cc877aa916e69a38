// The record card's behaviour on real bank folders: moving, saving, styles,
// the name list and the record menu.
#include "core/bank/bank_files.h"
#include "core/card/card_model.h"
#include "core/common/ole_date.h"
#include "core/session/session.h"
#include "core/store/link_table.h"
#include "support/fake_user_interface.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tz;

namespace {

const QDate kToday(2026, 12, 6);

// Record i of the test banks: a journal article in code 12.
Record sampleRecord(int i)
{
    Record r;
    r.Style = 1;
    r.Memo = QStringLiteral("memo %1").arg(i);
    r.Author = QStringLiteral("J.R.Smith");
    r.Title = QStringLiteral("Title %1.").arg(i);
    r.JPcode = 12;
    r.Volume = QString::number(i);
    r.Page1 = QStringLiteral("1");
    r.Page2 = QStringLiteral("10");
    r.Year = static_cast<qint16>(1990 + i);
    r.RegDate = DateToOle(QDate(2020, 1, 2));
    return r;
}

// What the card asked of the person, sorted by kind, and the answer it gets
// to its questions.
struct Asked : testing::FakeUserInterface
{
    QStringList messages, errors, questions, pages;
    QList<int> beeps;
    QList<CardSearchRequest> searches;
    bool answer = true;

    MsgAnswer message(const QString &text, MsgButtons buttons, MsgIcon icon) override
    {
        if (buttons == MsgButtons::OkCancel) {
            questions << text;
            return answer ? MsgAnswer::Ok : MsgAnswer::Cancel;
        }
        (icon == MsgIcon::Error ? errors : messages) << text;
        return MsgAnswer::Ok;
    }
    void playTones(const QList<Tone> &t) override
    {
        for (SignalKind kind : {SignalKind::EmptyField, SignalKind::StartUpError, SignalKind::SearchDone})
            if (SignalTones(kind) == t)
                beeps << int(kind);
    }
    void openWebPage(const QUrl &url) override { pages << url.toString(); }
};

} // namespace

class TestCardModel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_bank;
    int m_banks = 0;
    Asked m;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<CardModel> m_card;

    // A card over a new bank of `count` sample records (and `extra` at its number).
    CardModel &open(int count, const std::optional<std::pair<int, Record>> &extra = {})
    {
        CreateBank(m_bank, kToday, nullptr);
        for (int i = 1; i <= count; ++i)
            RecWrite(m_bank, i, sampleRecord(i), true);
        if (extra) { // the records before it are blank
            QFile file(recordFile());
            if (!file.open(QIODevice::ReadWrite) || !file.resize(qint64(extra->first - 1) * kRecordSize))
                qFatal("cannot lengthen the record file");
            file.close();
            RecWrite(m_bank, extra->first, extra->second, true);
        }
        m_card.reset();
        m_session = std::make_unique<Session>(m, m_dir.path());
        m_card = std::make_unique<CardModel>(*m_session);
        connect(m_card.get(), &CardModel::searchRequested, this,
                [this](const CardSearchRequest &r) { m.searches << r; });
        m_card->setToday(kToday);
        if (!m_card->openBank(m_bank))
            qWarning("the bank did not open");
        return *m_card;
    }

    // Types into a box and leaves it.
    static void type(CardModel &card, CardBox box, const QString &text)
    {
        card.setFocusBox(box);
        card.setBoxText(box, text);
        card.leaveBox(box);
    }

    Record stored(int n)
    {
        Record r;
        RecRead(m_bank, n, ReadMode::Stored, r, kToday);
        return r;
    }

    QString recordFile() const { return m_bank + QStringLiteral("/record.tzd"); }

private Q_SLOTS:
    void init()
    {
        m_bank = m_dir.path() + QStringLiteral("/bank%1.bnk").arg(++m_banks);
        m.messages.clear();
        m.errors.clear();
        m.questions.clear();
        m.pages.clear();
        m.beeps.clear();
        m.searches.clear();
        m.answer = true;
    }

    void recordNumberBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("shown");
        QTest::newRow("zero") << QStringLiteral("0") << kMsgRecNumRange << 5;
        QTest::newRow("empty") << QString() << kMsgRecNumNumeric << 5;
        QTest::newRow("in range") << QStringLiteral(" 3 ") << QString() << 3;
        QTest::newRow("the shown record") << QStringLiteral("5") << QString() << 5;
    }
    void recordNumberBox()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(int, shown);
        CardModel &card = open(5);
        card.setRecNumText(typed);
        QVERIFY(card.recNumEdited());
        card.enterRecNum();
        QCOMPARE(m.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(card.curRec(), shown);
        QCOMPARE(card.recNumText(), QString::number(shown));
        QVERIFY(!card.recNumEdited());
        QCOMPARE(card.boxText(CardBox::Memo), QStringLiteral("memo %1").arg(shown));
    }

    void movingSavesAndClearsMarks()
    {
        CardModel &card = open(5);
        card.previous();
        type(card, CardBox::Memo, QStringLiteral("edited"));
        QVERIFY(card.boxChanged()[CardBox::Memo]);
        card.next();
        QCOMPARE(card.curRec(), 5);
        QCOMPARE(stored(4).Memo, QStringLiteral("edited"));
        QCOMPARE(card.boxChanged(), BoxFlags{}); // record 5 is not written for record 4's edit
        QVERIFY(card.goTo(1));
        card.previous();
        QCOMPARE(card.curRec(), 1);
        QVERIFY(m.questions.isEmpty());

        card.dragScroll(4); // dragging shows the number only
        QVERIFY(card.recNumEdited() && card.curRec() == 1);
        QVERIFY(card.scrollTo(4));
        QCOMPARE(card.boxText(CardBox::Memo), QStringLiteral("edited"));
    }

    // A save that fails never loses the typed record: the card stays on it.
    void failedSaveStaysOnRecord()
    {
        CardModel &card = open(3);
        QVERIFY(QFile::remove(recordFile()) && QDir().mkdir(recordFile())); // nothing can be written
        type(card, CardBox::Memo, QStringLiteral("unsaved"));
        QVERIFY(!card.goTo(1));
        card.previous();
        QVERIFY(!card.newRecord());
        QCOMPARE(card.curRec(), 3);
        QCOMPARE(card.recCount(), 3);
        QCOMPARE(card.boxText(CardBox::Memo), QStringLiteral("unsaved"));
        QVERIFY(card.boxChanged()[CardBox::Memo]);
        QCOMPARE(m.errors.size(), 3);
    }

    // A record file that vanished or shrank below the shown record is not
    // made anew by a save; the edit stays on the card.
    void saveIntoAVanishedBank_data()
    {
        QTest::addColumn<bool>("shrunk");
        QTest::newRow("vanished") << false;
        QTest::newRow("shrunk") << true;
    }
    void saveIntoAVanishedBank()
    {
        QFETCH(bool, shrunk);
        CardModel &card = open(5);
        if (shrunk)
            QVERIFY(writeFile(recordFile(), readFile(recordFile()).left(2 * kRecordSize)));
        else
            QVERIFY(QDir(m_bank).removeRecursively() && QDir().mkpath(m_bank));
        type(card, CardBox::Memo, QStringLiteral("kept"));
        QVERIFY(!card.save());
        QCOMPARE(m.errors.size(), 1);
        QCOMPARE(card.boxText(CardBox::Memo), QStringLiteral("kept"));
        QVERIFY(card.boxChanged()[CardBox::Memo]);
        QCOMPARE(readFile(recordFile()).size(), shrunk ? 2 * kRecordSize : 0);
    }

    // Tables that cannot be read when a bank opens are told then; a JP code
    // table not read exactly is written back at the end only when the person agrees.
    void badTablesWhenABankOpens()
    {
        CreateBank(m_bank, kToday, nullptr);
        QVERIFY(QFile::remove(m_bank + QStringLiteral("/Link.tzd")) &&
                QDir().mkdir(m_bank + QStringLiteral("/Link.tzd")));
        const QByteArray utf8 = "3d\r\n1-2-3-4\r\nNature\r\n日本の雑誌\r\n\r\n\r\n";
        QVERIFY(writeFile(m_bank + QStringLiteral("/JPcode.tzd"), utf8));
        m_session = std::make_unique<Session>(m, m_dir.path());
        CardModel card(*m_session);
        QVERIFY(card.openBank(m_bank));
        QCOMPARE(m.errors.size(), 2);
        QVERIFY(m.errors.join(u' ').contains(QStringLiteral("Link.tzd")));
        QVERIFY(m.errors.join(u' ').contains(QStringLiteral("JPcode.tzd")));
        m.answer = false;
        QVERIFY(card.close());
        QCOMPARE(m.questions.size(), 1);
        QCOMPARE(readFile(m_bank + QStringLiteral("/JPcode.tzd")), utf8);
        m.answer = true;
        QVERIFY(card.close());
        QVERIFY(readFile(m_bank + QStringLiteral("/JPcode.tzd")).startsWith("3d\r\n1-2-3-4\r\nNature\r\n"));
    }

    void nextOnLastRecord()
    {
        for (bool answer : {true, false}) {
            m.answer = answer;
            m.questions.clear();
            CardModel &card = open(5);
            card.next();
            QCOMPARE(m.questions, QStringList{kAskNewRecord});
            QCOMPARE(card.recCount(), answer ? 6 : 5);
            QCOMPARE(card.curRec(), answer ? 6 : 5);
            QCOMPARE(card.boxText(CardBox::Memo), answer ? QString() : QStringLiteral("memo 5"));
            QCOMPARE(card.boxText(CardBox::JPcode), QStringLiteral("12")); // a new record inherits the journal
            QCOMPARE(readFile(recordFile()).size(), 5 * kRecordSize);
        }
    }

    void styles()
    {
        Record five = sampleRecord(3);
        five.Style = 5;
        CardModel &card = open(2, {{3, five}});
        // Styles 5 and 6 have no button and no name list, and stay as they are.
        QCOMPARE(card.boxText(CardBox::Style), QStringLiteral("5"));
        QCOMPARE(card.styleButton(), 0);
        QVERIFY(card.jpList().isEmpty());
        QCOMPARE(card.styleLayout(), P3StyleSet(4));
        type(card, CardBox::Volume, QStringLiteral("Apr"));
        QVERIFY(card.save());
        QCOMPARE(stored(3).Style, 5);

        // Journal -> Book (edt) -> Journal keeps the mark.
        QVERIFY(card.goTo(2));
        QVERIFY(!card.styleLayout().inUse(CardBox::Editor));
        card.clickStyle(2);
        QCOMPARE(card.boxText(CardBox::Style), QStringLiteral("2"));
        QVERIFY(card.styleLayout().inUse(CardBox::Editor) && card.styleLayout().inUse(CardBox::Book));
        QCOMPARE(card.jpListBase(), 100);
        QCOMPARE(card.jpList().size(), 50);
        card.clickStyle(1);
        QCOMPARE(card.jpList().size(), 100);
        QVERIFY(card.boxChanged()[CardBox::Style]);
        card.clickStyle(3);
        QVERIFY(card.save());
        QCOMPARE(stored(2).Style, 3);
    }

    void enterOrder_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("journal title to JP code") << 1 << 3 << 6;
        QTest::newRow("link list to memo") << 1 << 12 << 1;
        QTest::newRow("date to memo") << 1 << 13 << 1;
        QTest::newRow("DOI to title") << 1 << 15 << 3;
        QTest::newRow("monograph title to JP code") << 3 << 3 << 6;
        QTest::newRow("monograph JP code to year") << 3 << 6 << 10;
        QTest::newRow("other day to year") << 4 << 8 << 10;
    }
    void enterOrder()
    {
        QFETCH(int, style);
        QFETCH(int, from);
        QFETCH(int, to);
        QCOMPARE(NextBoxOnEnter(BoxAt(from), P3StyleSet(style)), BoxAt(to));
    }

    void clearPasteAndUndo()
    {
        CardModel &card = open(3);
        const QByteArray before = readFile(recordFile());
        QStringList shown;
        for (int i = 0; i < kCardBoxCount; ++i)
            shown << card.boxText(BoxAt(i));
        card.pasteAll(); // nothing copied yet
        QCOMPARE(card.boxChanged(), BoxFlags{});
        card.clearAll();
        QCOMPARE(card.boxText(CardBox::Memo) + card.boxText(CardBox::JPcode), QString());
        QCOMPARE(card.boxText(CardBox::RegDate), QStringLiteral("2026/12/06"));
        card.pasteAll();
        for (int i = 0; i < kCardBoxCount; ++i)
            QCOMPARE(card.boxText(BoxAt(i)), shown[i]);
        BoxFlags marks;
        marks.markAll(true);
        QCOMPARE(card.boxChanged(), marks);
        QVERIFY(card.save());
        QCOMPARE(readFile(recordFile()), before);

        // Undo brings back the record as stored, style and link list included.
        type(card, CardBox::Memo, QStringLiteral("changed"));
        type(card, CardBox::Link, QStringLiteral("1"));
        card.clickStyle(3);
        card.undo();
        QCOMPARE(card.boxText(CardBox::Memo) + card.boxText(CardBox::Link), QStringLiteral("memo 3"));
        QCOMPARE(card.styleButton(), 1);
        QCOMPARE(card.boxChanged(), BoxFlags{});
        QVERIFY(card.save());
        QCOMPARE(readFile(recordFile()), before);
        QVERIFY(LinkReadAll(m_bank, 3).isEmpty());
    }

    void undoField_data()
    {
        QTest::addColumn<int>("boxNumber");
        QTest::addColumn<QString>("restored");
        QTest::newRow("memo") << 1 << QStringLiteral("memo 2");
        QTest::newRow("no JP code") << 6 << QString();
        QTest::newRow("no year") << 10 << QString();
        QTest::newRow("date") << 13 << QStringLiteral("2020/01/02");
    }
    void undoField()
    {
        QFETCH(int, boxNumber);
        const CardBox box = BoxAt(boxNumber);
        QFETCH(QString, restored);
        Record r = sampleRecord(2);
        r.JPcode = 0;
        r.Year = 0;
        CardModel &card = open(1, {{2, r}});
        QCOMPARE(card.boxText(box), restored);
        type(card, box, QStringLiteral("99/01/01"));
        card.undoField();
        QCOMPARE(card.boxText(box), restored);
        card.leaveBox(box);
        QCOMPARE(card.boxText(box), restored);
    }

    void webPagesAndSearches()
    {
        CardModel &card = open(4);
        card.setBoxText(CardBox::DOI, QStringLiteral("  "));
        card.openDOI(); // empty boxes only beep
        card.openURL();
        card.linkedRecords();
        QCOMPARE(m.beeps, (QList<int>{1, 1, 1}));
        card.setBoxText(CardBox::DOI, QStringLiteral(" 10.1000/xyz "));
        card.setBoxText(CardBox::URL, QStringLiteral("https://example.org/a"));
        card.setBoxText(CardBox::Link, QStringLiteral("1,3"));
        card.openDOI();
        card.openURL();
        QCOMPARE(m.pages, (QStringList{"https://doi.org/10.1000/xyz", "https://example.org/a"}));
        card.linkedRecords();
        card.toList();
        card.similarRecords();
        const QList<CardSearchRequest> expected{{KindLinked, kKindLinked, QStringLiteral("1,3")},
                                                {KindCurrent, kKindCurrent, QStringLiteral("4")},
                                                {KindSimilar, kKindSimilar, QStringLiteral("4")}};
        QCOMPARE(m.searches, expected);
    }

    void automaticSimilarCheck_data()
    {
        QTest::addColumn<bool>("autoCheck");
        QTest::addColumn<int>("boxNumber");
        QTest::addColumn<QString>("jpCode");
        QTest::addColumn<int>("searches");
        QTest::newRow("volume changed") << true << 7 << QStringLiteral("12") << 1;
        QTest::newRow("last page changed") << true << 9 << QStringLiteral("12") << 1;
        QTest::newRow("memo only") << true << 1 << QStringLiteral("12") << 0;
        QTest::newRow("no JP code") << true << 7 << QString() << 0;
        QTest::newRow("check off") << false << 7 << QStringLiteral("12") << 0;
    }
    void automaticSimilarCheck()
    {
        QFETCH(bool, autoCheck);
        QFETCH(int, boxNumber);
        const CardBox box = BoxAt(boxNumber);
        QFETCH(QString, jpCode);
        QFETCH(int, searches);
        CardModel &card = open(3);
        m_session->settings.AutoDupCheck = autoCheck;
        card.setBoxText(CardBox::JPcode, jpCode);
        type(card, box, QStringLiteral("77"));
        QVERIFY(card.save());
        QVERIFY(card.save()); // the marks stay: a second save checks again
        QCOMPARE(m.searches.size(), 2 * searches);
        for (const CardSearchRequest &r : std::as_const(m.searches))
            QCOMPARE(r, (CardSearchRequest{KindSimilarAuto, kKindSimilar, QStringLiteral("3")}));
    }

    void closeWritesOnlyEdits()
    {
        CardModel &card = open(3);
        const QByteArray before = readFile(recordFile());
        QFile::remove(m_bank + QStringLiteral("/JPcode.tzd"));
        QVERIFY(card.close());
        QCOMPARE(readFile(recordFile()), before);
        QVERIFY(QFile::exists(m_bank + QStringLiteral("/JPcode.tzd")));

        // The focused memo box was never left, the link list was: closing keeps both.
        QVERIFY(card.openBank(m_bank));
        card.setFocusBox(CardBox::Memo);
        card.setBoxText(CardBox::Memo, QStringLiteral("last words"));
        type(card, CardBox::Link, QStringLiteral("1"));
        card.setFocusBox(CardBox::Memo);
        QVERIFY(card.close());
        QCOMPARE(stored(3).Memo, QStringLiteral("last words"));
        QCOMPARE(LinkReadAll(m_bank, 3), (QList<LinkPair>{{1, 3}}));
        QVERIFY(m.errors.isEmpty());
    }

    // A box holding text its check rejected never reaches the file: the field
    // keeps its stored value and the rest of the record is saved.
    void rejectedTextKeepsStoredValue_data()
    {
        QTest::addColumn<int>("boxNumber");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("JP code") << 6 << QStringLiteral("abc") << kMsgJPcodeNumeric;
        QTest::newRow("year") << 10 << QStringLiteral("x98") << kMsgYearNumeric;
        QTest::newRow("year beyond 16 bits") << 10 << QStringLiteral("1e9") << kMsgYearNumeric;
        QTest::newRow("date") << 13 << QStringLiteral("tomorrow") << kMsgRegDate;
    }
    void rejectedTextKeepsStoredValue()
    {
        QFETCH(int, boxNumber);
        const CardBox box = BoxAt(boxNumber);
        QFETCH(QString, text);
        QFETCH(QString, message);
        CardModel &card = open(2);
        card.setBoxText(CardBox::Memo, QStringLiteral("kept edit"));
        card.setBoxText(box, text);
        QVERIFY(card.save());
        QVERIFY(m.messages.contains(message));
        Record expected = sampleRecord(2);
        expected.Memo = QStringLiteral("kept edit");
        QCOMPARE(stored(2), expected);
        QCOMPARE(card.boxText(box), text); // the box keeps what was typed
    }

    void newRecordAtTheLimit()
    {
        CardModel &card = open(1, {{kMaxRecords, sampleRecord(7)}});
        QCOMPARE(card.curRec(), kMaxRecords);
        QVERIFY(!card.newRecord());
        card.next();
        QCOMPARE(card.recCount(), kMaxRecords);
        QCOMPARE(card.curRec(), kMaxRecords);
        QCOMPARE(m.messages, (QStringList{kMsgRecordLimit, kMsgRecordLimit}));
        QVERIFY(m.questions.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCardModel)
#include "tst_card_model.moc"
