#pragma once
// The result list as a text file: the text as the result box shows it, every
// line ending in CR LF, closed by one more CR LF, in code page 932 (or UTF-8
// when the person chooses it for characters code page 932 cannot hold).

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tz {

// The text with each line end of the box ("\r\n", a lone "\r" or "\n") as CR
// LF: the lines as the rendering wrote them (the box itself keeps "\n").
QString CrLfLines(const QString &boxText);

// The file text: CrLfLines, then one final CR LF.
QString ResultFileText(const QString &boxText);

// The characters of text that code page 932 cannot hold, each once, in the
// order they first appear; at most `max` of them.
QStringList UnencodableChars(const QString &text, int max = 5);

// Writes ResultFileText(boxText) to path atomically, in code page 932 or
// UTF-8 (without a byte-order mark). False with *error (naming the file) when
// it cannot be written.
bool SaveResultFile(const QString &path, const QString &boxText, bool utf8, QString *error);

} // namespace tz
