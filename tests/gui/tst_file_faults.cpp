// A full disk in the running program: whatever the person saves (a record,
// the settings at the end, a result list) leaves the old file as it was, the
// edit stays, and the system's reason reaches the person.

#include "core/common/file_faults.h"
#include "support/card_fixture.h"

#include <QLineEdit>
#include <QtTest>

using namespace tz;
using tz::testing::Card;

class TestFileFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aFullDiskIsTold_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("step");
        QTest::newRow("record, at the first byte") << "record.tzd" << int(FileStep::Write);
        QTest::newRow("record, at the sync") << "record.tzd" << int(FileStep::Sync);
        QTest::newRow("settings, midway") << "tz.cfg" << int(FileStep::Write);
        QTest::newRow("settings, at the rename") << "tz.cfg" << int(FileStep::Rename);
        QTest::newRow("result list") << "result.txt" << int(FileStep::Write);
    }
    void aFullDiskIsTold()
    {
        QFETCH(QString, file);
        QFETCH(int, step);
        Card c;
        const QString path = file == u"record.tzd" ? c.bankPath() + file : c.root() + file;
        QVERIFY(writeFile(c.root() + QStringLiteral("tz.cfg"), readFile(c.root() + QStringLiteral("tz.cfg"))));
        writeFile(c.root() + QStringLiteral("result.txt"), "an earlier list\r\n");
        const QByteArray before = readFile(path);
        auto *memo = static_cast<QLineEdit *>(c.box(CardBox::Memo));
        memo->setFocus();
        QTest::keyClicks(memo, QStringLiteral(" edited"));
        {
            const FileFaultScope full(
                FileFault(FileStep(step), ENOSPC, step == int(FileStep::Write) ? 40 : 0, 0, file));
            if (file == u"record.tzd") {
                c.click("CommandSave");
            } else if (file == u"tz.cfg") {
                c.window->close();
            } else {
                c.trigger("mnuRA"); // the record into the search window's list
                c.ui.files.enqueue(path);
                c.ui.answers = {MsgAnswer::Ok};
                testing::Program::control<QPushButton>(c.search(), QStringLiteral("SearD_3"))->click();
            }
        }
        QCOMPARE(readFile(path), before);
        QVERIFY2(c.ui.messageTexts().join(u' ').contains(QStringLiteral("No space left on device")),
                 qPrintable(c.ui.messageTexts().join(u'\n')));
        QCOMPARE(c.ui.messages.last().icon, MsgIcon::Error);
        if (file == u"record.tzd") { // the edit is still there and goes out once there is room
            QCOMPARE(memo->text(), QStringLiteral("memo 5 edited"));
            c.click("CommandSave");
            Record r;
            QVERIFY(RecRead(c.bankPath(), 5, ReadMode::Stored, r, tz::testing::kToday));
            QCOMPARE(r.Memo, QStringLiteral("memo 5 edited"));
        }
    }
};

QTEST_MAIN(TestFileFaults)
#include "tst_file_faults.moc"
