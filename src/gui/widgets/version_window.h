#pragma once
// The version window (Splash): product name, version, release date and icon.
// Shown without waiting at start-up and from the help menu; its Close button
// and any key close it.

#include <QDialog>

namespace tz {

class VersionWindow : public QDialog
{
    Q_OBJECT
public:
    explicit VersionWindow(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The program's icon.
QIcon ProgramIcon();

} // namespace tz
