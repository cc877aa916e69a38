#pragma once
// The whole program for the window tests, built through its application
// object as it starts (offscreen): a program folder with the shipped forms
// and scripts, banks and a settings file made by the test, and the scripted
// user interface answering for the person.

#include "core/bank/bank_files.h"
#include "core/store/record.h"
#include "gui/application.h"
#include "gui/bank/bank_window.h"
#include "gui/card/card_window.h"
#include "gui/search/search_window.h"
#include "support/fake_user_interface.h"
#include "support/test_files.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace tz::testing {

// Record i of the test banks: a journal article in JP code 12 by J.R.Smith,
// volume i, from the year 1990 + i.
inline Record JournalRecord(int i)
{
    Record r;
    r.Memo = QStringLiteral("memo %1").arg(i);
    r.Author = QStringLiteral("J.R.Smith");
    r.Title = QStringLiteral("Title %1.").arg(i);
    r.JPcode = 12;
    r.Volume = QString::number(i);
    r.Year = static_cast<qint16>(1990 + i);
    r.RegDate = 45000;
    return r;
}

struct Program
{
    QTemporaryDir dir;
    FakeUserInterface ui;
    std::unique_ptr<Application> app;

    Program()
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
    // tz.cfg naming a bank in the program folder; `rest` holds the lines
    // after the bank name (AutoOpen on, the defaults of the others).
    void writeSettings(const QString &bankName,
                       const QByteArray &rest = " 1 \r\n 200 \r\n 1 \r\n 1 \r\n 1 \r\n 4 \r\n200,200,9150,8020\r\n"
                                                "3000,2000,8760,6750\r\n2000,6000,7905,7290\r\n1,0\r\n")
    {
        writeFile(root() + QStringLiteral("tz.cfg"),
                  "3I\r\n" + root().toUtf8() + "\r\n" + bankName.toUtf8() + "\r\n" + rest);
    }

    // The program started as it starts for the person (answered by `face`
    // instead of the scripted user interface).
    Application &start(UserInterface *face = nullptr)
    {
        app = std::make_unique<Application>(face ? *face : ui, dir.path());
        app->start();
        QCoreApplication::processEvents();
        return *app;
    }
    Session &session() { return app->session(); }
    CardWindow &card() { return app->card(); }
    SearchWindow &search() { return app->search(); }
    BankWindow &bank() { return app->bank(); }

    // A control or menu item of a window by its object name.
    template <typename T = QWidget> static T *control(const QWidget &window, const QString &name)
    {
        T *w = window.findChild<T *>(name);
        if (!w)
            qFatal("no control %s in %s", qPrintable(name), qPrintable(window.objectName()));
        return w;
    }
    void trigger(const QWidget &window, const char *item)
    {
        control<QAction>(window, QString::fromLatin1(item))->trigger();
    }
};

} // namespace tz::testing
