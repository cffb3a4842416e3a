// The form controller's window state: the fade on minimise and restore, the
// transparent first show, the frame width that goes to 0 while maximised and
// comes back afterwards, and the controller's own window timers.
//
// Windows-free. The controller tells it what happened to the window; it acts
// on the window through ISkinFormWindow, which the controller implements with
// the real form and tests with a fake that keeps its own clock.
#pragma once

#include "skin/frame/FrameGeometry.h"

namespace ks {

// A form's layered-window alpha: whether it is used, and its value.
struct FormAlpha {
    bool Blend = false;
    int Value = 255;
    bool operator==(const FormAlpha&) const = default;
};

// What the state asks of the form's window.
class ISkinFormWindow {
public:
    virtual ~ISkinFormWindow() = default;
    virtual FormAlpha Alpha() const = 0;
    virtual void SetAlpha(const FormAlpha& alpha) = 0;
    // Window timers on the form: setting a running one restarts it.
    virtual void SetTimer(unsigned id, unsigned ms) = 0;
    virtual void KillTimer(unsigned id) = 0;
    // The deferred frame paint (WM_NCPAINT with 0, 0).
    virtual void RepaintFrame() = 0;
    // Gives the form the focus when it can take it.
    virtual void Focus() = 0;
    // Height := Height + 1.
    virtual void GrowHeightByOne() = 0;
};

class SkinFormState {
public:
    explicit SkinFormState(ISkinFormWindow& window) : m_window(window) {}

    // --- frame width ----------------------------------------------------------------
    int FramWidth() const { return m_framWidth; }
    // The property: ignores negative values and the current one; 0 also
    // makes the frame flat; the width to return to after maximising follows.
    void SetFramWidth(int v);
    int SavedFramWidth() const { return m_savedFramWidth; }
    bool FlatFrame() const { return m_flatFrame; }
    void SetFlatFrame(bool v) { m_flatFrame = v; }
    // Maximised before the first show, as stored: the max-info rule then
    // leaves the height one pixel short.
    bool DesignedMaximized() const { return m_designedMaximized; }
    // The form's window state as stored, taken when the controller is made.
    void SetDesignedMaximized(bool v) { m_designedMaximized = v; }

    bool Minimized() const { return m_minimized; }
    bool FirstShowDone() const { return m_firstShowDone; }
    // Shown, and the first show's alpha is back.
    bool FirstShowSettled() const { return m_firstShowDone && !m_alphaSavedAtFirstShow; }

    // --- what happened to the window ------------------------------------------------------
    // WM_SIZE: the frame is repainted 50 ms after the last resize.
    void Resized();
    // From a resize until that deferred frame paint (which comes after it
    // is over): the form is being resized.
    bool Resizing() const { return m_resizing; }
    // WM_WINDOWPOSCHANGING, before the default handling.
    void PositionChanging(const WindowPosInput& in);
    // WM_WINDOWPOSCHANGED: no frame while maximised, the saved width while
    // normal. A minimised form that is visible and no longer iconic was
    // restored, by the user or by code: it comes back.
    void PositionChanged(bool zoomed, bool iconic, bool visible);
    // SC_MAXIMIZE, before the default handling.
    void MaximizeCommand() { m_framWidth = 0; }
    // SC_RESTORE, after the default handling.
    void RestoreCommand(bool iconic);
    // Minimise: fades the form out (saving its own alpha once).
    void EnterMinimized();
    // Restore: puts the form's alpha back (a saved 0 as 255) and focuses it.
    // Nothing when already restored.
    void LeaveMinimized();
    // CM_SHOWINGCHANGED for a form that is now showing, around the default
    // handling: before it, the first show starts fully transparent; after it,
    // a form still showing turns opaque 30 ms later, and one designed
    // maximised and shown maximised counts as normal from now on.
    void BeforeShow();
    void AfterShow(bool showing, bool maximized);
    // WM_TIMER: false for an id that is not the controller's.
    bool TimerFired(unsigned id, bool maximized);
    // Stops every timer of the controller.
    void KillTimers();

private:
    ISkinFormWindow& m_window;
    int m_framWidth = 2;
    int m_savedFramWidth = 2;
    bool m_flatFrame = false;
    bool m_designedMaximized = false;
    // The first settle after a designed-maximised form was shown maximised
    // makes up the pixel the max-info rule held back; no other settle grows.
    bool m_growAtSettle = false;

    bool m_resizing = false;
    bool m_minimized = false;
    bool m_restored = false;
    bool m_fadeOnMinimize = true;
    FormAlpha m_savedAlpha;
    bool m_firstShowDone = false;
    bool m_alphaSavedAtFirstShow = false;
};

}  // namespace ks
