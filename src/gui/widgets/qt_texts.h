#pragma once
// Qt's own texts in Japanese, as the rest of the windows: the standard
// buttons of the message boxes (OK, キャンセル), the file, print and input
// dialogs and the edit boxes' context menus.

class QTranslator;

namespace tz {

// The dates and times Qt shows of itself (the file dialog's 更新日 column) in
// the Japanese form, whatever the system's language: called before the
// application object is made, which reads the system's locale once. A
// locale chosen for every category (LC_ALL) is left as it is.
void UseJapaneseDates();

// Loads Qt's Japanese translation from Qt's translations folder (Debian's
// qt6-translations-l10n) and installs it in the application, whatever the
// system's language, with the few texts of the file dialog it lacks (the
// type of a folder) and Japanese as the language of the file types' names.
// Returns Qt's translation, owned by the application; null when it is not
// installed, and Qt's texts then stay English.
QTranslator *InstallQtJapaneseTexts();

} // namespace tz
