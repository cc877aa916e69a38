// The record card's behaviour on real bank folders: moving, saving, styles,
// the name list and the record menu.
#include "app/bank_files.h"
#include "app/card_host.h"
#include "card/card_model.h"
#include "common/ole_date.h"
#include "store/link_table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <cstring>

using namespace tz;

namespace {

const QDate kToday(2026, 12, 6);

// What the card asked for, and the answer it gets to its questions.
struct Fake
{
    QStringList messages, errors, questions, pages;
    QList<int> beeps;
    QList<CardSearchRequest> searches;
    bool answer = true;

    CardCallbacks callbacks()
    {
        CardCallbacks cb;
        cb.message = [this](const QString &t) { messages << t; };
        cb.fileError = [this](const QString &t) { errors << t; };
        cb.askOkCancel = [this](const QString &t) {
            questions << t;
            return answer;
        };
        cb.signal = [this](int n) { beeps << n; };
        cb.openWebPage = [this](const QString &u) { pages << u; };
        cb.search = [this](const CardSearchRequest &r) { searches << r; };
        return cb;
    }
};

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

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Text written into a record's bytes by hand, padded with spaces.
void put(QByteArray &rec, int offset, int width, const QByteArray &text)
{
    rec.replace(offset, width, text.leftJustified(width, ' ', true));
}

void put16(QByteArray &rec, int offset, qint16 v)
{
    const qint16 le = qToLittleEndian(v);
    std::memcpy(rec.data() + offset, &le, 2);
}

} // namespace

class TestCardModel : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_bank;
    JPcodeTable m_jp;
    Fake m_fake;
    int m_banks = 0;

    // A bank of `count` sample records.
    void makeBank(int count)
    {
        QString error;
        QVERIFY2(CreateBank(m_bank, kToday, &error), qPrintable(error));
        BoxFlags all;
        all.fill(1);
        for (int i = 1; i <= count; ++i)
            QVERIFY(RecWrite(m_bank, i, sampleRecord(i), all, &error));
    }

    bool openCard(int count, CardModel &card)
    {
        makeBank(count);
        card.setToday(kToday);
        return !QTest::currentTestFailed() && card.openBank(m_bank);
    }

    // Types into a box and leaves it.
    static void type(CardModel &card, int box, const QString &text)
    {
        card.setFocusBox(box);
        card.setBoxText(box, text);
        card.leaveBox(box);
    }

    Record stored(int n)
    {
        Record r;
        RecRead(m_bank, n, 1, r, kToday);
        return r;
    }

    QString recordFile() const { return m_bank + QStringLiteral("/record.tzd"); }

private Q_SLOTS:
    void init()
    {
        m_bank = m_dir.path() + QStringLiteral("/bank%1.bnk").arg(++m_banks);
        m_jp = JPcodeTable{};
        m_fake = Fake{};
    }

    void opensOnLastRecord()
    {
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(5, card));
        QCOMPARE(card.curRec(), 5);
        QCOMPARE(card.recCount(), 5);
        QCOMPARE(card.boxText(1), QStringLiteral("memo 5"));
        QCOMPARE(card.boxText(6), QStringLiteral("12"));
        QCOMPARE(card.boxText(10), QStringLiteral("1995"));
        QCOMPARE(card.boxText(13), QStringLiteral("2020/01/02"));
        QCOMPARE(card.recNumText(), QStringLiteral("5"));
        QCOMPARE(card.jpList().size(), 100);
        QCOMPARE(card.boxChanged(), BoxFlags{});
        QCOMPARE(m_jp.JPendE, 200);
        QCOMPARE(CardCaption(QStringLiteral("mybank")), QStringLiteral("レコード編集  Tessellane 3j03 [MYBANK]"));
    }

    void recordNumberBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("shown");
        QTest::newRow("beyond the count") << QStringLiteral("7") << kMsgRecNumRange << 5;
        QTest::newRow("zero") << QStringLiteral("0") << kMsgRecNumRange << 5;
        QTest::newRow("letters") << QStringLiteral("abc") << kMsgRecNumNumeric << 5;
        QTest::newRow("empty") << QString() << kMsgRecNumNumeric << 5;
        QTest::newRow("in range") << QStringLiteral(" 3 ") << QString() << 3;
        QTest::newRow("the shown record") << QStringLiteral("5") << QString() << 5;
    }
    void recordNumberBox()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(int, shown);
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(5, card));
        card.setRecNumText(typed);
        QVERIFY(card.recNumEdited());
        card.enterRecNum();
        QCOMPARE(m_fake.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(card.curRec(), shown);
        QCOMPARE(card.recNumText(), QString::number(shown));
        QVERIFY(!card.recNumEdited());
        QCOMPARE(card.boxText(1), QStringLiteral("memo %1").arg(shown));
    }

    void movingSavesAndClearsMarks()
    {
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(5, card));
        card.previous();
        QCOMPARE(card.curRec(), 4);
        type(card, 1, QStringLiteral("edited"));
        QCOMPARE(card.boxChanged()[1], 1);
        card.next();
        QCOMPARE(card.curRec(), 5);
        QCOMPARE(stored(4).Memo, QStringLiteral("edited"));
        QCOMPARE(card.boxChanged(), BoxFlags{}); // record 5 is not written for record 4's edit
        QVERIFY(card.goTo(1));
        card.previous();
        QCOMPARE(card.curRec(), 1);
        QVERIFY(m_fake.questions.isEmpty());

        // While a bank is being opened the scroll bar moves without saving.
        type(card, 1, QStringLiteral("not saved"));
        card.setBankLoading(true);
        QVERIFY(card.scrollTo(2));
        QCOMPARE(stored(1).Memo, QStringLiteral("memo 1"));
        card.setBankLoading(false);
        QVERIFY(!card.scrollTo(2));
        card.dragScroll(4);
        QCOMPARE(card.recNumText(), QStringLiteral("4"));
        QVERIFY(card.recNumEdited() && card.curRec() == 2);
        QVERIFY(card.scrollTo(4));
        QVERIFY(!card.recNumEdited());
        QCOMPARE(card.boxText(1), QStringLiteral("edited"));
    }

    void failedSaveStaysOnRecord()
    {
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(3, card));
        // The record file turns into a folder: nothing can be written.
        QVERIFY(QFile::remove(recordFile()));
        QVERIFY(QDir().mkdir(recordFile()));
        type(card, 1, QStringLiteral("unsaved"));
        QVERIFY(!card.goTo(1));
        card.previous();
        QVERIFY(!card.newRecord());
        QCOMPARE(card.curRec(), 3);
        QCOMPARE(card.recCount(), 3);
        QCOMPARE(card.boxText(1), QStringLiteral("unsaved"));
        QCOMPARE(card.boxChanged()[1], 1);
        QCOMPARE(m_fake.errors.size(), 3);
    }

    void nextOnLastRecord_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("OK creates") << true;
        QTest::newRow("Cancel stays") << false;
    }
    void nextOnLastRecord()
    {
        QFETCH(bool, answer);
        m_fake.answer = answer;
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(5, card));
        card.next();
        QCOMPARE(m_fake.questions, QStringList{kAskNewRecord});
        QCOMPARE(card.recCount(), answer ? 6 : 5);
        QCOMPARE(card.curRec(), answer ? 6 : 5);
        QCOMPARE(card.boxText(1), answer ? QString() : QStringLiteral("memo 5"));
        if (answer) // the new record inherits the journal, nothing is written yet
            QCOMPARE(card.boxText(6), QStringLiteral("12"));
        QCOMPARE(fileBytes(recordFile()).size(), 5 * kRecordSize);
    }

    void styleSwitchKeepsMark()
    {
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(2, card));
        QCOMPARE(card.styleLayout().inUse[4], false);
        card.clickStyle(2);
        QCOMPARE(card.shownStyle(), 2);
        QCOMPARE(card.boxText(0), QStringLiteral("2"));
        QVERIFY(card.styleLayout().inUse[4] && card.styleLayout().inUse[5]);
        QCOMPARE(card.styleLayout().label5, QStringLiteral("vol"));
        QCOMPARE(card.styleLayout().label6, QStringLiteral("pp."));
        QCOMPARE(card.jpListBase(), 100);
        QCOMPARE(card.jpList().size(), 50);
        QCOMPARE(card.boxChanged()[0], 1);
        card.clickStyle(1);
        QCOMPARE(card.jpList().size(), 100);
        QCOMPARE(card.boxChanged()[0], 1);
        card.clickStyle(3);
        QVERIFY(card.save());
        QCOMPARE(stored(2).Style, 3);
    }

    void styleWithoutButton()
    {
        CardModel card(m_jp, m_fake.callbacks());
        makeBank(1);
        Record r = sampleRecord(2);
        r.Style = 5;
        QVERIFY(RecWrite(m_bank, 2, r, BoxFlags{1}));
        card.setToday(kToday);
        QVERIFY(card.openBank(m_bank));
        QCOMPARE(card.boxText(0), QStringLiteral("5"));
        QCOMPARE(card.styleButton(), 0);
        QVERIFY(card.jpList().isEmpty());
        QCOMPARE(card.styleLayout(), P3StyleSet(4));
        type(card, 7, QStringLiteral("Apr"));
        QVERIFY(card.save());
        QCOMPARE(stored(2).Style, 5);
        QCOMPARE(card.boxChanged()[0], 0);
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
        QCOMPARE(NextBoxOnEnter(from, P3StyleSet(style)), to);
    }

    void pickPublisher()
    {
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(2, card));
        m_jp.JPname[101] = QStringLiteral("Springer");
        card.clickStyle(2);
        QCOMPARE(card.jpList().value(0), QStringLiteral("Springer"));
        QCOMPARE(card.pickJPname(0), 7);
        QCOMPARE(card.focusBox(), 7);
        QCOMPARE(card.boxText(6), QStringLiteral("101"));
        QCOMPARE(card.boxChanged()[6], 1);
        QCOMPARE(card.recBuf().JPcode, 101);
        QCOMPARE(card.jpComboText(), QStringLiteral("Springer"));
        QVERIFY(card.save());
        QCOMPARE(stored(2).JPcode, 101);
        QCOMPARE(stored(2).Style, 2);
    }

    void refreshNameList()
    {
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(1, card));
        m_jp.JPname[12] = QStringLiteral("J. Renamed");
        card.refreshJPlist();
        QCOMPARE(card.jpSelection(), 11);
        QCOMPARE(card.jpList().value(11), QStringLiteral("J. Renamed"));
        card.clickStyle(2); // a journal code on a book: no selection
        card.refreshJPlist();
        QCOMPARE(card.jpSelection(), -1);
    }

    void clearThenPaste()
    {
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(3, card));
        const QByteArray before = fileBytes(recordFile());
        std::array<QString, kCardBoxCount> shown;
        for (int i = 0; i < kCardBoxCount; ++i)
            shown[i] = card.boxText(i);

        card.pasteAll(); // nothing copied yet
        QCOMPARE(card.boxChanged(), BoxFlags{});

        card.clearAll();
        QCOMPARE(card.boxText(1), QString());
        QCOMPARE(card.boxText(6), QString());
        QCOMPARE(card.boxText(13), QStringLiteral("2026/12/06"));
        card.pasteAll();
        for (int i = 0; i < kCardBoxCount; ++i)
            QCOMPARE(card.boxText(i), shown[i]);
        BoxFlags marks;
        marks.fill(1);
        marks[0] = 0;
        QCOMPARE(card.boxChanged(), marks);
        QVERIFY(card.save());
        QCOMPARE(fileBytes(recordFile()), before);
    }

    void undoRestoresStored()
    {
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(3, card));
        const QByteArray before = fileBytes(recordFile());
        type(card, 1, QStringLiteral("changed"));
        type(card, 12, QStringLiteral("1"));
        card.clickStyle(3);
        card.undo();
        QCOMPARE(card.boxText(1), QStringLiteral("memo 3"));
        QCOMPARE(card.boxText(12), QString());
        QCOMPARE(card.shownStyle(), 1);
        QCOMPARE(card.boxChanged(), BoxFlags{});
        QVERIFY(card.save());
        QCOMPARE(fileBytes(recordFile()), before);
        QVERIFY(LinkReadAll(m_bank, 3).isEmpty());
    }

    void undoField_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("restored");
        QTest::newRow("memo") << 1 << QStringLiteral("memo 2");
        QTest::newRow("no JP code") << 6 << QString();
        QTest::newRow("no year") << 10 << QString();
        QTest::newRow("date") << 13 << QStringLiteral("2020/01/02");
    }
    void undoField()
    {
        QFETCH(int, box);
        QFETCH(QString, restored);
        CardModel card(m_jp, m_fake.callbacks());
        makeBank(1);
        Record r = sampleRecord(2);
        r.JPcode = 0;
        r.Year = 0;
        QVERIFY(RecWrite(m_bank, 2, r, BoxFlags{1}));
        QVERIFY(card.openBank(m_bank));
        QCOMPARE(card.boxText(box), restored);
        card.setFocusBox(box);
        type(card, box, QStringLiteral("99/01/01"));
        card.undoField();
        QCOMPARE(card.boxText(box), restored);
        card.leaveBox(box);
        QCOMPARE(card.boxText(box), restored);
    }

    void webPages_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("page"); // empty: a beep instead
        QTest::newRow("DOI empty") << 15 << QStringLiteral("  ") << QString();
        QTest::newRow("DOI") << 15 << QStringLiteral(" 10.1000/xyz ") << QStringLiteral("https://doi.org/10.1000/xyz");
        QTest::newRow("URL empty") << 14 << QString() << QString();
        QTest::newRow("URL") << 14 << QStringLiteral("https://example.org/a")
                             << QStringLiteral("https://example.org/a");
    }
    void webPages()
    {
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(QString, page);
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(1, card));
        card.setBoxText(box, text);
        box == 15 ? card.openDOI() : card.openURL();
        QCOMPARE(m_fake.pages, page.isEmpty() ? QStringList() : QStringList{page});
        QCOMPARE(m_fake.beeps, page.isEmpty() ? QList<int>{1} : QList<int>{});
    }

    void searchesFromTheMenu()
    {
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(4, card));
        card.linkedRecords();
        QCOMPARE(m_fake.beeps, QList<int>{1});
        card.setBoxText(12, QStringLiteral("1,3"));
        card.linkedRecords();
        card.toList();
        card.similarRecords();
        const QList<CardSearchRequest> expected{{KindLinked, kKindLinked, QStringLiteral("1,3")},
                                                {KindCurrent, kKindCurrent, QStringLiteral("4")},
                                                {KindSimilar, kKindSimilar, QStringLiteral("4")}};
        QCOMPARE(m_fake.searches, expected);
    }

    void automaticSimilarCheck_data()
    {
        QTest::addColumn<bool>("autoCheck");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("jpCode");
        QTest::addColumn<int>("searches");
        QTest::newRow("volume changed") << true << 7 << QStringLiteral("77") << QStringLiteral("12") << 1;
        QTest::newRow("last page changed") << true << 9 << QStringLiteral("99") << QStringLiteral("12") << 1;
        QTest::newRow("memo only") << true << 1 << QStringLiteral("m") << QStringLiteral("12") << 0;
        QTest::newRow("no JP code") << true << 7 << QStringLiteral("77") << QString() << 0;
        QTest::newRow("check off") << false << 7 << QStringLiteral("77") << QStringLiteral("12") << 0;
    }
    void automaticSimilarCheck()
    {
        QFETCH(bool, autoCheck);
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(QString, jpCode);
        QFETCH(int, searches);
        CardModel card(m_jp, m_fake.callbacks());
        card.setAutoDupCheck(autoCheck);
        QVERIFY(openCard(3, card));
        card.setBoxText(6, jpCode);
        type(card, box, text);
        QVERIFY(card.save());
        QVERIFY(card.save()); // the marks stay: a second save checks again
        QCOMPARE(m_fake.searches.size(), 2 * searches);
        for (const CardSearchRequest &r : std::as_const(m_fake.searches))
            QCOMPARE(r, (CardSearchRequest{KindSimilarAuto, kKindSimilar, QStringLiteral("3")}));
    }

    void closeWritesOnlyEdits()
    {
        {
            CardModel card(m_jp, m_fake.callbacks());
            QVERIFY(openCard(3, card));
            const QByteArray before = fileBytes(recordFile());
            QFile::remove(m_bank + QStringLiteral("/JPcode.tzd"));
            QVERIFY(card.close());
            QCOMPARE(fileBytes(recordFile()), before);
            QVERIFY(QFile::exists(m_bank + QStringLiteral("/JPcode.tzd")));
        }
        // The focused memo box was never left, the link list was: closing keeps both.
        CardModel card(m_jp, m_fake.callbacks());
        card.setToday(kToday);
        QVERIFY(card.openBank(m_bank));
        card.setFocusBox(1);
        card.setBoxText(1, QStringLiteral("last words"));
        type(card, 12, QStringLiteral("1"));
        card.setFocusBox(1);
        QVERIFY(card.close());
        QCOMPARE(stored(3).Memo, QStringLiteral("last words"));
        QCOMPARE(LinkReadAll(m_bank, 3), (QList<LinkPair>{{1, 3}}));
        QVERIFY(m_fake.errors.isEmpty());
    }

    void rejectedTextKeepsStoredValue_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("JP code") << 6 << QStringLiteral("abc") << kMsgJPcodeNumeric;
        QTest::newRow("year") << 10 << QStringLiteral("x98") << kMsgYearNumeric;
        QTest::newRow("year beyond 16 bits") << 10 << QStringLiteral("1e9") << kMsgYearNumeric;
        QTest::newRow("date") << 13 << QStringLiteral("tomorrow") << kMsgRegDate;
    }
    void rejectedTextKeepsStoredValue()
    {
        QFETCH(int, box);
        QFETCH(QString, text);
        QFETCH(QString, message);
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(2, card));
        card.setBoxText(1, QStringLiteral("kept edit"));
        card.setBoxText(box, text);
        QVERIFY(card.save());
        QVERIFY(m_fake.messages.contains(message));
        Record expected = sampleRecord(2);
        expected.Memo = QStringLiteral("kept edit");
        QCOMPARE(stored(2), expected);
        QCOMPARE(card.boxText(box), text); // the box keeps what was typed
    }

    void newRecordTypedBoxByBox()
    {
        CardModel card(m_jp, m_fake.callbacks());
        QVERIFY(openCard(5, card));
        QVERIFY(card.newRecord());
        QCOMPARE(card.curRec(), 6);
        type(card, 1, QStringLiteral("new memo"));
        type(card, 2, QStringLiteral("J. R. Smith and C. Brown"));
        type(card, 3, QStringLiteral("A study of X"));
        type(card, 6, QStringLiteral("15"));
        type(card, 7, QStringLiteral("34"));
        type(card, 8, QStringLiteral("123"));
        type(card, 9, QStringLiteral("45"));
        type(card, 10, QStringLiteral("98"));
        type(card, 11, QStringLiteral("ecology"));
        type(card, 12, QStringLiteral("5-3,2"));
        type(card, 14, QStringLiteral("https://example.org/x"));
        QCOMPARE(card.boxText(9), QStringLiteral("145"));
        QCOMPARE(card.boxText(10), QStringLiteral("1998"));
        QCOMPARE(card.boxText(12), QStringLiteral("2"));
        QVERIFY(card.save());

        QByteArray expected(kRecordSize, ' ');
        put16(expected, 0, 1);
        put(expected, 2, 70, "new memo");
        put(expected, 72, 210, "J.R.Smith, C.Brown");
        put(expected, 282, 280, "A study of X.");
        put16(expected, 562, 15);
        put(expected, 564, 20, "34");
        put(expected, 584, 10, "123");
        put(expected, 594, 10, "145");
        put16(expected, 604, 1998);
        const double ole = qToLittleEndian(static_cast<double>(QDate(1899, 12, 30).daysTo(kToday)));
        std::memcpy(expected.data() + 1166, &ole, 8);
        put(expected, 886, 280, "ecology");
        const QByteArray file = fileBytes(recordFile());
        QCOMPARE(file.size(), 6 * kRecordSize);
        QCOMPARE(file.mid(5 * kRecordSize), expected);
        QCOMPARE(LinkReadAll(m_bank, 6), (QList<LinkPair>{{2, 6}}));
        PdfEntry pdf;
        QVERIFY(PdfRead(m_bank, 6, 1, pdf));
        QCOMPARE(pdf.URL, QStringLiteral("https://example.org/x"));

        CardModel again(m_jp, m_fake.callbacks());
        QVERIFY(again.openBank(m_bank));
        QCOMPARE(again.curRec(), 6);
        QCOMPARE(again.boxText(12), QStringLiteral("2"));
        QCOMPARE(again.jpComboText(), QString()); // code 15 has no name yet
    }

    void newRecordAtTheLimit()
    {
        CardModel card(m_jp, m_fake.callbacks());
        makeBank(1);
        BoxFlags all;
        all.fill(1);
        QVERIFY(RecWrite(m_bank, kMaxRecords, sampleRecord(7), all));
        card.setToday(kToday);
        QVERIFY(card.openBank(m_bank));
        QCOMPARE(card.curRec(), kMaxRecords);
        QVERIFY(!card.newRecord());
        card.next();
        QCOMPARE(card.recCount(), kMaxRecords);
        QCOMPARE(card.curRec(), kMaxRecords);
        QCOMPARE(m_fake.messages, (QStringList{kMsgRecordLimit, kMsgRecordLimit}));
        QVERIFY(m_fake.questions.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCardModel)
#include "tst_card_model.moc"
