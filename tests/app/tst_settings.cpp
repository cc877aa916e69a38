// The settings file: every layout read from files built by hand byte by byte,
// the exact bytes written, clamping, and files that hold no settings.

#include "app/settings.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace tz;

namespace {

// "/home/田中/文献表/" in code page 932 (表 ends in the byte 0x5C).
const QByteArray kJpFolderBytes("/home/\x93\x63\x92\x86/\x95\xb6\x8c\xa3\x95\x5c/");
const QString kJpFolder = QStringLiteral("/home/田中/文献表/");

QByteArray crlf(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &l : lines)
        out += l + "\r\n";
    return out;
}

// A full file with values that differ from the defaults.
QList<QByteArray> fullLines(const QByteArray &tag)
{
    return QByteArray(tag + '\n' + kJpFolderBytes +
                      "\nkenkyu\n 0 \n 500 \n 2 \n 7 \n 3 \n 5 \n-120,12.5,9000,7000\n"
                      "3000,2000,8760.75,6750\n2100,6100,7905,7290\n0,1")
        .split('\n');
}

Settings defaultsIn(const QString &appFolder)
{
    Settings s;
    s.BankFolder = appFolder + u'/';
    s.BankPath = appFolder + QStringLiteral("/sample.bnk/");
    return s;
}

// Line `line` (1-based) of the file written for s, without its line end.
QByteArray writtenLine(const Settings &s, int line)
{
    QByteArray bytes;
    QString why;
    if (!CfgFormat(s, &bytes, &why))
        return "failed: " + why.toUtf8();
    return bytes.split('\n').value(line - 1).chopped(1);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingFileGivesDefaults()
    {
        QTemporaryDir dir;
        const Settings s = CfgLoad(dir.filePath(QStringLiteral("tz.cfg")), dir.path());
        QCOMPARE(s, defaultsIn(dir.path()));
        QCOMPARE(s.CfgVersion, QStringLiteral("3j03"));
        QCOMPARE(s.BankPath, dir.path() + QStringLiteral("/sample.bnk/"));
    }

    void layouts_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<int>("lines"); // how many lines of the full file are given
        QTest::addColumn<bool>("fonts");
        QTest::addColumn<bool>("positions");
        QTest::addColumn<bool>("switches");
        QTest::newRow("3D") << QByteArray("3D") << 7 << false << false << false;
        QTest::newRow("3D with more lines") << QByteArray("3D") << 13 << false << false << false;
        QTest::newRow("3F") << QByteArray("3F") << 9 << true << false << false;
        QTest::newRow("3H") << QByteArray("3H") << 12 << true << true << false;
        QTest::newRow("3I") << QByteArray("3I") << 13 << true << true << true;
        QTest::newRow("other tag") << QByteArray("3j03") << 13 << true << true << true;
        QTest::newRow("tag compared exactly") << QByteArray("3f") << 13 << true << true << true;
    }
    void layouts()
    {
        QFETCH(QByteArray, tag);
        QFETCH(int, lines);
        QFETCH(bool, fonts);
        QFETCH(bool, positions);
        QFETCH(bool, switches);
        const Settings s = CfgParse(crlf(fullLines(tag).first(lines)), QStringLiteral("/app"));
        const Settings d;
        QCOMPARE(s.CfgVersion, QString::fromLatin1(tag));
        QCOMPARE(s.BankFolder, kJpFolder);
        QCOMPARE(s.BankName, QStringLiteral("kenkyu"));
        QCOMPARE(s.BankPath, kJpFolder + QStringLiteral("kenkyu.bnk/"));
        QCOMPARE(s.AutoOpen, 0);
        QCOMPARE(s.MaxHits, 500);
        QCOMPARE(s.CurScript, 2);
        QCOMPARE(s.CurForm, 7);
        QCOMPARE(s.FontNameNo, fonts ? 3 : 1);
        QCOMPARE(s.FontSizeNo, fonts ? 5 : 4);
        const WindowPos card{-120, 12.5f, 9000, 7000};
        const WindowPos search{3000, 2000, 8760.75f, 6750};
        const WindowPos editor{2100, 6100, 7905, 7290};
        QCOMPARE(s.CardPos, positions ? card : d.CardPos);
        QCOMPARE(s.SearchPos, positions ? search : d.SearchPos);
        QCOMPARE(s.JPEditorPos, positions ? editor : d.JPEditorPos);
        QCOMPARE(s.BeepOn, switches ? 0 : 1);
        QCOMPARE(s.AutoDupCheck, switches ? 1 : 0);
    }

    void fieldRules_data()
    {
        // Lines 2 to 7 of a "3D" file, and what they give: folder|name|MaxHits|CurForm.
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QString>("read");
        QTest::newRow("blanks around texts")
            << QByteArray("   /a b/   \r\n  x y  \r\n 1 \r\n 9 \r\n 1 \r\n 2 \r\n") << "/a b/|x y|9|2";
        QTest::newRow("quoted texts keep commas and blanks")
            << QByteArray(" \"/a, b/\" junk\r\n\" n \"\r\n1\r\n9\r\n1\r\n2\r\n") << "/a, b/| n |9|2";
        QTest::newRow("quote not closed runs to line end")
            << QByteArray("\"/a,b/\r\nn\r\n1\r\n9\r\n1\r\n2\r\n") << "/a,b/|n|9|2";
        QTest::newRow("comma ends a text field") << QByteArray("/f/,n\r\n1\r\n9\r\n1\r\n2\r\n") << "/f/|n|9|2";
        QTest::newRow("LF line ends") << QByteArray("/f/\nn\n1\n9\n1\n2\n") << "/f/|n|9|2";
        QTest::newRow("no final line end") << QByteArray("/f/\r\nn\r\n1\r\n9\r\n1\r\n2") << "/f/|n|9|2";
        QTest::newRow("numbers split by blanks") << QByteArray("/f/\r\nn\r\n1 9 , 1,2\r\n") << "/f/|n|9|2";
        QTest::newRow("half to even") << QByteArray("/f/\r\nn\r\n1\r\n8.5\r\n1\r\n2.5\r\n") << "/f/|n|8|2";
        QTest::newRow("empty line 2 is the program folder")
            << QByteArray("\r\nn\r\n1\r\n9\r\n1\r\n2\r\n") << "/app/|n|9|2";
        QTest::newRow("folder gets its ending slash")
            << QByteArray("/data\r\nn\r\n1\r\n9\r\n1\r\n2\r\n") << "/data/|n|9|2";
    }
    void fieldRules()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QString, read);
        const Settings s = CfgParse("3D\r\n" + lines, QStringLiteral("/app"));
        QCOMPARE(
            QStringList({s.BankFolder, s.BankName, QString::number(s.MaxHits), QString::number(s.CurForm)}).join(u'|'),
            read);
        QCOMPARE(s.BankPath, s.BankFolder + s.BankName + QStringLiteral(".bnk/"));
    }

    void clamping_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("clamped"); // as written back
        QTest::newRow("AutoOpen 7") << 4 << QByteArray(" 7 ") << QByteArray(" 1 ");
        QTest::newRow("MaxHits 0") << 5 << QByteArray(" 0 ") << QByteArray(" 1 ");
        QTest::newRow("MaxHits 40000") << 5 << QByteArray(" 40000 ") << QByteArray(" 32767 ");
        QTest::newRow("CurScript 21") << 6 << QByteArray(" 21 ") << QByteArray(" 20 ");
        QTest::newRow("CurForm 0") << 7 << QByteArray(" 0 ") << QByteArray(" 1 ");
        QTest::newRow("CurForm 51") << 7 << QByteArray(" 51 ") << QByteArray(" 50 ");
        QTest::newRow("FontNameNo 99") << 8 << QByteArray(" 99 ") << QByteArray(" 3 ");
        QTest::newRow("FontNameNo -4") << 8 << QByteArray("-4 ") << QByteArray(" 0 ");
        QTest::newRow("FontSizeNo 6") << 9 << QByteArray(" 6 ") << QByteArray(" 5 ");
        QTest::newRow("positions far out")
            << 10 << QByteArray("-99999,40000,1e9,70000") << QByteArray("-32768,32767,32767,32767");
        QTest::newRow("negative sizes") << 10 << QByteArray("200,200,-5,-8020") << QByteArray("200,200,600,600");
        QTest::newRow("height half to even") << 10 << QByteArray("1,2,900,8020.5") << QByteArray("1,2,900,8020");
        QTest::newRow("switches") << 13 << QByteArray("2,-3") << QByteArray("1,0");
    }
    void clamping()
    {
        QFETCH(int, line);
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, clamped);
        QList<QByteArray> lines = fullLines("3I");
        lines[line - 1] = text;
        const Settings s = CfgParse(crlf(lines), QStringLiteral("/app"));
        QCOMPARE(writtenLine(s, line), clamped);
        QCOMPARE(s.BankName, QStringLiteral("kenkyu")); // the rest is still read
    }

    void garbageGivesDefaults_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QList<QByteArray> notNumber = fullLines("3I");
        notNumber[4] = " many ";
        QList<QByteArray> emptyNumber = fullLines("3I");
        emptyNumber[5] = "";
        QList<QByteArray> badPosition = fullLines("3I");
        badPosition[10] = "3000,2000,wide,6750";
        QList<QByteArray> nul = fullLines("3I");
        nul[2] = QByteArray("ken\0kyu", 7);
        QList<QByteArray> badTag = fullLines("<html>");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("only line ends") << QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
        QTest::newRow("NUL byte") << crlf(nul);
        QTest::newRow("binary junk") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18);
        QTest::newRow("tag not plausible") << crlf(badTag);
        QTest::newRow("number not a number") << crlf(notNumber);
        QTest::newRow("number field empty") << crlf(emptyNumber);
        QTest::newRow("position not a number") << crlf(badPosition);
        QTest::newRow("ends before line 7") << crlf(fullLines("3I").first(6));
        QTest::newRow("tag and bank only") << crlf(fullLines("3I").first(3));
        QTest::newRow("oversized") << crlf(fullLines("3I")) + QByteArray(70000, 'x');
    }
    void garbageGivesDefaults()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(CfgParse(bytes, QStringLiteral("/app")), defaultsIn(QStringLiteral("/app")));
    }

    void truncatedKeepsCompleteGroups()
    {
        const Settings d;
        QByteArray bytes = crlf(fullLines("3I").first(10)) + "3000,2000";
        Settings s = CfgParse(bytes, QStringLiteral("/app"));
        QCOMPARE(s.FontSizeNo, 5);
        QCOMPARE(s.CardPos, (WindowPos{-120, 12.5f, 9000, 7000}));
        QCOMPARE(s.SearchPos, d.SearchPos); // cut inside the group
        QCOMPARE(s.JPEditorPos, d.JPEditorPos);
        QCOMPARE(s.BeepOn, 1);

        s = CfgParse(crlf(fullLines("3I").first(8)), QStringLiteral("/app"));
        QCOMPARE(s.MaxHits, 500);
        QCOMPARE(s.FontNameNo, d.FontNameNo); // line 9 missing: the pair is not taken
        QCOMPARE(s.FontSizeNo, d.FontSizeNo);
    }

    void savesDefaultsExactly()
    {
        QTemporaryDir dir;
        const QString app = dir.path();
        const QString file = dir.filePath(QStringLiteral("tz.cfg"));
        QString error;
        QVERIFY(CfgSave(file, CfgLoad(file, app), &error));
        const QByteArray expected = app.toUtf8() +
                                    "/\r\nsample\r\n 1 \r\n 200 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n"
                                    "200,200,9150,8020\r\n3000,2000,8760,6750\r\n2000,6000,7905,7290\r\n1,0\r\n";
        QCOMPARE(readFile(file), "3I\r\n" + expected);
    }

    void roundTripIsByteIdentical_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("current layout") << crlf(fullLines("3I"));
        QList<QByteArray> odd = fullLines("3I");
        odd[1] = "\"/data/a, b/\"";
        odd[2] = "\" lead, \"";
        odd[9] = "0.1,-0.5,1234.567,600";
        odd[10] = "-32768,3.4028,600.25,32767";
        QTest::newRow("quoted texts and odd numbers") << crlf(odd);
    }
    void roundTripIsByteIdentical()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("tz.cfg"));
        QVERIFY(writeFile(file, bytes));
        QString error;
        QVERIFY2(CfgSave(file, CfgLoad(file, dir.path()), &error), qPrintable(error));
        QCOMPARE(readFile(file), bytes);
    }

    void writesNumbersShortest_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("whole") << 200.0f << QByteArray("200");
        QTest::newRow("half") << 12.5f << QByteArray("12.5");
        QTest::newRow("tenth") << -0.1f << QByteArray("-0.1");
        QTest::newRow("single precision") << 8760.123f << QByteArray("8760.123");
        QTest::newRow("minus zero") << -0.0f << QByteArray("0");
        QTest::newRow("not a number gives the default") << std::numeric_limits<float>::quiet_NaN() << QByteArray("200");
    }
    void writesNumbersShortest()
    {
        QFETCH(float, value);
        QFETCH(QByteArray, text);
        Settings s;
        s.CardPos.left = value;
        QCOMPARE(writtenLine(s, 10), text + ",200,9150,8020");
    }

    void fileNameIgnoresCase()
    {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("TZ.cfg")), crlf(fullLines("3I"))));
        const QString file = dir.filePath(QStringLiteral("tz.cfg"));
        Settings s = CfgLoad(file, dir.path());
        QCOMPARE(s.BankName, QStringLiteral("kenkyu"));
        s.BankName = QStringLiteral("other");
        QString error;
        QVERIFY(CfgSave(file, s, &error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("TZ.cfg")});
        QCOMPARE(CfgLoad(file, dir.path()).BankName, QStringLiteral("other"));
    }

    void saveReportsFailure()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(!CfgSave(dir.filePath(QStringLiteral("gone/tz.cfg")), Settings(), &error));
        QVERIFY2(error.contains(QStringLiteral("gone/tz.cfg")), qPrintable(error));
    }

    void unstorableTextKeepsOldFile_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::newRow("line break") << QStringLiteral("/a\nb/") << QStringLiteral("n");
        QTest::newRow("outside code page 932") << QStringLiteral("/f/") << QStringLiteral("bank\U0001F600");
        QTest::newRow("comma and quote") << QStringLiteral("/a,\"b/") << QStringLiteral("n");
        QTest::newRow("leading quote") << QStringLiteral("\"q/") << QStringLiteral("n");
    }
    void unstorableTextKeepsOldFile()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("tz.cfg"));
        const QByteArray old = crlf(fullLines("3I"));
        QVERIFY(writeFile(file, old));
        Settings s;
        s.BankFolder = folder;
        s.BankName = name;
        QString error;
        QVERIFY(!CfgSave(file, s, &error));
        QVERIFY2(error.contains(QStringLiteral("tz.cfg")), qPrintable(error));
        QCOMPARE(readFile(file), old);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
