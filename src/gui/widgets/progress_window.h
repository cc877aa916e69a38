#pragma once
// The progress window (Progress): a note that work is going on and a Cancel
// button; no progress bar.

#include <QDialog>
#include <functional>

namespace tz {

class ProgressWindow : public QDialog
{
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget *parent = nullptr);
    void setOnCancel(std::function<void()> onCancel) { m_onCancel = std::move(onCancel); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::function<void()> m_onCancel;
};

} // namespace tz
