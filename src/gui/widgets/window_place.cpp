#include "gui/widgets/window_place.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace tz {

int TwipsToPixels(double twips, double dpi)
{
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

int PixelsToTwips(double pixels, double dpi)
{
    return dpi > 0 ? static_cast<int>(std::lround(pixels * 1440.0 / dpi)) : 0;
}

void PlaceWindow(QWidget *window, const WindowPos &pos)
{
    const double dpiX = window->logicalDpiX();
    const double dpiY = window->logicalDpiY();
    window->move(TwipsToPixels(pos.left, dpiX), TwipsToPixels(pos.top, dpiY));
    const bool fixedHeight = window->minimumHeight() == window->maximumHeight();
    const int height =
        fixedHeight ? window->height() : std::max(window->minimumHeight(), TwipsToPixels(pos.height, dpiY));
    window->resize(std::max(window->minimumWidth(), TwipsToPixels(pos.width, dpiX)), height);
}

WindowPos WindowPlace(const QWidget *window)
{
    const double dpiX = window->logicalDpiX();
    const double dpiY = window->logicalDpiY();
    WindowPos pos;
    pos.left = float(PixelsToTwips(window->x(), dpiX));
    pos.top = float(PixelsToTwips(window->y(), dpiY));
    pos.width = float(PixelsToTwips(window->width(), dpiX));
    pos.height = qint16(std::clamp(PixelsToTwips(window->height(), dpiY), kMinWindowExtent, kMaxTwips));
    return pos;
}

} // namespace tz
