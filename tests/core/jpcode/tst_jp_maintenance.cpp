// The JP code maintenance on hand-made banks: the four enlargements, new codes,
// moving, deleting and sorting names, the text output and the copy of another
// bank's table. After every change each record still points at the name its
// memo gives (support/jp_bank.h).
#include "core/jpcode/jp_editor_model.h"
#include "core/session/session.h"
#include "support/fake_user_interface.h"
#include "support/jp_bank.h"

#include <QTemporaryDir>
#include <QTest>

using namespace tz;
using namespace tz::testing;

namespace {

QList<int> ends(const JPcodeTable &t)
{
    return {t.JPendT, t.JPendJ, t.JPendP, t.JPendE};
}

} // namespace

class TestJPMaintenance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_banks = 0;
    QList<QString> m_asked;

    QString newBank() { return m_dir.filePath(QStringLiteral("b%1.bnk").arg(++m_banks)); }

    // The maintenance of the bank's table, every question answered with `answer`.
    JPcodeMaintenance ops(const QString &bank, JPcodeTable &table, bool answer = true)
    {
        m_asked.clear();
        JPcodeMaintenance m(table);
        m.bankPath = bank;
        m.confirm = [this, answer](const QString &q) {
            m_asked.append(q);
            return answer;
        };
        return m;
    }

private Q_SLOTS:
    void enlargements_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<bool>("lastTenFree");
        QTest::addColumn<QList<int>>("newEnds");
        QTest::addColumn<QList<int>>("shift"); // per group T, J, P, E of the old code
        QTest::addColumn<int>("firstNew");
        QTest::newRow("Top Journals, the last ten journal codes free")
            << 0 << true << QList<int>{30, 100, 150, 200} << QList<int>{0, 10, 0, 0} << 21;
        QTest::newRow("Top Journals, the last ten journal codes not free")
            << 0 << false << QList<int>{30, 150, 200, 250} << QList<int>{0, 10, 50, 50} << 21;
        QTest::newRow("Common Journals") << 1 << false << QList<int>{20, 150, 200, 250} << QList<int>{0, 0, 50, 50}
                                         << 101;
        QTest::newRow("Press names") << 2 << false << QList<int>{20, 100, 200, 250} << QList<int>{0, 0, 0, 50} << 151;
        QTest::newRow("etc.") << 3 << false << QList<int>{20, 100, 150, 250} << QList<int>{0, 0, 0, 0} << 201;
    }
    void enlargements()
    {
        QFETCH(int, category);
        QFETCH(bool, lastTenFree);
        QFETCH(QList<int>, newEnds);
        QFETCH(QList<int>, shift);
        QFETCH(int, firstNew);
        // The category is full; a few names elsewhere; code 95 (one of the
        // last ten journal codes) used by a record unless they are free.
        JPcodeTable table =
            jpTable(20, 100, 150, 200, {{5, "Top 5"}, {30, "J 30"}, {120, "Press 120"}, {160, "E 160"}});
        const int first[] = {1, 21, 101, 151}, last[] = {20, 100, 150, 200};
        for (int c = first[category]; c <= last[category]; ++c)
            table.JPname[c] = QStringLiteral("Full %1").arg(c);
        const QList<std::pair<int, int>> codes = {{5, 2},   {30, 1}, {120, 3},
                                                  {160, 2}, {0, 1},  {95, lastTenFree ? 0 : 1}};
        const QString bank = newBank();
        writeJPbank(bank, table, codes);
        const QList<Record> before = storedRecords(bank);

        JPcodeMaintenance m = ops(bank, table);
        const JPoutcome o = m.newCode(category);
        QCOMPARE(int(o.status), int(JPstatus::Done));
        QCOMPARE(o.code, 0); // enlarged; the new codes are not selected
        QCOMPARE(m_asked, QStringList{kAskEnlarge.arg(category == 0 ? 10 : 50)});
        QCOMPARE(ends(storedTable(bank)), newEnds);
        QCOMPARE(storedTable(bank).JPname, table.JPname);
        QVERIFY2(journalFault(bank).isEmpty(), qPrintable(journalFault(bank)));
        const QList<Record> after = storedRecords(bank);
        const JPcodeTable old = jpTable(20, 100, 150, 200, {});
        for (int i = 0; i < before.size(); ++i) {
            const int group = JPcodeGroup(old, before[i].JPcode);
            QCOMPARE(after[i].JPcode, before[i].JPcode + (group ? shift[group - 1] : 0));
        }
        // A second "New" finds the first new code.
        QCOMPARE(m.newCode(category).code, firstNew);
    }

    void newCodeSkipsEmptyCodesInUse()
    {
        JPcodeTable table = jpTable(5, 10, 15, 20, {{1, "A"}, {2, "B"}});
        const QString bank = newBank();
        writeJPbank(bank, table, {{3, 1}});
        QCOMPARE(ops(bank, table).newCode(JPtop).code, 4);
        // No free code and the enlargement declined: nothing changes.
        table.JPname[4] = table.JPname[5] = QStringLiteral("C");
        const auto snapshot = folderSnapshot(bank);
        QCOMPARE(int(ops(bank, table, false).newCode(JPtop).status), int(JPstatus::Cancelled));
        QVERIFY(folderSnapshot(bank) == snapshot);
    }

    // Publisher 160 with four records goes to "etc.", where 205 is the lowest
    // free code: the records get 205 and style 4, 160 becomes free.
    void moveTakesRecordsAlong()
    {
        JPcodeTable table = jpTable(20, 100, 200, 250, {{160, "Press 160"}, {30, "J 30"}});
        for (int c = 201; c <= 204; ++c)
            table.JPname[c] = QStringLiteral("etc %1").arg(c);
        const QString bank = newBank();
        writeJPbank(bank, table, {{160, 4}, {30, 2}});
        JPcodeMaintenance m = ops(bank, table);
        const JPoutcome o = m.moveCode(160, JPetc);
        QCOMPARE(int(o.status), int(JPstatus::Done));
        QCOMPARE(o.code, 205);
        QCOMPARE(m_asked, QStringList{QStringLiteral("160 番の内容を205 番に移動します。")});
        const QList<Record> records = storedRecords(bank);
        for (int i = 0; i < 4; ++i)
            QVERIFY(records[i].JPcode == 205 && records[i].Style == 4);
        QVERIFY(records[4].JPcode == 30 && records[5].JPcode == 30 && records[5].Style == 1);
        const JPcodeTable stored = storedTable(bank);
        QVERIFY(stored.JPname[205] == "Press 160" && stored.JPname[160].isEmpty());
        QVERIFY(m.usage[205] == 4 && m.usage[160] == 0);
        QVERIFY(o.renumbered && o.renumbered->styleCode == 160);
        QVERIFY(journalFault(bank).isEmpty());
        // Into "Press names" the question has a blank after 内容を.
        QCOMPARE(MoveQuestion(30, 101, JPpress), QStringLiteral("30 番の内容を 101 番に移動します。"));

        // No free code in the target: refused, nothing changes.
        for (int c = 21; c <= 100; ++c)
            table.JPname[c] = QStringLiteral("J %1").arg(c);
        JPcodeSave(bank + "/JPcode.tzd", table);
        const auto snapshot = folderSnapshot(bank);
        const JPoutcome refused = ops(bank, table).moveCode(205, JPcommon);
        QCOMPARE(int(refused.status), int(JPstatus::Refused));
        QCOMPARE(refused.message, kMsgNoMoveTarget);
        QVERIFY(folderSnapshot(bank) == snapshot);
        // The category of the code itself: nothing happens.
        QCOMPARE(int(ops(bank, table).moveCode(205, JPetc).status), int(JPstatus::Unchanged));
    }

    void deleteOnlyUnusedCodes()
    {
        JPcodeTable table = jpTable(20, 100, 150, 200, {{7, "Used"}, {8, "Unused"}});
        const QString bank = newBank();
        writeJPbank(bank, table, {{7, 1}});
        const auto snapshot = folderSnapshot(bank);
        JPcodeMaintenance m = ops(bank, table);
        const JPoutcome used = m.deleteCode(7);
        QCOMPARE(int(used.status), int(JPstatus::Refused));
        QCOMPARE(used.message, kMsgCodeInUse);
        QCOMPARE(table.JPname[7], QStringLiteral("Used"));
        QCOMPARE(int(m.deleteCode(8).status), int(JPstatus::Done));
        QVERIFY(table.JPname[8].isEmpty());
        QVERIFY(folderSnapshot(bank) == snapshot); // written at the next save
    }

    // Each category by name, free codes behind the names (also behind names
    // above U+9ED1, and a name "黑黑" stays a name); every record keeps its
    // journal; bytes after the last whole record stay.
    void sortKeepsEveryRecordOnItsName()
    {
        // Codes 1..17 in the groups 1-8, 9-12, 13-15, 16-17.
        const QStringList names =
            QString::fromUtf8("|Zeta||alpha|Beta|黑黑|Ｚ全角|Beta|||Nu|Mu|||Press B|Press A||Other").split(u'|');
        JPcodeTable table = jpTable(8, 12, 15, 17, {});
        table.JPname = names;
        const QString bank = newBank();
        writeJPbank(bank, table, {{1, 2}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}, {11, 2}, {15, 1}, {17, 1}, {0, 1}});
        const QByteArray tail("partial record");
        QFile f(bank + "/record.tzd");
        QVERIFY(f.open(QIODevice::Append) && f.write(tail) == tail.size());
        f.close();
        const QList<Record> before = storedRecords(bank);

        JPcodeMaintenance m = ops(bank, table);
        QCOMPARE(int(m.sort().status), int(JPstatus::Done));
        QCOMPARE(m_asked, QStringList{kAskSort});
        const QStringList expected =
            QString::fromUtf8("|Beta|Beta|Zeta|alpha|黑黑|Ｚ全角|||Mu|Nu|||Press A|Press B||Other|").split(u'|');
        QCOMPARE(storedTable(bank).JPname, expected);
        QVERIFY2(journalFault(bank).isEmpty(), qPrintable(journalFault(bank)));
        QCOMPARE(storedRecords(bank).size(), before.size());
        QVERIFY(readFile(bank + "/record.tzd").endsWith(tail));
        QCOMPARE(m.usage[1] + m.usage[2], 2); // the two "Beta" records, recounted
    }

    // The editor on a bank: the text output (the title line and the three
    // list lines each ended by a carriage return alone, then one CR LF;
    // nothing when cancelled at the question); then Cancel in the progress
    // window during the record pass of a sort: nothing is written and the
    // card is told of no renumbering.
    void textOutputAndACancelledSort()
    {
        FakeUserInterface ui;
        Session session(ui, m_dir.path());
        const QString bank = m_dir.filePath("text.bnk");
        writeJPbank(bank, jpTable(3, 5, 6, 7, {{1, QString::fromUtf8("生物誌")}, {2, "Nature"}}), {{1, 3}, {2, 2}});
        session.setBank(m_dir.path() + "/", "text");
        JPcodeLoad(bank + "/JPcode.tzd", session.jp);
        JPEditorModel editor(session);
        editor.load(0);
        editor.JPgroup_click(JPtop);
        const QString out = m_dir.filePath("list.txt");
        ui.files.enqueue(out);
        editor.textOutput();
        QCOMPARE(ui.saveFilters, kTextOutputFilters);
        QCOMPARE(ui.saveFilter, 1);
        QCOMPARE(ui.messageTexts(), QStringList{out + QStringLiteral("として保存します。")});
        QCOMPARE(readFile(out), QByteArray("JPcode list of Top Journals\r"
                                           "   1  (    3)    \x90\xb6\x95\xa8\x8e\x8f\r"
                                           "   2  (    2)    Nature\r"
                                           "   3  (     )    \r"
                                           "\r\n"));
        ui.files.enqueue(m_dir.filePath("none.txt"));
        ui.answers.append(MsgAnswer::Cancel);
        editor.textOutput();
        QVERIFY(!QFile::exists(m_dir.filePath("none.txt")));

        int renumbered = 0;
        connect(&editor, &JPEditorModel::renumbered, this, [&renumbered] { ++renumbered; });
        const auto snapshot = folderSnapshot(bank);
        ui.duringEvents = [&ui] {
            if (ui.progressShown && ui.cancel)
                ui.cancel();
        };
        editor.sort();
        QVERIFY(ui.progressOpens > 0 && ui.progressCloses == ui.progressOpens);
        QVERIFY(folderSnapshot(bank) == snapshot);
        QCOMPARE(renumbered, 0);
        QCOMPARE(session.jp.JPname[1], QString::fromUtf8("生物誌"));
        ui.duringEvents = nullptr;
        editor.sort();
        QCOMPARE(renumbered, 1);
        QCOMPARE(storedTable(bank).JPname[1], QStringLiteral("Nature"));
    }

    // Records keep their codes; their names come from the copied table.
    void copyOfAnotherBanksTable()
    {
        const QString bank = newBank(), other = newBank();
        JPcodeTable table = jpTable(20, 100, 150, 200, {{3, "Old 3"}, {120, "Old press"}});
        writeJPbank(bank, table, {{3, 2}, {120, 1}});
        const QByteArray records = readFile(bank + "/record.tzd");
        const JPcodeTable copied = jpTable(10, 50, 150, 300, {{3, "New 3"}, {120, "New press"}});
        writeJPbank(other, copied, {});
        int asked = 0;
        auto ask = [&asked](const QString &) {
            ++asked;
            return false;
        };

        QCOMPARE(int(CopyJPcodeFile(other + "/JPcode.tzd", bank, table, ask).status), int(JPstatus::Done));
        QCOMPARE(readFile(bank + "/record.tzd"), records);
        QCOMPARE(readFile(bank + "/JPcode.tzd"), readFile(other + "/JPcode.tzd"));
        QVERIFY(JPcodeName(table, 3) == "New 3" && JPcodeName(table, 120) == "New press" && table.JPendE == 300);

        // The bank's own file: left untouched, loaded again.
        const QString own = bank + "/JPcode.tzd";
        const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
        QFile ownFile(own);
        QVERIFY(ownFile.open(QIODevice::ReadWrite) && ownFile.setFileTime(old, QFileDevice::FileModificationTime));
        ownFile.close();
        const auto snapshot = folderSnapshot(bank);
        table.JPname[3] = "unsaved";
        QCOMPARE(int(CopyJPcodeFile(own, bank, table, ask).status), int(JPstatus::Done));
        QVERIFY(folderSnapshot(bank) == snapshot);
        QCOMPARE(QFileInfo(own).lastModified(), old);
        QCOMPARE(JPcodeName(table, 3), QStringLiteral("New 3"));

        // A file not read exactly is copied only when agreed (refused by the
        // command line's test); a folder is no file.
        QCOMPARE(int(CopyJPcodeFile(other, bank, table, ask).status), int(JPstatus::Failed));
        QVERIFY(asked == 0 && folderSnapshot(bank) == snapshot);
    }
};

QTEST_GUILESS_MAIN(TestJPMaintenance)
#include "tst_jp_maintenance.moc"
