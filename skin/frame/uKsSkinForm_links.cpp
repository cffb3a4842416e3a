// The controller's ties outside its own window: the application window's
// hook, the layered border, routing of title-bar input to the elements, and
// the refresh and settings exchange with the other skinned forms.
#include "skin/frame/uKsSkinForm.h"
#include "skin/frame/uKsSkinForm_internal.h"

#include "skin/frame/uKsFormBorder.h"
#include "skin/frame/uKsSkinMainMenu.h"
#include "skin/frame/uKsSkinNCCtrlBase.h"

#include "framework/Forms_win.h"
#include "framework/ReportException_win.h"
#include "framework/ScopeGuard.h"
#include "framework/UtilWindow_win.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

namespace ks {

using skinform::Contained;
using skinform::kNoPublishTag;

// --- application window ---------------------------------------------------------------------------

bool TKsSkinForm::AppWindowHook(fw::TMessage& m)
{
    if (m_dying || m_form == nullptr || fw::Application == nullptr)
        return false;
    if (m.Msg == WM_WINDOWPOSCHANGING) {
        const auto* wp = reinterpret_cast<const WINDOWPOS*>(m.LParam);
        if (wp != nullptr && wp->flags == kSwpAppRestorePattern) {
            const bool wasMinimized = m_state.Minimized();
            m_state.LeaveMinimized();
            BorderFollowsMinimize(wasMinimized);
        }
        return false;
    }
    if (m.Msg != WM_SYSCOMMAND || !m_active)
        return false;
    switch (m.WParam & 0xFFF0) {
    case SC_MINIMIZE: {
        if (::IsIconic(fw::Application->Handle()))
            return false;
        fw::TCustomForm* mainForm = fw::Application->MainForm();
        if (mainForm != nullptr && mainForm->Visible()) {
            fw::Application->Minimize();
            const bool wasMinimized = m_state.Minimized();
            m_state.EnterMinimized();
            BorderFollowsMinimize(wasMinimized);
        }
        return false;
    }
    case SC_RESTORE:
        if (fw::Application->MainForm() == nullptr)
            return false;
        fw::Application->Restore();
        {
            const bool wasMinimized = m_state.Minimized();
            m_state.LeaveMinimized();
            BorderFollowsMinimize(wasMinimized);
        }
        BorderFollowsRestore();
        m.Result = 0;
        return true;
    default:
        return false;
    }
}

// --- layered border ------------------------------------------------------------------------------

TKsFormLayerBorder* TKsSkinForm::Border() const { return dynamic_cast<TKsFormLayerBorder*>(m_imageBorder); }

void TKsSkinForm::BorderFollowsMinimize(bool wasMinimized)
{
    TKsFormLayerBorder* border = Border();
    if (border == nullptr || wasMinimized == m_state.Minimized())
        return;
    if (m_state.Minimized())
        border->Suspend();
    else
        border->Resume();
}

void TKsSkinForm::BorderFollowsRestore()
{
    if (TKsFormLayerBorder* border = Border()) {
        border->CheckZoom();
        border->Move(m_form->Left(), m_form->Top());
    }
}

// --- routing to title-bar elements ----------------------------------------------------------

bool TKsSkinForm::RouteNCButton(bool press)
{
    // The system sizes the window from the sizing border.
    if (m_onSizingBorder)
        return false;
    // Registrations the elements posted are handled before each element is
    // looked at, so an element made just before the press can take it.
    // Nothing else runs meanwhile: a button-up already queued stays behind
    // its button-down, and a form released meanwhile is not freed under the
    // walk.
    HWND h = FormWindow();
    const auto handleRegistrations = [h] {
        MSG msg{};
        while (h != nullptr && ::PeekMessageW(&msg, h, CM_SKIN_ADDELEMENT, CM_SKIN_ADDELEMENT, PM_REMOVE))
            ::DispatchMessageW(&msg);
    };
    // Whatever runs from here on (a registration's repaint, the element's
    // own handlers) may free the form and this controller with it.
    const std::weak_ptr<const int> alive = m_elements.LifeToken();
    const bool taken = HostRouteButton(m_elements, press, handleRegistrations);
    if (taken && !alive.expired() && m_form != nullptr && !m_form->IsDestroying())
        m_form->SetActiveControl(nullptr);
    return taken;
}

void TKsSkinForm::RouteNCMouseMove(fw::TPoint screenPoint) { HostTrackElements(m_elements, screenPoint); }

// --- refresh and settings ----------------------------------------------------------------------

void TKsSkinForm::RefreshAll()
{
    if (Designing() || m_refreshGuard)
        return;
    m_refreshGuard = true;
    auto done = fw::OnScopeExit([this] {
        m_refreshGuard = false;
        if (m_changed)
            fw::ReportingExceptions([this] { m_changed(this); });
    });

    Contained([&] { PaintFrame(); });
    if (HWND h = FormWindow())
        ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE);
    if (Tag() != kNoPublishTag)
        PublishSettings();
    // The skinned controls of every form, not only this one's.
    TKsWinControlHelper& controls = WinControlHelper();
    const std::vector<fw::TWinControl*> list = controls.Controls;
    for (fw::TWinControl* c : list) {
        if (controls.RedrawFrame)
            controls.RedrawFrame(c);
        c->Invalidate();
    }
}

void TKsSkinForm::PublishSettings()
{
    TKsFormSkinRes& g = GlobalFormSkin();
    g.BeginUpdate();
    auto done = fw::OnScopeExit([&g] { g.EndUpdate(); });
    g.SetColor(m_color);
    g.SetCustomPicture(m_customPicture);
    g.SetFramWidth(FramWidth());
    g.SetHitTestWidth(m_hitTestWidth);
    g.SetStyle(m_style);
    g.SetTitlerColor(m_titlerColor);
}

void TKsSkinForm::PublishCustomPicture() { GlobalFormSkin().SetCustomPicture(m_customPicture); }

void TKsSkinForm::ApplySkinRes()
{
    if (m_skinRes == nullptr || Designing())
        return;
    auto* source = dynamic_cast<IKsFormSkinSource*>(m_skinRes);
    if (source == nullptr || source->FormSkin() == nullptr)
        return;
    ApplySkinSettings(*source->FormSkin());
}

void TKsSkinForm::ApplySkinSettings(const TKsFormSkinRes& settings)
{
    // Title height, frame width and hit-test width stay the form's own.
    m_color = settings.Color();
    m_customPicture = settings.CustomPicture();
    m_gradientHeight = settings.GradientHeight();
    m_style = settings.Style();
    SetTitlerColor(settings.TitlerColor());
    RebuildBackgrounds();
    PublishSettings();
    RefreshAll();
}

}  // namespace ks
