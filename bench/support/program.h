#pragma once
// The program for the window benchmarks, built through its application object
// as it starts: a program folder with the shipped forms and scripts and a
// settings file that opens a bank of that folder at once, and a user interface
// that asks nothing.

#include "core/session/user_interface.h"

#include <QString>

namespace tz::bench {

// Answers OK to everything and shows nothing; lets events run.
class SilentUserInterface : public UserInterface
{
public:
    MsgAnswer message(const QString &, MsgButtons, MsgIcon) override { return MsgAnswer::Ok; }
    std::optional<QString> inputBox(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &, const QString &, const QStringList &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QStringList &, int, int *) override { return {}; }
    bool printDialog(int, PrintChoice &) override { return false; }
    void playTones(const QList<Tone> &) override {}
    void openWebPage(const QUrl &) override {}
    void showHelp(int) override {}
    void progressOpen(std::function<void()>) override {}
    void progressClose() override {}
    void processEvents() override;
};

// The shipped form.cfx and script.cfx copied into the program folder `root`
// (ending in "/") and tz.cfg naming root/bankName.bnk, opened at start-up,
// with search lists of maxHits entries. False when a file cannot be written.
bool WriteProgramFolder(const QString &root, const QString &bankName, int maxHits = 200);

} // namespace tz::bench
