#include "core/session/services.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace tz {

QList<Tone> SignalTones(SignalKind kind)
{
    switch (kind) {
    case SignalKind::EmptyField:
        return {{200, 300}};
    case SignalKind::StartUpError:
        return {{400, 300}};
    case SignalKind::SearchDone:
        return {{400, 400}, {800, 150}};
    }
    return {};
}

QByteArray TonePcm(const QList<Tone> &tones, int rate)
{
    QByteArray pcm;
    if (rate <= 0)
        return pcm;
    const qint64 fade = std::max<qint64>(1, rate / 200);
    for (const Tone &tone : tones) {
        const qint64 samples = qint64(std::clamp(tone.ms, 0, 10000)) * rate / 1000;
        const qsizetype start = pcm.size();
        pcm.resize(start + samples * 2);
        for (qint64 i = 0; i < samples; ++i) {
            const double ramp = std::min({1.0, double(i) / fade, double(samples - 1 - i) / fade});
            const double v = 0.4 * ramp * std::sin(2.0 * std::numbers::pi * tone.hertz * double(i) / rate);
            qToLittleEndian<qint16>(qint16(std::lround(v * 32767.0)), pcm.data() + start + i * 2);
        }
    }
    return pcm;
}

void Signal(UserInterface &ui, bool beepOn, SignalKind kind)
{
    if (beepOn)
        ui.playTones(SignalTones(kind));
}

void ProgressDriver::ProgressStep(ProgressMode mode, int first, int last, int /*current*/)
{
    if (first < 1 || last < 1 || first == last)
        return;
    switch (mode) {
    case ProgressMode::Open:
        if (!m_open) {
            bool &flag = m_cancelFlag;
            m_ui.progressOpen([&flag] { flag = true; });
            m_open = true;
        }
        break;
    case ProgressMode::Step:
        if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kProgressEventsMs)
            return;
        break;
    case ProgressMode::Close:
        if (m_open) {
            m_ui.progressClose();
            m_open = false;
        }
        break;
    }
    m_ui.processEvents();
    m_sinceEvents.start();
}

} // namespace tz
