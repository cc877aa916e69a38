#pragma once
// A small record-card window that shows the open bank's name and record
// count, with the bank menu (open, new, duplicate, quit) and the help menu. It stands where the
// full record card will be; closing it ends the program after writing the
// settings and the bank-path log.

#include "app/card_host.h"

#include <QMainWindow>
#include <functional>

class QLabel;

namespace tz {

class Session;

class CardStandinWindow : public QMainWindow, public CardHost
{
    Q_OBJECT
public:
    explicit CardStandinWindow(Session &session, QWidget *parent = nullptr);

    // The bank menu shows the bank window in mode 1, 2 or 3 through this.
    void setBankView(std::function<void(int)> bankView) { m_bankView = std::move(bankView); }
    // The help menu's version item shows the version window through this.
    void setShowVersion(std::function<void()> showVersion) { m_showVersion = std::move(showVersion); }
    // Called once when the card becomes visible (the splash then hides).
    void setOnShown(std::function<void()> onShown) { m_onShown = std::move(onShown); }

    bool FormSet(QString *error) override;
    void showCard() override;

    int recCount() const { return m_recCount; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    Session &m_session;
    std::function<void(int)> m_bankView;
    std::function<void()> m_onShown;
    std::function<void()> m_showVersion;
    QLabel *m_bankLabel;
    QLabel *m_countLabel;
    int m_recCount = 0;
};

} // namespace tz
