#pragma once
// A program folder for the tests: a temporary folder with the shipped forms
// and scripts, banks of journal articles made in it, a settings file naming
// one of them, and the scripted user interface answering for the person.

#include "core/bank/bank_files.h"
#include "core/store/record.h"
#include "support/fake_user_interface.h"
#include "support/test_files.h"

#include <QTemporaryDir>

namespace tz::testing {

inline const QDate kToday(2026, 12, 6);

// Record i of the test banks: a journal article in JP code 12 by J.R.Smith,
// volume i, from the year 1990 + i.
inline Record JournalRecord(int i)
{
    // clang-format off
    return {1, QStringLiteral("memo %1").arg(i), QStringLiteral("J.R.Smith"), QStringLiteral("Title %1.").arg(i), 12,
            QString::number(i), {}, {}, qint16(1990 + i), {}, {}, {}, 45000};
    // clang-format on
}

// Record n of a bank as stored (blank beyond its end).
inline Record StoredRecord(const QString &bank, int n)
{
    Record r;
    RecRead(bank, n, ReadMode::Stored, r, kToday);
    return r;
}

// The lines of tz.cfg after the bank name: AutoOpen on, the defaults of the others.
inline const QByteArray kSettingsRest = " 1 \r\n 200 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n200,200,9150,8020\r\n"
                                        "3000,2000,8760,6750\r\n2000,6000,7905,7290\r\n1,0\r\n";

struct ProgramFolder
{
    QTemporaryDir dir;
    FakeUserInterface ui;

    ProgramFolder()
    {
        for (const char *name : {"/form.cfx", "/script.cfx"})
            QFile::copy(QStringLiteral(TZ_SOURCE_DATA) + name, dir.path() + name);
    }
    QString root() const { return dir.path() + QLatin1Char('/'); }

    // The bank root()/name.bnk holding `records`, then the journal articles
    // 1 to `count` (one blank record when there are none).
    QString makeBank(const QString &name, QList<Record> records = {}, int count = 0)
    {
        const QString path = root() + name + QStringLiteral(".bnk/");
        if (!CreateBank(path, QDate(2024, 1, 2), nullptr))
            qFatal("cannot make the bank %s", qPrintable(path));
        for (int i = 1; i <= count; ++i)
            records.append(JournalRecord(i));
        for (int i = 0; i < records.size(); ++i)
            RecWrite(path, i + 1, records[i], true);
        return path;
    }
    // tz.cfg naming a bank in the program folder, then the lines `rest`.
    void writeSettings(const QString &bankName, const QByteArray &rest = kSettingsRest)
    {
        writeFile(root() + QStringLiteral("tz.cfg"),
                  "3I\r\n" + root().toUtf8() + "\r\n" + bankName.toUtf8() + "\r\n" + rest);
    }
};

} // namespace tz::testing
