// The settings file: every layout read from files built by hand byte by byte,
// the exact bytes written, clamping, and files that hold no settings.

#include "app/settings.h"

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

// A full file in the current layout with values that differ from the defaults.
QList<QByteArray> fullLines(const QByteArray &tag)
{
    return {tag,
            kJpFolderBytes,
            "kenkyu",
            " 0 ",
            " 500 ",
            " 2 ",
            " 7 ",
            " 3 ",
            " 5 ",
            "-120,12.5,9000,7000",
            "3000,2000,8760.75,6750",
            "2100,6100,7905,7290",
            "0,1"};
}

Settings defaultsIn(const QString &appFolder)
{
    Settings s;
    s.BankFolder = appFolder + u'/';
    s.BankPath = appFolder + QStringLiteral("/sample.bnk/");
    return s;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double field(const Settings &s, const QString &name)
{
    if (name == u"AutoOpen")
        return s.AutoOpen;
    if (name == u"MaxHits")
        return s.MaxHits;
    if (name == u"CurScript")
        return s.CurScript;
    if (name == u"CurForm")
        return s.CurForm;
    if (name == u"FontNameNo")
        return s.FontNameNo;
    if (name == u"FontSizeNo")
        return s.FontSizeNo;
    if (name == u"CardLeft")
        return s.CardPos.left;
    if (name == u"CardTop")
        return s.CardPos.top;
    if (name == u"CardWidth")
        return s.CardPos.width;
    if (name == u"CardHeight")
        return s.CardPos.height;
    if (name == u"BeepOn")
        return s.BeepOn;
    if (name == u"AutoDupCheck")
        return s.AutoDupCheck;
    qFatal("unknown field");
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
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("maxHits");
        QTest::addColumn<int>("curForm");
        QTest::newRow("blanks around texts")
            << QByteArray("3D\r\n   /a b/   \r\n  x y  \r\n 1 \r\n 9 \r\n 1 \r\n 2 \r\n") << "/a b/"
            << "x y" << 9 << 2;
        QTest::newRow("quoted text keeps comma and blanks")
            << QByteArray("3D\r\n \"/a, b/\" junk\r\n\" n \"\r\n1\r\n9\r\n1\r\n2\r\n") << "/a, b/"
            << " n " << 9 << 2;
        QTest::newRow("quote not closed runs to line end")
            << QByteArray("3D\r\n\"/a,b/\r\nn\r\n1\r\n9\r\n1\r\n2\r\n") << "/a,b/"
            << "n" << 9 << 2;
        QTest::newRow("comma ends a text field") << QByteArray("3D\r\n/f/,n\r\n1\r\n9\r\n1\r\n2\r\n") << "/f/"
                                                 << "n" << 9 << 2;
        QTest::newRow("LF line ends") << QByteArray("3D\n/f/\nn\n1\n9\n1\n2\n") << "/f/"
                                      << "n" << 9 << 2;
        QTest::newRow("no final line end") << QByteArray("3D\r\n/f/\r\nn\r\n1\r\n9\r\n1\r\n2") << "/f/"
                                           << "n" << 9 << 2;
        QTest::newRow("numbers split by blanks and commas") << QByteArray("3D\r\n/f/\r\nn\r\n1 9 , 1,2\r\n") << "/f/"
                                                            << "n" << 9 << 2;
        QTest::newRow("number rounds half to even") << QByteArray("3D\r\n/f/\r\nn\r\n1\r\n8.5\r\n1\r\n2.5\r\n") << "/f/"
                                                    << "n" << 8 << 2;
        QTest::newRow("empty line 2 is the program folder")
            << QByteArray("3D\r\n\r\nn\r\n1\r\n9\r\n1\r\n2\r\n") << "/app/"
            << "n" << 9 << 2;
        QTest::newRow("folder gets its ending slash")
            << QByteArray("3D\r\n/data/banks\r\nn\r\n1\r\n9\r\n1\r\n2\r\n") << "/data/banks/"
            << "n" << 9 << 2;
    }
    void fieldRules()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(int, maxHits);
        QFETCH(int, curForm);
        const Settings s = CfgParse(bytes, QStringLiteral("/app"));
        QCOMPARE(s.BankFolder, folder);
        QCOMPARE(s.BankName, name);
        QCOMPARE(s.MaxHits, maxHits);
        QCOMPARE(s.CurForm, curForm);
        QCOMPARE(s.BankPath, folder + name + QStringLiteral(".bnk/"));
    }

    void clamping_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("expected");
        QTest::newRow("AutoOpen 7") << 4 << QByteArray(" 7 ") << "AutoOpen" << 1.0;
        QTest::newRow("AutoOpen -1") << 4 << QByteArray("-1 ") << "AutoOpen" << 0.0;
        QTest::newRow("MaxHits 0") << 5 << QByteArray(" 0 ") << "MaxHits" << 1.0;
        QTest::newRow("MaxHits 40000") << 5 << QByteArray(" 40000 ") << "MaxHits" << 32767.0;
        QTest::newRow("MaxHits 1e300") << 5 << QByteArray("1e300") << "MaxHits" << 32767.0;
        QTest::newRow("CurScript 21") << 6 << QByteArray(" 21 ") << "CurScript" << 20.0;
        QTest::newRow("CurForm 0") << 7 << QByteArray(" 0 ") << "CurForm" << 1.0;
        QTest::newRow("CurForm 51") << 7 << QByteArray(" 51 ") << "CurForm" << 50.0;
        QTest::newRow("FontNameNo 99") << 8 << QByteArray(" 99 ") << "FontNameNo" << 3.0;
        QTest::newRow("FontNameNo -4") << 8 << QByteArray("-4 ") << "FontNameNo" << 0.0;
        QTest::newRow("FontSizeNo 6") << 9 << QByteArray(" 6 ") << "FontSizeNo" << 5.0;
        QTest::newRow("left far out") << 10 << QByteArray("-99999,40000,9150,8020") << "CardLeft" << -32768.0;
        QTest::newRow("top far out") << 10 << QByteArray("-99999,40000,9150,8020") << "CardTop" << 32767.0;
        QTest::newRow("negative width") << 10 << QByteArray("200,200,-5,8020") << "CardWidth" << 600.0;
        QTest::newRow("huge width") << 10 << QByteArray("200,200,1e9,8020") << "CardWidth" << 32767.0;
        QTest::newRow("negative height") << 10 << QByteArray("200,200,9150,-8020") << "CardHeight" << 600.0;
        QTest::newRow("height 70000") << 10 << QByteArray("200,200,9150,70000") << "CardHeight" << 32767.0;
        QTest::newRow("height rounds half to even")
            << 10 << QByteArray("200,200,9150,8020.5") << "CardHeight" << 8020.0;
        QTest::newRow("BeepOn 2") << 13 << QByteArray("2,0") << "BeepOn" << 1.0;
        QTest::newRow("AutoDupCheck -3") << 13 << QByteArray("1,-3") << "AutoDupCheck" << 0.0;
    }
    void clamping()
    {
        QFETCH(int, line);
        QFETCH(QByteArray, text);
        QFETCH(QString, name);
        QFETCH(double, expected);
        QList<QByteArray> lines = fullLines("3I");
        lines[line - 1] = text;
        const Settings s = CfgParse(crlf(lines), QStringLiteral("/app"));
        QCOMPARE(field(s, name), expected);
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
        const QByteArray expected = app.toUtf8() + "/\r\n"
                                                   "sample\r\n"
                                                   " 1 \r\n"
                                                   " 200 \r\n"
                                                   " 1 \r\n"
                                                   " 1 \r\n"
                                                   " 1 \r\n"
                                                   " 4 \r\n"
                                                   "200,200,9150,8020\r\n"
                                                   "3000,2000,8760,6750\r\n"
                                                   "2000,6000,7905,7290\r\n"
                                                   "1,0\r\n";
        QCOMPARE(readFile(file), "3I\r\n" + expected);
    }

    void roundTripIsByteIdentical_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("current layout") << crlf(fullLines("3I"));
        QList<QByteArray> odd = fullLines("3I");
        odd[1] = "\"/data/a, b/\"";
        odd[2] = "\" lead\"";
        odd[3] = " 1 ";
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
        QTest::newRow("tenth") << 0.1f << QByteArray("0.1");
        QTest::newRow("negative") << -1234.75f << QByteArray("-1234.75");
        QTest::newRow("minus zero") << -0.0f << QByteArray("0");
        QTest::newRow("single precision") << 8760.123f << QByteArray("8760.123");
    }
    void writesNumbersShortest()
    {
        QFETCH(float, value);
        QFETCH(QByteArray, text);
        Settings s;
        s.BankFolder = QStringLiteral("/f/");
        s.CardPos.left = value;
        QByteArray bytes;
        QString why;
        QVERIFY(CfgFormat(s, &bytes, &why));
        QCOMPARE(bytes.split('\n').at(9), text + ",200,9150,8020\r");
        QCOMPARE(CfgParse(bytes, QStringLiteral("/app")).CardPos.left, value);
    }

    void savedValuesAreClamped()
    {
        Settings s;
        s.FontNameNo = 9;
        s.MaxHits = 0;
        s.SearchPos.width = std::numeric_limits<float>::quiet_NaN();
        s.JPEditorPos.height = -3;
        QByteArray bytes;
        QString why;
        QVERIFY(CfgFormat(s, &bytes, &why));
        const QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.at(4), QByteArray(" 1 \r"));
        QCOMPARE(lines.at(7), QByteArray(" 3 \r"));
        QCOMPARE(lines.at(10), QByteArray("3000,2000,8760,6750\r"));
        QCOMPARE(lines.at(11), QByteArray("2000,6000,7905,600\r"));
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
        const QString blocker = dir.filePath(QStringLiteral("plain"));
        QVERIFY(writeFile(blocker, "x"));
        const QString file = blocker + QStringLiteral("/tz.cfg"); // a folder that cannot exist
        QString error;
        QVERIFY(!CfgSave(file, Settings(), &error));
        QVERIFY2(error.contains(QStringLiteral("tz.cfg")), qPrintable(error));

        error.clear();
        QVERIFY(!CfgSave(dir.filePath(QStringLiteral("gone/tz.cfg")), Settings(), &error));
        QVERIFY(!error.isEmpty());
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

    void textsThatNeedQuotesReadBack_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::newRow("comma") << QStringLiteral("/data/Smith, J/") << QStringLiteral("a,b");
        QTest::newRow("surrounding blanks") << QStringLiteral(" /data/") << QStringLiteral("x ");
        QTest::newRow("inner quote") << QStringLiteral("/a\"b/") << QStringLiteral("say \"hi\"");
    }
    void textsThatNeedQuotesReadBack()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        Settings s;
        s.BankFolder = folder;
        s.BankName = name;
        QByteArray bytes;
        QString why;
        QVERIFY2(CfgFormat(s, &bytes, &why), qPrintable(why));
        const Settings back = CfgParse(bytes, QStringLiteral("/app"));
        QCOMPARE(back.BankFolder, folder);
        QCOMPARE(back.BankName, name);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
