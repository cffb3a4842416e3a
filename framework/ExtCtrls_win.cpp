#include "framework/ExtCtrls_win.h"

#include "framework/TypInfo.h"

namespace fw {

namespace {
constexpr UINT_PTR kTimerId = 1;
}

const TClassInfo& TTimer::StaticClass()
{
    static const TClassInfo& info = DefineClass<TTimer, TComponent>("TTimer")
                                        .Bool("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, true)
                                        .Int("Interval", &TTimer::Interval, &TTimer::SetInterval, 1000)
                                        .Event("OnTimer", &TTimer::SetOnTimer)
                                        .Register();
    return info;
}
FW_REGISTER_CLASS(TTimer)

TTimer::TTimer(TComponent* owner) : TComponent(owner)
{
    m_window = std::make_unique<TUtilWindow>([this](TMessage& m) -> bool {
        if (m.Msg != WM_TIMER || m.WParam != kTimerId)
            return false;
        try {
            Timer();  // may free the timer: nothing here touches it afterwards
        } catch (...) {
            ReportException(std::current_exception());
        }
        m.Result = 0;
        return true;
    });
}

TTimer::~TTimer()
{
    if (m_running && m_window)
        ::KillTimer(m_window->Handle(), kTimerId);
    m_running = false;
}

void TTimer::UpdateTimer()
{
    if (m_running)
        ::KillTimer(m_window->Handle(), kTimerId);
    m_running = false;
    if (m_enabled && m_interval != 0 && m_onTimer && !IsDesigning()) {
        if (!::SetTimer(m_window->Handle(), kTimerId, m_interval, nullptr)) {
            throw EFrameworkError("Not enough timers available");
        }
        m_running = true;
    }
}

void TTimer::SetEnabled(bool value)
{
    if (value == m_enabled)
        return;
    m_enabled = value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned value)
{
    if (value == m_interval)
        return;
    m_interval = value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler)
{
    m_onTimer = std::move(handler);
    UpdateTimer();
}

void TTimer::Timer()
{
    if (m_enabled && m_onTimer) {
        TNotifyEvent handler = m_onTimer;  // the handler may replace itself
        handler(this);
    }
}

}  // namespace fw
