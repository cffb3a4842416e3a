#include "skin/frame/SkinFormState.h"

#include "skin/frame/uKsSkinHelper.h"

namespace ks {

void SkinFormState::SetFramWidth(int v)
{
    if (v == m_framWidth || v < 0)
        return;
    m_framWidth = v;
    if (v == 0)
        m_flatFrame = true;
    m_savedFramWidth = v;
}

void SkinFormState::Resized()
{
    m_resizing = true;
    m_window.KillTimer(kTimerDeferredFramePaint);
    m_window.SetTimer(kTimerDeferredFramePaint, kDeferredFramePaintMs);
}

void SkinFormState::PositionChanging(const WindowPosInput& in)
{
    if (WindowPosChangingAction(in) == WindowPosAction::EnterMinimized)
        EnterMinimized();
}

void SkinFormState::PositionChanged(bool zoomed, bool iconic, bool visible)
{
    if (zoomed)
        m_framWidth = 0;
    else if (!iconic)
        m_framWidth = m_savedFramWidth;
    // Restores that come as neither SC_RESTORE nor the application's
    // notification (ShowWindow by code, a tray icon) end here too.
    if (m_minimized && !iconic && visible)
        LeaveMinimized();
}

void SkinFormState::RestoreCommand(bool iconic)
{
    if (m_savedFramWidth != 0 && !iconic)
        m_framWidth = m_savedFramWidth;
    LeaveMinimized();
}

void SkinFormState::EnterMinimized()
{
    // Minimising reaches here more than once (the command, then the system's
    // window-position pattern); only the first time saves the alpha, or the
    // faded-out values would be saved over the form's own.
    const bool alreadyMinimized = m_minimized;
    m_minimized = true;
    m_restored = false;
    if (!m_fadeOnMinimize)
        return;
    if (!alreadyMinimized)
        m_savedAlpha = m_window.Alpha();
    m_window.SetAlpha(FormAlpha{true, 0});
}

void SkinFormState::LeaveMinimized()
{
    if (m_restored)
        return;
    m_minimized = false;
    m_restored = true;
    if (m_fadeOnMinimize) {
        if (m_savedAlpha.Value == 0)
            m_savedAlpha.Value = 255;
        m_window.SetAlpha(m_savedAlpha);
    }
    m_window.Focus();
}

void SkinFormState::BeforeShow()
{
    if (m_firstShowDone)
        return;
    // Shown fully transparent: frame and client are painted while invisible.
    m_firstShowDone = true;
    m_savedAlpha = m_window.Alpha();
    m_alphaSavedAtFirstShow = true;
    m_window.SetAlpha(FormAlpha{true, 0});
}

void SkinFormState::AfterShow(bool showing, bool maximized)
{
    if (!showing)
        return;
    m_window.SetTimer(kTimerFirstShowSettle, kFirstShowSettleMs);
    if (m_designedMaximized && maximized) {
        m_designedMaximized = false;
        m_framWidth = 0;
        m_growAtSettle = true;
    }
}

bool SkinFormState::TimerFired(unsigned id, bool maximized)
{
    switch (id) {
    case kTimerDeferredFramePaint:
        m_window.KillTimer(id);
        m_resizing = false;
        m_window.RepaintFrame();
        return true;
    case kTimerFirstShowSettle:
        m_window.KillTimer(id);
        if (m_alphaSavedAtFirstShow) {
            m_alphaSavedAtFirstShow = false;
            m_window.SetAlpha(m_savedAlpha);
        }
        if (m_growAtSettle && maximized)
            m_window.GrowHeightByOne();
        m_growAtSettle = false;
        return true;
    case kTimerMenuReopen:
        // Set only by the title-bar menu bar.
        m_window.KillTimer(id);
        return true;
    case kTimerBorderWatch:
        // Watches a linked layered border; none is linked in this build.
        return true;
    default:
        return false;
    }
}

void SkinFormState::KillTimers()
{
    m_resizing = false;
    for (unsigned id : {kTimerDeferredFramePaint, kTimerFirstShowSettle, kTimerMenuReopen, kTimerBorderWatch})
        m_window.KillTimer(id);
}

}  // namespace ks
