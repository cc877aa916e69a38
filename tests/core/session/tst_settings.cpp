// The settings file: every layout read from files built by hand byte by byte,
// the exact bytes written, clamping, and files that hold no settings.

#include "core/session/settings.h"
#include "support/test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace tz;

namespace {

// "/home/田中/文献表/" in code page 932 (表 ends in the byte 0x5C).
const QByteArray kJpFolderBytes("/home/\x93\x63\x92\x86/\x95\xb6\x8c\xa3\x95\x5c/");
const QString kJpFolder = QStringLiteral("/home/田中/文献表/");
const QString kApp = QStringLiteral("/app");

QByteArray crlf(const QList<QByteArray> &lines)
{
    return lines.join("\r\n") + "\r\n";
}

// A full file with values that differ from the defaults.
QList<QByteArray> fullLines(const QByteArray &tag = "3I")
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

// Line `line` (1-based) of the file written for s, without its line end.
QByteArray writtenLine(const Settings &s, int line)
{
    QByteArray bytes;
    QString why;
    if (!CfgFormat(s, &bytes, &why))
        return "failed: " + why.toUtf8();
    return bytes.split('\n').value(line - 1).chopped(1);
}

// One row of the current data table.
template <typename... T> void row(const char *name, T... values)
{
    (QTest::newRow(name) << ... << values);
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layouts_data()
    {
        QTest::addColumn<QByteArray>("tag");
        QTest::addColumn<int>("lines"); // how many lines of the full file are given
        QTest::addColumn<int>("parts"); // 1 fonts, 2 window positions, 3 switches are read
        QTest::newRow("3D") << QByteArray("3D") << 7 << 0;
        QTest::newRow("3D with more lines") << QByteArray("3D") << 13 << 0;
        QTest::newRow("3F") << QByteArray("3F") << 9 << 1;
        QTest::newRow("3H") << QByteArray("3H") << 12 << 2;
        QTest::newRow("3I") << QByteArray("3I") << 13 << 3;
        QTest::newRow("other tag") << QByteArray("3j03") << 13 << 3;
        QTest::newRow("tag compared exactly") << QByteArray("3f") << 13 << 3;
        QTest::newRow("3I cut inside a group") << QByteArray("3I") << 10 << 2; // keeps the complete groups
        QTest::newRow("3I without line 9") << QByteArray("3I") << 8 << 0;
    }
    void layouts()
    {
        QFETCH(QByteArray, tag);
        QFETCH(int, lines);
        QFETCH(int, parts);
        QByteArray bytes = crlf(fullLines(tag).first(lines));
        if (QByteArray(QTest::currentDataTag()).contains("cut"))
            bytes += "3000,2000"; // a cut SearchPos line
        Settings e;
        e.CfgVersion = QString::fromLatin1(tag);
        e.BankFolder = kJpFolder;
        e.BankName = QStringLiteral("kenkyu");
        e.BankPath = kJpFolder + QStringLiteral("kenkyu.bnk/");
        e.AutoOpen = false;
        e.MaxHits = 500;
        e.CurScript = 2;
        e.CurForm = 7;
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
    void fieldRules_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QString>("read");
        row("blanks around texts", "   /a b/   \r\n  x y  \r\n 1 \r\n 9 \r\n 1 \r\n 2 \r\n", "/a b/|x y|9|2");
        row("quoted texts keep commas and blanks", " \"/a, b/\" junk\r\n\" n \"\r\n1\r\n9\r\n1\r\n2\r\n",
            "/a, b/| n |9|2");
        row("quote not closed runs to line end", "\"/a,b/\r\nn\r\n1\r\n9\r\n1\r\n2\r\n", "/a,b/|n|9|2");
        row("comma ends a text field", "/f/,n\r\n1\r\n9\r\n1\r\n2\r\n", "/f/|n|9|2");
        row("LF line ends", "/f/\nn\n1\n9\n1\n2\n", "/f/|n|9|2");
        row("no final line end", "/f/\r\nn\r\n1\r\n9\r\n1\r\n2", "/f/|n|9|2");
        row("numbers split by blanks", "/f/\r\nn\r\n1 9 , 1,2\r\n", "/f/|n|9|2");
        row("half to even", "/f/\r\nn\r\n1\r\n8.5\r\n1\r\n2.5\r\n", "/f/|n|8|2");
        row("empty line 2 is the program folder", "\r\nn\r\n1\r\n9\r\n1\r\n2\r\n", "/app/|n|9|2");
        row("folder gets its ending slash", "/data\r\nn\r\n1\r\n9\r\n1\r\n2\r\n", "/data/|n|9|2");
    }
    void fieldRules()
    {
        QFETCH(QString, lines);
        QFETCH(QString, read);
        const Settings s = CfgParse("3D\r\n" + lines.toLatin1(), kApp);
        QCOMPARE(QStringList({s.BankFolder, s.BankName, QString::number(s.MaxHits), QString::number(s.CurForm)}),
                 read.split(u'|'));
        QCOMPARE(s.BankPath, s.BankFolder + s.BankName + QStringLiteral(".bnk/"));
    }

    // A line of a full file replaced, and that line as written back: clamped
    // into range, numbers in their shortest form.
    void numbersWrittenBack_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        row("AutoOpen 7", 4, " 7 ", " 1 ");
        row("MaxHits 0", 5, " 0 ", " 1 ");
        row("MaxHits 40000", 5, " 40000 ", " 32767 ");
        row("CurScript 21", 6, " 21 ", " 20 ");
        row("CurForm 0", 7, " 0 ", " 1 ");
        row("CurForm 51", 7, " 51 ", " 50 ");
        row("FontNameNo 99", 8, " 99 ", " 3 ");
        row("FontNameNo -4", 8, "-4 ", " 0 ");
        row("FontSizeNo 6", 9, " 6 ", " 5 ");
        row("positions far out", 10, "-99999,40000,1e9,70000", "-32768,32767,32767,32767");
        row("negative sizes", 10, "200,200,-5,-8020", "200,200,600,600");
        row("height half to even", 10, "1,2,900,8020.5", "1,2,900,8020");
        row("shortest", 10, "12.50,-0.1,8760.123,900", "12.5,-0.1,8760.123,900");
        row("minus zero", 10, "-0,2,900,900", "0,2,900,900");
        row("switches", 13, "2,-3", "1,0");
    }
    void numbersWrittenBack()
    {
        QFETCH(int, line);
        QFETCH(QString, text);
        QFETCH(QString, written);
        QList<QByteArray> lines = fullLines();
        lines[line - 1] = text.toLatin1();
        const Settings s = CfgParse(crlf(lines), kApp);
        QCOMPARE(writtenLine(s, line), written.toLatin1());
        QCOMPARE(s.BankName, QStringLiteral("kenkyu")); // the rest is still read
    }

    void garbageGivesDefaults_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const auto with = [](int index, const QByteArray &text) {
            QList<QByteArray> lines = fullLines();
            lines[index] = text;
            return crlf(lines);
        };
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("NUL byte") << with(2, QByteArray("ken\0kyu", 7));
        QTest::newRow("tag not plausible") << crlf(fullLines("<html>"));
        QTest::newRow("number not a number") << with(4, " many ");
        QTest::newRow("position not a number") << with(10, "3000,2000,wide,6750");
        QTest::newRow("ends before line 7") << crlf(fullLines().first(6));
        QTest::newRow("oversized") << crlf(fullLines()) + QByteArray(70000, 'x');
    }
    void garbageGivesDefaults()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(show(CfgParse(bytes, kApp)), show(defaultsIn(kApp)));
    }

    // Without a file the defaults are saved, byte for byte; a window extent
    // that is not a number is written as its default.
    void savesDefaultsExactly()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("tz.cfg"));
        Settings s = CfgLoad(file, dir.path());
        QCOMPARE(show(s), show(defaultsIn(dir.path())));
        s.CardPos.left = std::numeric_limits<float>::quiet_NaN();
        QString error;
        QVERIFY(CfgSave(file, s, &error));
        QCOMPARE(readFile(file), "3I\r\n" + dir.path().toUtf8() +
                                     "/\r\nsample\r\n 1 \r\n 200 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n200,200,9150,8020\r\n"
                                     "3000,2000,8760,6750\r\n2000,6000,7905,7290\r\n1,0\r\n");
    }

    void roundTripIsByteIdentical_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("current layout") << crlf(fullLines());
        QList<QByteArray> odd = fullLines();
        odd[1] = "\"/data/a, b/\"";
        odd[2] = "\" lead, \"";
        odd[9] = "0.1,-0.5,1234.567,600";
        odd[10] = "-32768,3.4028,600.25,32767";
        QTest::newRow("quoted texts and odd numbers") << crlf(odd);
    }
    // Read and written again through the file name in other letter case.
    void roundTripIsByteIdentical()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("TZ.cfg")), bytes));
        const QString file = dir.filePath(QStringLiteral("tz.cfg"));
        QString error;
        QVERIFY2(CfgSave(file, CfgLoad(file, dir.path()), &error), qPrintable(error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("TZ.cfg")});
        QCOMPARE(readFile(dir.filePath(QStringLiteral("TZ.cfg"))), bytes);
    }

    // A file that was not read exactly is reported when read and replaced
    // only with the person's agreement.
    void inexactFileIsNotRewritten_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");
        QList<QByteArray> utf8 = fullLines();
        utf8[1] = QString::fromUtf8("/home/田中/文献表/").toUtf8();
        QTest::newRow("exact") << crlf(fullLines()) << QString();
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("UTF-8 folder") << crlf(utf8) << QString::fromUtf8("2 行目");
        QTest::newRow("binary junk") << QByteArray("\x7f\x45LF\x02\x01\0\0", 8) << QString::fromUtf8("読めない内容");
        QTest::newRow("folder in its place") << QByteArray("<folder>") << QString::fromUtf8("フォルダ");
    }
    void inexactFileIsNotRewritten()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("tz.cfg"));
        QVERIFY(bytes == "<folder>" ? QDir().mkdir(file) : writeFile(file, bytes));
        ConfigReadState state;
        Settings s = CfgLoad(file, dir.path(), &state);
        QCOMPARE(state.exact, said.isEmpty());
        QVERIFY2(state.message.contains(said) && (said.isEmpty() || state.message.contains(file)),
                 qPrintable(state.message));
        s.BankName = QStringLiteral("changed");
        QString error;
        QCOMPARE(CfgSave(file, s, &error), said.isEmpty());
        if (said.isEmpty())
            return;
        QVERIFY2(error.contains(said), qPrintable(error));
        QCOMPARE(bytes == "<folder>" ? QByteArray("<folder>") : readFile(file), bytes);
        if (bytes != "<folder>") {
            s.BankFolder = dir.path();                                   // what did not decode cannot be written
            QVERIFY2(CfgSave(file, s, &error, true), qPrintable(error)); // the person agreed
            QCOMPARE(CfgLoad(file, dir.path()).BankName, QStringLiteral("changed"));
        }
    }

    // A failed save names the file and leaves the old one as it was.
    void saveFailureKeepsOldFile_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        row("line break", "/a\nb/", "n", "tz.cfg");
        row("outside code page 932", "/f/", "bank\U0001F600", "tz.cfg");
        row("comma and quote", "/a,\"b/", "n", "tz.cfg");
        row("leading quote", "\"q/", "n", "tz.cfg");
        row("folder missing", "/f/", "n", "gone/tz.cfg");
    }
    void saveFailureKeepsOldFile()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, file);
        QTemporaryDir dir;
        const QByteArray old = crlf(fullLines());
        QVERIFY(writeFile(dir.filePath(QStringLiteral("tz.cfg")), old));
        Settings s;
        s.BankFolder = folder;
        s.BankName = name;
        QString error;
        QVERIFY(!CfgSave(dir.filePath(file), s, &error));
        QVERIFY2(error.contains(file), qPrintable(error));
        QCOMPARE(readFile(dir.filePath(QStringLiteral("tz.cfg"))), old);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
