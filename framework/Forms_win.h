// Forms.
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

#include "framework/Application_win.h"
#include "framework/Controls_win.h"
#include "framework/Forms.h"
#include "framework/HintWindow_win.h"
#include "framework/Menus_win.h"
#include "framework/Screen_win.h"
#include "framework/UtilWindow_win.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace fw {

using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

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

}  // namespace fw
