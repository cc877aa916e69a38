#pragma once
// Stand-in for the printing routine until it arrives.

#include "app/user_interface.h"

#include <QFont>
#include <QPrinter>
#include <QString>

namespace tz {

void ApplyPrintChoice(QPrinter &printer, const PrintChoice &choice);
bool PrintText(QPrinter &printer, const QString &title, const QString &text, const QFont &font,
               QString *error = nullptr);

} // namespace tz
