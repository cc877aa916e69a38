// The card's interchange items through the running program: the bank menu's
// import and export and the record menu's "DOIから取り込む", with the live
// boxes, the scripted dialogs and a local server answering like doi.org.

#include "core/search/search_kinds.h"
#include "support/doi_server.h"
#include "support/program.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace tz;
using namespace Qt::StringLiterals;
using tz::testing::DoiServer;
using tz::testing::Program;

namespace {

const QByteArray kRis = "TY  - JOUR\r\nAU  - Tanaka, Hiroshi\r\nAU  - Sato, K.\r\nTI  - Imported one\r\n"
                        "T2  - Journal of Imports\r\nVL  - 7\r\nIS  - 2\r\nSP  - 10\r\nEP  - 19\r\nPY  - 2021\r\n"
                        "DO  - 10.1234/imp.1\r\nER  - \r\n"
                        "TY  - BOOK\r\nAU  - Ito, M.\r\nTI  - Imported book\r\nPB  - Import Press\r\nPY  - 2019\r\n"
                        "ER  - \r\n";

const QByteArray kCsl = R"({"type":"article-journal","title":"Looked up","container-title":"Journal of Lookups",
  "author":[{"family":"Suzuki","given":"Ichiro"}],"volume":"3","issue":"1","page":"5-9",
  "issued":{"date-parts":[[2020,4]]},"DOI":"10.5555/look.1","URL":"https://example.org/look"})";

struct Card : Program
{
    QString bank;
    Card()
    {
        bank = makeBank(u"mine"_s, {}, 3);
        writeSettings(u"mine"_s);
        start();
    }
    template <typename T = QLineEdit> T *box(CardBox b) { return control<T>(card(), u"EditRecBox_%1"_s.arg(int(b))); }
    QString text(CardBox b)
    {
        if (auto *e = card().findChild<QPlainTextEdit *>(u"EditRecBox_%1"_s.arg(int(b))))
            return e->toPlainText();
        return box(b)->text();
    }
    void type(CardBox b, const QString &t)
    {
        QWidget *w = card().findChild<QWidget *>(u"EditRecBox_%1"_s.arg(int(b)));
        card().activateWindow();
        w->setFocus();
        QTest::keyClicks(w, t);
    }
    QByteArray file(const QString &name, const QByteArray &bytes)
    {
        writeFile(root() + name, bytes);
        return (root() + name).toUtf8();
    }
};

} // namespace

class TestInterchangeMenu : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // An edit on the card is saved first; the new records follow the last
    // one, the card shows the first of them, new journals and publishers
    // join the table. A bad file changes nothing and names its line.
    void importThroughTheBankMenu()
    {
        Card p;
        p.type(CardBox::Memo, u" edited"_s);
        p.ui.files.enqueue(QString::fromUtf8(p.file(u"in.ris"_s, kRis)));
        p.trigger(p.card(), "mnuBI");
        Record stored;
        QVERIFY(RecRead(p.bank, 3, ReadMode::Stored, stored, QDate(2024, 1, 2)));
        QCOMPARE(stored.Memo, u"memo 3 edited"_s);
        QCOMPARE(p.card().card().recCount(), 5);
        QCOMPARE(p.card().card().curRec(), 4);
        QCOMPARE(p.text(CardBox::Title), u"Imported one."_s);
        QCOMPARE(p.text(CardBox::Author), u"Hiroshi Tanaka, K.Sato"_s);
        QCOMPARE(p.text(CardBox::Volume), u"7(2)"_s);
        QCOMPARE(p.text(CardBox::DOI), u"10.1234/imp.1"_s);
        QCOMPARE(p.control<QComboBox>(p.card(), u"JPcombo"_s)->currentText(), u"Journal of Imports"_s);
        const QStringList told = p.ui.messageTexts();
        QVERIFY(told.at(told.size() - 2).contains(u"2 件の文献を、レコード 4～5 として取り込みます"_s));
        QVERIFY(told.last().startsWith(u"2 件の文献を取り込みました（レコード 4～5）。"_s));

        // The same file again: both are duplicates now.
        p.ui.files.enqueue(QString::fromUtf8(p.file(u"in.ris"_s, kRis)));
        p.trigger(p.card(), "mnuBI");
        QVERIFY(p.ui.messageTexts().last().startsWith(u"取り込む文献がありません（2 件すべてが重複です）。"_s));

        const QByteArray before = readFile(p.bank + u"record.tzd"_s);
        p.ui.files.enqueue(QString::fromUtf8(p.file(u"bad.ris"_s, kRis + "TY  - JOUR\r\nXX  - what\r\n")));
        p.trigger(p.card(), "mnuBI");
        QVERIFY2(p.ui.messageTexts().last().contains(u"bad.ris: 20 行目: RIS にないタグ「XX」です"_s),
                 qPrintable(p.ui.messageTexts().last()));
        QCOMPARE(readFile(p.bank + u"record.tzd"_s), before);
    }

    // The whole bank or the search window's hits, in the format of the
    // filter chosen.
    void exportThroughTheBankMenu()
    {
        Card p;
        p.ui.saveChoice = 1; // BibTeX, the whole bank
        p.ui.files.enqueue(p.root() + u"all"_s);
        p.trigger(p.card(), "mnuBX");
        QCOMPARE(p.ui.saveFilters.size(), 3);
        QCOMPARE(readFile(p.root() + u"all.bib"_s).count("@article{"), 3);
        p.ui.saveChoice = 0; // RIS shown, but the name says BibTeX
        p.ui.files.enqueue(p.root() + u"named.bib"_s);
        p.trigger(p.card(), "mnuBX");
        QVERIFY(readFile(p.root() + u"named.bib"_s).startsWith("@article{"));

        p.search().openKind(KindYear);
        p.search().model().engine().HitCount = 0;
        QLineEdit *keys = p.control<QLineEdit>(p.search(), u"BoxKeys"_s);
        keys->setText(u"1992"_s);
        QTest::mouseClick(p.control<QPushButton>(p.search(), u"SearD_1"_s), Qt::LeftButton);
        QCOMPARE(p.search().model().engine().HitCount, 1);
        p.ui.saveChoice = 5; // CSL-JSON, the hits
        p.ui.files.enqueue(p.root() + u"hits.json"_s);
        p.trigger(p.card(), "mnuBX");
        QCOMPARE(p.ui.saveFilters.size(), 6);
        const QByteArray json = readFile(p.root() + u"hits.json"_s);
        QVERIFY(json.contains("\"Title 2\"") && !json.contains("\"Title 1\""));
    }

    // A new record with a DOI typed: the boxes fill as if typed, the new
    // journal is asked about when the record is saved. A failure changes
    // nothing; a record with data is refused.
    void doiFillsANewRecord()
    {
        DoiServer server;
        server.answers.insert("/10.5555/look.1", {200, kCsl, {}, 0});
        Card p;
        p.trigger(p.card(), "mnuRN");
        p.type(CardBox::DOI, u"https://doi.org/10.5555/missing"_s);
        p.trigger(p.card(), "mnuRI");
        QVERIFY(p.ui.messageTexts().last().contains(u"登録されていません"_s));
        QCOMPARE(p.text(CardBox::Title), QString());

        p.box(CardBox::DOI)->clear();
        p.type(CardBox::DOI, u"10.5555/look.1"_s);
        p.trigger(p.card(), "mnuRI");
        QVERIFY(server.requests.last().contains("Accept: application/vnd.citationstyles.csl+json"));
        QCOMPARE(p.text(CardBox::Title), u"Looked up."_s);
        QCOMPARE(p.text(CardBox::Author), u"Ichiro Suzuki"_s);
        QCOMPARE(p.text(CardBox::Page2), u"9"_s);
        QCOMPARE(p.text(CardBox::URL), u"https://example.org/look"_s);
        QVERIFY(p.card().card().save());
        QVERIFY2(p.ui.messageTexts().join(u'|').contains(u"「Journal of Lookups」は JP コード表にありません。"_s),
                 qPrintable(p.ui.messageTexts().join(u'|')));
        Record stored;
        QVERIFY(RecRead(p.bank, 4, ReadMode::Stored, stored, QDate(2024, 1, 2)));
        QCOMPARE(stored.Title, u"Looked up."_s);
        QCOMPARE(JPcodeName(p.session().jp, stored.JPcode), u"Journal of Lookups"_s);

        p.trigger(p.card(), "mnuRI"); // record 4 now holds data
        QVERIFY(p.ui.messageTexts().last().startsWith(u"DOI から取り込めるのは"_s));
    }
};

QTEST_MAIN(TestInterchangeMenu)
#include "tst_interchange_menu.moc"
