#pragma once
// Output forms (citation styles) and the form file "form.cfg" in the program
// folder, shared by all banks. The form editor writes it back; the shipped
// default "form.cfx" becomes it on the first start.
//
// File layout (code page 932, lines ended by CR LF):
//
//   line 1      version tag "3d" (never examined when reading)
//   line 2      number N of forms, decimal
//   then        N blocks of 10 lines, one per form, in table order:
//     1  "==" and the name (reading drops the first two characters, whatever
//        they are, and trims the rest)
//     2  note
//     3  sort number (see SortCaption)
//     4  author rule: firstPerson,secondPerson,punctures,et_al,capitalize
//     5  editor rule, same layout
//     6-9  word orders for record styles 1..4 (a line break in the output is
//        written as "[/]", so each is one line)
//     10 separator line: written empty, never examined when reading. It may
//        be missing at the very end of the file.
//
// A file written with 9-line blocks (no separator lines) is recognised by its
// name lines (every block starts with "==" only at 9-line steps) and read as
// such.

#include "core/format/name_rule.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace tz {

inline constexpr int MaxForms = 50;

struct OutputForm
{
    QString name;
    QString note;
    qint16 sort = 2;
    NameRule author;
    NameRule editor;
    // Word order of record style k (1 journal article, 2 chapter in an edited
    // book, 3 monograph, 4 other) in order[k]; order[0] is not used.
    std::array<QString, 5> order;

    friend bool operator==(const OutputForm &, const OutputForm &) = default;
};

// Form k lives in slot k (1..MaxForms); forms 1..FormCount are in use.
struct FormTable
{
    std::array<OutputForm, MaxForms + 1> forms;
    int FormCount = 0;

    OutputForm &form(int k) { return forms.at(static_cast<size_t>(k)); }
    const OutputForm &form(int k) const { return forms.at(static_cast<size_t>(k)); }

    // Puts form into slot FormCount + 1; false when all MaxForms forms are used.
    bool append(const OutputForm &form);

    // Equal counts and equal forms 1..FormCount (unused forms do not count).
    friend bool operator==(const FormTable &a, const FormTable &b);
};

// Captions of the sort numbers 1..6 ("Author ABC", "none", "Year 123",
// "Year 321", "Rec 123", "Rec 321"); empty for any other number.
QString SortCaption(int sort);

// The five values of a name rule, k = 1 firstPerson, 2 secondPerson,
// 3 punctures, 4 et_al, 5 capitalize. Each value is the position of an entry
// in the form editor's list k; 0 (no entry chosen) is accepted as well.
int NameRuleListLength(int k);
// The value that replaces one outside 0..NameRuleListLength(k), as the form
// editor replaces it.
int NameRuleReplacement(int k);

// Reads form file bytes. Whole forms are kept in their forms; a form the file
// ends in is dropped with the ones after it. Damaged values are repaired:
// missing or non-numeric rule values become the NameRule defaults, rule values
// outside 0..list length become NameRuleReplacement, a sort number outside
// 1..6 becomes 2 ("none"), bytes that are no code page 932 text become "?".
// Each drop and repair is one message in report, naming fileName and the form.
FormTable ParseFormFile(QByteArrayView bytes, const QString &fileName, QStringList &report);

// FormRead of the program: reads the form file at path (found ignoring letter
// case) into table. When the folder holds no such file, its default "form.cfx"
// is copied to it first. Problems are appended to report.
void FormRead(const QString &path, FormTable &table, QStringList &report);

// The file bytes of forms 1..FormCount. Texts are written trimmed; a line
// break inside a word order is written as "[/]", inside a name or note as a
// blank. Nothing when FormCount is outside 0..MaxForms or a text holds a
// character code page 932 cannot store (*error says which; fileName names the
// file in it).
std::optional<QByteArray> FormFileBytes(const FormTable &table, const QString &fileName, QString *error);

// FormWrite of the program: replaces the form file at path (an existing file
// of that name in any letter case is the one replaced) atomically. False with
// *error naming the file and the reason when nothing was written.
bool FormWrite(const QString &path, const FormTable &table, QString *error);
// The same onto an open device (fileName names the file in *error).
bool FormWrite(QIODevice &device, const QString &fileName, const FormTable &table, QString *error);

} // namespace tz
