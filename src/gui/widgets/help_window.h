#pragma once
// The help window: help topics are HTML pages named by their context number
// (9999.html is the contents). F1 in a window opens the topic of the focused
// control, found in the dynamic property "helpContext" of the control or of
// the nearest parent that has one.

#include <QStringList>
#include <QWidget>
#include <functional>

class QMainWindow;
class QMenu;
class QTextBrowser;

namespace tz {

class UserInterface;

inline constexpr int kHelpContents = 9999;
inline constexpr char kHelpContextProperty[] = "helpContext";

class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    // Folders searched for topics, in order.
    void setFolders(const QStringList &folders) { m_folders = folders; }
    void showTopic(int topic);
    int topic() const { return m_topic; }

private:
    QString topicFile(int topic) const;

    QStringList m_folders;
    QTextBrowser *m_browser;
    int m_topic = 0;
};

// The help context of w or of its nearest parent that has one; the contents
// when none has.
int HelpContextOf(const QWidget *w);

// F1 in window opens the help topic of its focused control through ui.
void InstallHelpKey(QWidget *window, UserInterface &ui);

// The help menu "ヘルプ(&H)" of a window: "関連項目" (the topic of the focused
// control), "目次" (the contents) and "バージョン情報" (showVersion).
QMenu *AddHelpMenu(QMainWindow *window, UserInterface &ui, std::function<void()> showVersion);

} // namespace tz
