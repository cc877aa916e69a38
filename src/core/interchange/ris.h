#pragma once
// RIS, the tagged format of library catalogues, databases and reference
// managers: each reference is a run of lines "XX  - value" from "TY" to "ER".

#include "core/interchange/reference.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tz {

// Reads every reference of a RIS text. A line that is no tag line (outside a
// continued abstract or note), a tag the format does not know, a tag before
// "TY" and an entry without its "ER" stop the reading: the error names the
// line, and no reference is returned.
ReadResult ReadRis(const QString &text);

// The references as RIS, UTF-8, lines ended by CR LF.
QByteArray WriteRis(const QList<Reference> &refs);

} // namespace tz
