#include "framework/UtilWindow_win.h"

#include <stdexcept>
#include <string>

namespace fw {

namespace {

constexpr wchar_t kUtilWindowClass[] = L"FwUtilWindow";

void RegisterUtilClass(WNDPROC proc)
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = ModuleInstance();
    wc.lpszClassName = kUtilWindowClass;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        throw std::runtime_error("Can't register the utility window class");
    }
    registered = true;
}

}  // namespace

HINSTANCE ModuleInstance() noexcept
{
    static HINSTANCE instance = ::GetModuleHandleW(nullptr);
    return instance;
}

TUtilWindow::TUtilWindow(THandler handler, bool topLevel) : m_handler(std::move(handler))
{
    RegisterUtilClass(&TUtilWindow::WindowProcedure);
    m_handle = ::CreateWindowExW(topLevel ? WS_EX_TOOLWINDOW : 0, kUtilWindowClass, L"", topLevel ? WS_POPUP : 0, 0, 0,
                                 0, 0, topLevel ? nullptr : HWND_MESSAGE, nullptr, ModuleInstance(), nullptr);
    if (!m_handle)
        throw std::runtime_error("Can't create the utility window");
    ::SetWindowLongPtrW(m_handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TUtilWindow::~TUtilWindow()
{
    if (m_handle) {
        ::SetWindowLongPtrW(m_handle, GWLP_USERDATA, 0);
        ::DestroyWindow(m_handle);
    }
}

LRESULT CALLBACK TUtilWindow::WindowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    auto* self = reinterpret_cast<TUtilWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->m_handler) {
        TMessage message{msg, wp, lp, 0};
        try {
            // A copy, so that the owner may destroy this window from inside its handler.
            THandler handler = self->m_handler;
            if (handler(message))
                return message.Result;
        } catch (...) {
            ReportException(std::current_exception());
            return 0;
        }
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace fw
