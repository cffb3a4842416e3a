#include "framework/Screen_win.h"

#include "framework/TypInfo.h"

#include <algorithm>

namespace fw {

TScreen* Screen = nullptr;

namespace {

TRect FromRECT(const RECT& r) { return TRect(r.left, r.top, r.right, r.bottom); }

// Called by the system for each monitor: it must not throw, so the list has
// room for every monitor before the enumeration starts (see RefreshMonitors)
// and a monitor beyond that room ends the enumeration.
struct TMonitorList {
    std::vector<HMONITOR> Handles;
    size_t Capacity = 0;
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) noexcept
{
    auto* list = reinterpret_cast<TMonitorList*>(data);
    if (list->Handles.size() >= list->Capacity)
        return FALSE;
    list->Handles.push_back(monitor);  // within the reserved capacity: cannot allocate
    return TRUE;
}

}  // namespace

// Cursor hooks for the controls.
HCURSOR CursorHandleOf(TCursor cursor) { return Screen ? Screen->Cursors(cursor) : ::LoadCursorW(nullptr, IDC_ARROW); }
TCursor ScreenCursorValue() { return Screen ? Screen->Cursor() : crDefault; }

const TClassInfo& TScreen::StaticClass()
{
    static const TClassInfo& info = DefineClass<TScreen, TComponent>("TScreen").Register();
    return info;
}

// ---------------------------------------------------------------------------
// TMonitor

namespace {
bool MonitorInfo(HMONITOR handle, MONITORINFO& info)
{
    info = MONITORINFO{};
    info.cbSize = sizeof(info);
    return ::GetMonitorInfoW(handle, &info) != 0;
}
}  // namespace

bool TMonitor::Primary() const
{
    MONITORINFO info;
    return MonitorInfo(m_handle, info) && (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
}

TRect TMonitor::BoundsRect() const
{
    MONITORINFO info;
    if (!MonitorInfo(m_handle, info))
        return TRect();
    return FromRECT(info.rcMonitor);
}

TRect TMonitor::WorkareaRect() const
{
    MONITORINFO info;
    if (!MonitorInfo(m_handle, info))
        return TRect();
    return FromRECT(info.rcWork);
}

// ---------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

TScreen::~TScreen() = default;

int TScreen::Width() const { return ::GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return ::GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::DesktopRect() const
{
    int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return Bounds(x, y, ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

TRect TScreen::WorkAreaRect() const
{
    RECT r{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0))
        return Bounds(0, 0, Width(), Height());
    return FromRECT(r);
}

int TScreen::PixelsPerInch() const
{
    ScopedGetDC dc(nullptr);
    return dc ? ::GetDeviceCaps(dc.Get(), LOGPIXELSY) : 96;
}

void TScreen::RefreshMonitors()
{
    TMonitorList list;
    list.Capacity =
        static_cast<size_t>(std::max(::GetSystemMetrics(SM_CMONITORS), 1)) + 8;  // monitors may come meanwhile
    list.Handles.reserve(list.Capacity);
    ::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&list));
    const std::vector<HMONITOR>& handles = list.Handles;
    // Keep the objects of monitors that are still there, so pointers handed out
    // stay valid while the set of monitors does not change.
    std::vector<std::unique_ptr<TMonitor>> fresh;
    for (size_t i = 0; i < handles.size(); ++i) {
        auto it = std::find_if(m_monitors.begin(), m_monitors.end(),
                               [&](const std::unique_ptr<TMonitor>& m) { return m && m->m_handle == handles[i]; });
        if (it != m_monitors.end()) {
            fresh.push_back(std::move(*it));
            fresh.back()->m_number = static_cast<int>(i);
        } else {
            fresh.push_back(std::make_unique<TMonitor>(handles[i], static_cast<int>(i)));
        }
    }
    m_monitors = std::move(fresh);
}

int TScreen::MonitorCount()
{
    RefreshMonitors();
    return static_cast<int>(m_monitors.size());
}

TMonitor* TScreen::Monitors(int index)
{
    if (m_monitors.empty())
        RefreshMonitors();
    if (index < 0 || index >= static_cast<int>(m_monitors.size()))
        return nullptr;
    return m_monitors[static_cast<size_t>(index)].get();
}

TMonitor* TScreen::FindMonitor(HMONITOR handle)
{
    if (!handle)
        return nullptr;
    for (auto& m : m_monitors) {
        if (m->m_handle == handle)
            return m.get();
    }
    RefreshMonitors();
    for (auto& m : m_monitors) {
        if (m->m_handle == handle)
            return m.get();
    }
    return nullptr;
}

TMonitor* TScreen::PrimaryMonitor() { return FindMonitor(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)); }

namespace {
DWORD MonitorFlags(TMonitorDefaultTo fallback)
{
    switch (fallback) {
    case mdNull:
        return MONITOR_DEFAULTTONULL;
    case mdPrimary:
        return MONITOR_DEFAULTTOPRIMARY;
    default:
        return MONITOR_DEFAULTTONEAREST;
    }
}
}  // namespace

TMonitor* TScreen::MonitorFromWindow(HWND window, TMonitorDefaultTo fallback)
{
    return FindMonitor(::MonitorFromWindow(window, MonitorFlags(fallback)));
}

TMonitor* TScreen::MonitorFromPoint(TPoint p, TMonitorDefaultTo fallback)
{
    return FindMonitor(::MonitorFromPoint(POINT{p.X, p.Y}, MonitorFlags(fallback)));
}

TMonitor* TScreen::MonitorFromRect(const TRect& r, TMonitorDefaultTo fallback)
{
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    return FindMonitor(::MonitorFromRect(&rc, MonitorFlags(fallback)));
}

HCURSOR TScreen::Cursors(TCursor index)
{
    if (index == crNone)
        return nullptr;
    if (auto it = m_ownCursors.find(index); it != m_ownCursors.end())
        return it->second.Get();
    if (auto it = m_cursors.find(index); it != m_cursors.end())
        return it->second;
    const wchar_t* id = IDC_ARROW;
    switch (index) {
    case crCross:
        id = IDC_CROSS;
        break;
    case crIBeam:
        id = IDC_IBEAM;
        break;
    case crSizeNESW:
        id = IDC_SIZENESW;
        break;
    case crSizeNS:
        id = IDC_SIZENS;
        break;
    case crSizeNWSE:
        id = IDC_SIZENWSE;
        break;
    case crSizeWE:
        id = IDC_SIZEWE;
        break;
    case crUpArrow:
        id = IDC_UPARROW;
        break;
    case crHourGlass:
        id = IDC_WAIT;
        break;
    case crSQLWait:
        id = IDC_WAIT;
        break;
    case crNo:
        id = IDC_NO;
        break;
    case crNoDrop:
        id = IDC_NO;
        break;
    case crAppStart:
        id = IDC_APPSTARTING;
        break;
    case crHelp:
        id = IDC_HELP;
        break;
    case crHandPoint:
        id = IDC_HAND;
        break;
    case crSizeAll:
        id = IDC_SIZEALL;
        break;
    case crHSplit:
        id = IDC_SIZEWE;
        break;
    case crVSplit:
        id = IDC_SIZENS;
        break;
    default:
        id = IDC_ARROW;
        break;
    }
    HCURSOR cursor = ::LoadCursorW(nullptr, id);
    m_cursors[index] = cursor;
    return cursor;
}

void TScreen::SetCursors(TCursor index, HCURSOR cursor)
{
    ScopedCursor given(cursor);  // the screen owns what it is given
    if (index <= 0)
        return;  // the built-in numbers keep the system's cursors
    auto it = m_ownCursors.find(index);
    if (it != m_ownCursors.end() && it->second.Get() == cursor) {
        (void)given.Release();  // registered again: already ours
        return;
    }
    if (!cursor) {
        if (it != m_ownCursors.end())
            m_ownCursors.erase(it);
        return;
    }
    m_ownCursors[index] = std::move(given);  // the one it replaces is destroyed
}

void TScreen::SetCursor(TCursor cursor)
{
    if (cursor == m_cursor)
        return;
    m_cursor = cursor;
    if (cursor == crDefault) {
        // Let the window under the mouse choose its cursor again.
        POINT p{};
        ::GetCursorPos(&p);
        HWND window = ::WindowFromPoint(p);
        if (window && ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) {
            LRESULT code = ::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
            ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(code, WM_MOUSEMOVE));
            return;
        }
    }
    ::SetCursor(Cursors(cursor == crDefault ? crArrow : cursor));
}

void TScreen::AddForm(TCustomForm* form) { m_forms.push_back(form); }

void TScreen::RemoveForm(TCustomForm* form)
{
    std::erase(m_forms, form);
    if (m_activeForm == form)
        m_activeForm = nullptr;
}

}  // namespace fw
