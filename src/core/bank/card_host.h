#pragma once
// What the bank window hands a chosen bank to: the record card.

#include <QString>

namespace tz {

class Session;

class CardHost
{
public:
    virtual ~CardHost() = default;
    // FormSet: opens the session's bank on the card and shows its last record;
    // false with *error when the bank's record file cannot be opened.
    virtual bool FormSet(QString *error) = 0;
    // Makes the card window visible.
    virtual void showCard() = 0;
};

// The card's caption for the open bank.
QString CardCaption(const QString &bankName);

} // namespace tz
