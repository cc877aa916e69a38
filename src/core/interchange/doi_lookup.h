#pragma once
// A reference from its DOI: the DOI resolver answers a request for CSL-JSON
// (content negotiation) for Crossref, DataCite and JaLC DOIs alike.

#include "core/interchange/reference.h"
#include "core/session/user_interface.h"

#include <QByteArray>
#include <QString>

namespace tz {

inline constexpr int kDoiTimeoutMs = 15000;
// The most an answer may hold.
inline constexpr qint64 kDoiMaxAnswerBytes = 4 * 1024 * 1024;

// The resolver: "https://doi.org/", or the address in TESSELLANE_DOI_RESOLVER
// (a local server answering like it).
QString DoiResolver();

// True for a DOI of the form "10.prefix/suffix" (after BareDoi).
bool IsDoi(const QString &bare);

struct DoiAnswer
{
    bool ok = false;
    bool cancelled = false;
    QString error; // in the program's words, for the person
    Reference ref;
};

// Asks the resolver for the DOI and reads its answer. Redirects are followed
// (never from https to http); no answer within timeoutMs, an answer larger
// than kDoiMaxAnswerBytes, an HTTP error and an answer that is no CSL-JSON
// of one reference each give a clear error. With `ui` the progress window is
// open meanwhile and its Cancel stops the request. Runs the event loop.
DoiAnswer LookUpDoi(const QString &doi, UserInterface *ui = nullptr, int timeoutMs = kDoiTimeoutMs);

} // namespace tz
