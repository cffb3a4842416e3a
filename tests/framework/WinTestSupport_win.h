// Helpers for the framework's Windows tests: pumping the message loop with a
// time limit, and catching exceptions that trampolines report.
#pragma once

#include "framework/Forms_win.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace fwtest {

// Handles messages until pred() holds or the (generous) time is up; returns
// pred().
inline bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 30000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        fw::Application->ProcessMessages();
        if (pred())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

inline void PumpFor(int ms)
{
    PumpUntil([] { return false; }, ms);
}

// Handles messages until the thread's queue holds nothing posted, sent or to
// paint: whatever the code under test queued has been handled.
inline bool Settle(int timeoutMs = 10000)
{
    return PumpUntil([] { return HIWORD(::GetQueueStatus(QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT)) == 0; },
                     timeoutMs);
}

// Handles messages until a thread timer of intervalMs has fired `ticks` times.
// A timer of that interval that should be stopped would have fired meanwhile
// too: this is how long "nothing happens" is watched, and it stretches with
// the machine's load as the timers under test do.
inline int& TimerTicksFired()
{
    static thread_local int fired = 0;
    return fired;
}
inline void CALLBACK CountTimerTick(HWND, UINT, UINT_PTR, DWORD) { ++TimerTicksFired(); }
inline bool PumpTimerTicks(int intervalMs, int ticks, int timeoutMs = 20000)
{
    TimerTicksFired() = 0;
    const UINT_PTR id = ::SetTimer(nullptr, 0, static_cast<UINT>(intervalMs), CountTimerTick);
    const bool done = PumpUntil([&] { return TimerTicksFired() >= ticks; }, timeoutMs);
    ::KillTimer(nullptr, id);
    return done;
}

// GDI objects (and device contexts) the process holds, whoever created them.
// Windows reports the count through GetGuiResources; Wine answers 0 there, but
// its handle table answers GetObjectType for a handle given by its 16-bit
// index alone, so every index is asked.
inline long ProcessGdiObjectCount()
{
    const DWORD reported = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0)
        return static_cast<long>(reported);
    long count = 0;
    for (ULONG_PTR index = 1; index < 0x10000; ++index)
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0)
            ++count;
    return count;
}

// Collects the exceptions the framework reports while it lives.
class ReportedExceptions {
public:
    ReportedExceptions()
    {
        fw::Application->SetOnException([this](fw::TObject*, std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& e) {
                messages.push_back(e.what());
            } catch (...) {
                messages.push_back("?");
            }
        });
    }
    ~ReportedExceptions() { fw::Application->SetOnException(nullptr); }
    std::vector<std::string> messages;
};

}  // namespace fwtest
