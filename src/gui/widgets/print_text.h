#pragma once
// Printing on paper or into a PDF file: a text list page by page (the search
// result, the JP code list) and a window's image on one page (the record card).
// A caller asks UserInterface::printDialog first, then prints on a
// QPrinter(QPrinter::HighResolution) given the choice with ApplyPrintChoice.

#include "core/session/user_interface.h"

#include <QFont>
#include <QString>

class QImage;
class QPrinter;

namespace tz {

// Copies, page range (0 and 0: every page) and, with choice.toPdf, the PDF file.
void ApplyPrintChoice(QPrinter &printer, const PrintChoice &choice);

// The number of pages PrintText gives for the text on this printer's paper.
int PrintTextPageCount(QPrinter &printer, const QString &text, const QFont &font);

// Prints the text in the font: margins 15 mm left and right, 20 mm top and
// bottom, the header "<title>   (<page>)" at 1.2 times the size right-aligned
// 15 mm from the right edge and 10 mm from the top, the lines broken as
// PrintPages does. Only the pages of the printer's page range are printed;
// copies as the printer's copy count. False with a message in *error when the
// printer or the PDF file cannot be written.
bool PrintText(QPrinter &printer, const QString &title, const QString &text, const QFont &font,
               QString *error = nullptr);

// Prints the image on one page at the body start (15 mm from the left, 20 mm
// from the top), at its size on the screen, made smaller where it would pass
// the margins; its proportions stay.
bool PrintImage(QPrinter &printer, const QImage &image, QString *error = nullptr);

} // namespace tz
