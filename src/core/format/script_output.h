#pragma once
// What a script makes of the text between its codes, and which encoding its
// output declares.
//
// Escaping: the two characters that begin a script's name line (dropped from
// the name when it is read) choose how record text and the form's own text
// are written:
//
//   "=="  as they are (every script written before escaping existed)
//   "=H"  HTML and XML: & < > " ' as character references; characters code
//         page 932 cannot hold as numeric references
//   "=R"  RTF: \ { } escaped, every character outside ASCII as \uN? (N the
//         signed 16-bit code; "?" for readers without Unicode), tab as \tab,
//         a line break inside a field as \line: the text is pure ASCII, so
//         no byte of it can be read as "\", "{" or "}"
//   "=L"  LaTeX: # $ % & _ { } as \# ...; ~ ^ \ < > | as \textasciitilde{}
//         and their kind, which need no package
//
// Any other two characters write the text as it is. The codes of a script
// (header, trailer, markup, line break) are never escaped.

#include <QString>
#include <QStringView>

namespace tz {

enum class TextEscape { None, Html, Rtf, Latex };

// The escaping chosen by a name line's first two characters.
TextEscape EscapeOfNameLine(QStringView line);
// The two characters that choose an escaping ("==" for None).
QString EscapeMarker(TextEscape escape);

// text as written between a script's codes.
QString EscapeText(QStringView text, TextEscape escape);

// The encoding a script's header declares: an HTML or XML charset or
// encoding attribute, or an RTF \ansicpgN.
enum class DeclaredEncoding {
    None,  // nothing declared
    Cp932, // Shift_JIS, Windows-31J, cp932 and their aliases; \ansicpg932
    Utf8,  // UTF-8; \ansicpg65001
    Other, // anything else (*name says what)
};
DeclaredEncoding DeclaredEncodingOf(QStringView header, QString *name = nullptr);

} // namespace tz
