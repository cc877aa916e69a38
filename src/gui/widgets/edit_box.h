#pragma once
// The editing commands of the edit menus (select all, cut, copy, paste,
// delete) on a window's focused text box, through the system clipboard.

#include <QtGlobal>

class QEvent;
class QWidget;

namespace tz {

enum class EditOp { SelectAll, Cut, Copy, Paste, Delete };

// Applies op to a line box, a multi-line box or an editable combo box.
// SelectAll selects from the start, selectLength characters at the most; cut
// and copy leave the clipboard alone when nothing is selected; delete removes
// the selection only. False when box is no text box (a button, nothing).
bool EditBoxCommand(QWidget *box, EditOp op, qsizetype selectLength);

// A box's own handling of Ctrl+Z, A, T, C, V and D gives way to the window's
// edit menu: true for the shortcut-override event of one of those keys.
bool IsEditMenuKey(const QEvent *event);

} // namespace tz
