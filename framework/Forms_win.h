// Forms, the application object and the screen.
//
// A form is a top-level window owned by the application's hidden window (which
// carries the taskbar button and the title), or a child of a parent control or
// of a foreign ParentWindow. Form classes with a stored layout load it in their
// constructor:
//
//   TFormMain::TFormMain(fw::TComponent* owner) : fw::TForm(owner) { InitFromLayout(); }
//
// InitFromLayout finds the RT_RCDATA resource named after the class in
// capitals ("TFORMMAIN"), reads it onto the form and then runs OnCreate.
#pragma once

#include "framework/Controls_win.h"
#include "framework/Forms.h"
#include "framework/Menus_win.h"
#include "framework/UtilWindow_win.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace fw {

class TCustomForm;

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

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
  std::map<TCursor, HCURSOR> m_cursors;      // loaded system cursors (shared, never destroyed)
  std::map<TCursor, HCURSOR> m_ownCursors;   // registered by the application
};

class TCustomForm : public TCustomControl {
  FW_CLASS(TCustomForm)

  // A new form without a stored layout; call InitFromLayout to read one.
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  // Reads the stored layout named after the class (RT_RCDATA "TFORMMAIN" for
  // TFormMain) from the program's module, then runs OnCreate. Throws
  // EFrameworkError when the resource is missing, EReadError when it is damaged.
  void InitFromLayout();
  // The same from a stream in memory.
  void InitFromLayout(std::span<const std::uint8_t> stream);
  // The stored layout resource of a class, or an empty span.
  static std::span<const std::uint8_t> FindLayoutResource(const std::string& className);

  TFormBorderStyle BorderStyle() const { return m_borderStyle; }
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return m_borderIcons; }
  void SetBorderIcons(TBorderIcons value);
  TWindowState WindowState() const { return m_windowState; }
  void SetWindowState(TWindowState value);
  TPosition Position() const { return m_position; }
  void SetPosition(TPosition value) { m_position = value; }
  TFormStyle FormStyle() const { return m_formStyle; }
  void SetFormStyle(TFormStyle value);
  // A layered window with a constant alpha (WS_EX_LAYERED, LWA_ALPHA).
  bool AlphaBlend() const { return m_alphaBlend; }
  void SetAlphaBlend(bool value);
  int AlphaBlendValue() const { return m_alphaBlendValue; }
  void SetAlphaBlendValue(int value);

  bool OldCreateOrder() const { return m_oldCreateOrder; }
  void SetOldCreateOrder(bool value) { m_oldCreateOrder = value; }
  int PixelsPerInch() const { return m_pixelsPerInch; }
  void SetPixelsPerInch(int value) { m_pixelsPerInch = value; }
  int TextHeight() const { return m_textHeight; }
  void SetTextHeight(int value) { m_textHeight = value; }
  bool Scaled() const { return m_scaled; }
  void SetScaled(bool value) { m_scaled = value; }
  bool AutoScroll() const { return m_autoScroll; }
  void SetAutoScroll(bool value) { m_autoScroll = value; }
  bool KeyPreview() const { return m_keyPreview; }
  void SetKeyPreview(bool value) { m_keyPreview = value; }

  // The menu bar of the form's window.
  TMainMenu* Menu() const { return m_menu; }
  void SetMenu(TMainMenu* menu);
  TWinControl* ActiveControl() const { return m_activeControl; }
  void SetActiveControl(TWinControl* control);

  // The monitor that shows most of the form.
  TMonitor* Monitor();

  bool Active() const { return m_active; }
  void Show();
  void Hide() { SetVisible(false); }
  // Asks OnCloseQuery, then OnClose with the action caHide; closing the main
  // form ends the application's message loop.
  void Close();
  bool CloseQuery();
  // Frees the form once the message that is being handled is done.
  void Release();

  const TNotifyEvent& OnCreate() const { return m_onCreate; }
  void SetOnCreate(TNotifyEvent e) { m_onCreate = std::move(e); }
  const TNotifyEvent& OnShow() const { return m_onShow; }
  void SetOnShow(TNotifyEvent e) { m_onShow = std::move(e); }
  const TNotifyEvent& OnHide() const { return m_onHide; }
  void SetOnHide(TNotifyEvent e) { m_onHide = std::move(e); }
  const TCloseEvent& OnClose() const { return m_onClose; }
  void SetOnClose(TCloseEvent e) { m_onClose = std::move(e); }
  const TCloseQueryEvent& OnCloseQuery() const { return m_onCloseQuery; }
  void SetOnCloseQuery(TCloseQueryEvent e) { m_onCloseQuery = std::move(e); }
  const TNotifyEvent& OnDestroy() const { return m_onDestroy; }
  void SetOnDestroy(TNotifyEvent e) { m_onDestroy = std::move(e); }
  const TNotifyEvent& OnActivate() const { return m_onActivate; }
  void SetOnActivate(TNotifyEvent e) { m_onActivate = std::move(e); }
  const TNotifyEvent& OnDeactivate() const { return m_onDeactivate; }
  void SetOnDeactivate(TNotifyEvent e) { m_onDeactivate = std::move(e); }
  const TNotifyEvent& OnPaint() const { return m_onPaint; }
  void SetOnPaint(TNotifyEvent e) { m_onPaint = std::move(e); }

  // Runs OnDestroy once; the application calls it before it frees a form so
  // that the handler still finds the whole object.
  void BeforeDestruction();

  void Notification(TComponent* component, TOperation operation) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  bool IsTopLevel() const override { return Parent() == nullptr; }
  void Dispatch(TMessage& message) override;
  void CMShowingChanged(TMessage& message) override;
  void Paint() override;

  virtual void DoCreate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);

 private:
  void ApplyLayered();
  void ApplyPosition();
  void WMSysCommand(TMessage& message);

  TFormBorderStyle m_borderStyle = bsSizeable;
  TBorderIcons m_borderIcons = kDefaultBorderIcons;
  TWindowState m_windowState = wsNormal;
  TPosition m_position = poDesigned;
  TFormStyle m_formStyle = fsNormal;
  bool m_alphaBlend = false;
  int m_alphaBlendValue = 255;
  bool m_layeredByUs = false;
  bool m_oldCreateOrder = false;
  int m_pixelsPerInch = 96;
  int m_textHeight = 13;
  bool m_scaled = true;
  bool m_autoScroll = true;
  bool m_keyPreview = false;
  TMainMenu* m_menu = nullptr;
  TWinControl* m_activeControl = nullptr;
  bool m_active = false;
  bool m_creating = true;     // until InitFromLayout or the first show: visibility is only stored
  bool m_positioned = false;  // Position applied at the first show
  bool m_destroyDone = false;
  TNotifyEvent m_onCreate;
  TNotifyEvent m_onShow;
  TNotifyEvent m_onHide;
  TCloseEvent m_onClose;
  TCloseQueryEvent m_onCloseQuery;
  TNotifyEvent m_onDestroy;
  TNotifyEvent m_onActivate;
  TNotifyEvent m_onDeactivate;
  TNotifyEvent m_onPaint;
};

class TForm : public TCustomForm {
  FW_CLASS(TForm)

  explicit TForm(TComponent* owner);
  ~TForm() override;
};

// A small top-most pop-up that shows a text (tooltips). The hint font is the
// system's status font; the window is created on first use and destroyed by
// ReleaseHandle.
class THintWindow : public TCustomControl {
  FW_CLASS(THintWindow)

  explicit THintWindow(TComponent* owner);
  ~THintWindow() override;

  // Shows the text in the rectangle (screen coordinates), kept on the desktop,
  // without taking the focus.
  virtual void ActivateHint(const TRect& rect, const std::string& utf8);
  // The rectangle (at 0, 0) the text needs, wrapped at maxWidth.
  virtual TRect CalcHintRect(int maxWidth, const std::string& utf8);
  // Hides the hint by destroying its window.
  void ReleaseHandle();

 protected:
  void CreateParams(TCreateParams& params) override;
  void Paint() override;
  void Dispatch(TMessage& message) override;
};

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
  void SetTitleUtf8(const std::string& utf8) ;

  // Creates a form owned by the application; the first form becomes MainForm.
  template <class T>
  void CreateForm(T*& reference) {
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

  void HandleException(std::exception_ptr error);

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
  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

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
extern TScreen* Screen;

}  // namespace fw
