#include "app/services.h"

namespace tz {

QList<Tone> SignalTones(int n)
{
    switch (n) {
    case 1:
        return {{200, 300}};
    case 2:
        return {{400, 300}};
    case 3:
        return {{400, 400}, {800, 150}};
    default:
        return {};
    }
}

void Signal(UserInterface &ui, int beepOn, int n)
{
    if (beepOn == 0)
        return;
    const QList<Tone> tones = SignalTones(n);
    if (!tones.isEmpty())
        ui.playTones(tones);
}

void ProgressDriver::ProgressStep(int mode, int first, int last, int /*current*/)
{
    if (first < 1 || last < 1 || first == last)
        return;
    switch (mode) {
    case 1:
        if (!m_open) {
            int &flag = m_cancelFlag;
            m_ui.progressOpen([&flag] { flag = 1; });
            m_open = true;
        }
        break;
    case 2:
        if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kProgressEventsMs)
            return;
        break;
    case 0:
        if (m_open) {
            m_ui.progressClose();
            m_open = false;
        }
        break;
    default:
        return;
    }
    m_ui.processEvents();
    m_sinceEvents.start();
}

} // namespace tz
