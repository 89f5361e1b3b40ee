#include "monitor/MonitorTick.h"

#include "link/ProtocolModule.h"
#include "platform/Clock.h"

#include <cmath>

MonitorTick::MonitorTick(ProtocolModule& protocol) : m_protocol(protocol) {}

double MonitorTick::now() const {
    return m_protocol.clock().monotonicSeconds();
}

MonitorTick::Report MonitorTick::run(bool portInUse) {
    Report report;
    if (!portInUse) {
        report.texts = MonitorFrame::labelTexts(state, false);
        report.printOfflineNotice = !state.OfflineNoticeShown;
        state.OfflineNoticeShown = true;
        return report;
    }
    report.online = true;

    report.frameArrived = MonitorFrame::drain(m_protocol, state, [this, &report] {
        const double t = now();
        if (t - state.GTime > GGauge::UpdateEvery) {
            state.GTime = t;
            report.gauge = GGauge::update(state, state.SpeedRaw, t);
        }
    });

    const double t = now();
    LinkStats& link = m_protocol.stats();
    if (!(t - state.RateSince < 1.0)) {
        if (state.RateSince != MonitorState::Never) {
            link.framesPerSecond = double(link.frames - state.RateFrames) / (t - state.RateSince);
            qCDebug(lcMonitor) << "frames/s" << link.framesPerSecond << "checksum failures"
                               << link.checksumFailures << "bytes skipped" << link.bytesSkipped;
        }
        state.RateSince = t;
        state.RateFrames = link.frames;
    }
    if (record.Recording)
        record.append(t, state);
    if (sampleTaken)
        sampleTaken(t, state);

    report.texts = MonitorFrame::labelTexts(state, report.frameArrived);

    MonitorHistory::Sample& slot = history.push(state);
    if (std::fabs(state.TickTime - t) > MarkEvery) {
        state.TickTime = t;
        ++state.TickCount;
        slot.mark = MonitorHistory::TenthMark;
        if (state.TickCount == MarksPerSecond) {
            slot.mark = MonitorHistory::SecondMark;
            state.TickCount = 0;
        }
    }

    state.ShowFirstPicture = !state.ShowFirstPicture;
    report.drawFirstPicture = state.ShowFirstPicture;
    history.scroll();
    return report;
}
