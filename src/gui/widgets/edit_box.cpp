#include "gui/widgets/edit_box.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <algorithm>

namespace tz {

bool EditBoxCommand(QWidget *box, EditOp op, qsizetype selectLength)
{
    if (auto *combo = qobject_cast<QComboBox *>(box))
        box = combo->lineEdit();
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (auto *e = qobject_cast<QLineEdit *>(box)) {
        switch (op) {
        case EditOp::SelectAll:
            e->setSelection(0, int(std::min(selectLength, e->text().size())));
            break;
        case EditOp::Cut:
        case EditOp::Copy:
            if (e->hasSelectedText())
                clipboard->setText(e->selectedText());
            if (op == EditOp::Cut)
                e->insert(QString());
            break;
        case EditOp::Paste:
            e->insert(clipboard->text());
            break;
        case EditOp::Delete:
            e->insert(QString());
            break;
        }
        return true;
    }
    if (auto *p = qobject_cast<QPlainTextEdit *>(box)) {
        QTextCursor c = p->textCursor();
        switch (op) {
        case EditOp::SelectAll:
            c.setPosition(0);
            c.setPosition(int(std::min<qsizetype>(selectLength, p->document()->characterCount() - 1)),
                          QTextCursor::KeepAnchor);
            p->setTextCursor(c);
            break;
        case EditOp::Cut:
        case EditOp::Copy:
            if (c.hasSelection())
                clipboard->setText(c.selection().toPlainText());
            if (op == EditOp::Cut)
                c.removeSelectedText();
            break;
        case EditOp::Paste:
            c.insertText(clipboard->text());
            break;
        case EditOp::Delete:
            c.removeSelectedText();
            break;
        }
        return true;
    }
    return false;
}

bool IsEditMenuKey(const QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    static const int keys[] = {Qt::Key_Z, Qt::Key_A, Qt::Key_T, Qt::Key_C, Qt::Key_V, Qt::Key_D};
    return key->modifiers() == Qt::ControlModifier && std::ranges::find(keys, key->key()) != std::end(keys);
}

} // namespace tz
