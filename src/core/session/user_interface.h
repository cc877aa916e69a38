#pragma once
// Everything the program asks of the person in front of it: messages and
// questions, the input box, file and print dialogs, audible tones, web pages,
// help topics and the progress window. The windows implement it with real
// dialogs; tests implement it with a script that records what was asked.

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

namespace tz {

enum class MsgIcon { Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel };
enum class MsgAnswer { Ok, Cancel };

struct Tone
{
    int hertz = 0;
    int ms = 0;
    friend bool operator==(const Tone &, const Tone &) = default;
};

struct PrintChoice
{
    int copies = 1;
    int fromPage = 0; // 0 and 0: all pages
    int toPage = 0;
    bool toPdf = false;
    QString pdfFile;
};

class UserInterface
{
public:
    virtual ~UserInterface() = default;

    // A modal message; with MsgButtons::Ok the answer is always Ok.
    virtual MsgAnswer message(const QString &text, MsgButtons buttons, MsgIcon icon) = 0;
    // The same with a title of its own (the program's name otherwise).
    virtual MsgAnswer titledMessage(const QString &title, const QString &text, MsgButtons buttons, MsgIcon icon)
    {
        Q_UNUSED(title);
        return message(text, buttons, icon);
    }
    // The input box: the text typed, or nothing when cancelled.
    virtual std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                            const QString &defaultText) = 0;
    // File dialogs. filters are entries such as "JPコードファイル (JPcode.tzd)";
    // the chosen file, or an empty text when cancelled. The save dialog starts
    // with filter number selectedFilter (0 = the first); *chosenFilter (when
    // given) becomes the number of the filter the person left selected.
    virtual QString openFileName(const QString &title, const QString &folder, const QStringList &filters) = 0;
    virtual QString saveFileName(const QString &title, const QString &file, const QStringList &filters,
                                 int selectedFilter = 0, int *chosenFilter = nullptr) = 0;
    // The print dialog; false when cancelled.
    virtual bool printDialog(int pageCount, PrintChoice &choice) = 0;
    // The tones one after the other; silent where there is no sound device.
    virtual void playTones(const QList<Tone> &tones) = 0;
    virtual void openWebPage(const QUrl &url) = 0;
    // Shows help topic n (9999 is the contents).
    virtual void showHelp(int topic) = 0;
    // The progress window: open (its Cancel button calls onCancel), close.
    virtual void progressOpen(std::function<void()> onCancel) = 0;
    virtual void progressClose() = 0;
    // Lets pending window events run (repainting, the Cancel button).
    virtual void processEvents() = 0;
};

} // namespace tz
