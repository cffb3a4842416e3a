// The screen: the primary monitor's size, the virtual desktop, the monitors
// with their work areas, the application's cursors and its forms.
#pragma once

#include "framework/Controls_win.h"

#include <map>
#include <memory>
#include <vector>

namespace fw {

class TCustomForm;

// One display monitor as the system reports it.
class TMonitor {
public:
    TMonitor(HMONITOR handle, int number) : m_handle(handle), m_number(number) {}

    HMONITOR Handle() const { return m_handle; }
    // Index in the screen's monitor list.
    int MonitorNum() const { return m_number; }
    bool Primary() const;
    TRect BoundsRect() const;
    TRect WorkareaRect() const;
    int Left() const { return BoundsRect().Left; }
    int Top() const { return BoundsRect().Top; }
    int Width() const { return BoundsRect().Width(); }
    int Height() const { return BoundsRect().Height(); }

private:
    friend class TScreen;
    HMONITOR m_handle;
    int m_number;
};

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

// The screen: size, monitors, cursors, and the application's forms.
class TScreen : public TComponent {
    FW_CLASS(TScreen)

    explicit TScreen(TComponent* owner);
    ~TScreen() override;

    // The primary monitor's size.
    int Width() const;
    int Height() const;
    // The virtual desktop spanning all monitors.
    TRect DesktopRect() const;
    int DesktopLeft() const { return DesktopRect().Left; }
    int DesktopTop() const { return DesktopRect().Top; }
    int DesktopWidth() const { return DesktopRect().Width(); }
    int DesktopHeight() const { return DesktopRect().Height(); }
    // The primary monitor's work area (without the taskbar).
    TRect WorkAreaRect() const;
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    int PixelsPerInch() const;

    // Monitors, enumerated afresh when asked.
    int MonitorCount();
    TMonitor* Monitors(int index);
    TMonitor* PrimaryMonitor();
    TMonitor* MonitorFromWindow(HWND window, TMonitorDefaultTo fallback = mdNearest);
    TMonitor* MonitorFromPoint(TPoint p, TMonitorDefaultTo fallback = mdNearest);
    TMonitor* MonitorFromRect(const TRect& r, TMonitorDefaultTo fallback = mdNearest);

    // The cursor forced on the whole application (crDefault: none).
    TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor cursor);
    // Registered cursors: the built-in negative numbers are the system's
    // cursors; others are registered by the application and destroyed with the
    // screen. An unknown number gives the arrow.
    HCURSOR Cursors(TCursor index);
    void SetCursors(TCursor index, HCURSOR cursor);

    // Forms in creation order; the active one is the last that was activated.
    int FormCount() const { return static_cast<int>(m_forms.size()); }
    TCustomForm* Forms(int index) const { return m_forms.at(static_cast<size_t>(index)); }
    TCustomForm* ActiveForm() const { return m_activeForm; }

private:
    friend class TCustomForm;
    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);
    void SetActiveForm(TCustomForm* form) { m_activeForm = form; }
    void RefreshMonitors();
    TMonitor* FindMonitor(HMONITOR handle);

    std::vector<std::unique_ptr<TMonitor>> m_monitors;
    std::vector<TCustomForm*> m_forms;
    TCustomForm* m_activeForm = nullptr;
    TCursor m_cursor = crDefault;
    std::map<TCursor, HCURSOR> m_cursors;          // loaded system cursors (shared, never destroyed)
    std::map<TCursor, ScopedCursor> m_ownCursors;  // registered by the application
};

// The program's screen, created before main() runs and never destroyed (see
// Application).
extern TScreen* Screen;

}  // namespace fw
