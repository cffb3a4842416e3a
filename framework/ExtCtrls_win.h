// Non-visual helpers of forms: the timer.
#pragma once

#include "framework/Classes.h"
#include "framework/UtilWindow_win.h"

#include <memory>

namespace fw {

// Calls OnTimer every Interval milliseconds from the message loop (a window
// timer on a hidden window of its own). Runs only while Enabled, Interval is
// not 0 and OnTimer is assigned. An exception from OnTimer is reported and the
// timer keeps running.
class TTimer : public TComponent {
    FW_CLASS(TTimer)

    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value);
    unsigned Interval() const { return m_interval; }
    void SetInterval(unsigned value);
    const TNotifyEvent& OnTimer() const { return m_onTimer; }
    void SetOnTimer(TNotifyEvent handler);

    // Whether a system timer is set right now.
    bool Running() const { return m_running; }

protected:
    // Called on every tick; calls OnTimer.
    virtual void Timer();

private:
    void UpdateTimer();

    bool m_enabled = true;
    unsigned m_interval = 1000;
    TNotifyEvent m_onTimer;
    bool m_running = false;
    std::unique_ptr<TUtilWindow> m_window;
};

}  // namespace fw
