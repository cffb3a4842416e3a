// TKsSkinForm: the skinned form controller. Dropped on a form, it takes over
// the form's window procedure and draws the whole frame itself: a title bar of
// its own height and colours, a thin drawn border, rounded top corners and a
// client background that is a colour with a vertical gradient or a picture.
// The form stays a normal top-level window; only the non-client messages are
// answered differently. Title-bar elements register with the controller and
// are painted into its title bar.
//
// The decisions (hit test, client rectangle, limits, region shape, frame lines,
// gradient) are the plain functions of FrameGeometry.h; this class unpacks the
// messages and applies their answers. Painting is in uKsSkinForm_paint.cpp.
#pragma once

#include "skin/frame/FormSkinSettings.h"
#include "skin/frame/FrameGeometry.h"
#include "skin/frame/NCElementList.h"
#include "skin/frame/PictureBuild.h"
#include "skin/frame/SkinFormState.h"
#include "skin/frame/SkinVocabulary.h"
#include "skin/frame/uKsSkinHelper.h"
#include "skin/frame/uKsHookWindowProc.h"

#include "framework/Forms.h"
#include "framework/ScopedGdi_win.h"
#include "skin/render/Bitmap32.h"

#include <memory>
#include <string>
#include <vector>

namespace fw {
class TCanvas;
class TCustomForm;
}  // namespace fw

namespace ks {

class TKsSkinMainMenu;
class TKsFormLayerBorder;

// Task-bar and dragging options of a skinned form.
class TKsSkinFormOptions : public fw::TPersistent {
    FW_CLASS(TKsSkinFormOptions)

    TKsSkinFormOptions() = default;

    bool MinimizeToTaskbar() const { return m_minimizeToTaskbar; }
    void SetMinimizeToTaskbar(bool v) { m_minimizeToTaskbar = v; }
    bool HideInTaskbar() const { return m_hideInTaskbar; }
    void SetHideInTaskbar(bool v) { m_hideInTaskbar = v; }
    TDragFullWindowsKind DragFullWindows() const { return m_dragFullWindows; }
    void SetDragFullWindows(TDragFullWindowsKind v) { m_dragFullWindows = v; }

    void Assign(const fw::TPersistent& source) override;

private:
    bool m_minimizeToTaskbar = false;
    bool m_hideInTaskbar = false;
    TDragFullWindowsKind m_dragFullWindows = wkSystem;
};

class TKsSkinForm : public TKsHookWindowProc {
    FW_CLASS(TKsSkinForm)

    explicit TKsSkinForm(fw::TComponent* owner);
    ~TKsSkinForm() override;

    void Notification(fw::TComponent* component, fw::TOperation operation) override;

    // --- published properties --------------------------------------------------
    TKsAboutInfo About() const { return aiKsSkinComponent; }
    void SetAbout(TKsAboutInfo) {}
    bool FlatFrame() const { return m_state.FlatFrame(); }
    void SetFlatFrame(bool v) { m_state.SetFlatFrame(v); }
    int TitleHeight() const { return m_titleHeight; }
    void SetTitleHeight(int v) { m_titleHeight = v; }
    fw::TColor TitlerColor() const { return m_titlerColor; }
    void SetTitlerColor(fw::TColor v);
    fw::TColor Color() const { return m_color; }
    void SetColor(fw::TColor v) { m_color = v; }
    TKsSkinFormOptions* Options() const { return m_options.get(); }
    void SetOptions(const TKsSkinFormOptions& v) { m_options->Assign(v); }
    bool RoundWindow() const { return m_roundWindow; }
    void SetRoundWindow(bool v) { m_roundWindow = v; }
    // Ignores negative values and the current one; 0 also makes the frame
    // flat. The width to return to after maximising follows.
    int FramWidth() const { return m_state.FramWidth(); }
    void SetFramWidth(int v) { m_state.SetFramWidth(v); }
    fw::TColor FrameColor() const { return m_frameColor; }
    void SetFrameColor(fw::TColor v) { m_frameColor = v; }
    TKsFillStyle FillStyle() const { return m_fillStyle; }
    void SetFillStyle(TKsFillStyle v) { m_fillStyle = v; }
    int HitTestWidth() const { return m_hitTestWidth; }
    void SetHitTestWidth(int v) { m_hitTestWidth = v; }
    bool EraseBackGround() const { return m_eraseBackGround; }
    void SetEraseBackGround(bool v) { m_eraseBackGround = v; }
    int GradientHeight() const { return m_gradientHeight; }
    void SetGradientHeight(int v) { m_gradientHeight = v; }
    const std::string& CustomPicture() const { return m_customPicture; }
    void SetCustomPicture(const std::string& v);
    TKsSkinStyle Style() const { return m_style; }
    void SetStyle(TKsSkinStyle v) { m_style = v; }
    bool ActiveGradient() const { return m_activeGradient; }
    void SetActiveGradient(bool v) { m_activeGradient = v; }
    // The skin configuration component (an IKsFormSkinSource); linking one
    // applies its settings at once.
    fw::TComponent* SkinRes() const { return m_skinRes; }
    void SetSkinRes(fw::TComponent* v);
    const fw::TNotifyEvent& Changed() const { return m_changed; }
    void SetChanged(fw::TNotifyEvent v) { m_changed = std::move(v); }
    // The layered border component. Assigned while the form is visible at
    // run time, the border attaches and creates its windows at once.
    fw::TComponent* ImageBorder() const { return m_imageBorder; }
    void SetImageBorder(fw::TComponent* v);
    TKsSkinMainMenu* MainMenu() const { return m_mainMenu.get(); }
    void SetMainMenu(const TKsSkinMainMenu& v);
    bool DoubleFrame() const { return m_doubleFrame; }
    void SetDoubleFrame(bool v) { m_doubleFrame = v; }
    bool KeepTitlerColor() const { return m_keepTitlerColor; }
    void SetKeepTitlerColor(bool v) { m_keepTitlerColor = v; }
    bool KeepFrameColor() const { return m_keepFrameColor; }
    void SetKeepFrameColor(bool v) { m_keepFrameColor = v; }

    // --- operations -------------------------------------------------------------
    // Repaints the frame, invalidates the form and every skinned control,
    // publishes the settings (unless Tag is 99999) and fires Changed.
    void RefreshAll();
    virtual void PublishCustomPicture();
    virtual void PublishSettings();
    // Copies the linked configuration's colours, style and picture, rebuilds
    // the backgrounds and refreshes. Nothing without a link.
    void ApplySkinRes();

    // The title-bar menu items, built once at the first frame paint
    // (uKsSkinMainMenu.cpp).
    void BuildMenuItems();

    // Painting (uKsSkinForm_paint.cpp).
    void PaintFrame();
    void DrawFrameLines(FramePiece kind, TCustomBitmap32& piece);
    void UpdateRegion();
    void PaintClient(HDC dc);
    void EraseClient(HDC dc);
    void BuildColorBackground();
    void BuildPictureBackground();
    // Rebuilds what the form's present size needs of the background of its
    // style (an outgrown background, a stretched or nine-sliced picture of
    // another size) before the frame or the client shows it.
    void FitBackgroundToSize();
    // The window's size as the system has it: the frame paint that a size
    // change brings may come before the form's bounds follow.
    fw::TSize WindowSize() const;

    // --- state, for the painting helpers and for tests ----------------------------
    fw::TCustomForm* Form() const { return m_form; }
    bool Active() const { return m_active; }
    fw::TColor EffectiveTitleColor() const { return m_effectiveTitleColor; }
    fw::TColor EffectiveClientColor() const { return m_effectiveClientColor; }
    fw::TColor PictureColor() const { return m_pictureColor; }
    int SavedFramWidth() const { return m_state.SavedFramWidth(); }
    fw::TWindowState SavedWindowState() const { return m_state.DesignedMaximized() ? fw::wsMaximized : fw::wsNormal; }
    const TBitmap32& GradientBitmap() const { return *m_gradientBitmap; }
    const TBitmap32& ColorBackground() const { return *m_colorBackground; }
    const TBitmap32& PictureSource() const { return *m_pictureSource; }
    const TBitmap32& PictureBackground() const { return *m_pictureBackground; }
    bool OnSizingBorder() const { return m_onSizingBorder; }
    bool Minimized() const { return m_state.Minimized(); }
    bool FirstShowDone() const { return m_state.FirstShowDone(); }
    bool FirstShowSettled() const { return m_state.FirstShowSettled(); }
    // The title-bar elements registered with this form, in registration
    // order. The list does not own them.
    TKsNCElementList& Elements() { return m_elements; }
    const TKsNCElementList& Elements() const { return m_elements; }
    int ElementCount() const { return m_elements.Count(); }

protected:
    void HookedWndProc(fw::TMessage& message) override;

private:
    // Message handlers, one per message.
    void WMSize(fw::TMessage& m);
    void WMPaint(fw::TMessage& m);
    void WMEraseBkgnd(fw::TMessage& m);
    void WMSetCursor(fw::TMessage& m);
    void WMGetMinMaxInfo(fw::TMessage& m);
    void WMWindowPosChanging(fw::TMessage& m);
    void WMWindowPosChanged(fw::TMessage& m);
    void WMNCCalcSize(fw::TMessage& m);
    void WMNCHitTest(fw::TMessage& m);
    void WMNCPaint(fw::TMessage& m);
    void WMNCLButtonDown(fw::TMessage& m);
    void WMNCLButtonUp(fw::TMessage& m);
    void WMNCLButtonDblClk(fw::TMessage& m);
    void WMSysCommand(fw::TMessage& m);
    void WMTimer(fw::TMessage& m);
    void CMDialogKey(fw::TMessage& m);
    void CMShowingChanged(fw::TMessage& m);
    void CMSkinNCRepaint(fw::TMessage& m);
    void CMSkinRebuild(fw::TMessage& m);
    void CMSkinAddElement(fw::TMessage& m);
    void CMVisibleChanged(fw::TMessage& m);

    bool AppWindowHook(fw::TMessage& m);
    bool RouteNCButton(bool press);
    void RouteNCMouseMove(fw::TPoint screenPoint);
    void RebuildBackgrounds();
    void RepaintFrameNow();
    void ApplySkinSettings(const TKsFormSkinRes& settings);

    // The form's window without creating it, or null.
    HWND FormWindow() const;
    // The linked layered border, or null.
    TKsFormLayerBorder* Border() const;
    // The border follows the minimised state: suspended on entering it,
    // resumed on leaving it.
    void BorderFollowsMinimize(bool wasMinimized);
    // After a restore: the border comes back (unless still maximised) and
    // follows the form.
    void BorderFollowsRestore();
    bool Designing() const;
    bool BorderNone() const;
    bool Zoomed() const;
    bool Iconic() const;
    int MonitorWidth() const;
    FrameLineStyle LineStyle() const;

    // Form and state.
    fw::TCustomForm* m_form = nullptr;
    bool m_active = false;
    bool m_dying = false;
    fw::TBorderIcons m_savedBorderIcons;
    int m_appHookCookie = 0;

    // Properties.
    int m_titleHeight = 27;
    fw::TColor m_titlerColor = 16761926;  // 0x00FFC446
    fw::TColor m_color = 15920353;        // 0x00F2ECE1
    std::unique_ptr<TKsSkinFormOptions> m_options;
    bool m_roundWindow = true;
    fw::TColor m_frameColor = 0;
    TKsFillStyle m_fillStyle = mfsBlur;
    int m_hitTestWidth = 5;
    bool m_eraseBackGround = false;
    int m_gradientHeight = 168;
    std::string m_customPicture;
    TKsSkinStyle m_style = ssColor;
    bool m_activeGradient = true;
    fw::TComponent* m_skinRes = nullptr;
    fw::TNotifyEvent m_changed;
    fw::TComponent* m_imageBorder = nullptr;
    std::unique_ptr<TKsSkinMainMenu> m_mainMenu;
    bool m_doubleFrame = true;
    bool m_keepTitlerColor = false;
    bool m_keepFrameColor = false;

    // Painting state.
    fw::TColor m_effectiveClientColor = 15920353;
    fw::TColor m_effectiveTitleColor = 16761926;
    fw::TColor m_pictureColor = 0x00FFFFFF;
    // The picture source's generation and what the picture background was
    // last built from (see PictureBuild.h).
    std::uint64_t m_pictureGeneration = 0;
    TPictureBuild m_pictureBuilt;
    TPictureBuild PictureBuildFor(int w, int h) const;
    std::unique_ptr<TBitmap32> m_gradientBitmap;
    std::unique_ptr<TBitmap32> m_colorBackground;
    std::unique_ptr<TBitmap32> m_pictureSource;
    std::unique_ptr<TBitmap32> m_pictureBackground;
    // Kept between frame paints: the title and bottom pieces, the side pieces.
    std::unique_ptr<TBitmap32> m_rowPiece;
    std::unique_ptr<TBitmap32> m_sidePiece;
    fw::ScopedBrush m_classBrush;
    std::uintptr_t m_classBrushKey = 0;
    bool m_regionDirty = true;
    bool m_regionGuard = false;
    // The region shape last given to m_regionWindow.
    HWND m_regionWindow = nullptr;
    FrameRegionShape m_regionShape;
    bool m_refreshGuard = false;

    // Fading, first show, frame width and timers; the state acts on the form
    // through m_stateWindow.
    class StateWindow : public ISkinFormWindow {
    public:
        explicit StateWindow(TKsSkinForm& owner) : m_owner(owner) {}
        FormAlpha Alpha() const override;
        void SetAlpha(const FormAlpha& alpha) override;
        void SetTimer(unsigned id, unsigned ms) override;
        void KillTimer(unsigned id) override;
        void RepaintFrame() override;
        void Focus() override;
        void GrowHeightByOne() override;

    private:
        TKsSkinForm& m_owner;
    };
    StateWindow m_stateWindow{*this};
    SkinFormState m_state{m_stateWindow};
    bool m_onSizingBorder = false;

    // Declared last: it goes first, telling the elements still listed.
    TKsNCElementList m_elements{this};
};

// A two-colour linear gradient onto a canvas: computed at the rectangle's size
// in a 32-bit bitmap and drawn at the rectangle's top-left. System colours are
// resolved first.
void GradientFill(fw::TCanvas& canvas, fw::TColor c1, fw::TColor c2, TGradientDirection direction,
                  const fw::TRect& rect);

}  // namespace ks
