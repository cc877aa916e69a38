#pragma once
// Where the program finds its shipped defaults (form.cfx, script.cfx, the
// sample bank, help) and where it keeps its own files (the program folder).

#include <QString>

namespace tz {

// The folder of the shipped defaults: TESSELLANE_HOME when it holds form.cfx,
// the executable's folder when it does, share/tessellane beside the
// executable's folder (an installation, or the build tree, which lays the data
// out the same way), and the data folder of the installation prefix.
QString DefaultsFolder();

// The program folder, ending in "/": TESSELLANE_HOME when set; otherwise the
// executable's folder when it holds form.cfx and can be written (portable
// use); otherwise the per-user data folder (~/.local/share/tessellane/). The
// folder is made when missing, and a folder without form.cfx is filled from
// `defaults`: form.cfx, script.cfx and the help topics, and the sample bank
// into the bank folder (BankHomeFor), each only when missing. Empty with
// *error when a folder cannot be made.
QString ResolveAppFolder(const QString &defaults, QString *error);

// The folder where banks live unless the person puts them elsewhere, ending
// in "/": the program folder itself when TESSELLANE_HOME names it, when it is
// the executable's folder (portable use) or when it already holds the sample
// bank (set up so by an earlier version); otherwise "Tessellane" in the
// person's documents folder (XDG_DOCUMENTS_DIR, usually ~/Documents), since
// the per-user data folder is hidden from the file manager.
QString BankHomeFor(const QString &appFolder);

// Copies what `target` lacks of the shipped defaults in `defaults`, the
// sample bank into `bankHome` (see ResolveAppFolder). Each file is written
// whole, each folder is built beside its place and renamed when complete, and
// form.cfx comes last, so that a start cut short is seeded again by the next
// one. False with *error naming the path and the reason when a copy failed;
// what was copied stays.
bool SeedAppFolder(const QString &target, const QString &bankHome, const QString &defaults, QString *error);

} // namespace tz
