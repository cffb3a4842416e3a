// The application object: the hidden window that owns the forms and carries
// the taskbar button, the message loop, the main form, hooks on the
// application window and the application's exception event.
#pragma once

#include "framework/Controls_win.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace fw {

class TCustomForm;

// Called with the application window's messages before the application
// handles them; return true when the message is handled (Result is answered).
using TWindowHook = std::function<bool(TMessage& message)>;
using TMessageEvent = std::function<void(MSG& msg, bool& handled)>;
using TExceptionEvent = std::function<void(TObject* sender, std::exception_ptr error)>;

class TApplication : public TComponent {
    FW_CLASS(TApplication)

    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    void Initialize();

    // The hidden top-level window that owns the forms and carries the taskbar
    // button; created on first use.
    HWND Handle();
    bool HandleAllocated() const { return m_handle != nullptr; }

    // The taskbar text (the application window's text).
    const std::wstring& Title() const { return m_title; }
    void SetTitle(const std::wstring& title);
    void SetTitleUtf8(const std::string& utf8);

    // Creates a form owned by the application; the first form becomes MainForm.
    template <class T>
    void CreateForm(T*& reference)
    {
        reference = nullptr;
        T* form = new T(this);
        reference = form;
        FormCreated(form);
    }
    TCustomForm* MainForm() const { return m_mainForm; }

    // Shows the main form and handles messages until the main form closes or
    // Terminate is called.
    void Run();
    // Handles all waiting messages and returns.
    void ProcessMessages();
    // Handles one message, or waits for one when none is waiting.
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return m_terminated; }
    bool Active() const { return m_active; }

    // Hooks on the application window; each returns a cookie for unhooking.
    int HookMainWindow(TWindowHook hook);
    void UnhookMainWindow(int cookie);

    // Minimises or restores the whole application (the application window and
    // with it the forms it owns).
    void Minimize();
    void Restore();

    // Hands the error to OnException, or writes it out when there is no
    // handler or the handler fails.
    void HandleException(std::exception_ptr error) noexcept;

    const TNotifyEvent& OnMinimize() const { return m_onMinimize; }
    void SetOnMinimize(TNotifyEvent e) { m_onMinimize = std::move(e); }
    const TNotifyEvent& OnRestore() const { return m_onRestore; }
    void SetOnRestore(TNotifyEvent e) { m_onRestore = std::move(e); }
    const TMessageEvent& OnMessage() const { return m_onMessage; }
    void SetOnMessage(TMessageEvent e) { m_onMessage = std::move(e); }
    const TExceptionEvent& OnException() const { return m_onException; }
    void SetOnException(TExceptionEvent e) { m_onException = std::move(e); }

    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TCustomForm;
    void FormCreated(TCustomForm* form);
    void FormDestroyed(TCustomForm* form);
    void ScheduleRelease(TCustomForm* form);
    bool ProcessMessage(MSG& msg);
    bool IsKeyMsg(MSG& msg);
    void WndProc(TMessage& message);
    static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

    HWND m_handle = nullptr;
    std::wstring m_title;
    TCustomForm* m_mainForm = nullptr;
    bool m_terminated = false;
    bool m_active = false;
    struct THookEntry {
        int Cookie;
        TWindowHook Hook;
    };
    std::vector<THookEntry> m_hooks;
    int m_nextCookie = 1;
    std::vector<TCustomForm*> m_pendingRelease;
    TNotifyEvent m_onMinimize;
    TNotifyEvent m_onRestore;
    TMessageEvent m_onMessage;
    TExceptionEvent m_onException;
};

// The program's application object and screen, created before main() runs.
// They are not destroyed at exit: the end of the process takes the windows
// with it, and tearing forms down during static destruction would run their
// destructors after other units' globals are gone.
extern TApplication* Application;

}  // namespace fw
