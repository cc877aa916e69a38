#pragma once
// A session over a small bank "mybank" on disk with the shipped forms and
// scripts, for the search window tests: records 1..count are the journal
// articles of the test banks, records 2 and 4 holding "telomere" in their
// title; the record `blank` (0 for none) is left blank.

#include "core/session/session.h"
#include "support/program_folder.h"

#include <memory>

struct SearchFixture : tz::testing::ProgramFolder
{
    std::unique_ptr<tz::Session> session;

    explicit SearchFixture(int count = 6, int blank = 0)
    {
        QList<tz::Record> records;
        for (int i = 1; i <= count; ++i) {
            records.append(i == blank ? tz::Record() : tz::testing::JournalRecord(i));
            if (i == 2 || i == 4)
                records.last().Title = QStringLiteral("On telomere %1.").arg(i);
        }
        makeBank(QStringLiteral("mybank"), records);
        session = std::make_unique<tz::Session>(ui, dir.path());
        session->load();
        session->setBank(dir.path(), QStringLiteral("mybank"));
    }
    QString file(const QString &name) const { return dir.filePath(name); }
};
