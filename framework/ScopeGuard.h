// One scope guard for the clean-up that must run however a scope is left:
//
//   auto restore = OnScopeExit([&] { m_recreating = false; });
//
// Dismiss() keeps the clean-up from running, for work that is undone only
// when the scope is left by an exception:
//
//   auto undo = OnScopeExit([&] { m_components.pop_back(); });
//   ...                      // may throw
//   undo.Dismiss();
//
// A clean-up may throw (EndUpdate runs change handlers). Left normally, the
// scope passes that exception on; left by an exception, the first failure is
// the one callers see and the clean-up's own failure is dropped.
#pragma once

#include <exception>
#include <utility>

namespace fw {

template <class Action>
class TScopeGuard {
public:
    explicit TScopeGuard(Action action) noexcept
        : m_action(std::move(action)),
          m_exceptionsOnEntry(std::uncaught_exceptions())
    {}
    ~TScopeGuard() noexcept(false)
    {
        if (!m_active)
            return;
        if (std::uncaught_exceptions() == m_exceptionsOnEntry) {
            m_action();
            return;
        }
        try {
            m_action();
        } catch (...) {  // the exception already on its way is the one to report
        }
    }
    TScopeGuard(const TScopeGuard&) = delete;
    TScopeGuard& operator=(const TScopeGuard&) = delete;

    void Dismiss() noexcept { m_active = false; }

private:
    Action m_action;
    int m_exceptionsOnEntry;
    bool m_active = true;
};

template <class Action>
[[nodiscard]] TScopeGuard<Action> OnScopeExit(Action action) noexcept
{
    return TScopeGuard<Action>(std::move(action));
}

}  // namespace fw
