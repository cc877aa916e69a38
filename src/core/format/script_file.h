#pragma once
// Scripts (output targets) and the script file "script.cfg" in the program
// folder. The program only reads it; the user edits it with a text editor.
// The shipped default "script.cfx" becomes it on the first start.
//
// File layout (code page 932, lines ended by CR LF):
//
//   line 1      never examined
//   line 2      number M of scripts, decimal
//   then        M blocks of 13 lines, one per script:
//     1  "==" and the name (the first two characters are dropped, whatever
//        they are, and the rest trimmed); "=H", "=R" and "=L" in their
//        place choose the escaping of the text between the codes
//        (script_output.h)
//     2  note
//     3-13 code lines, in the order of the Script members header .. lineBreak
//
// A code line is hexadecimal text: everything from the first "'" on is a
// comment; the rest, trimmed, is read as two-digit hexadecimal byte values
// from the left (a single digit left at the end is a byte of its own value),
// and the bytes are decoded as code page 932 text, so 82A0 is one double-byte
// character. "3C623E ' bold" gives "<b>", "0D0A" gives CR LF, an empty line or
// a line that is only a comment gives an empty code.

#include "core/format/script_output.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>

namespace tz {

inline constexpr int MaxScripts = 20;

struct Script
{
    QString name;
    QString note;
    QString header;       // written at the start of the result text
    QString trailer;      // written at its very end
    QString underlineOn;  // opening "*"
    QString underlineOff; // closing "*"
    QString superOn;      // opening "^"
    QString superOff;     // closing "^"
    QString subOn;        // opening "@"
    QString subOff;       // closing "@"
    QString boldOn;       // opening "|"
    QString boldOff;      // closing "|"
    QString lineBreak;    // for "[/]"
    // How the text between the codes is written (the name line's first two
    // characters).
    TextEscape escape = TextEscape::None;

    friend bool operator==(const Script &, const Script &) = default;
};

// Script k lives in slot k (1..MaxScripts); scripts 1..ScriptCount are in use.
struct ScriptTable
{
    std::array<Script, MaxScripts + 1> scripts;
    int ScriptCount = 0;

    Script &script(int k) { return scripts.at(static_cast<size_t>(k)); }
    const Script &script(int k) const { return scripts.at(static_cast<size_t>(k)); }

    // Equal counts and equal scripts 1..ScriptCount.
    friend bool operator==(const ScriptTable &a, const ScriptTable &b);
};

// The code of one code line. A line that holds anything but hexadecimal digits
// before its comment (blanks and tabs at either end aside), or bytes that are
// not code page 932 text, gives an empty code and *ok = false.
QString DecodeCodeLine(QStringView line, bool *ok = nullptr);

// Reads script file bytes. Whole scripts are kept in their scripts; a script the
// file ends in is dropped with the ones after it; a code line that cannot be
// decoded leaves that code empty. Each is one message in report, naming
// fileName, the script and the line.
ScriptTable ParseScriptFile(QByteArrayView bytes, const QString &fileName, QStringList &report);

// ScriptRead of the program: reads the script file at path (found ignoring
// letter case) into table. When the folder holds no such file, its default
// "script.cfx" is copied to it first. Problems are appended to report.
void ScriptRead(const QString &path, ScriptTable &table, QStringList &report);

} // namespace tz
