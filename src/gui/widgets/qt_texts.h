#pragma once
// Qt's own texts in Japanese, as the rest of the windows: the standard
// buttons of the message boxes (OK, キャンセル), the file, print and input
// dialogs and the edit boxes' context menus.

class QTranslator;

namespace tz {

// Loads Qt's Japanese translation from Qt's translations folder (Debian's
// qt6-translations-l10n) and installs it in the application, whatever the
// system's language. Returns it, owned by the application; null when it is
// not installed, and Qt's texts then stay English.
QTranslator *InstallQtJapaneseTexts();

} // namespace tz
