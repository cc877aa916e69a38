#pragma once
// The page layout of a printed text list (the search result, the JP code
// list): millimetre margins, the page header, and the breaking of the text
// into lines and pages. The breaking knows nothing of printers; it measures
// characters through the function it is given.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

namespace tz {

// Millimetres from the paper's edges.
inline constexpr double kPrintMarginLeftMm = 15.0;   // body start, and the right margin
inline constexpr double kPrintMarginTopMm = 20.0;    // body start, and the bottom margin
inline constexpr double kPrintHeaderTopMm = 10.0;    // the header line
inline constexpr double kPrintHeaderSizeRatio = 1.2; // header font size to body size

// "<title>   (<page>)".
QString PrintHeader(const QString &title, int page);

// The characters that may hang past the right margin, so that no line starts
// with one of them: 、，。．, the ideographic space, comma, full stop, blank.
bool IsPrintBreakChar(QChar c);

// Whole lines in a usable height; at least one, whatever the heights.
int PrintLinesPerPage(double usableHeight, double lineHeight);

// The printed width of one character: one QChar, or a surrogate pair whole.
using PrintCharWidth = std::function<double(QStringView)>;

// The text broken into pages of at most linesPerPage lines (below 1 counts as 1).
// A carriage return, a line feed or the pair CR LF ends a line. A character
// that would take the line past `width` starts the next line unless it is a
// break character, which hangs at the end of its line; a line holds at least
// one character, so a page narrower than one character still advances. Lines
// are broken at any character. An empty text gives one page without lines;
// the empty line after a final line end is not printed.
QList<QStringList> PrintPages(const QString &text, double width, int linesPerPage, const PrintCharWidth &charWidth);

} // namespace tz
