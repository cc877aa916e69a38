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

// Pixels for a length in twips (1440 a logical inch) at the given dots per inch.
int TwipsToPixels(double twips, double dpi);
// Twips for a length in pixels, the other way round.
int PixelsToTwips(double pixels, double dpi);

} // namespace tz
