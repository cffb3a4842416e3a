#include "framework/Application_win.h"

#include "framework/Forms_win.h"
#include "framework/TypInfo.h"
#include "framework/WideText_win.h"

#include <algorithm>

namespace fw {

TApplication* Application = nullptr;

namespace {

constexpr wchar_t kApplicationWindowClass[] = L"TApplication";

void ApplicationExceptionSink(std::exception_ptr error) noexcept
{
    if (Application) {
        Application->HandleException(error);
    } else {
        WriteException(error);
    }
}

// Creates the program's application object and screen before main() runs.
struct TFormsUnit {
    TFormsUnit()
    {
        Screen = new TScreen(nullptr);
        Application = new TApplication(nullptr);
        SetExceptionSink(&ApplicationExceptionSink);
    }
};
TFormsUnit g_formsUnit;

}  // namespace

const TClassInfo& TApplication::StaticClass()
{
    static const TClassInfo& info = DefineClass<TApplication, TComponent>("TApplication").Register();
    return info;
}

// ---------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

TApplication::~TApplication()
{
    for (TComponent* c = nullptr; ComponentCount() > 0;) {
        c = Components(ComponentCount() - 1);
        if (auto* form = dynamic_cast<TCustomForm*>(c))
            form->BeforeDestruction();
        delete c;
    }
    if (m_handle) {
        ::SetWindowLongPtrW(m_handle, GWLP_USERDATA, 0);
        ::DestroyWindow(m_handle);
    }
}

void TApplication::Initialize() { Handle(); }

HWND TApplication::Handle()
{
    if (m_handle)
        return m_handle;
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &TApplication::WindowProcedure;
        wc.hInstance = ModuleInstance();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
        wc.lpszClassName = kApplicationWindowClass;
        if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            throw EFrameworkError("Can't register the application window class");
        }
        registered = true;
    }
    // A zero-sized pop-up in the middle of the screen: invisible itself, it
    // owns the forms and carries the program's taskbar button and title.
    m_handle = ::CreateWindowExW(0, kApplicationWindowClass, m_title.c_str(),
                                 WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                                 ::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                                 nullptr, nullptr, ModuleInstance(), this);
    if (!m_handle)
        throw EFrameworkError("Can't create the application window");
    ::SetWindowLongPtrW(m_handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return m_handle;
}

void TApplication::SetTitle(const std::wstring& title)
{
    m_title = title;
    if (m_handle)
        ::SetWindowTextW(m_handle, m_title.c_str());
}

void TApplication::SetTitleUtf8(const std::string& utf8) { SetTitle(Utf8ToWide(utf8)); }

void TApplication::FormCreated(TCustomForm* form)
{
    if (!m_mainForm && form) {
        form->HandleNeeded();
        m_mainForm = form;
    }
}

void TApplication::FormDestroyed(TCustomForm* form)
{
    if (m_mainForm == form)
        m_mainForm = nullptr;
    std::erase(m_pendingRelease, form);
}

void TApplication::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_mainForm)
        m_mainForm = nullptr;
}

void TApplication::ScheduleRelease(TCustomForm* form)
{
    if (std::find(m_pendingRelease.begin(), m_pendingRelease.end(), form) != m_pendingRelease.end())
        return;
    m_pendingRelease.push_back(form);
    ::PostMessageW(Handle(), CM_RELEASE, 0, 0);
}

void TApplication::Run()
{
    m_terminated = false;
    if (m_mainForm) {
        if (m_mainForm->WindowState() == wsMinimized) {
            m_mainForm->SetVisible(true);
            Minimize();
        } else {
            m_mainForm->Show();
        }
    }
    do {
        HandleMessage();
    } while (!m_terminated);
}

void TApplication::Terminate()
{
    if (!m_terminated)
        ::PostQuitMessage(0);
    m_terminated = true;
}

bool TApplication::IsKeyMsg(MSG& msg)
{
    UINT kind = msg.message;
    if (kind != WM_KEYDOWN && kind != WM_SYSKEYDOWN && kind != WM_SYSCHAR)
        return false;
    // The form of the window that has the key.
    TWinControl* control = nullptr;
    for (HWND h = msg.hwnd; h && !control; h = ::GetParent(h))
        control = TWinControl::FindControl(h);
    if (!control)
        return false;
    TControl* top = control;
    while (top->Parent())
        top = top->Parent();
    auto* form = dynamic_cast<TCustomForm*>(top);
    if (!form)
        return false;
    if (kind == WM_SYSCHAR)
        return form->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam) != 0;
    if (form->Menu()) {
        TShiftState shift;
        if (::GetKeyState(VK_SHIFT) < 0)
            shift.Include(ssShift);
        if (::GetKeyState(VK_CONTROL) < 0)
            shift.Include(ssCtrl);
        if (::GetKeyState(VK_MENU) < 0)
            shift.Include(ssAlt);
        if (TMenuItem* item = form->Menu()->FindShortCut(ShortCut(static_cast<WORD>(msg.wParam), shift))) {
            item->Click();
            return true;
        }
    }
    return form->Perform(CM_DIALOGKEY, msg.wParam, msg.lParam) != 0;
}

bool TApplication::ProcessMessage(MSG& msg)
{
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        m_terminated = true;
        return true;
    }
    bool handled = false;
    if (m_onMessage)
        m_onMessage(msg, handled);
    if (!handled && !IsKeyMsg(msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

void TApplication::HandleMessage()
{
    try {
        MSG msg{};
        if (!ProcessMessage(msg) && !m_terminated) {
            // Idle: window contexts held by canvases go back before we sleep.
            TControlCanvas::FreeDeviceContexts();
            ::WaitMessage();
        }
    } catch (...) {
        ReportException(std::current_exception());
    }
}

void TApplication::ProcessMessages()
{
    MSG msg{};
    for (;;) {
        bool more = false;
        try {
            more = ProcessMessage(msg);
        } catch (...) {
            ReportException(std::current_exception());
            more = true;
        }
        if (!more)
            break;
    }
}

void TApplication::HandleException(std::exception_ptr error) noexcept
{
    if (m_onException) {
        try {
            m_onException(this, error);
            return;
        } catch (...) {
            error = std::current_exception();  // the handler's own failure is the one to show
        }
    }
    WriteException(error);
}

int TApplication::HookMainWindow(TWindowHook hook)
{
    int cookie = m_nextCookie++;
    m_hooks.push_back({cookie, std::move(hook)});
    return cookie;
}

void TApplication::UnhookMainWindow(int cookie)
{
    std::erase_if(m_hooks, [cookie](const THookEntry& e) { return e.Cookie == cookie; });
}

void TApplication::Minimize()
{
    HWND h = Handle();
    if (::IsIconic(h))
        return;
    ::SetActiveWindow(h);
    ::ShowWindow(h, SW_MINIMIZE);
    if (m_onMinimize)
        m_onMinimize(this);
}

void TApplication::Restore()
{
    HWND h = Handle();
    if (!::IsIconic(h))
        return;
    ::SetActiveWindow(h);
    ::ShowWindow(h, SW_RESTORE);
    if (m_mainForm && m_mainForm->HandleAllocated() && ::IsWindowVisible(m_mainForm->Handle())) {
        ::SetActiveWindow(m_mainForm->Handle());
    }
    if (m_onRestore)
        m_onRestore(this);
}

void TApplication::WndProc(TMessage& message)
{
    // Hooks first, in installation order; a hook may remove hooks meanwhile.
    std::vector<int> cookies;
    cookies.reserve(m_hooks.size());
    for (const THookEntry& e : m_hooks)
        cookies.push_back(e.Cookie);
    for (int cookie : cookies) {
        auto it =
            std::find_if(m_hooks.begin(), m_hooks.end(), [cookie](const THookEntry& e) { return e.Cookie == cookie; });
        if (it == m_hooks.end())
            continue;
        TWindowHook hook = it->Hook;
        if (hook(message))
            return;
    }
    switch (message.Msg) {
    case WM_CLOSE:
        if (m_mainForm)
            m_mainForm->Close();
        message.Result = 0;
        return;
    case WM_SYSCOMMAND:
        switch (message.WParam & 0xFFF0) {
        case SC_MINIMIZE:
            Minimize();
            message.Result = 0;
            return;
        case SC_RESTORE:
            Restore();
            message.Result = 0;
            return;
        }
        break;
    case WM_ACTIVATEAPP:
        m_active = message.WParam != 0;
        break;
    case WM_SETFOCUS:
        if (m_mainForm && m_mainForm->HandleAllocated() && ::IsWindowVisible(m_mainForm->Handle()) &&
            ::IsWindowEnabled(m_mainForm->Handle())) {
            ::SetFocus(m_mainForm->Handle());
            message.Result = 0;
            return;
        }
        break;
    case WM_QUERYENDSESSION:
        message.Result = 1;
        return;
    case WM_ENDSESSION:
        if (message.WParam)
            Terminate();
        message.Result = 0;
        return;
    case CM_RELEASE: {
        // Forms released while one of their messages was being handled.
        std::vector<TCustomForm*> pending;
        pending.swap(m_pendingRelease);
        for (TCustomForm* form : pending) {
            form->BeforeDestruction();
            delete form;
        }
        message.Result = 0;
        return;
    }
    }
    message.Result = ::DefWindowProcW(m_handle, message.Msg, message.WParam, message.LParam);
}

LRESULT CALLBACK TApplication::WindowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept
{
    auto* self = reinterpret_cast<TApplication*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    TMessage message{msg, wp, lp, 0};
    try {
        self->WndProc(message);
    } catch (...) {
        ReportException(std::current_exception());
    }
    return message.Result;
}

}  // namespace fw
