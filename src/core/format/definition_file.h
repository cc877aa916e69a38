#pragma once
// What the form file and the script file have in common: both are code page
// 932 text files in the program folder, one item per line; line 1 is a tag
// nobody looks at, line 2 the number of blocks that follow. A missing file is
// created at start-up from the shipped default of the same name with the
// extension ".cfx".
//
// Problems are collected as messages in the program's language, each naming
// the file, so that start-up can show them; nothing is dropped unreported.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace tz {

// Largest form or script file read; a real one holds a few kilobytes.
inline constexpr qint64 MaxDefinitionFileBytes = 16 * 1024 * 1024;

// The first maxLines lines of bytes. A line ends at CR LF, at a lone CR or at
// a lone LF; the last line needs no end. Code page 932 never uses CR or LF
// inside a double-byte character, so the bytes can be cut before decoding.
QList<QByteArrayView> DefinitionLines(QByteArrayView bytes, qsizetype maxLines);

// Replaces every character that code page 932 bytes did not decode to
// (U+FFFD) by "?"; true when there was one.
bool ReplaceUndecodable(QString &text);

// The leading decimal number of text (as Val reads it), or nothing when the
// text does not start with a number.
std::optional<double> LeadingNumber(QStringView text);

// A text quoted in a message, cut to a readable length.
QString QuotedInMessage(const QString &text);

// The text of a name line: the first two characters (by custom "==") dropped,
// the rest trimmed.
QString NameLineText(QStringView line);

// The number of blocks announced by line 2 (its leading decimal number), cut to
// max. A missing or non-numeric count line and a negative count give 0; those
// and a count above max are reported. `item` is the word for one block in the
// messages ("書式", "スクリプト").
int DefinitionCount(const QList<QByteArrayView> &lines, int max, const QString &fileName, const QString &item,
                    QStringList &report);

// Reports a file that ends inside block `firstMissing` (1-based) or before it,
// when `count` blocks were announced.
void ReportTruncated(int firstMissing, int count, bool partial, const QString &fileName, const QString &item,
                     QStringList &report);

// The bytes of the file at path, found ignoring letter case. When there is no
// such file, the default (same base name, extension ".cfx", same folder) is
// copied to the name path gives and its bytes are used. *shownName gets the
// name of the file whose bytes are returned, for the messages. Nothing when
// neither file can be read (reported).
std::optional<QByteArray> LoadDefinitionFile(const QString &path, const QString &item, QString *shownName,
                                             QStringList &report);

} // namespace tz
