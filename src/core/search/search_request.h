#pragma once
// A search that the record card hands to the search window: set the kind
// (`SearchItem`), the kind box text and the key text, then press OR Search.

#include <QString>

namespace tz {

struct CardSearchRequest
{
    int SearchItem = 0;
    QString kindText;
    QString keyText;

    bool operator==(const CardSearchRequest &) const = default;
};

} // namespace tz
