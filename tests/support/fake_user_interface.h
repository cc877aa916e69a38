#pragma once
// A scripted user interface for tests: records every request and answers from
// the queues the test fills (OK when a queue is empty).

#include "core/session/user_interface.h"

#include <QList>
#include <QQueue>

namespace tz::testing {

struct AskedMessage
{
    QString text;
    MsgButtons buttons;
    MsgIcon icon;
};

class FakeUserInterface : public UserInterface
{
public:
    QList<AskedMessage> messages;
    QList<MsgAnswer> answers;
    QQueue<std::optional<QString>> inputs;
    QQueue<QString> files;
    QStringList saveFilters; // of the last save dialog
    int saveFilter = -1;     // its filter shown first
    int saveChoice = -1;     // the filter the person picks (-1: the one shown first)
    int printDialogs = 0;
    std::optional<PrintChoice> printAnswer; // the choice made; none cancels
    QList<QList<Tone>> tones;
    QList<QUrl> webPages;
    QList<int> helpTopics;
    int progressOpens = 0, progressCloses = 0, eventRuns = 0;
    bool progressShown = false;
    std::function<void()> cancel; // the progress window's Cancel button
    std::function<void()> duringEvents;

    MsgAnswer message(const QString &text, MsgButtons buttons, MsgIcon icon) override
    {
        messages.append({text, buttons, icon});
        return buttons == MsgButtons::Ok || answers.isEmpty() ? MsgAnswer::Ok : answers.takeFirst();
    }
    std::optional<QString> inputBox(const QString &, const QString &, const QString &) override
    {
        return inputs.isEmpty() ? std::nullopt : inputs.dequeue();
    }
    QString openFileName(const QString &, const QString &, const QStringList &) override { return nextFile(); }
    QString saveFileName(const QString &, const QString &, const QStringList &filters, int selectedFilter,
                         int *chosenFilter) override
    {
        saveFilters = filters;
        saveFilter = selectedFilter;
        if (chosenFilter)
            *chosenFilter = saveChoice >= 0 ? saveChoice : selectedFilter;
        return nextFile();
    }
    bool printDialog(int, PrintChoice &choice) override
    {
        ++printDialogs;
        if (printAnswer)
            choice = *printAnswer;
        return printAnswer.has_value();
    }
    void playTones(const QList<Tone> &t) override { tones.append(t); }
    void openWebPage(const QUrl &url) override { webPages.append(url); }
    void showHelp(int topic) override { helpTopics.append(topic); }
    void progressOpen(std::function<void()> onCancel) override
    {
        ++progressOpens;
        progressShown = true;
        cancel = std::move(onCancel);
    }
    void progressClose() override
    {
        ++progressCloses;
        progressShown = false;
    }
    void processEvents() override
    {
        ++eventRuns;
        if (duringEvents)
            duringEvents();
    }

    QStringList messageTexts() const
    {
        QStringList out;
        for (const AskedMessage &m : messages)
            out.append(m.text);
        return out;
    }

private:
    QString nextFile() { return files.isEmpty() ? QString() : files.dequeue(); }
};

} // namespace tz::testing
