#pragma once
// BibTeX, the format of LaTeX bibliographies: "@type{key, field = {value}}"
// entries, "@string" abbreviations, "#" concatenation and "crossref" to a
// containing entry; values are LaTeX text (accents such as {\"o}, braces).

#include "core/interchange/reference.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace tz {

// LaTeX text as plain text: accent commands and named letters become their
// characters, escaped specials their character, braces go, "--" and "---"
// become dashes, "~" a blank; blanks are collapsed.
QString LatexToText(const QString &latex);
// Plain text as LaTeX that LatexToText turns back into the same text:
// specials escaped, accented Latin letters as accent commands, other
// characters (Japanese) as they are.
QString TextToLatex(const QString &text);

// Reads every reference of a BibTeX text (@comment and @preamble skipped).
// Unbalanced braces or quotes, an entry cut off by the end of the text and
// an undefined abbreviation stop the reading: the error names the line and
// no reference is returned.
ReadResult ReadBibtex(const QString &text);

// The references as BibTeX in UTF-8; keys from the first author's family
// name and the year, made unique with letters.
QByteArray WriteBibtex(const QList<Reference> &refs);

} // namespace tz
