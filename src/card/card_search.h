#pragma once
// The list a search that the card starts produces: the hits of the request
// on the bank as stored, rendered with an output form and a script.

#include "card/card_model.h"
#include "format/form_file.h"
#include "format/script_file.h"

namespace tz {

struct CardSearchBank
{
    QString bankPath; // ending in "/"
    QString bankName;
    const JPcodeTable &jp;
    const OutputForm &form;
    const Script &script;
    int maxHits = 200;
};

struct CardSearchResult
{
    int hitCount = 0;
    QString text; // the rendered list; empty without hits
};

// Runs the request (similar records, the current record or the linked
// records). False with *error when the record file cannot be read.
bool RunCardSearch(const CardSearchRequest &request, const CardSearchBank &bank, CardSearchResult *result,
                   QString *error);

} // namespace tz
