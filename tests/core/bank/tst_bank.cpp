// Banks: the bank selection logic (its window is tested under gui/), the
// sample bank and its source, and converting a bank of version 2 (every field
// mapped, the old bank kept under ".bak", every fault told, nothing half-made).
#include "core/bank/bank_convert.h"
#include "core/bank/bank_select.h"
#include "core/bank/sample_bank.h"
#include "core/card/card_model.h"
#include "core/common/file_io.h"
#include "core/common/ole_date.h"
#include "core/format/name_list.h"
#include "core/search/search_engine.h"
#include "core/session/bank_log.h"
#include "core/session/session.h"
#include "core/store/link_table.h"
#include "support/old_bank.h"
#include "support/program_folder.h"
#include "support/test_rows.h"

#include <QDir>
#include <QtTest>

using namespace tz;
using namespace tz::testing;

namespace {

// A program folder with the shipped forms and a sample bank, a session on it
// (its settings read as at start-up) and the card the banks open on.
struct Fixture : ProgramFolder
{
    std::unique_ptr<Session> session;
    std::unique_ptr<CardModel> card;
    std::unique_ptr<BankSelect> bank;
    QStringList opened; // the banks the session changed to

    explicit Fixture(bool withSample = true, bool started = true)
    {
        if (withSample)
            makeBank(QStringLiteral("sample"));
        if (started)
            start();
    }
    // Start-up: the session reads its files, then the bank logic starts.
    void start()
    {
        session = std::make_unique<Session>(ui, dir.path());
        QObject::connect(session.get(), &Session::bankChanged, [this] { opened << session->BankName(); });
        session->load();
        card = std::make_unique<CardModel>(*session);
        bank = std::make_unique<BankSelect>(*session, *card);
        bank->StartUp();
    }
    // The action button in `mode`, standing in `folder` (under the program
    // folder) with `name` typed, the questions answered with `answers`.
    void click(BankMode mode, const QString &folder, const QString &name, const QList<MsgAnswer> &answers = {})
    {
        bank->BankView(mode);
        bank->DirChange(root() + folder);
        bank->bankText = name;
        ui.messages.clear();
        ui.answers = answers;
        bank->Command1Click();
    }
    // The one error told after the question of the action button.
    bool failedWith(const QString &text) const
    {
        return ui.messages.size() == 2 && ui.messages[1].icon == MsgIcon::Error && ui.messages[1].text.contains(text);
    }
};

const QDate kSampleToday(2024, 5, 1);

// A small JP code list, and three records that name codes of it.
const char *const kJPcodes = "# a small table\nends: 2-4-6-8\n[T] frequent\nNature\nScience\n[J]\n世界\n[P]\n"
                             "John Murray\n岩波書店\n[E]\nCERN\n";
const char *const kRecords =
    "\nregistered: 2020-02-03\n@ wc\nstyle: journal\nauthor: J. D. Watson and F. H. C. Crick\n"
    "title: Molecular structure of nucleic acids\njp: Nature\nvolume: 171\npages: 737-8\nyear: 1953\n"
    "doi: 10.1038/171737a0\nlinks: tono\n\n"
    "@ tono\nStyle: Monograph\nauthor: 柳田國男\ntitle: 遠野物語\njp: 岩波書店\nyear: 1910\nmemo: 民俗学の古典\n"
    "registered: 2021-12-24\n\n"
    "@ note\nstyle: etc.\nauthor: T. Berners-Lee et al\ntitle: Information Management: A Proposal\njp: CERN\n"
    "month: 3\nday: 13\nyear: 1989\nurl: https://example.org/x\nlinks: wc tono\n";

JPcodeTable smallTable()
{
    QStringList errors;
    const JPcodeTable t = ParseSampleJPcodes(QString::fromUtf8(kJPcodes), "jpcodes.txt", errors);
    return errors.isEmpty() ? t : JPcodeTable{};
}

QList<SampleRecord> parse(const QString &text, QStringList &errors)
{
    return ParseSampleRecords(text, "records.txt", smallTable(), kSampleToday, errors);
}

const QList<OldRecord> kOld = {
    {"memo one", "J. Smith and K. Lee&&A. B. Editor", "Results&&key, words&&The book", 1998, 0, "12,101-110"},
    {"", "R.Roe&&", "Why?&&&&", 2001, 100, "3,5-9"},
    {"\x93\xfa\x96\x7b", "S.Sato&&", "\x8c\xa4\x8b\x86&&&&\x96\x7b", 0, 101, "1,1-2"}, // 日本 研究 本
    {"", "Solo", "Only a title", 1990, 7, "7"},
};

} // namespace

class TestBank : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir; // the old bank "mine" and its conversions
    QString old() const { return m_dir.filePath(QStringLiteral("mine")); }
    QString bank() const { return m_dir.filePath(QStringLiteral("mine.bnk")); }
    bool convert(QString *error = nullptr, QString *kept = nullptr)
    {
        QString e;
        return ConvertOldBank(old(), bank(), kToday, {}, error ? error : &e, kept);
    }
    // The old bank written anew, nothing else beside it.
    void freshOldBank()
    {
        QDir(old()).removeRecursively();
        for (const QString &name : QDir(m_dir.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
            QDir(m_dir.filePath(name)).removeRecursively();
        writeOldBank(old(), kOld);
    }

private Q_SLOTS:
    // When the automatic opening finds no bank, or cannot read its record
    // file (a folder in its place): a signal, then the open mode; the
    // action button then tells why and nothing opens.
    void startUpWithoutABankShowsOpenMode()
    {
        Fixture f(false, false);
        f.writeSettings(QStringLiteral("mine"), " 1 \r\n 200 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n");
        f.start();
        QVERIFY(f.opened.isEmpty() && f.bank->visible && f.bank->mode == BankMode::Open);
        QCOMPARE(f.bank->pathText, f.root() + QStringLiteral("mine.bnk/"));
        QCOMPARE(f.ui.tones, QList<QList<Tone>>{SignalTones(SignalKind::StartUpError)});

        Fixture g(true, false);
        QVERIFY(QFile::remove(g.root() + QStringLiteral("sample.bnk/record.tzd")));
        QVERIFY(QDir().mkdir(g.root() + QStringLiteral("sample.bnk/record.tzd")));
        g.start();
        QVERIFY(g.ui.tones.size() == 1 && g.bank->visible && g.bank->mode == BankMode::Open);
        g.bank->Command1Click();
        QVERIFY(g.bank->visible && !g.bank->bankOpen() && g.opened.isEmpty());
        QVERIFY(g.ui.messages.size() == 2 && g.ui.messages.last().text.contains(QStringLiteral("record.tzd")));
    }

    // Forms with dropped parts give one message, no form at all a signal;
    // either way the bank opens.
    void startUpReportsFormTrouble()
    {
        Fixture f(true, false);
        QVERIFY(writeFile(f.root() + QStringLiteral("form.cfg"),
                          readFile(f.root() + QStringLiteral("form.cfx")).left(300)));
        f.start();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages.first().text.startsWith(QStringLiteral("書式ファイルとスクリプトファイル")));
        QVERIFY(f.ui.messages.first().text.contains(QStringLiteral("form.cfg")) && f.opened.size() == 1);

        Fixture g(true, false);
        QFile::remove(g.root() + QStringLiteral("form.cfx"));
        g.start();
        QVERIFY(g.ui.tones == QList<QList<Tone>>{SignalTones(SignalKind::StartUpError)} && g.opened.size() == 1);
    }

    // Names the action button refuses (the mode, the folder stood in, the name
    // typed, the message): OK lets the name be corrected, Cancel hides the
    // window; nothing is made or opened.
    void refusedNames_data()
    {
        const char *none = "文献バンクの名前を入れてください", *exists = "文献バンク abc はすでに存在します";
        // clang-format off
        rows::table({"mode", "folder", "name", "message"}, {
            {"1", "", "Nothing", "文献バンク nothing がありません"},
            // Standing in abc.bnk, "c" is contained in the folder name but no c.bnk exists.
            {"1", "abc.bnk", "c", "文献バンク c がありません"},
            // A folder beside the list counts: making it would blank its first record.
            {"2", "", "Abc", exists}, {"3", "abc.bnk", "abc.bnk", exists}, {"1", "", ".bnk", none}, {"3", "", "a/b", none},
        });
        // clang-format on
    }
    void refusedNames()
    {
        Fixture f;
        f.makeBank(QStringLiteral("abc"));
        const QMap<QString, QByteArray> before = folderSnapshot(f.dir.path());
        const auto click = [&](MsgAnswer answer) {
            f.click(BankMode(rows::number("mode")), rows::text("folder"), rows::text("name"), {answer});
        };
        click(MsgAnswer::Ok);
        QCOMPARE(f.ui.messageTexts(), QStringList{rows::text("message")});
        QVERIFY(f.bank->visible);
        click(MsgAnswer::Cancel);
        QCOMPARE(f.bank->visible, f.ui.messages.first().buttons == MsgButtons::Ok);
        QCOMPARE(folderSnapshot(f.dir.path()), before);
        QCOMPARE(f.opened.size(), 1);
    }

    // Standing inside the bank's own folder opens it; the settings are
    // written for the next start. (The shown record stored in its bank
    // first is checked through the program under gui/.)
    void openFromInsideTheBankFolder()
    {
        Fixture f;
        f.makeBank(QStringLiteral("X/abc"));
        f.click(BankMode::Open, QStringLiteral("X/abc.bnk"), QStringLiteral("abc.bnk"));
        QVERIFY(f.ui.messages.isEmpty() && !f.bank->visible && f.opened.last() == QStringLiteral("abc"));
        const QString x = f.root() + QStringLiteral("X/");
        QCOMPARE(f.session->BankPath(), x + QStringLiteral("abc.bnk/"));
        const Settings saved = CfgLoad(f.root() + QStringLiteral("tz.cfg"), f.root());
        QCOMPARE(saved.BankName + u' ' + saved.BankFolder, QStringLiteral("abc ") + x);
    }

    // Cancel on the question makes nothing; a new bank holds one blank
    // record, heads the recent banks and refreshes the folder list. (Its name
    // typed into the window is tested under gui/.)
    void newBank()
    {
        Fixture f;
        f.click(BankMode::New, QString(), QStringLiteral("later"), {MsgAnswer::Cancel});
        QVERIFY(!QFileInfo::exists(f.root() + QStringLiteral("later.bnk")) && !f.bank->visible);
        const int gen = f.bank->dirGeneration;
        f.click(BankMode::New, QString(), QStringLiteral("Abc.BNK"), {MsgAnswer::Ok});
        const QString made = f.root() + QStringLiteral("abc.bnk");
        QVERIFY(f.opened == QStringList({"sample", "abc"}) && f.card->recCount() == 1);
        QVERIFY(f.session->BankPaths.first() == made && f.bank->dirGeneration > gen);
    }

    // The parent is a regular file, so no folder can be made in it.
    void failingFolderCreationKeepsOpenBank()
    {
        Fixture f;
        const QString blocker = f.root() + QStringLiteral("plain");
        QVERIFY(writeFile(blocker, {}));
        for (BankMode mode : {BankMode::New, BankMode::Duplicate}) {
            f.click(mode, QStringLiteral("plain"), QStringLiteral("nope"), {MsgAnswer::Ok});
            QVERIFY(f.failedWith(QDir::toNativeSeparators(blocker + QStringLiteral("/nope.bnk"))));
            QVERIFY(f.session->BankName() == QStringLiteral("sample") && f.opened.size() == 1);
            QCOMPARE(f.ui.progressOpens, 0);
        }
    }

    // The copy is built beside its place, holds the four files and takes its
    // name when whole; the open bank stays open.
    void duplicateCopiesTheFourFiles()
    {
        Fixture f;
        const QString src = f.session->BankPath();
        f.click(BankMode::Duplicate, QString(), QStringLiteral("Copy"), {MsgAnswer::Ok});
        QCOMPARE(f.ui.messageTexts(),
                 QStringList{QStringLiteral("文献バンクの複製 copy を作成しますがよろしいですか？")});
        const QString copy = f.root() + QStringLiteral("copy.bnk/");
        for (const char *name : {"record.tzd", "JPcode.tzd", "Link.tzd", "Pdf.tzd"})
            QVERIFY2(QFile::exists(copy + name) && readFile(copy + name) == readFile(src + name), name);
        QVERIFY(f.ui.progressOpens == 1 && f.ui.progressCloses == 1 && f.opened == QStringList{"sample"});
        QCOMPARE(f.session->BankPaths.first(), (f.root() + QStringLiteral("copy.bnk")));

        // A copy that fails leaves nothing, neither the bank nor the folder it was built in.
        QVERIFY(QFile::remove(src + QStringLiteral("record.tzd")));
        f.click(BankMode::Duplicate, QString(), QStringLiteral("other"), {MsgAnswer::Ok});
        QVERIFY(f.failedWith(QStringLiteral("record.tzd")));
        const QString other = f.root() + QStringLiteral("other.bnk");
        QVERIFY(!QFileInfo::exists(other) && !QFileInfo::exists(BuildingFolderFor(other)));
        QCOMPARE(f.ui.progressCloses, f.ui.progressOpens);
        QCOMPARE(f.session->BankPaths.first(), (f.root() + QStringLiteral("copy.bnk")));
    }

    // A path moves to the top (compared without letter case); the eleventh drops;
    // the list shows entries up to the first empty one. (The start-up on the
    // sample bank is tested through the program under gui/.)
    void recentBanks()
    {
        Fixture f;
        QStringList &paths = f.session->BankPaths;
        for (int i = 0; i < kBankPathCount; ++i)
            paths[i] = QStringLiteral("/b/%1.bnk").arg(i + 1);
        f.bank->BankPathAdd(QStringLiteral("/B/3.BNK"));
        f.bank->BankPathAdd(QStringLiteral("/b/new.bnk"));
        f.bank->BankPathAdd(QStringLiteral("/b/new.bnk"));
        QCOMPARE(paths, (QStringList{"/b/new.bnk", "/B/3.BNK", "/b/1.bnk", "/b/2.bnk", "/b/4.bnk", "/b/5.bnk",
                                     "/b/6.bnk", "/b/7.bnk", "/b/8.bnk", "/b/9.bnk"}));
        QCOMPARE(f.bank->pathItems, paths);

        paths = QStringList{"/a.bnk", "/b.bnk", "", "/c.bnk", "", "", "", "", "", ""};
        f.bank->BankPathList();
        QVERIFY(f.bank->pathItems == QStringList({"/a.bnk", "/b.bnk"}) && f.bank->pathText == QStringLiteral("/a.bnk"));

        // Choosing an entry goes to its folder; one that is gone leaves the list where it was.
        f.makeBank(QStringLiteral("other"));
        paths[0] = f.root() + QStringLiteral("other.bnk");
        f.bank->PathClick(0);
        QVERIFY(f.bank->dirPath == paths[0] && f.bank->bankText == QStringLiteral("other.bnk"));
        QVERIFY(QDir(paths[0]).removeRecursively());
        f.bank->DirChange(f.dir.path());
        f.bank->PathClick(0);
        QCOMPARE(f.bank->dirPath, QDir::cleanPath(f.dir.path()));
        f.bank->PathClick(42); // no such entry

        // A folder typed into the list goes there too; a name of no folder is told.
        f.makeBank(QStringLiteral("typed"));
        QVERIFY(f.bank->PathTyped(QStringLiteral(" ") + f.root() + QStringLiteral("typed.bnk/ ")));
        QVERIFY(f.bank->dirPath == f.root() + QStringLiteral("typed.bnk") &&
                f.bank->bankText == QStringLiteral("typed.bnk") && f.bank->pathText == f.bank->dirPath);
        const QString gone = f.root() + QStringLiteral("gone.bnk");
        QVERIFY(!f.bank->PathTyped(gone));
        QVERIFY(f.bank->dirPath == f.root() + QStringLiteral("typed.bnk") && !f.ui.messages.isEmpty() &&
                f.ui.messages.last().text == QStringLiteral("フォルダ ") + gone + QStringLiteral(" がありません"));
    }

    void jpcodesTakeTheCodesOfTheirGroup()
    {
        const JPcodeTable t = smallTable();
        QCOMPARE(QList<int>({t.JPendT, t.JPendE}), QList<int>({2, 8}));
        QCOMPARE(t.JPname, QStringList({"", "Nature", "Science", "世界", "", "John Murray", "岩波書店", "CERN", ""}));
        // Without an "ends:" line the groups of a new bank.
        QStringList errors;
        const JPcodeTable n = ParseSampleJPcodes(QStringLiteral("[P]\nWiley\n[T]\nCell\n"), "j", errors);
        QCOMPARE(QList<int>({n.JPendT, n.JPendJ, n.JPendP, n.JPendE, int(errors.size())}),
                 QList<int>({20, 100, 150, 200, 0}));
        QCOMPARE(QStringList({n.JPname[1], n.JPname[101]}), QStringList({"Cell", "Wiley"}));
    }

    // Records stored as the card stores them, links both ways whichever
    // record names them; the bank the writer makes of them read back.
    void recordsAreStoredAsTheCardStoresThem()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("jpcodes.txt"), kJPcodes) && writeFile(dir.filePath("records.txt"), kRecords));
        SampleSource source;
        QStringList errors;
        QVERIFY2(ReadSampleSource(dir.path(), kSampleToday, source, errors), qPrintable(errors.join('\n')));
        const QList<SampleRecord> &recs = source.records;
        const double registered = DateToOle(QDate(2020, 2, 3));
        QVERIFY(recs.size() == 3 && recs[0].line == 3);
        // clang-format off
        QCOMPARE(recs[0].record, (Record{1, "", "J.D.Watson, F.H.C.Crick", "Molecular structure of nucleic acids.", 1,
                                         "171", "737", "738", 1953, "", "", "", registered}));
        QCOMPARE(recs[1].record, (Record{3, "民俗学の古典", "柳田國男", "遠野物語.", 6, "", "", "", 1910, "", "", "",
                                         DateToOle(QDate(2021, 12, 24))}));
        QCOMPARE(recs[2].record, (Record{4, "", "T.Berners-Lee et_al", "Information Management: A Proposal.", 7, "3",
                                         "13", "", 1989, "", "", "", registered}));
        // clang-format on
        QVERIFY(recs[0].address == PdfEntry({"", "10.1038/171737a0"}) &&
                recs[2].address == PdfEntry({"https://example.org/x", ""}));
        QCOMPARE(recs[0].links + recs[1].links + recs[2].links, QList<int>({2, 3, 1, 3, 1, 2}));
        // Without any date a record is registered today.
        QCOMPARE(OleToDate(parse("@ a\nstyle: 3\ntitle: T\r\n", errors)[0].record.RegDate), kSampleToday);

        const QString bank = dir.filePath("x.bnk");
        QString error;
        QVERIFY2(WriteSampleBank(source, bank, &error), qPrintable(error));
        QByteArray records, addresses;
        for (const SampleRecord &r : recs)
            records += EncodeRecord(r.record), addresses += EncodePdfEntry(r.address);
        QVERIFY(readFile(bank + "/record.tzd") == records && readFile(bank + "/Pdf.tzd") == addresses);
        QCOMPARE(QStringList({LinkRead(bank, 1, 3, 200), LinkRead(bank, 3, 3, 200)}), QStringList({"2,3", "1,2"}));
        JPcodeTable stored;
        QVERIFY(JPcodeLoad(QDir(bank).filePath("JPcode.tzd"), stored) && stored == source.jpcodes);

        // A source that is no UTF-8 text is refused.
        QVERIFY(writeFile(dir.filePath("records.txt"), "@ a\nstyle: 1\ntitle: \xff\xfe\n"));
        errors.clear();
        QVERIFY(!ReadSampleSource(dir.path(), kSampleToday, source, errors));
        QVERIFY2(errors.value(0).endsWith("not UTF-8 text"), qPrintable(errors.value(0)));
    }

    // Each source with one fault, and the start of its report (j: the JP code list).
    void faults_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fault");
        const QString head = "@ a\nstyle: journal\ntitle: T\n"; // lines 1-3
        const auto row = [](const char *name, const QString &text, const char *fault) {
            QTest::newRow(name) << text << QString::fromUtf8(fault);
        };
        row("unknown group", "[X]\nNature\n", "j:1: \"[X]\" names no group");
        row("name twice", "[T]\nA\n[J]\n\nA\n", "j:5: \"A\" is listed already (line 2)");
        row("not code page 932", "[J]\nZeitschrift fuer Physik\nMathematische Annalen\nGöttinger Nachrichten\n",
            "j:4: the name: \"ö\" cannot be stored");
        row("unknown style", "@ a\nstyle: article\ntitle: T\n", "records.txt:2: style: \"article\"");
        row("publisher for an article", head + "jp: 岩波書店\n",
            "records.txt:4: jp: \"岩波書店\" is in group P (出版社), which a journal article");
        row("link to nothing", head + "links: b\n", "records.txt:4: links: no record is labelled b");
        row("title too wide", "@ a\nstyle: 1\ntitle: " + QString(140, u'論') + "\n",
            "records.txt:3: title takes 281 bytes in code page 932, at most 280");
        row("resolver address as DOI", head + "doi: https://doi.org/10.1038/x\n",
            "records.txt:4: doi: \"https://doi.org/10.1038/x\" is no DOI");
        // Every fault is told, the unknown keys first.
        row("three faults", "@ a\nstyle: 1\ntitle: T\nyear: x\n@ b\nstyle: 1\ntitle: T\nfoo: 1\nyear: 1e3\n",
            "records.txt:8: unknown key \"foo\"|records.txt:4: year: \"x\" is not a year|records.txt:9: year:");
    }
    void faults()
    {
        QFETCH(QString, text);
        QFETCH(QString, fault);
        QStringList errors;
        if (fault.startsWith("j:"))
            ParseSampleJPcodes(text, "j", errors);
        else
            parse(text, errors);
        const QStringList faults = fault.split(u'|');
        QCOMPARE(errors.size(), faults.size());
        for (int i = 0; i < faults.size(); ++i)
            QVERIFY2(errors[i].startsWith(faults[i]), qPrintable(errors[i]));
    }

    // The bank built into the share folder holds its source as it is now, and
    // each record is what the card would have stored: a JP code of the group
    // the style takes, canonical name lists, a year and a date, all storable.
    void sampleBankIsCurrentWithItsSource()
    {
        const QString folder = QStringLiteral(TZ_SHARE_DIR "/sample.bnk");
        RecordImage bank;
        JPcodeTable jp;
        QString error;
        QVERIFY2(bank.load(folder, &error), qPrintable(error));
        QVERIFY(JPcodeLoad(QDir(folder).filePath("JPcode.tzd"), jp, &error));
        SampleSource source;
        QStringList errors;
        QVERIFY2(ReadSampleSource(QStringLiteral(TZ_SOURCE_DATA "/sample"), kSampleToday, source, errors),
                 qPrintable(errors.join('\n')));
        QVERIFY(bank.RecCount() == source.records.size() && jp == source.jpcodes);
        for (int n = 1; n <= bank.RecCount(); ++n) {
            const Record r = DecodeRecord(bank.record(n));
            QCOMPARE(r, source.records[n - 1].record);
            const int group = JPcodeGroup(jp, r.JPcode);
            const QList<int> groups = r.Style == 1 ? QList<int>{1, 2} : r.Style <= 3 ? QList<int>{3} : QList<int>{4};
            QVERIFY2(groups.contains(group) && !JPcodeName(jp, r.JPcode).isEmpty() && !r.Title.isEmpty() &&
                         r.Year > 0 && OleToDate(r.RegDate).isValid(),
                     qPrintable(QString::number(n)));
            QCOMPARE(QStringList({NameListNormalize(r.Author), NameListNormalize(r.Editor)}),
                     QStringList({r.Author, r.Editor}));
            bool lossy = false;
            QVERIFY(EncodeRecord(r, &lossy) == bank.record(n) && !lossy);
        }
    }

    // JP code 0 and the end of the journals give style 1, a code beyond them
    // style 2; a title gains its period unless it ends in "?"; without "&&",
    // "," or "-" the missing parts are empty.
    void everyFieldIsMapped()
    {
        freshOldBank();
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
            QVERIFY2(StoredRecord(bank(), n) == expected[n - 1], qPrintable(QString::number(n)));
        // The tables: the JP code and link tables copied, a URL/DOI entry per record.
        QCOMPARE(readFile(bank() + QStringLiteral("/JPcode.tzd")), QByteArray("J\r\n20-100-150\r\nNature\r\n"));
        QCOMPARE(readFile(bank() + QStringLiteral("/Link.tzd")), le16(1) + le16(2));
        QCOMPARE(readFile(bank() + QStringLiteral("/Pdf.tzd")), QByteArray(4 * 600, ' '));
        QVERIFY(IsBank(bank()));
    }

    // A second conversion keeps the first as NAME.bak, a third the second as NAME.bak2.
    void anEarlierBankIsKept()
    {
        freshOldBank();
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
        freshOldBank();
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
        freshOldBank();
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

QTEST_GUILESS_MAIN(TestBank)
#include "tst_bank.moc"
