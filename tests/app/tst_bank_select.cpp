// The bank selection logic: start-up, the three modes, the action button's
// messages and steps, the recent-bank list.

#include "app/bank_files.h"
#include "app/bank_log.h"
#include "app/bank_select.h"
#include "app/card_host.h"
#include "app/fake_user_interface.h"
#include "app/session.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace tz;
using tz::testing::FakeUserInterface;

namespace {

class FakeCard : public CardHost
{
public:
    explicit FakeCard(Session &s) : m_session(s) {}
    QStringList opened; // bank names handed over
    int shown = 0;
    int recCount = -1;
    int loadingSeen = -1;
    bool fail = false;
    bool FormSet(QString *error) override
    {
        loadingSeen = m_session.BankLoading;
        if (fail) {
            *error = QStringLiteral("record.tzd: unreadable");
            return false;
        }
        recCount = OpenBankFiles(m_session, error);
        opened.append(m_session.BankName());
        return recCount >= 0;
    }
    void showCard() override { ++shown; }

private:
    Session &m_session;
};

bool copyDefaults(const QString &to)
{
    return QFile::copy(QStringLiteral(TZ_SOURCE_DATA) + QStringLiteral("/form.cfx"),
                       to + QStringLiteral("/form.cfx")) &&
           QFile::copy(QStringLiteral(TZ_SOURCE_DATA) + QStringLiteral("/script.cfx"),
                       to + QStringLiteral("/script.cfx"));
}

// A program folder with the shipped forms and a sample bank, and a session on it.
struct Fixture
{
    QTemporaryDir dir;
    FakeUserInterface ui;
    std::unique_ptr<Session> session;
    std::unique_ptr<FakeCard> card;
    std::unique_ptr<BankSelect> bank;

    explicit Fixture(bool withSample = true)
    {
        if (withSample)
            CreateBank(root() + QStringLiteral("sample.bnk"), QDate(2024, 1, 2), nullptr);
        copyDefaults(dir.path());
        session = std::make_unique<Session>(ui, dir.path());
        card = std::make_unique<FakeCard>(*session);
        bank = std::make_unique<BankSelect>(*session, *card);
    }
    QString root() const { return dir.path() + QLatin1Char('/'); }
    bool makeBank(const QString &path) { return CreateBank(path, QDate(2024, 1, 2), nullptr); }
};

} // namespace

class TestBankSelect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpWithoutSettingsOpensSample()
    {
        Fixture f;
        f.bank->StartUp();
        QCOMPARE(f.card->opened, QStringList{QStringLiteral("sample")});
        QCOMPARE(f.card->shown, 1);
        QCOMPARE(f.card->loadingSeen, 1);
        QCOMPARE(f.session->BankLoading, 0);
        QVERIFY(!f.bank->visible);
        QCOMPARE(f.card->recCount, 1);
        QCOMPARE(f.session->BankPaths.first(), (f.root() + QStringLiteral("sample.bnk")));
        QVERIFY(f.session->forms.FormCount > 0);
        QVERIFY(f.ui.messages.isEmpty());
        QVERIFY(f.ui.tones.isEmpty());
    }

    void startUpShowsOpenModeWhenNotAutomatic_data()
    {
        QTest::addColumn<QByteArray>("cfgTail");
        QTest::addColumn<bool>("withSample");
        QTest::newRow("AutoOpen 0") << QByteArray(" 0 \r\n") << true;
        QTest::newRow("last bank missing") << QByteArray(" 1 \r\n") << false;
    }
    void startUpShowsOpenModeWhenNotAutomatic()
    {
        QFETCH(QByteArray, cfgTail);
        QFETCH(bool, withSample);
        Fixture f(withSample);
        QVERIFY(f.makeBank(f.root() + QStringLiteral("mine.bnk")));
        QFile cfg(f.root() + QStringLiteral("tz.cfg"));
        QVERIFY(cfg.open(QIODevice::WriteOnly));
        cfg.write("3I\r\n" + f.root().toUtf8() + "\r\nmine\r\n" + cfgTail);
        cfg.write(" 200 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n");
        cfg.close();
        if (!withSample)
            QVERIFY(QDir(f.root() + QStringLiteral("mine.bnk")).removeRecursively());
        f.bank->StartUp();
        QVERIFY(f.card->opened.isEmpty());
        QVERIFY(f.bank->visible);
        QCOMPARE(f.bank->caption, QStringLiteral("Open"));
        QCOMPARE(f.bank->title, QStringLiteral("文献バンクを開く  Tessellane 3j03"));
        QCOMPARE(f.bank->pathText, f.root() + QStringLiteral("mine.bnk/"));
        if (withSample) {
            QCOMPARE(f.bank->bankText, QStringLiteral("mine.bnk"));
            QCOMPARE(f.bank->dirPath, f.root() + QStringLiteral("mine.bnk"));
            QCOMPARE(f.bank->colour, BankSelect::NameColour::Bank);
        }
    }

    void startUpReportsDroppedFormsOnce()
    {
        Fixture f;
        QFile form(f.root() + QStringLiteral("form.cfg"));
        QVERIFY(form.open(QIODevice::WriteOnly));
        form.write(readFile(f.root() + QStringLiteral("form.cfx")).left(300)); // ends inside a form
        form.close();
        f.bank->StartUp();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages.first().text.startsWith(QStringLiteral("書式ファイルとスクリプトファイル")));
        QVERIFY(f.ui.messages.first().text.contains(QStringLiteral("form.cfg")));
        QCOMPARE(f.card->opened.size(), 1);
    }

    void startUpSignalsWhenNoFormCanBeRead()
    {
        Fixture f;
        QFile::remove(f.root() + QStringLiteral("form.cfx"));
        f.bank->StartUp();
        QCOMPARE(f.ui.tones.size(), 1);
        QCOMPARE(f.ui.tones.first(), SignalTones(2));
        QCOMPARE(f.card->opened.size(), 1); // it goes on
    }

    void unknownModeKeepsTitleAndCaption()
    {
        Fixture f;
        f.bank->StartUp();
        f.bank->BankView(3);
        f.bank->visible = false;
        f.bank->BankView(7);
        QCOMPARE(f.bank->title, QStringLiteral("文献バンクの複製  Tessellane 3j03"));
        QCOMPARE(f.bank->caption, QStringLiteral("Dupli"));
        QVERIFY(f.bank->visible);
        QCOMPARE(f.bank->bankText, QStringLiteral("sample.bnk"));
    }

    void folderChangeColoursAndFillsName()
    {
        Fixture f;
        f.bank->StartUp();
        f.bank->BankClick();
        QCOMPARE(f.bank->colour, BankSelect::NameColour::Editing);
        f.bank->DirChange(f.root() + QStringLiteral("Sample.BNK/"));
        QCOMPARE(f.bank->colour, BankSelect::NameColour::Bank);
        QCOMPARE(f.bank->bankText, QStringLiteral("Sample.BNK"));
        QCOMPARE(f.bank->pathText, f.root() + QStringLiteral("Sample.BNK"));
        f.bank->DirChange(f.dir.path());
        QCOMPARE(f.bank->colour, BankSelect::NameColour::NoBank);
        QVERIFY(f.bank->bankText.isEmpty());
    }

    void openMessages()
    {
        Fixture f;
        f.bank->StartUp();
        f.bank->BankView(1);
        f.bank->DirChange(f.dir.path());
        f.bank->bankText = QStringLiteral("Nothing");
        f.ui.answers = {MsgAnswer::Ok};
        f.bank->Command1Click();
        QCOMPARE(f.ui.messageTexts(), QStringList{QStringLiteral("文献バンク nothing がありません")});
        QCOMPARE(f.ui.messages.first().buttons, MsgButtons::OkCancel);
        QVERIFY(f.bank->visible); // OK: correct the name
        f.ui.answers = {MsgAnswer::Cancel};
        f.bank->Command1Click();
        QVERIFY(!f.bank->visible);
        QCOMPARE(f.card->opened.size(), 1);
    }

    void openFromInsideTheBankFolder()
    {
        Fixture f;
        f.bank->StartUp();
        const QString x = f.root() + QStringLiteral("X");
        QVERIFY(f.makeBank(x + QStringLiteral("/abc.bnk")));
        f.bank->BankView(1);
        f.bank->DirChange(x + QStringLiteral("/abc.bnk"));
        f.bank->bankText = QStringLiteral("abc.bnk");
        f.bank->Command1Click();
        QVERIFY(f.ui.messages.isEmpty());
        QCOMPARE(f.session->BankName(), QStringLiteral("abc"));
        QCOMPARE(f.session->BankFolder(), x + QLatin1Char('/'));
        QCOMPARE(f.session->BankPath(), x + QStringLiteral("/abc.bnk/"));
        QCOMPARE(f.card->opened.last(), QStringLiteral("abc"));
        QVERIFY(!f.bank->visible);
        // The settings were written for the next start.
        const Settings saved = CfgLoad(f.root() + QStringLiteral("tz.cfg"), f.root());
        QCOMPARE(saved.BankName, QStringLiteral("abc"));
        QCOMPARE(saved.BankFolder, x + QLatin1Char('/'));
    }

    void cardThatCannotOpenKeepsTheWindow()
    {
        Fixture f;
        f.card->fail = true;
        f.bank->StartUp(); // the automatic opening fails: signal, then open mode
        QCOMPARE(f.ui.tones, QList<QList<Tone>>{SignalTones(2)});
        QVERIFY(f.bank->visible);
        QCOMPARE(f.bank->caption, QStringLiteral("Open"));
        f.bank->Command1Click();
        QVERIFY(f.bank->visible);
        QVERIFY(!f.bank->bankOpen);
        QCOMPARE(f.ui.messageTexts(), QStringList(2, QStringLiteral("record.tzd: unreadable")));
        QCOMPARE(f.ui.messages.last().icon, MsgIcon::Error);
        QCOMPARE(f.card->shown, 0);
    }

    void openRefusesFolderThatIsNoBank()
    {
        // Standing in abc.bnk, the name "c" is contained ("abc.bnk") but no
        // bank c.bnk exists beside it: nothing is opened or made.
        Fixture f;
        f.bank->StartUp();
        QVERIFY(f.makeBank(f.root() + QStringLiteral("abc.bnk")));
        f.bank->DirChange(f.root() + QStringLiteral("abc.bnk"));
        f.bank->bankText = QStringLiteral("c");
        f.ui.answers = {MsgAnswer::Cancel};
        f.bank->Command1Click();
        QCOMPARE(f.ui.messageTexts(), QStringList{QStringLiteral("文献バンク c がありません")});
        QVERIFY(!QFileInfo::exists(f.root() + QStringLiteral("c.bnk")));
        QCOMPARE(f.card->opened.size(), 1);
    }

    void newCreatesLowerCaseBank()
    {
        Fixture f;
        f.bank->StartUp();
        f.bank->BankView(2);
        f.bank->DirChange(f.dir.path());
        f.bank->bankText = QStringLiteral("Abc.BNK");
        f.ui.answers = {MsgAnswer::Ok};
        const int gen = f.bank->dirGeneration;
        f.bank->Command1Click();
        QCOMPARE(f.ui.messageTexts(), QStringList{QStringLiteral("文献バンク abc を作成しますがよろしいですか？")});
        QCOMPARE(f.ui.messages.first().icon, MsgIcon::Question);
        const QString made = f.root() + QStringLiteral("abc.bnk");
        QVERIFY(QFileInfo(made).isDir());
        QCOMPARE(QFileInfo(made + QStringLiteral("/record.tzd")).size(), qint64(kRecordSize));
        QCOMPARE(f.session->BankName(), QStringLiteral("abc"));
        QCOMPARE(f.card->opened.last(), QStringLiteral("abc"));
        QCOMPARE(f.card->recCount, 1);
        QCOMPARE(f.session->BankPaths.first(), made);
        QVERIFY(f.bank->dirGeneration > gen);
        QVERIFY(!f.bank->visible);
    }

    void newCancelledMakesNothing()
    {
        Fixture f;
        f.bank->StartUp();
        f.bank->BankView(2);
        f.bank->DirChange(f.dir.path());
        f.bank->bankText = QStringLiteral("later");
        f.ui.answers = {MsgAnswer::Cancel};
        f.bank->Command1Click();
        QVERIFY(!QFileInfo::exists(f.root() + QStringLiteral("later.bnk")));
        QVERIFY(!f.bank->visible);
        QCOMPARE(f.session->BankName(), QStringLiteral("sample"));
    }

    void existingNameForNewAndDupli_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("New") << 2;
        QTest::newRow("Dupli") << 3;
    }
    void existingNameForNewAndDupli()
    {
        QFETCH(int, mode);
        Fixture f;
        f.bank->StartUp();
        QVERIFY(f.makeBank(f.root() + QStringLiteral("other.bnk")));
        f.bank->BankView(mode);
        f.bank->DirChange(f.root() + QStringLiteral("other.bnk"));
        f.ui.answers = {MsgAnswer::Ok, MsgAnswer::Cancel};
        f.bank->Command1Click();
        QVERIFY(f.bank->visible);
        f.bank->Command1Click();
        QVERIFY(!f.bank->visible);
        QCOMPARE(f.ui.messageTexts(), QStringList(2, QStringLiteral("文献バンク other はすでに存在します")));
        // The open bank's own name just hides the window.
        f.ui.messages.clear();
        f.bank->BankView(mode);
        f.bank->Command1Click();
        QVERIFY(f.ui.messages.isEmpty());
        QVERIFY(!f.bank->visible);
        QCOMPARE(f.card->opened.size(), 1);
    }

    void newRefusesFolderBesideTheList()
    {
        // The folder exists though the list does not stand in it: making a
        // bank there would blank its first record.
        Fixture f;
        f.bank->StartUp();
        QVERIFY(f.makeBank(f.root() + QStringLiteral("kept.bnk")));
        const QByteArray before = readFile(f.root() + QStringLiteral("kept.bnk/record.tzd"));
        f.bank->BankView(2);
        f.bank->DirChange(f.dir.path());
        f.bank->bankText = QStringLiteral("kept");
        f.ui.answers = {MsgAnswer::Cancel};
        f.bank->Command1Click();
        QCOMPARE(f.ui.messageTexts(), QStringList{QStringLiteral("文献バンク kept はすでに存在します")});
        QCOMPARE(readFile(f.root() + QStringLiteral("kept.bnk/record.tzd")), before);
    }

    void emptyNameIsRefused()
    {
        Fixture f;
        f.bank->StartUp();
        for (int mode : {1, 2, 3}) {
            f.ui.messages.clear();
            f.bank->BankView(mode);
            f.bank->bankText = QStringLiteral(".bnk");
            f.bank->Command1Click();
            QCOMPARE(f.ui.messages.size(), 1);
            QCOMPARE(f.ui.messages.first().buttons, MsgButtons::Ok);
            QVERIFY(f.bank->visible);
        }
        QVERIFY(!QFileInfo::exists(f.root() + QStringLiteral(".bnk")));
    }

    void failingFolderCreationKeepsOpenBank()
    {
        Fixture f;
        f.bank->StartUp();
        // The parent is a regular file, so no folder can be made in it.
        const QString blocker = f.root() + QStringLiteral("plain");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        for (int mode : {2, 3}) {
            f.ui.messages.clear();
            f.bank->BankView(mode);
            f.bank->dirPath = blocker;
            f.bank->bankText = QStringLiteral("nope");
            f.ui.answers = {MsgAnswer::Ok};
            f.bank->Command1Click();
            QCOMPARE(f.ui.messages.size(), 2);
            QCOMPARE(f.ui.messages.at(1).icon, MsgIcon::Error);
            QVERIFY(f.ui.messages.at(1).text.contains(QDir::toNativeSeparators(blocker + QStringLiteral("/nope.bnk"))));
            QCOMPARE(f.session->BankName(), QStringLiteral("sample"));
            QCOMPARE(f.card->opened.size(), 1);
            QCOMPARE(f.ui.progressOpens, 0);
        }
    }

    void duplicateCopiesTheFourFiles()
    {
        Fixture f;
        f.bank->StartUp();
        const QString src = f.session->BankPath();
        f.bank->BankView(3);
        f.bank->DirChange(f.dir.path());
        f.bank->bankText = QStringLiteral("Copy");
        f.ui.answers = {MsgAnswer::Ok};
        f.bank->Command1Click();
        QCOMPARE(f.ui.messageTexts(),
                 QStringList{QStringLiteral("文献バンクの複製 copy を作成しますがよろしいですか？")});
        const QString copy = f.root() + QStringLiteral("copy.bnk/");
        for (const char *name : {"record.tzd", "JPcode.tzd", "Link.tzd", "Pdf.tzd"}) {
            const QString n = QString::fromLatin1(name);
            QVERIFY2(QFile::exists(copy + n), name);
            QCOMPARE(readFile(copy + n), readFile(src + n));
        }
        QCOMPARE(f.ui.progressOpens, 1);
        QCOMPARE(f.ui.progressCloses, 1);
        QCOMPARE(f.session->BankName(), QStringLiteral("sample")); // stays open
        QCOMPARE(f.card->opened.size(), 1);
        QCOMPARE(f.session->BankPaths.first(), (f.root() + QStringLiteral("copy.bnk")));
    }

    void failedDuplicateRemovesPartialCopy()
    {
        Fixture f;
        f.bank->StartUp();
        QVERIFY(QFile::remove(f.session->BankPath() + QStringLiteral("record.tzd")));
        f.bank->BankView(3);
        f.bank->DirChange(f.dir.path());
        f.bank->bankText = QStringLiteral("copy");
        f.ui.answers = {MsgAnswer::Ok};
        f.bank->Command1Click();
        QCOMPARE(f.ui.messages.size(), 2);
        QVERIFY(f.ui.messages.at(1).text.contains(QStringLiteral("record.tzd")));
        QCOMPARE(f.ui.messages.at(1).icon, MsgIcon::Error);
        QVERIFY(!QFileInfo::exists(f.root() + QStringLiteral("copy.bnk")));
        QCOMPARE(f.ui.progressCloses, f.ui.progressOpens);
        QCOMPARE(f.session->BankPaths.first(), (f.root() + QStringLiteral("sample.bnk")));
    }

    void bankPathAddMovesAndDrops()
    {
        Fixture f;
        QStringList &paths = f.session->BankPaths;
        for (int i = 0; i < kBankPathCount; ++i)
            paths[i] = QStringLiteral("/b/%1.bnk").arg(i + 1);
        f.bank->BankPathAdd(QStringLiteral("/B/3.BNK"));
        QCOMPARE(paths.mid(0, 4), (QStringList{"/B/3.BNK", "/b/1.bnk", "/b/2.bnk", "/b/4.bnk"}));
        QCOMPARE(paths.last(), QStringLiteral("/b/10.bnk"));
        f.bank->BankPathAdd(QStringLiteral("/b/new.bnk"));
        QCOMPARE(paths.size(), kBankPathCount);
        QCOMPARE(paths.first(), QStringLiteral("/b/new.bnk"));
        QCOMPARE(paths.at(1), QStringLiteral("/B/3.BNK"));
        QCOMPARE(paths.last(), QStringLiteral("/b/9.bnk")); // 10 dropped
        QCOMPARE(f.bank->pathItems, paths);
        QCOMPARE(f.bank->pathIndex, 0);
        f.bank->BankPathAdd(QStringLiteral("/b/new.bnk")); // already first
        QCOMPARE(paths.at(1), QStringLiteral("/B/3.BNK"));
    }

    void pathListStopsAtFirstEmptyEntry()
    {
        Fixture f;
        f.session->BankPaths = {"/a.bnk", "/b.bnk", "", "/c.bnk", "", "", "", "", "", ""};
        f.bank->BankPathList();
        QCOMPARE(f.bank->pathItems, (QStringList{"/a.bnk", "/b.bnk"}));
        QCOMPARE(f.bank->pathText, QStringLiteral("/a.bnk"));
    }

    void pathClickGoesToTheBank()
    {
        Fixture f;
        f.bank->StartUp();
        const QString other = f.root() + QStringLiteral("other.bnk");
        QVERIFY(f.makeBank(other));
        f.bank->BankPathAdd(other);
        f.bank->DirChange(f.dir.path());
        f.bank->PathClick(0);
        QCOMPARE(f.bank->dirPath, other);
        QCOMPARE(f.bank->bankText, QStringLiteral("other.bnk"));
        QCOMPARE(f.bank->colour, BankSelect::NameColour::Bank);
        // A path that is gone leaves the list where it was.
        QVERIFY(QDir(other).removeRecursively());
        f.bank->DirChange(f.dir.path());
        f.bank->PathClick(0);
        QCOMPARE(f.bank->dirPath, QDir::cleanPath(f.dir.path()));
        f.bank->PathClick(42); // no such entry
    }
};

QTEST_GUILESS_MAIN(TestBankSelect)
#include "tst_bank_select.moc"
