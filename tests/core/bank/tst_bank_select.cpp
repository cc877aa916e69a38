// The bank selection logic: start-up, the three modes, the action button's
// messages and steps, the recent-bank list. (The window's titles, captions and
// colours are tested through the window under gui/.)

#include "core/bank/bank_files.h"
#include "core/bank/bank_select.h"
#include "core/card/card_model.h"
#include "core/common/file_io.h"
#include "core/session/bank_log.h"
#include "core/session/session.h"
#include "support/fake_user_interface.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace tz;

namespace {

// A program folder with the shipped forms and a sample bank, a session on it
// (its settings read as at start-up) and the card the banks open on.
struct Fixture
{
    QTemporaryDir dir;
    tz::testing::FakeUserInterface ui;
    std::unique_ptr<Session> session;
    std::unique_ptr<CardModel> card;
    std::unique_ptr<BankSelect> bank;
    QStringList opened; // the banks the session changed to

    explicit Fixture(bool withSample = true, bool started = true)
    {
        if (withSample)
            makeBank(QStringLiteral("sample.bnk"));
        for (const char *name : {"/form.cfx", "/script.cfx"})
            QFile::copy(QStringLiteral(TZ_SOURCE_DATA) + name, dir.path() + name);
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
    QString root() const { return dir.path() + u'/'; }
    bool makeBank(const QString &path) { return CreateBank(root() + path, QDate(2024, 1, 2), nullptr); }
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

} // namespace

class TestBankSelect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // When the automatic opening finds no bank, or cannot read its record
    // file (a folder in its place): a signal, then the open mode; the
    // action button then tells why and nothing opens.
    void startUpWithoutABankShowsOpenMode()
    {
        Fixture f(false, false);
        QVERIFY(writeFile(f.root() + QStringLiteral("tz.cfg"),
                          "3I\r\n" + f.root().toUtf8() + "\r\nmine\r\n 1 \r\n 200 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n"));
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
        QVERIFY(f.makeBank(QStringLiteral("abc.bnk")));
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
        QVERIFY(f.makeBank(QStringLiteral("X/abc.bnk")));
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
        QVERIFY(f.makeBank(QStringLiteral("other.bnk")));
        paths[0] = f.root() + QStringLiteral("other.bnk");
        f.bank->PathClick(0);
        QVERIFY(f.bank->dirPath == paths[0] && f.bank->bankText == QStringLiteral("other.bnk"));
        QVERIFY(QDir(paths[0]).removeRecursively());
        f.bank->DirChange(f.dir.path());
        f.bank->PathClick(0);
        QCOMPARE(f.bank->dirPath, QDir::cleanPath(f.dir.path()));
        f.bank->PathClick(42); // no such entry
    }
};

QTEST_GUILESS_MAIN(TestBankSelect)
#include "tst_bank_select.moc"
