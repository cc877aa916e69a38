#pragma once
// Window places kept in the settings in twips (1440 a logical inch, 15 a pixel
// at 96 dots per inch), turned into pixels at the screen's dots per inch.

#include "core/session/settings.h"

class QWidget;

namespace tz {

// Pixels for a length in twips at the given dots per inch.
int TwipsToPixels(double twips, double dpi);
// Twips for a length in pixels, the other way round.
int PixelsToTwips(double pixels, double dpi);

// Moves and sizes a window to a saved place; width and height never below
// the window's minimum. A window of fixed height keeps its height.
void PlaceWindow(QWidget *window, const WindowPos &pos);
// The window's place as the settings keep it.
WindowPos WindowPlace(const QWidget *window);

} // namespace tz
