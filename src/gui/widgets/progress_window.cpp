#include "gui/widgets/progress_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tz {

ProgressWindow::ProgressWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Progress"));
    setWindowTitle(QStringLiteral("作業中"));
    setModal(false);
    auto *label = new QLabel(QStringLiteral("ただいま作業中です。"), this);
    label->setObjectName(QStringLiteral("Label1"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    connect(cancel, &QPushButton::clicked, this, [this] {
        if (m_onCancel)
            m_onCancel();
    });
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cancel);
    row->addStretch();
    auto *all = new QVBoxLayout(this);
    all->setContentsMargins(32, 20, 32, 16);
    all->addWidget(label, 0, Qt::AlignCenter);
    all->addSpacing(12);
    all->addLayout(row);
    setFixedSize(sizeHint());
}

void ProgressWindow::closeEvent(QCloseEvent *event)
{
    // Closing the window by its frame counts as Cancel; the loop closes it.
    event->ignore();
    if (m_onCancel)
        m_onCancel();
}

} // namespace tz
