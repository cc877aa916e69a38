// The shared file routines: only regular files are opened (a named pipe in a
// file's place must never hang the program), and a whole file is replaced
// without losing what makes it the file (a symbolic link, its permissions).
#include "core/common/file_io.h"
#include "support/test_files.h"
#include "support/test_rows.h"

#include <QDir>
#include <QTemporaryDir>
#include <sys/stat.h> // mkfifo

using namespace tz;

class TestFileIo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What has the file's name, and what the error says of it; nothing is
    // written through it, it stays in place, and a missing file is not made up.
    void onlyRegularFiles_data()
    {
        // clang-format off
        rows::table({"kind", "said"}, {
            {"folder", "フォルダです"}, {"named pipe", "名前付きパイプです"}, {"device", "デバイスです"},
            {"link loop", "開けません（Too many levels of symbolic links）"}, {"missing", "見つかりません"},
        });
        // clang-format on
    }
    void onlyRegularFiles()
    {
        const QString kind = rows::text("kind");
        QTemporaryDir dir;
        const QString path = dir.filePath("record.tzd");
        QVERIFY(kind == "folder"       ? QDir().mkdir(path)
                : kind == "named pipe" ? ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0
                : kind == "device"     ? QFile::link("/dev/zero", path)
                : kind == "link loop"  ? QFile::link(path, path)
                                       : true);
        const PathKind before = PathKindOf(path);
        QString error;
        QByteArray bytes;
        QVERIFY(!ReadFileHead(path, 100, bytes, &error));
        QVERIFY2(error.contains("record.tzd") && error.contains(rows::text("said")), qPrintable(error));
        QCOMPARE(RegularFileSize(path, &error), -1);
        QVERIFY2(!WriteFileAt(path, 0, "x", " ", {}, &error) && error.contains("record.tzd"), qPrintable(error));
        if (kind != "missing")
            QVERIFY2(!EnsureFile(path, &error) && !WriteFileAtomic(path, "x", &error) && error.contains("record.tzd"),
                     qPrintable(error));
        QCOMPARE(PathKindOf(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
                 kind == "missing" ? QStringList() : QStringList{"record.tzd"});
    }

    // A symbolic link keeps pointing to the file, which gets the new bytes and
    // keeps its permissions, also those the umask would take away; no
    // temporary file is left.
    void replacingKeepsLinkAndPermissions()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("real.cfg"), link = dir.filePath("tz.cfg");
        QVERIFY(writeFile(file, "old") && QFile::link(file, link));
        QVERIFY(
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup));
        const QFile::Permissions permissions = QFile::permissions(file);
        QString error;
        QVERIFY2(WriteFileAtomic(link, "new", &error) && QFileInfo(link).isSymLink() && readFile(file) == "new",
                 qPrintable(error));
        QCOMPARE(QFile::permissions(file), permissions);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // A finished folder takes its name only where nothing has it.
    void folderTakesFreeNameOnly()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("x.bnk"), building = BuildingFolderFor(target);
        QVERIFY(QDir().mkpath(building) && QDir().mkpath(target));
        QString error;
        QVERIFY2(!PutFolderInPlace(building, target, &error) && error.contains("x.bnk") && QFileInfo(building).isDir(),
                 qPrintable(error));
        QVERIFY2(QDir().rmdir(target) && PutFolderInPlace(building, target, &error), qPrintable(error));
        QVERIFY(QFileInfo(target).isDir() && !QFileInfo::exists(building));
    }
};

QTEST_GUILESS_MAIN(TestFileIo)
#include "tst_file_io.moc"
