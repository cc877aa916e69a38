#pragma once
// A session over a small bank "mybank" on disk with the shipped forms and
// scripts, for the search window tests: records 1..count are journal
// articles by J.R.Smith from 1991 on; records 2 and 4 hold "telomere" in
// their title; the record `blank` (0 for none) is left blank.

#include "core/bank/bank_files.h"
#include "core/format/form_file.h"
#include "core/format/script_file.h"
#include "core/session/session.h"
#include "core/store/record.h"
#include "support/fake_user_interface.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <memory>

struct SearchFixture
{
    QTemporaryDir dir;
    tz::testing::FakeUserInterface ui;
    std::unique_ptr<tz::Session> session;

    explicit SearchFixture(int count = 6, int blank = 0)
    {
        session = std::make_unique<tz::Session>(ui, dir.path());
        session->setBank(dir.path(), QStringLiteral("mybank"));
        if (!tz::CreateBank(session->BankPath(), QDate(2026, 12, 6), nullptr))
            qFatal("cannot make the bank");
        for (int i = 1; i <= count; ++i) {
            const QString title = i == 2 || i == 4 ? QStringLiteral("On telomere %1.") : QStringLiteral("Title %1.");
            // clang-format off
            const tz::Record r{1, {}, QStringLiteral("J.R.Smith"), title.arg(i), 12, QString::number(i), {}, {},
                               qint16(1990 + i), {}, {}, {}, 45000};
            // clang-format on
            tz::RecWrite(session->BankPath(), i, i == blank ? tz::Record() : r, true);
        }
        QStringList report;
        session->forms = tz::ParseFormFile(readFile(TZ_SOURCE_DATA "/form.cfx"), "form.cfx", report);
        session->scripts = tz::ParseScriptFile(readFile(TZ_SOURCE_DATA "/script.cfx"), "script.cfx", report);
    }
    QString file(const QString &name) const { return dir.filePath(name); }
};
