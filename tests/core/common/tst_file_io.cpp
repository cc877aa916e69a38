// The shared file routines: only regular files are opened (a named pipe in a
// file's place must never hang the program), and a whole file is replaced
// without losing what makes it the file (a symbolic link, its permissions).
#include "core/common/file_io.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace tz;

class TestFileIo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void onlyRegularFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::newRow("folder") << "folder" << QString::fromUtf8("フォルダです");
        QTest::newRow("named pipe") << "fifo" << QString::fromUtf8("名前付きパイプです");
        QTest::newRow("device") << "device" << QString::fromUtf8("デバイスです");
        QTest::newRow("link loop") << "loop" << QString::fromUtf8("開けません（Too many levels of symbolic links）");
        QTest::newRow("missing") << "missing" << QString::fromUtf8("見つかりません");
    }
    void onlyRegularFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString path = dir.filePath("record.tzd");
        if (kind == "folder")
            QVERIFY(QDir().mkdir(path));
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else if (kind == "device")
            QVERIFY(QFile::link("/dev/zero", path));
        else if (kind == "loop")
            QVERIFY(QFile::link(path, path));
        QString error;
        QByteArray bytes;
        QVERIFY(!ReadFileHead(path, 100, bytes, &error));
        QVERIFY2(error.contains("record.tzd") && error.contains(said), qPrintable(error));
        QCOMPARE(RegularFileSize(path, &error), -1);
        QVERIFY(!WriteFileAt(path, 0, "x", " ", {}, &error));
        QVERIFY2(error.contains("record.tzd"), qPrintable(error));
        if (kind == "missing") {
            QVERIFY(!QFile::exists(path)); // never made up
            return;
        }
        const PathKind before = PathKindOf(path);
        QVERIFY(!EnsureFile(path, &error));
        QVERIFY(!WriteFileAtomic(path, "x", &error));
        QVERIFY2(error.contains("record.tzd"), qPrintable(error));
        QCOMPARE(PathKindOf(path), before); // left in place
        QCOMPARE(
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).size(),
            1);
    }

    // A symbolic link keeps pointing to the file, which gets the new bytes;
    // the file keeps its permissions.
    void replacingKeepsLinkAndPermissions()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("real.cfg");
        const QString link = dir.filePath("tz.cfg");
        QVERIFY(writeFile(file, "old") && QFile::link(file, link));
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        QString error;
        QVERIFY2(WriteFileAtomic(link, "new", &error), qPrintable(error));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readFile(file), "new");
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(file).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 0777, 0640u);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary file left
    }

    // A finished folder takes its name only where nothing has it.
    void folderTakesFreeNameOnly()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("x.bnk");
        const QString building = BuildingFolderFor(target);
        QCOMPARE(QFileInfo(building).fileName(), ".x.bnk.making");
        QVERIFY(QDir().mkpath(building) && QDir().mkpath(target));
        QString error;
        QVERIFY(!PutFolderInPlace(building, target, &error));
        QVERIFY2(error.contains("x.bnk"), qPrintable(error));
        QVERIFY(QDir().rmdir(target));
        QVERIFY2(PutFolderInPlace(building, target, &error), qPrintable(error));
        QVERIFY(QFileInfo(target).isDir() && !QFileInfo::exists(building));
    }
};

QTEST_GUILESS_MAIN(TestFileIo)
#include "tst_file_io.moc"
