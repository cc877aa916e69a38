#pragma once
// Where the program finds its shipped defaults (form.cfx, script.cfx, the
// sample bank source, help).

#include <QString>

namespace tz {

// The folder of the shipped defaults: TESSELLANE_HOME when it holds form.cfx,
// the executable's folder when it does, <prefix>/share/tessellane next to an
// installed executable, and the source tree's data folder for a build that
// has not been installed.
QString DefaultsFolder();

} // namespace tz
