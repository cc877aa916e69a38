// The session's files and services: the settings file and the bank-path log
// read from bytes laid out by hand and written byte for byte; signals, the
// progress driver, the program folder, and the help pages.
#include "core/common/file_faults.h"
#include "core/common/file_io.h"
#include "core/session/app_folder.h"
#include "core/session/bank_log.h"
#include "core/session/services.h"
#include "core/session/session.h"
#include "core/session/settings.h"
#include "support/fake_user_interface.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QThread>
#include <QXmlStreamReader>
#include <QtTest>

using namespace tz;
using tz::testing::FakeUserInterface;

namespace {

// "/home/田中/文献表" in code page 932 (表 ends in the byte 0x5C).
const QByteArray kJpPath("/home/\x93\x63\x92\x86/\x95\xb6\x8c\xa3\x95\x5c");
const QString kJpFolder = QStringLiteral("/home/田中/文献表/");
const QString kApp = QStringLiteral("/app");

QByteArray crlf(const QList<QByteArray> &lines)
{
    return lines.join("\r\n") + "\r\n";
}

// A full file with values that differ from the defaults.
QList<QByteArray> fullLines(const QByteArray &tag = "3I")
{
    return QByteArray(tag + '\n' + kJpPath + '/' +
                      "\nkenkyu\n 0 \n 500 \n 2 \n 7 \n 3 \n 5 \n-120,12.5,9000,7000\n"
                      "3000,2000,8760.75,6750\n2100,6100,7905,7290\n0,1")
        .split('\n');
}

// All values on one line, for comparisons that show what differs.
QString show(const Settings &s)
{
    QStringList out{s.CfgVersion, s.BankFolder, s.BankName, s.BankPath};
    for (int n : {int(s.AutoOpen), s.MaxHits, s.CurScript, s.CurForm, s.FontNameNo, s.FontSizeNo, int(s.BeepOn),
                  int(s.AutoDupCheck)})
        out << QString::number(n);
    for (const WindowPos &p : {s.CardPos, s.SearchPos, s.JPEditorPos})
        out << QStringLiteral("%1,%2,%3,%4").arg(p.left).arg(p.top).arg(p.width).arg(p.height);
    return out.join(u'|');
}

// A row of the logs read: the log's bytes, its entries, the lines told.
void row(const char *name, const QByteArray &bytes, QStringList entries, const QString &inexact = {})
{
    entries.resize(kBankPathCount);
    QTest::newRow(name) << bytes << entries << inexact;
}

const QDir kHelpDir(QStringLiteral(TZ_SOURCE_DATA "/help"));

// The pages a page links to.
QStringList links(const QString &page)
{
    QStringList out;
    for (const auto &m : QRegularExpression(QStringLiteral("href=\"([^\"]*)\"")).globalMatch(page))
        out.append(m.captured(1));
    return out;
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The tag, how many lines of the full file are given (".5": and part of
    // the next one), and what is read beyond line 7: 1 the fonts, 2 the window
    // positions, 3 the switches. The tag is compared exactly; a file cut inside
    // a group keeps the complete groups.
    void layouts_data()
    {
        // clang-format off
        rows::table({"tag", "lines", "parts"}, {
            {"3D", "13", "0"}, {"3F", "9", "1"}, {"3H", "12", "2"}, {"3I", "13", "3"}, {"3f", "13", "3"},
            {"3I", "10.5", "2"}, {"3I", "8", "0"},
        });
        // clang-format on
    }
    void layouts()
    {
        const QByteArray tag = rows::text("tag").toLatin1();
        const double lines = rows::text("lines").toDouble();
        const int parts = rows::number("parts");
        QByteArray bytes = crlf(fullLines(tag).first(int(lines)));
        if (lines != int(lines))
            bytes += "3000,2000"; // a cut SearchPos line
        Settings e;
        e.CfgVersion = QString::fromLatin1(tag), e.BankFolder = kJpFolder, e.BankName = QStringLiteral("kenkyu");
        e.BankPath = kJpFolder + QStringLiteral("kenkyu.bnk/");
        e.AutoOpen = false, e.MaxHits = 500, e.CurScript = 2, e.CurForm = 7;
        if (parts >= 1)
            e.FontNameNo = 3, e.FontSizeNo = 5;
        if (parts >= 2)
            e.CardPos = {-120, 12.5f, 9000, 7000};
        if (parts >= 2 && lines >= 12)
            e.SearchPos = {3000, 2000, 8760.75f, 6750}, e.JPEditorPos = {2100, 6100, 7905, 7290};
        if (parts >= 3)
            e.BeepOn = false, e.AutoDupCheck = true;
        QCOMPARE(show(CfgParse(bytes, kApp)), show(e));
    }

    // Lines 2 to 7 of a "3D" file, and what they give: folder|name|MaxHits|CurForm.
    // Quoted texts keep commas and blanks, an unclosed quote runs to the line's
    // end, a comma ends a text field; numbers may share a line and halve to
    // even; an empty folder is the program folder, and a folder ends in "/".
    void fieldRules_data()
    {
        // clang-format off
        rows::table({"lines", "read"}, {
            {"   /a b/   \r\n  x y  \r\n 1 \r\n 9 \r\n 1 \r\n 2 \r\n", "/a b/|x y|9|2"},
            {" \"/a, b/\" junk\r\n\" n \"\r\n1\r\n9\r\n1\r\n2\r\n", "/a, b/| n |9|2"},
            {"\"/a,b/\r\nn\r\n1\r\n9\r\n1\r\n2\r\n", "/a,b/|n|9|2"}, {"/f/,n\r\n1\r\n9\r\n1\r\n2\r\n", "/f/|n|9|2"},
            {"/f/\nn\n1 9 , 1,2", "/f/|n|9|2"},
            {"/f/\r\nn\r\n1\r\n8.5\r\n1\r\n2.5\r\n", "/f/|n|8|2"}, {"\r\nn\r\n1\r\n9\r\n1\r\n2\r\n", "/app/|n|9|2"},
            {"/data\r\nn\r\n1\r\n9\r\n1\r\n2\r\n", "/data/|n|9|2"},
        });
        // clang-format on
    }
    void fieldRules()
    {
        const Settings s = CfgParse("3D\r\n" + rows::text("lines").toLatin1(), kApp);
        QCOMPARE(QStringList({s.BankFolder, s.BankName, QString::number(s.MaxHits), QString::number(s.CurForm)}),
                 rows::text("read").split(u'|'));
        QCOMPARE(s.BankPath, s.BankFolder + s.BankName + QStringLiteral(".bnk/"));
    }

    // A line of a full file replaced, and that line as written back: clamped
    // into range, numbers in their shortest form.
    void numbersWrittenBack_data()
    {
        // clang-format off
        rows::table({"line", "text", "written"}, {
            {"4", " 7 ", " 1 "}, {"5", " 0 ", " 1 "}, {"5", " 40000 ", " 32767 "}, {"6", " 21 ", " 20 "},
            {"7", " 51 ", " 50 "}, {"8", "-4 ", " 0 "}, {"9", " 6 ", " 5 "},
            {"10", "-99999,40000,1e9,70000", "-32768,32767,32767,32767"}, {"10", "200,200,-5,-8020", "200,200,600,600"},
            {"10", "-0,2.50,8760.123,8020.5", "0,2.5,8760.123,8020"}, {"13", "2,-3", "1,0"},
        });
        // clang-format on
    }
    void numbersWrittenBack()
    {
        QList<QByteArray> lines = fullLines();
        lines[rows::number("line") - 1] = rows::text("text").toLatin1();
        const Settings s = CfgParse(crlf(lines), kApp);
        QByteArray bytes;
        QString why;
        QVERIFY2(CfgFormat(s, &bytes, &why), qPrintable(why));
        QCOMPARE(bytes.split('\n').value(rows::number("line") - 1).chopped(1), rows::text("written").toLatin1());
        QCOMPARE(s.BankName, QStringLiteral("kenkyu")); // the rest is still read
    }

    // An empty file gives the defaults, saved byte for byte; a window extent
    // that is not a number is written as its default. A failed save names the
    // file and leaves the old one as it was.
    void settingsSaves()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("tz.cfg"));
        QVERIFY(writeFile(file, {}));
        Settings s = CfgLoad(file, dir.path());
        s.CardPos.left = std::numeric_limits<float>::quiet_NaN();
        QString error;
        QVERIFY2(CfgSave(file, s, &error), qPrintable(error)); // an empty file is read exactly
        const QByteArray saved = "3I\r\n" + dir.path().toUtf8() +
                                 "/\r\nsample\r\n 1 \r\n 200 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n200,200,9150,8020\r\n"
                                 "3000,2000,8760,6750\r\n2000,6000,7905,7290\r\n1,0\r\n";
        QCOMPARE(readFile(file), saved);
        // clang-format off
        for (const auto &[folder, name, where] : QList<std::tuple<QString, QString, QString>>{
                 {"/a\nb/", "n", "tz.cfg"}, {"/f/", "bank\U0001F600", "tz.cfg"}, {"/a,\"b/", "n", "tz.cfg"},
                 {"/f/", "n", "gone/tz.cfg"}}) {
            // clang-format on
            s.BankFolder = folder, s.BankName = name;
            QVERIFY2(!CfgSave(dir.filePath(where), s, &error) && error.contains(where), qPrintable(error));
            QCOMPARE(readFile(file), saved);
        }
    }

    // Files read through their name in other letter case. A file read exactly
    // is written back byte for byte; any other is told when read (what holds
    // no settings gives the defaults) and replaced only with the person's
    // agreement.
    void filesReadAndWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");
        const auto with = [](const QList<std::pair<int, QByteArray>> &changes) {
            QList<QByteArray> lines = fullLines();
            for (const auto &[index, text] : changes)
                lines[index] = text;
            return crlf(lines);
        };
        const QString junk = QStringLiteral("読めない内容");
        // clang-format off
        QTest::newRow("current layout") << crlf(fullLines()) << QString();
        QTest::newRow("quoted texts and odd numbers") << with({{1, "\"/data/a, b/\""}, {2, "\" lead, \""},
            {9, "0.1,-0.5,1234.567,600"}, {10, "-32768,3.4028,600.25,32767"}}) << QString();
        QTest::newRow("UTF-8 folder") << with({{1, kJpFolder.toUtf8()}}) << QStringLiteral("2 行目");
        QTest::newRow("NUL byte") << with({{2, QByteArray("ken\0kyu", 7)}}) << junk;
        QTest::newRow("tag not plausible") << crlf(fullLines("<html>")) << junk;
        QTest::newRow("position not a number") << with({{10, "3000,2000,wide,6750"}}) << junk;
        QTest::newRow("ends before line 7") << crlf(fullLines().first(6)) << junk;
        QTest::newRow("oversized") << crlf(fullLines()) + QByteArray(70000, 'x') << junk;
        QTest::newRow("folder in its place") << QByteArray("<folder>") << QStringLiteral("フォルダ");
        // clang-format on
    }
    void filesReadAndWrittenBack()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("tz.cfg")), found = dir.filePath(QStringLiteral("TZ.cfg"));
        const bool folder = bytes == "<folder>";
        QVERIFY(folder ? QDir().mkdir(found) : writeFile(found, bytes));
        ConfigReadState state;
        Settings s = CfgLoad(file, dir.path(), &state);
        QCOMPARE(state.exact, said.isEmpty());
        QVERIFY2(state.message.contains(said) && (said.isEmpty() || state.message.contains(file, Qt::CaseInsensitive)),
                 qPrintable(state.message));
        QString error;
        if (said.isEmpty()) {
            QVERIFY2(CfgSave(file, s, &error), qPrintable(error));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("TZ.cfg")});
            QCOMPARE(readFile(found), bytes);
            return;
        }
        QVERIFY(said == u"2 行目" || show(s) == show(CfgParse({}, dir.path())));
        s.BankName = QStringLiteral("changed");
        QVERIFY2(!CfgSave(file, s, &error) && error.contains(said), qPrintable(error));
        QCOMPARE(folder ? QByteArray("<folder>") : readFile(found), bytes);
        if (!folder) {
            s.BankFolder = dir.path();                                   // what did not decode cannot be written
            QVERIFY2(CfgSave(file, s, &error, true), qPrintable(error)); // the person agreed
            QCOMPARE(CfgLoad(file, dir.path()).BankName, QStringLiteral("changed"));
        }
    }

    // The log's bytes, its entries (the rest empty), and the lines told as not
    // read exactly: a line with control bytes is an empty entry. Only the first
    // ten lines count, and of an oversized log only complete lines.
    void logsRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("inexact");
        QByteArray twelve;
        for (int i = 1; i <= 12; ++i)
            twelve += "/b" + QByteArray::number(i) + "\r\n";
        row("empty file", "", {});
        row("CR LF and LF, no last line end", "/a/x.bnk\r\n/b/y.bnk\n\n/c", {"/a/x.bnk", "/b/y.bnk", "", "/c"});
        row("code page 932", kJpPath + ".bnk\r\n", {"/home/田中/文献表.bnk"});
        row("control bytes", QByteArray("/a\r\n/b\0y\r\n/c\x01\r\n", 14), {"/a", "", ""}, "2, 3 行目");
        row("the first ten lines", twelve, {"/b1", "/b2", "/b3", "/b4", "/b5", "/b6", "/b7", "/b8", "/b9", "/b10"});
        row("oversized: complete lines only", "/a/x.bnk\r\n" + QByteArray(2 * 1024 * 1024, 'y'), {"/a/x.bnk"});
    }
    // Read through the name in other letter case.
    void logsRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, inexact);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("BPATH.LOG"), bytes));
        ConfigReadState state;
        QTEST(BankLogLoad(dir.filePath("Bpath.log"), dir.path(), &state), "entries");
        QCOMPARE(state.exact, inexact.isEmpty());
        QVERIFY2(state.message.contains(inexact), qPrintable(state.message));
    }

    // No log offers the program folder's sample bank. Entries are saved
    // trimmed, empty ones left out; a log with lines that did not read
    // exactly is replaced only with the person's agreement; a failed save
    // names the file or entry and leaves the old log.
    void logSaves()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("Bpath.log");
        QCOMPARE(BankLogLoad(file, dir.path() + u'/').value(0), dir.path() + "/sample.bnk");
        QStringList paths{"  /a/x.bnk ", "   ", "", "/home/田中/文献表.bnk"};
        for (int i = 5; i <= 11; ++i)
            paths.append(QStringLiteral("/b/%1.bnk").arg(i));
        QString error;
        QVERIFY2(BankLogSave(file, paths, &error), qPrintable(error));
        QCOMPARE(readFile(file), "/a/x.bnk\r\n" + kJpPath +
                                     ".bnk\r\n/b/5.bnk\r\n/b/6.bnk\r\n/b/7.bnk\r\n/b/8.bnk\r\n"
                                     "/b/9.bnk\r\n/b/10.bnk\r\n");

        const QByteArray utf8 = "/a/x.bnk\r\n" + QStringLiteral("/home/田中/文献表.bnk").toUtf8() + "\r\n";
        QVERIFY(writeFile(file, utf8));
        QVERIFY2(!BankLogSave(file, {"/new.bnk"}, &error) && error.contains(file) && error.contains("2 行目"),
                 qPrintable(error));
        QCOMPARE(readFile(file), utf8);
        QVERIFY(BankLogSave(file, {"/new.bnk"}, &error, true) && readFile(file) == "/new.bnk\r\n");

        QVERIFY(!BankLogSave(file, {"/a\nb.bnk"}, &error));
        QVERIFY2(!BankLogSave(file, {"/\U0001F600.bnk"}, &error) && error.contains("1 番目のバンク"),
                 qPrintable(error));
        QVERIFY2(!BankLogSave(dir.filePath("gone/Bpath.log"), {"/a"}, &error) && error.contains("Bpath.log"),
                 qPrintable(error));
        QCOMPARE(readFile(file), "/new.bnk\r\n");
    }

    // The three signals with beeps on, nothing with beeps off; their samples:
    // rising zero crossings count the periods of each tone.
    void signalTones()
    {
        FakeUserInterface ui;
        for (bool beepOn : {false, true})
            for (SignalKind kind : {SignalKind::EmptyField, SignalKind::StartUpError, SignalKind::SearchDone})
                Signal(ui, beepOn, kind);
        QCOMPARE(ui.tones, (QList<QList<Tone>>{{{200, 300}}, {{400, 300}}, {{400, 400}, {800, 150}}}));
        const QByteArray pcm = TonePcm(ui.tones.last(), 8000);
        QCOMPARE(pcm.size(), (3200 + 1200) * 2);
        const auto periods = [&](int from, int to) {
            int n = 0;
            for (int i = from + 1; i < to; ++i)
                n += qFromLittleEndian<qint16>(pcm.constData() + (i - 1) * 2) < 0 &&
                     qFromLittleEndian<qint16>(pcm.constData() + i * 2) >= 0;
            return n;
        };
        QVERIFY(qAbs(periods(0, 3200) - 160) <= 2 && qAbs(periods(3200, 4400) - 120) <= 2); // 400 Hz, then 800 Hz
        QVERIFY(TonePcm({}, 8000).isEmpty() && TonePcm(ui.tones.first(), 0).isEmpty());
    }

    // Without a range (first = last, or a bound below 1) the window never
    // shows; with one it opens, lets events run at most every 50 ms, and
    // closes; its Cancel only sets the flag. The session opens no blank page.
    void progressAndWebPages()
    {
        FakeUserInterface ui;
        bool cancel = false;
        ProgressDriver p(ui, cancel);
        for (const auto &[first, last] : QList<std::pair<int, int>>{{1, 1}, {0, 10}, {1, 0}, {-3, 10}})
            for (ProgressMode mode : {ProgressMode::Open, ProgressMode::Step, ProgressMode::Close})
                p.ProgressStep(mode, first, last, 0);
        QCOMPARE(ui.progressOpens + ui.progressCloses + ui.eventRuns, 0);
        p.ProgressStep(ProgressMode::Open, 1, 100, 1);
        QVERIFY(ui.progressShown && ui.eventRuns == 1);
        for (int i = 2; i < 50; ++i)
            p.ProgressStep(ProgressMode::Step, 1, 100, i);
        QCOMPARE(ui.eventRuns, 1);
        QThread::msleep(ProgressDriver::kProgressEventsMs + 10);
        p.ProgressStep(ProgressMode::Step, 1, 100, 50);
        QCOMPARE(ui.eventRuns, 2);
        ui.cancel();
        QVERIFY(cancel && ui.progressShown); // the window stays until the loop closes it
        p.ProgressStep(ProgressMode::Close, 1, 100, 0);
        QVERIFY(!ui.progressShown && ui.eventRuns == 3 && ui.progressOpens == 1);
        Session s(ui, QDir::tempPath());
        s.WebOn(QStringLiteral("  "));
        s.WebOn(QStringLiteral("https://doi.org/10.1000/1"));
        QCOMPARE(ui.webPages, QList<QUrl>{QUrl(QStringLiteral("https://doi.org/10.1000/1"))});
    }

    // TESSELLANE_HOME names the folder; a new one is seeded with the shipped
    // files, one already set up is left as it is, one that cannot be made fails.
    void appFolderFromEnvironment()
    {
        QTemporaryDir defaults, home;
        for (const char *name : {"form.cfx", "script.cfx"})
            QVERIFY(QFile::copy(QStringLiteral(TZ_SOURCE_DATA "/") + name, defaults.filePath(name)));
        QVERIFY(QDir().mkpath(defaults.filePath("sample.bnk")) && QDir().mkpath(defaults.filePath("help")));
        QVERIFY(writeFile(defaults.filePath("sample.bnk/record.tzd"), QByteArray(1174, ' ')));
        QString error;
        const auto resolve = [&](const QString &target) {
            qputenv("TESSELLANE_HOME", target.toLocal8Bit());
            const QString folder = ResolveAppFolder(defaults.path(), &error);
            qunsetenv("TESSELLANE_HOME");
            return folder;
        };
        const QString folder = home.filePath("fresh/deeper/");
        const QMap<QString, QByteArray> seed = folderSnapshot(defaults.path());
        QVERIFY2(resolve(home.filePath("fresh/deeper")) == folder && error.isEmpty(), qPrintable(error));
        QCOMPARE(folderSnapshot(home.filePath("fresh/deeper")), seed);
        QVERIFY(QFile::remove(folder + "script.cfx") && resolve(folder) == folder &&
                !QFile::exists(folder + "script.cfx"));
        QVERIFY(writeFile(home.filePath("file"), {}) && resolve(home.filePath("file/sub")).isEmpty());
        QVERIFY2(error.contains("file"), qPrintable(error));
        // A seed cut short leaves no half sample bank and no form.cfx, so that
        // the next start seeds the folder again.
        const QString again = home.filePath("again");
        {
            FileFaultScope full({FileStep::Write, ENOSPC, 0, 0, "sample.bnk"});
            QVERIFY(resolve(again).isEmpty());
        }
        QVERIFY2(error.contains(SystemReason(ENOSPC)), qPrintable(error));
        QCOMPARE(QDir(again).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"help", "script.cfx"}));
        QVERIFY(resolve(again) == again + u'/' && folderSnapshot(again) == seed);
    }

    // Without TESSELLANE_HOME the program folder is the hidden per-user data
    // folder, and banks live in a visible one: the sample bank goes to
    // "Tessellane" in the documents folder (XDG_DOCUMENTS_DIR when the user's
    // folder list names one), and the first start's settings and bank list
    // name it there. A program folder that already holds the sample bank
    // keeps its banks where they are.
    void banksLiveInTheDocumentsFolder_data()
    {
        rows::table({"documents", "userDirs"}, {{"Documents", ""}, {"文書", "XDG_DOCUMENTS_DIR=\"$HOME/文書\"\n"}});
    }
    void banksLiveInTheDocumentsFolder()
    {
        const QByteArray userDirs = rows::text("userDirs").toUtf8();
        const QString documents = rows::text("documents");
        QTemporaryDir home;
        QVERIFY(QDir().mkpath(home.filePath(".config")));
        QVERIFY(userDirs.isEmpty() || writeFile(home.filePath(".config/user-dirs.dirs"), userDirs));
        const QByteArrayList names{"HOME", "TESSELLANE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"};
        QByteArrayList kept;
        for (const QByteArray &name : names) {
            kept.append(qgetenv(name));
            qunsetenv(name);
        }
        auto restore = qScopeGuard([&] {
            for (int i = 0; i < names.size(); ++i)
                kept[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], kept[i]);
        });
        qputenv("HOME", QFile::encodeName(home.path()));

        QString error;
        const QString app = ResolveAppFolder(QStringLiteral(TZ_SHARE_DIR), &error);
        QVERIFY2(app == home.filePath(".local/share/tessellane/"), qPrintable(app + error));
        const QString banks = home.filePath(documents + "/Tessellane/");
        QCOMPARE(BankHomeFor(app), banks);
        QVERIFY(QFileInfo::exists(banks + "sample.bnk/record.tzd") && QFileInfo::exists(app + "form.cfx"));
        QVERIFY(!QFileInfo::exists(app + "sample.bnk"));
        FakeUserInterface ui;
        Session s(ui, app, BankHomeFor(app));
        s.load();
        QCOMPARE(s.settings.BankPath, banks + "sample.bnk/");
        QCOMPARE(s.BankPaths.first(), banks + "sample.bnk");

        QVERIFY(QDir().mkpath(app + "sample.bnk"));
        QCOMPARE(BankHomeFor(app), app);
    }

    // Every help context number, with a caption its page must explain: a
    // well-formed UTF-8 page with working links, to and from the contents.
    void everyTopicHasItsPage_data()
    {
        QTest::addColumn<QString>("caption");
        const QString topics = QStringLiteral(
            "1010 バンク(B)|1020 文献バンクを開く(O)|1030 文献バンクを作る(N)|1040 文献バンクの複製(D)|"
            "1050 旧文献バンクからのデータ変換(C)|1060 他文献バンクからのJPコード複製(J)|2020 類似文献を調べる(S)|"
            "2030 レコード内の全データ・ペースト(V)|2040 切り抜き(T)|2050 ビープ音を出す(B)|3000 フィールド(F)|"
            "3020 単行本/モノグラフ(M)|3030 メモ(M)|3040 Van_Der_Berg|3050 キーワード|"
            "3060 JPコードは数値で入力して下さい|3070 vol|3080 1256|3090 年号は数値で入力して下さい|3100 3,5,6,9,12|"
            "4000 AND Search|4030 Title + Keyword|4080 Dbl_booked|5000 Press names|6000 Word orders|9999 目次");
        for (const QString &t : topics.split(u'|'))
            QTest::newRow(qPrintable(t.left(4) + QStringLiteral(".html"))) << t.mid(5);
    }
    void everyTopicHasItsPage()
    {
        QFETCH(QString, caption);
        const QString file = QString::fromLatin1(QTest::currentDataTag());
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString page = utf8(readFile(kHelpDir.filePath(file)));
        QVERIFY2(!page.isEmpty() && !utf8.hasError(), "unreadable or not UTF-8");
        QXmlStreamReader xml(page);
        while (!xml.atEnd())
            xml.readNext();
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(page.contains("<html lang=\"ja\"") && page.contains("charset=\"utf-8\"") &&
                links(page).contains("help.css"));
        QVERIFY2(page.contains(caption), qPrintable(caption));
        QVERIFY2(file == u"9999.html" ||
                     (links(page).contains("9999.html") &&
                      links(QString::fromUtf8(readFile(kHelpDir.filePath("9999.html")))).contains(file)),
                 "no way to and from the contents");
        for (const QString &href : links(page))
            QVERIFY2(!href.contains(u':') && kHelpDir.exists(href.section(u'#', 0, 0)), qPrintable(href));
    }

    // No page without a topic; the build tree holds the same files.
    void buildTreeHoldsTheSamePages()
    {
        const QDir built(QStringLiteral(TZ_SHARE_DIR "/help"));
        const QStringList files = kHelpDir.entryList(QDir::Files);
        QVERIFY(built.entryList(QDir::Files) == files && files.filter(".html").size() == 26);
        for (const QString &file : files)
            QVERIFY2(readFile(kHelpDir.filePath(file)) == readFile(built.filePath(file)), qPrintable(file));
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
