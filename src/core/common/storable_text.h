#pragma once
// Typed and pasted text made fit for the record file: line breaks, full-width
// letters and digits in the number boxes, characters that code page 932 cannot
// hold, and the byte width of a field.

#include <QString>
#include <QStringList>

namespace tz {

// Line breaks (CR, LF, CR LF, the Unicode line and paragraph separators)
// become blanks: no field holds a line.
QString WithoutLineBreaks(const QString &text);

// Full-width ASCII forms (U+FF01..U+FF5E) and the ideographic space become
// their plain forms, as an input method types them into a number box.
QString PlainWidth(const QString &text);

// Text with every character code page 932 can hold. A character it cannot hold
// becomes its closest storable form where there is one (a letter without its
// accent, "ss" for "ß", ASCII dashes and quotes, a blank for other blanks);
// `changed` names each such replacement once ("ö→o"), `refused` each character
// without a close form, which is left out.
struct StorableText
{
    QString text;
    QStringList changed;
    QStringList refused;
};
StorableText MakeStorable(const QString &text);

// The message telling the person what MakeStorable did; empty when it changed
// nothing.
QString StorableMessage(const StorableText &result);

// The longest start of text that takes at most `width` bytes in code page 932
// (a double-byte character is never split).
QString FitBytes(const QString &text, qsizetype width);

// An edit of a box whose field holds `width` bytes: text is the box's text
// after the edit, with the cursor at `cursor` (just after what was typed or
// pasted). Line breaks become blanks; when the text is then too long, the
// characters just before the cursor are taken out until it fits. `removed`
// counts the characters taken out.
struct BoxEdit
{
    QString text;
    qsizetype cursor = 0;
    qsizetype removed = 0;
};
BoxEdit FitBoxEdit(const QString &text, qsizetype cursor, qsizetype width);

} // namespace tz
