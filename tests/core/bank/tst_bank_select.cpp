// The bank selection logic: start-up, the three modes, the action button's
// messages and steps, the recent-bank list. (The window's titles, captions and
// colours are tested through the window under gui/.)

#include "core/bank/bank_files.h"
#include "core/bank/bank_select.h"
#include "core/card/card_model.h"
#include "core/common/file_io.h"
#include "core/session/bank_log.h"
#include "core/session/session.h"
#include "core/store/record.h"
#include "support/fake_user_interface.h"
#include "support/test_files.h"

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
    void startUpWithoutSettingsOpensSample()
    {
        Fixture f;
        QCOMPARE(f.opened, QStringList{QStringLiteral("sample")});
        QCOMPARE(f.card->bankPath(), f.session->BankPath());
        QVERIFY(!f.bank->visible);
        QCOMPARE(f.session->BankPaths.first(), (f.root() + QStringLiteral("sample.bnk")));
        QVERIFY(f.ui.messages.isEmpty() && f.ui.tones.isEmpty());
    }

    // The open mode with the last bank named, when it is not opened at once or is gone.
    void startUpShowsOpenModeWhenNotAutomatic()
    {
        for (bool bankThere : {true, false}) {
            Fixture f(bankThere, false);
            QVERIFY(!bankThere || f.makeBank(QStringLiteral("mine.bnk")));
            QVERIFY(writeFile(f.root() + QStringLiteral("tz.cfg"), "3I\r\n" + f.root().toUtf8() + "\r\nmine\r\n" +
                                                                       (bankThere ? " 0 " : " 1 ") +
                                                                       "\r\n 200 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n"));
            f.start();
            QVERIFY(f.opened.isEmpty() && f.bank->visible);
            QCOMPARE(f.bank->mode, BankMode::Open);
            QCOMPARE(f.bank->pathText, f.root() + QStringLiteral("mine.bnk/"));
            QCOMPARE(f.bank->bankText, bankThere ? QStringLiteral("mine.bnk") : QString());
            QCOMPARE(f.ui.tones.size(), bankThere ? 0 : 1);
        }
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
        QVERIFY(f.ui.messages.first().text.contains(QStringLiteral("form.cfg")));
        QCOMPARE(f.opened.size(), 1);

        Fixture g(true, false);
        QFile::remove(g.root() + QStringLiteral("form.cfx"));
        g.start();
        QCOMPARE(g.ui.tones, QList<QList<Tone>>{SignalTones(SignalKind::StartUpError)});
        QCOMPARE(g.opened.size(), 1);
    }

    // A record file that cannot be read (a folder in its place).
    void cardThatCannotOpenKeepsTheWindow()
    {
        Fixture f(true, false);
        QVERIFY(QFile::remove(f.root() + QStringLiteral("sample.bnk/record.tzd")));
        QVERIFY(QDir().mkdir(f.root() + QStringLiteral("sample.bnk/record.tzd")));
        f.start(); // the automatic opening fails: signal, then open mode
        QCOMPARE(f.ui.tones, QList<QList<Tone>>{SignalTones(SignalKind::StartUpError)});
        QVERIFY(f.bank->visible && f.bank->mode == BankMode::Open);
        f.bank->Command1Click();
        QVERIFY(f.bank->visible && !f.bank->bankOpen());
        QVERIFY(f.ui.messages.size() == 2 && f.ui.messages.last().icon == MsgIcon::Error);
        QVERIFY(f.ui.messages.last().text.contains(QStringLiteral("record.tzd")));
        QVERIFY(f.opened.isEmpty());
    }

    void folderKinds()
    {
        Fixture f;
        f.bank->DirChange(f.root() + QStringLiteral("Sample.BNK/"));
        QCOMPARE(f.bank->colour, BankSelect::NameColour::Bank);
        QCOMPARE(f.bank->bankText, QStringLiteral("Sample.BNK"));
        QCOMPARE(f.bank->pathText, f.root() + QStringLiteral("Sample.BNK"));
        f.bank->DirChange(f.dir.path());
        QCOMPARE(f.bank->colour, BankSelect::NameColour::NoBank);
        QVERIFY(f.bank->bankText.isEmpty());
    }

    // Names the action button refuses: the message; OK lets the name be
    // corrected, Cancel hides the window; nothing is made or opened.
    void refusedNames_data()
    {
        QTest::addColumn<BankMode>("mode");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, BankMode mode, const char *folder, const char *typed, const char *text) {
            QTest::newRow(name) << mode << QString(folder) << QString(typed) << QString(text);
        };
        const char *none = "文献バンクの名前を入れてください";
        const char *exists = "文献バンク abc はすでに存在します";
        row("open: no such bank", BankMode::Open, "", "Nothing", "文献バンク nothing がありません");
        // Standing in abc.bnk, "c" is contained in the folder name but no c.bnk exists.
        row("open: folder that is no bank", BankMode::Open, "abc.bnk", "c", "文献バンク c がありません");
        // A folder beside the list counts: making it would blank its first record.
        row("new: folder beside the list", BankMode::New, "", "Abc", exists);
        row("dupli: standing in it", BankMode::Duplicate, "abc.bnk", "abc.bnk", exists);
        row("open: empty name", BankMode::Open, "", ".bnk", none);
        row("dupli: name with a slash", BankMode::Duplicate, "", "a/b", none);
    }
    void refusedNames()
    {
        QFETCH(BankMode, mode);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, message);
        Fixture f;
        QVERIFY(f.makeBank(QStringLiteral("abc.bnk")));
        const QMap<QString, QByteArray> before = folderSnapshot(f.dir.path());
        f.click(mode, folder, name, {MsgAnswer::Ok});
        QCOMPARE(f.ui.messageTexts(), QStringList{message});
        QVERIFY(f.bank->visible);
        f.click(mode, folder, name, {MsgAnswer::Cancel});
        QCOMPARE(f.bank->visible, f.ui.messages.first().buttons == MsgButtons::Ok);
        QCOMPARE(folderSnapshot(f.dir.path()), before);
        QCOMPARE(f.opened.size(), 1);
    }

    // The shown record is stored in its bank before another one opens; the
    // settings are written for the next start.
    void openFromInsideTheBankFolder()
    {
        Fixture f;
        QVERIFY(f.makeBank(QStringLiteral("X/abc.bnk")));
        f.card->setBoxText(CardBox::Memo, QStringLiteral("typed on sample"));
        f.click(BankMode::Open, QStringLiteral("X/abc.bnk"), QStringLiteral("abc.bnk"));
        QVERIFY(f.ui.messages.isEmpty() && !f.bank->visible);
        const QString x = f.root() + QStringLiteral("X/");
        QCOMPARE(f.session->BankPath(), x + QStringLiteral("abc.bnk/"));
        QCOMPARE(f.opened.last(), QStringLiteral("abc"));
        Record r;
        QVERIFY(RecRead(f.root() + QStringLiteral("sample.bnk"), 1, ReadMode::Stored, r, QDate(2024, 1, 2)));
        QCOMPARE(r.Memo, QStringLiteral("typed on sample"));
        const Settings saved = CfgLoad(f.root() + QStringLiteral("tz.cfg"), f.root());
        QCOMPARE(saved.BankName + u' ' + saved.BankFolder, QStringLiteral("abc ") + x);
    }

    void newCreatesLowerCaseBank()
    {
        Fixture f;
        f.click(BankMode::New, QString(), QStringLiteral("later"), {MsgAnswer::Cancel});
        QVERIFY(!QFileInfo::exists(f.root() + QStringLiteral("later.bnk")) && !f.bank->visible);
        const int gen = f.bank->dirGeneration;
        f.click(BankMode::New, QString(), QStringLiteral("Abc.BNK"), {MsgAnswer::Ok});
        QCOMPARE(f.ui.messages.first().icon, MsgIcon::Question);
        const QString made = f.root() + QStringLiteral("abc.bnk");
        QCOMPARE(QFileInfo(made + QStringLiteral("/record.tzd")).size(), qint64(kRecordSize));
        QCOMPARE(f.opened, (QStringList{"sample", "abc"}));
        QCOMPARE(f.card->recCount(), 1);
        QCOMPARE(f.session->BankPaths.first(), made);
        QVERIFY(f.bank->dirGeneration > gen && !f.bank->visible);
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
            QCOMPARE(f.session->BankName(), QStringLiteral("sample"));
            QCOMPARE(f.opened.size(), 1);
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
        QVERIFY(f.ui.progressOpens == 1 && f.ui.progressCloses == 1);
        QCOMPARE(f.opened, QStringList{"sample"});
        QCOMPARE(f.session->BankPaths.first(), (f.root() + QStringLiteral("copy.bnk")));

        // A copy that fails leaves nothing, neither the bank nor the folder it was built in.
        QVERIFY(QFile::remove(src + QStringLiteral("record.tzd")));
        f.click(BankMode::Duplicate, QString(), QStringLiteral("other"), {MsgAnswer::Ok});
        QVERIFY(f.failedWith(QStringLiteral("record.tzd")));
        QVERIFY(!QFileInfo::exists(f.root() + QStringLiteral("other.bnk")));
        QVERIFY(!QFileInfo::exists(BuildingFolderFor(f.root() + QStringLiteral("other.bnk"))));
        QCOMPARE(f.ui.progressCloses, f.ui.progressOpens);
        QCOMPARE(f.session->BankPaths.first(), (f.root() + QStringLiteral("copy.bnk")));
    }

    // A path moves to the top (compared without letter case); the eleventh drops;
    // the list shows entries up to the first empty one.
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
        QCOMPARE(f.bank->pathItems, (QStringList{"/a.bnk", "/b.bnk"}));
        QCOMPARE(f.bank->pathText, QStringLiteral("/a.bnk"));

        // Choosing an entry goes to its folder; one that is gone leaves the list where it was.
        QVERIFY(f.makeBank(QStringLiteral("other.bnk")));
        paths[0] = f.root() + QStringLiteral("other.bnk");
        f.bank->PathClick(0);
        QCOMPARE(f.bank->dirPath, paths[0]);
        QCOMPARE(f.bank->bankText, QStringLiteral("other.bnk"));
        QVERIFY(QDir(paths[0]).removeRecursively());
        f.bank->DirChange(f.dir.path());
        f.bank->PathClick(0);
        QCOMPARE(f.bank->dirPath, QDir::cleanPath(f.dir.path()));
        f.bank->PathClick(42); // no such entry
    }
};

QTEST_GUILESS_MAIN(TestBankSelect)
#include "tst_bank_select.moc"
