#include "gui/widgets/version_window.h"

#include "core/session/session.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tz {

QIcon ProgramIcon()
{
    return QIcon(QStringLiteral(":/tessellane.png"));
}

VersionWindow::VersionWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Splash"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setModal(false);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Icon"));
    icon->setPixmap(ProgramIcon().pixmap(64, 64));

    auto *product = new QLabel(QStringLiteral("Tessellane"), this);
    product->setObjectName(QStringLiteral("Product"));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    product->setFont(big);

    auto *version = new QLabel(QStringLiteral("Ver. ") + kVersion.toString(), this);
    version->setObjectName(QStringLiteral("Version"));
    auto *release = new QLabel(kReleaseDate.toString(), this);
    release->setObjectName(QStringLiteral("Release"));
    auto *note = new QLabel(QStringLiteral("文献データベースと引用文献リストの作成"), this);
    note->setObjectName(QStringLiteral("Credit"));

    auto *close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto *text = new QVBoxLayout;
    text->addWidget(product);
    text->addWidget(version);
    text->addWidget(release);
    text->addSpacing(8);
    text->addWidget(note);
    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addLayout(text);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto *all = new QVBoxLayout(this);
    all->setContentsMargins(24, 20, 24, 16);
    all->addLayout(top);
    all->addSpacing(12);
    all->addLayout(buttons);
    setFixedSize(sizeHint());
}

void VersionWindow::keyPressEvent(QKeyEvent *event)
{
    event->accept();
    close();
}

} // namespace tz
