#include "gui/widgets/print_text.h"

#include "core/common/file_io.h"
#include "core/common/print_lines.h"

#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrinter>

namespace tz {

namespace {

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

QString cannotPrint(const QPrinter &printer)
{
    if (printer.outputFormat() == QPrinter::PdfFormat)
        return FileError(printer.outputFileName(), QStringLiteral("PDF ファイルを書き込めません"));
    return QStringLiteral("プリンター「%1」に印刷できません").arg(printer.printerName());
}

// A font given in pixels gets its size in points (at 96 dots per inch), so that
// it prints at the size it shows on the screen.
QFont printFont(const QFont &font)
{
    QFont f(font);
    if (f.pointSizeF() <= 0 && f.pixelSize() > 0)
        f.setPointSizeF(f.pixelSize() * 72.0 / 96.0);
    return f;
}

// The page in device pixels, measured from the paper's edges.
struct PageGeometry
{
    double dotsPerMm = 0;
    QRectF paper;

    explicit PageGeometry(QPrinter &printer)
    {
        printer.setFullPage(true);
        dotsPerMm = printer.resolution() / 25.4;
        paper = printer.pageLayout().fullRectPixels(printer.resolution());
    }
    double mm(double millimetres) const { return millimetres * dotsPerMm; }
    double usableWidth() const { return paper.width() - 2 * mm(kPrintMarginLeftMm); }
    double usableHeight() const { return paper.height() - 2 * mm(kPrintMarginTopMm); }
};

// The text broken into pages with the font's measures on the printer. The line
// height is the font's line spacing on the printer, so that lines never overlap.
QList<QStringList> layOut(QPrinter &printer, const PageGeometry &page, const QString &text, const QFont &font)
{
    const QFontMetricsF metrics(font, &printer);
    const int perPage = PrintLinesPerPage(page.usableHeight(), metrics.lineSpacing());
    return PrintPages(text, page.usableWidth(), perPage,
                      [&metrics](QStringView c) { return metrics.horizontalAdvance(c.toString()); });
}

} // namespace

void ApplyPrintChoice(QPrinter &printer, const PrintChoice &choice)
{
    printer.setCopyCount(qMax(1, choice.copies));
    if (choice.fromPage > 0 && choice.toPage >= choice.fromPage) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(choice.fromPage, choice.toPage);
    } else {
        printer.setPrintRange(QPrinter::AllPages);
        printer.setFromTo(0, 0);
    }
    if (choice.toPdf) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(choice.pdfFile);
    }
}

int PrintTextPageCount(QPrinter &printer, const QString &text, const QFont &font)
{
    const PageGeometry page(printer);
    return int(layOut(printer, page, text, printFont(font)).size());
}

bool PrintText(QPrinter &printer, const QString &title, const QString &text, const QFont &font, QString *error)
{
    const QFont body = printFont(font);
    QFont headerFont(body);
    headerFont.setPointSizeF(body.pointSizeF() * kPrintHeaderSizeRatio);

    const PageGeometry page(printer);
    const QList<QStringList> pages = layOut(printer, page, text, body);
    const QFontMetricsF bodyMetrics(body, &printer);
    const QFontMetricsF headerMetrics(headerFont, &printer);

    // The pages of the range; every page when there is none.
    int first = 1;
    int last = int(pages.size());
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = qMax(first, printer.fromPage());
        last = qMin(last, printer.toPage());
    }
    // A PDF file holds the document once; a printer that cannot make the
    // copies itself gets the document as often as asked.
    const bool driverCopies = printer.outputFormat() == QPrinter::PdfFormat || printer.supportsMultipleCopies();
    const int runs = driverCopies ? 1 : qMax(1, printer.copyCount());

    QPainter painter;
    if (!painter.begin(&printer))
        return fail(error, cannotPrint(printer));
    bool started = false;
    for (int run = 0; run < runs; ++run) {
        for (int p = first; p <= last; ++p) {
            if (started && !printer.newPage()) {
                painter.end();
                return fail(error, cannotPrint(printer));
            }
            started = true;

            const QString header = PrintHeader(title, p);
            painter.setFont(headerFont);
            const double headerRight = page.paper.width() - page.mm(kPrintMarginLeftMm);
            painter.drawText(QPointF(headerRight - headerMetrics.horizontalAdvance(header),
                                     page.mm(kPrintHeaderTopMm) + headerMetrics.ascent()),
                             header);

            painter.setFont(body);
            double top = page.mm(kPrintMarginTopMm);
            for (const QString &line : pages.at(p - 1)) {
                painter.drawText(QPointF(page.mm(kPrintMarginLeftMm), top + bodyMetrics.ascent()), line);
                top += bodyMetrics.lineSpacing();
            }
        }
    }
    if (!painter.end())
        return fail(error, cannotPrint(printer));
    return true;
}

bool PrintImage(QPrinter &printer, const QImage &image, QString *error)
{
    if (image.isNull())
        return fail(error, QStringLiteral("印刷する画像がありません"));
    const PageGeometry page(printer);

    // The image's size on the screen: its pixels at 96 dots per inch, divided
    // by its device pixel ratio.
    const double ratio = image.devicePixelRatio() > 0 ? image.devicePixelRatio() : 1.0;
    const double dotsPerScreenPixel = printer.resolution() / 96.0 / ratio;
    QSizeF size(image.width() * dotsPerScreenPixel, image.height() * dotsPerScreenPixel);
    const QSizeF room(qMax(1.0, page.usableWidth()), qMax(1.0, page.usableHeight()));
    if (size.width() > room.width() || size.height() > room.height())
        size.scale(room, Qt::KeepAspectRatio);

    QPainter painter;
    if (!painter.begin(&printer))
        return fail(error, cannotPrint(printer));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(page.mm(kPrintMarginLeftMm), page.mm(kPrintMarginTopMm)), size), image);
    if (!painter.end())
        return fail(error, cannotPrint(printer));
    return true;
}

} // namespace tz
