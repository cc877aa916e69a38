#pragma once
// The small shared services: the audible signals and the driver of the progress
// window.

#include "core/session/user_interface.h"

#include <QByteArray>
#include <QElapsedTimer>

namespace tz {

// The tones of signal n: 1 an empty link, URL or DOI field; 2 an error at
// start-up or an unreadable drive; 3 a finished search being rendered. Any
// other n has none.
QList<Tone> SignalTones(int n);

// The tones as sound samples: signed 16-bit little-endian, one channel, at
// `rate` samples a second, a sine of each tone's frequency for its length,
// faded in and out over 5 ms so that the tones do not click.
QByteArray TonePcm(const QList<Tone> &tones, int rate);

// Signal(n): the tones of n, unless beepOn is 0.
void Signal(UserInterface &ui, int beepOn, int n);

// ProgressStep of long loops. mode 1 opens the progress window, 2 steps, 0
// closes it; after each of them pending window events run, at most every
// kProgressEventsMs while stepping (opening and closing always let them run).
// Nothing at all happens when first < 1, last < 1 or first = last, so a loop
// over a single record shows no window. The window's Cancel sets *cancelFlag to 1.
class ProgressDriver
{
public:
    static constexpr int kProgressEventsMs = 50;

    ProgressDriver(UserInterface &ui, int &cancelFlag) : m_ui(ui), m_cancelFlag(cancelFlag) {}

    void ProgressStep(int mode, int first, int last, int current);

private:
    UserInterface &m_ui;
    int &m_cancelFlag;
    bool m_open = false;
    QElapsedTimer m_sinceEvents;
};

} // namespace tz
