// Converting a bank of version 2: every field mapped and checked, the old
// bank kept under ".bak", every fault told with nothing half-made.

#include "core/bank/bank_convert.h"
#include "core/bank/bank_files.h"
#include "core/common/ole_date.h"
#include "core/session/session.h"
#include "core/store/jpcode.h"
#include "core/store/record.h"
#include "support/fake_user_interface.h"
#include "support/old_bank.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace tz;
using namespace tz::testing;

namespace {

const QDate kToday(2026, 12, 6);

const QList<OldRecord> kOld = {
    {"memo one", "J. Smith and K. Lee&&A. B. Editor", "Results&&key, words&&The book", 1998, 0, "12,101-110"},
    {"", "R.Roe&&", "Why?&&&&", 2001, 100, "3,5-9"},
    {"\x93\xfa\x96\x7b", "S.Sato&&", "\x8c\xa4\x8b\x86&&&&\x96\x7b", 0, 101, "1,1-2"}, // 日本 研究 本
    {"", "Solo", "Only a title", 1990, 7, "7"},
};

Record stored(const QString &bank, int n)
{
    Record r;
    RecRead(bank, n, ReadMode::Stored, r, kToday);
    return r;
}

} // namespace

class TestBankConvert : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString old() const { return m_dir.filePath(QStringLiteral("mine")); }
    QString bank() const { return m_dir.filePath(QStringLiteral("mine.bnk")); }
    bool convert(QString *error = nullptr, QString *kept = nullptr)
    {
        QString e;
        return ConvertOldBank(old(), bank(), kToday, {}, error ? error : &e, kept);
    }

private Q_SLOTS:
    void init()
    {
        QDir(old()).removeRecursively();
        for (const QString &name : QDir(m_dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
            QDir(m_dir.filePath(name)).removeRecursively();
        writeOldBank(old(), kOld);
    }

    // JP code 0 and the end of the journals give style 1, a code beyond them
    // style 2; a title gains its period unless it ends in "?"; without "&&",
    // "," or "-" the missing parts are empty.
    void everyFieldIsMapped()
    {
        QVERIFY(convert());
        QCOMPARE(RecCountSet(bank()), 4);
        const double today = DateToOle(kToday);
        // clang-format off
        const QList<Record> expected{
            {1, "memo one", "J.Smith, K.Lee", "Results.", 0, "12", "101", "110", 1998, "A.B.Editor", "The book.",
             "key, words", today},
            {1, "", "R.Roe", "Why?", 100, "3", "5", "9", 2001, "", "", "", today},
            {2, "日本", "S.Sato", "研究.", 101, "1", "1", "2", 0, "", "本.", "", today},
            {1, "", "Solo", "Only a title.", 7, "7", "", "", 1990, "", "", "", today}};
        // clang-format on
        for (int n = 1; n <= 4; ++n)
            QVERIFY2(stored(bank(), n) == expected[n - 1], qPrintable(QString::number(n)));
        // The tables: the JP code and link tables copied, a URL/DOI entry per record.
        QCOMPARE(readFile(bank() + QStringLiteral("/JPcode.tzd")), QByteArray("J\r\n20-100-150\r\nNature\r\n"));
        QCOMPARE(readFile(bank() + QStringLiteral("/Link.tzd")), le16(1) + le16(2));
        QCOMPARE(readFile(bank() + QStringLiteral("/Pdf.tzd")), QByteArray(4 * 600, ' '));
        QVERIFY(IsBank(bank()));
    }

    // A second conversion keeps the first as NAME.bak, a third the second as NAME.bak2.
    void anEarlierBankIsKept()
    {
        QVERIFY(convert());
        QString kept;
        QVERIFY(convert(nullptr, &kept));
        QCOMPARE(kept, m_dir.filePath(QStringLiteral("mine.bak")));
        QVERIFY(IsBank(kept));
        QVERIFY(convert(nullptr, &kept));
        QCOMPARE(kept, m_dir.filePath(QStringLiteral("mine.bak2")));
        // An empty folder of the bank's name is no bank: it just makes room.
        QVERIFY(QDir(bank()).removeRecursively() && QDir().mkdir(bank()));
        QVERIFY(convert(nullptr, &kept));
        QCOMPARE(kept, QString());
    }

    // Old files that cannot be read exactly: a message naming the file and
    // the record, and no new bank at all.
    void badOldFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("named");
        QTest::newRow("short") << "phrase.dat" << QByteArray(284 * 3 + 10, ' ') << "phrase.dat: レコード 4";
        QTest::newRow("empty") << "memo.dat" << QByteArray() << "memo.dat: レコード 1";
        QTest::newRow("no code page 932") << "memo.dat" << padded("\x81\x7f", 70 * 4) << "memo.dat: レコード 1";
        QTest::newRow("no count") << "reconow.dat" << QByteArray("many\r\n") << "reconow.dat";
        QTest::newRow("not J") << "JPcode.dat" << QByteArray("3d\r\n1-2-3-4\r\n") << "JPcode のヴァージョンが異常";
    }
    void badOldFiles()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, named);
        QVERIFY(writeFile(old() + u'/' + file, bytes));
        QString error;
        QVERIFY(!convert(&error));
        QVERIFY2(error.contains(named), qPrintable(error));
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{QStringLiteral("mine")});
    }

    // The menu's dialogs: the name asked, the bank found, the questions and
    // messages in the program's language; a missing file listed.
    void theMenusDialogs()
    {
        FakeUserInterface ui;
        Session s(ui, m_dir.path());
        ui.inputs.enqueue(QStringLiteral("nothing"));
        BankConvert(s, kToday);
        QCOMPARE(ui.messageTexts(),
                 QStringList{QStringLiteral(
                     "指定された文献バンク nothing がありません。\n変換作業を中止し、トップメニューに戻ります。")});
        ui.messages.clear();
        QVERIFY(QFile::remove(old() + QStringLiteral("/year.dat")) &&
                QFile::remove(old() + QStringLiteral("/link.dat")));
        ui.inputs.enqueue(QStringLiteral("mine"));
        BankConvert(s, kToday);
        QCOMPARE(ui.messages.size(), 2);
        QCOMPARE(ui.messages[1].text,
                 QStringLiteral("指定された文献バンク mine 中に次のファイルがありません。\n"
                                "  link.dat\n  year.dat\n変換作業を中止し、トップメニューに戻ります。"));
        QVERIFY(!QFileInfo::exists(bank()));
        writeOldBank(old(), kOld);
        ui.messages.clear();
        ui.inputs.enqueue(QStringLiteral("mine"));
        BankConvert(s, kToday);
        QCOMPARE(
            ui.messageTexts().last(),
            QStringLiteral("変換作業が終わりました。\n新しい文献バンクは mine.bnk です。\nトップメニューに戻ります。"));
        QCOMPARE(ui.progressOpens, 1);
        QCOMPARE(ui.progressCloses, 1);
        QVERIFY(IsBank(bank()));
        // Cancel in the progress window leaves nothing of the new bank.
        ui.duringEvents = [&ui] {
            if (ui.cancel)
                ui.cancel();
        };
        ui.inputs.enqueue(QStringLiteral("mine"));
        QVERIFY(QDir(bank()).removeRecursively());
        writeOldBank(old(), QList<OldRecord>(300, kOld.first()));
        BankConvert(s, kToday);
        QVERIFY(!QFileInfo::exists(bank()));
    }
};

QTEST_GUILESS_MAIN(TestBankConvert)
#include "tst_bank_convert.moc"
