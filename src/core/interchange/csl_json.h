#pragma once
// CSL-JSON, the format of citation processors and of the DOI resolver: an
// array of objects (or one object) with "type", "author", "title",
// "container-title", "issued" and the other variables of the Citation Style
// Language.

#include "core/interchange/reference.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tz {

// Reads one object or an array of objects. Text that is no JSON, or JSON
// that holds anything but objects, stops the reading: the error names the
// line, and no reference is returned.
ReadResult ReadCslJson(const QString &text);

// The references as a CSL-JSON array, UTF-8.
QByteArray WriteCslJson(const QList<Reference> &refs);

} // namespace tz
