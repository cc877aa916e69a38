#pragma once
// The small shared services: the audible signals and the driver of the progress
// window.

#include "core/session/user_interface.h"

#include <QByteArray>
#include <QElapsedTimer>

namespace tz {

// The audible signals `Signal`(n), n = 1, 2, 3.
enum class SignalKind {
    EmptyField = 1,   // an empty link, URL or DOI field
    StartUpError = 2, // an error at start-up or an unreadable drive
    SearchDone = 3,   // a finished search being rendered
};

QList<Tone> SignalTones(SignalKind kind);

// The tones as sound samples: signed 16-bit little-endian, one channel, at
// `rate` samples a second, a sine of each tone's frequency for its length,
// faded in and out over 5 ms so that the tones do not click.
QByteArray TonePcm(const QList<Tone> &tones, int rate);

// The tones of a signal, unless the beep is off.
void Signal(UserInterface &ui, bool beepOn, SignalKind kind);

// What a long loop tells the progress window.
enum class ProgressMode {
    Close = 0,
    Open = 1,
    Step = 2,
};

// ProgressStep of long loops: opens the progress window, steps, closes it; after each of them pending window events
// run, at most every kProgressEventsMs while stepping (opening and closing always let them run). Nothing at all happens
// when first < 1, last < 1 or first = last, so a loop over a single record
// shows no window. The window's Cancel sets the cancel flag.
class ProgressDriver
{
public:
    static constexpr int kProgressEventsMs = 50;

    ProgressDriver(UserInterface &ui, bool &cancelFlag) : m_ui(ui), m_cancelFlag(cancelFlag) {}

    void ProgressStep(ProgressMode mode, int first, int last, int current);

private:
    UserInterface &m_ui;
    bool &m_cancelFlag;
    bool m_open = false;
    QElapsedTimer m_sinceEvents;
};

} // namespace tz
