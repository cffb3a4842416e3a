// TKsFormLayerBorder: a soft shadow (or glow) around a skinned form, drawn
// outside the form's own rectangle by four per-pixel-alpha pop-up windows
// (TksFormLayerWindow), one along each side, stacked just below the form and
// kept in step with it. The skinned-form controller drives the border from
// its window procedure through the operations below.
//
// In non-transparent mode the windows take mouse input: a press where no
// title-bar element is hot drags the form, and the title-bar elements whose
// PutSide names a window's side are hosted (painted and pressed) there.
//
// Hosted elements stay in the controller's element list, the one list that
// owns the registration: hosting only makes the border window the element's
// owner control (its host pointer) and the form its host form. The form's
// title bar paints and presses only the elements it hosts itself; a border
// window paints and presses only those it hosts; mouse moves reach every
// element from either host, and each element tests the cursor against its
// own host's window. Group release and the title's double-click rule look at
// the whole list, as before. A border window that goes away gives its
// elements back to the form.
#pragma once

#include "skin/frame/uKsFormBorderSlices.h"

#include "framework/Forms_win.h"

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ks {

class TKsNCElementList;
class TKsSkinNCCtrlBase;
class TksFormLayerWindow;

// What a border window does with a message, decided from plain data.
enum class LayerPressAction { None, ElementDown, DragForm };
LayerPressAction LayerWindowPressAction(bool elementHot, bool dragEnabled);

class TKsFormLayerBorder : public fw::TComponent {
    FW_CLASS(TKsFormLayerBorder)

    explicit TKsFormLayerBorder(fw::TComponent* owner);
    // Frees the windows (which give their elements back) and the slices.
    ~TKsFormLayerBorder() override;

    void Notification(fw::TComponent* component, fw::TOperation operation) override;

    // --- published --------------------------------------------------------------
    bool DragEnabled() const { return m_dragEnabled; }
    void SetDragEnabled(bool v) { m_dragEnabled = v; }
    TKsStretchKind StretchKind() const { return m_stretchKind; }
    void SetStretchKind(TKsStretchKind v) { m_stretchKind = v; }
    const std::string& Image() const { return m_image; }
    void SetImage(const std::string& v)
    {
        if (v != m_image)
            m_image = v;
    }
    TKsBorderSize* Size() const { return m_size.get(); }
    void SetSize(const TKsBorderSize& v) { m_size->Assign(v); }
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool v) { m_transparent = v; }
    TKsBorderSize* InflateSize() const { return m_inflateSize.get(); }
    void SetInflateSize(const TKsBorderSize& v) { m_inflateSize->Assign(v); }

    // --- driven by the controller ---------------------------------------------------
    // Once only: remembers the form and chains its OnClose (sets closed) and
    // OnShow (clears it).
    void Attach(fw::TCustomForm* form);
    // Unless closed: keeps the element list and creates the windows at the
    // form's bounds.
    void Setup(TKsNCElementList* elements);
    void CreateWindows(int x, int y, int w, int h);
    // After a size change: suspended while maximised, resumed otherwise, then
    // rebuilt and placed at the form's bounds.
    void Relayout();
    // New slices for the size, all four windows placed in one batch.
    void Reposition(int x, int y, int w, int h);
    // All four windows placed in one batch; the slices stay.
    void Move(int x, int y);
    void HideAll();
    void ShowAll();
    void Suspend();
    void Resume();
    void CheckZoom();
    // The controller's list is going away.
    void ForgetElements(const TKsNCElementList* list);

    // --- state --------------------------------------------------------------------
    fw::TCustomForm* Form() const { return m_form; }
    TKsNCElementList* Elements() const { return m_elements; }
    TksFormLayerWindow* Window(int side) const { return m_windows[static_cast<std::size_t>(side)]; }
    const TKsBorderSlices& Slices() const { return m_slices; }
    bool Created() const { return m_created; }
    bool Hidden() const { return m_hidden; }
    bool Suspended() const { return m_suspended; }
    bool Closed() const { return m_closed; }
    // How many times the slices were built.
    int SliceBuilds() const { return m_sliceBuilds; }

private:
    friend class TksFormLayerWindow;

    void BuildSlices(int w, int h);
    void DestroyWindows();
    void RedrawAll(bool hide);
    HWND FormWindow() const;
    bool FormMinimized() const;
    // Places the four windows below the z-order anchor: through the batch
    // when there is one (it may be replaced), else one SetWindowPos each.
    // True when the form must be made topmost again afterwards.
    bool PlaceWindows(int x, int y, int w, int h, HDWP& batch, UINT flags);
    void FinishPlacing(HDWP batch, bool formTopmostAgain);
    void WindowGone(TksFormLayerWindow* window);

    bool m_dragEnabled = true;
    TKsStretchKind m_stretchKind = skAuto;
    std::string m_image = "KsSkinSlider_Aio_light_bkg";
    std::unique_ptr<TKsBorderSize> m_size;
    bool m_transparent = true;
    std::unique_ptr<TKsBorderSize> m_inflateSize;

    fw::TCustomForm* m_form = nullptr;
    bool m_attached = false;
    int m_width = 0;
    int m_height = 0;
    TKsBorderSlices m_slices;
    std::array<TksFormLayerWindow*, kBorderSideCount> m_windows{};
    TKsNCElementList* m_elements = nullptr;
    bool m_created = false;
    bool m_needsRecreate = true;
    bool m_hidden = false;
    bool m_suspended = false;
    bool m_closed = false;
    int m_sliceBuilds = 0;
    bool m_placing = false;
    // Expires with the border; the form's chained events check it.
    std::shared_ptr<int> m_life = std::make_shared<int>(0);
};

class TksFormLayerWindow : public fw::TCustomForm {
    FW_CLASS(TksFormLayerWindow)

    // Owned by the border; side 0 left, 1 top, 2 right, 3 bottom.
    TksFormLayerWindow(TKsFormLayerBorder* border, fw::TCustomForm* form, int side, bool drag);
    // Gives the hosted elements back to the form.
    ~TksFormLayerWindow() override;

    int Side() const { return m_side; }
    bool Drag() const { return m_drag; }
    bool HiddenFlag() const { return m_hidden; }
    void SetHiddenFlag(bool v) { m_hidden = v; }
    TKsFormLayerBorder* Border() const { return m_border; }
    fw::TCustomForm* OwningForm() const { return m_owningForm; }

    // Draws the window's slice (and, opaque and non-transparent, its
    // elements) and pushes it to the screen, fully transparent when hide.
    void Redraw(bool hide);
    // The constant alpha of the last push (0 hidden, 255 shown), -1 before.
    int PushedAlpha() const { return m_pushedAlpha; }
    // Whether this window hosts the element.
    bool Hosts(const TKsSkinNCCtrlBase* element) const;

protected:
    void CreateParams(fw::TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(fw::TMessage& message) override;

private:
    friend class TKsFormLayerBorder;
    void WMNCLButtonDown(fw::TMessage& m);
    void WMNCLButtonUp(fw::TMessage& m);
    void WMNCMouseMove(fw::TMessage& m);
    void WMSysCommand(fw::TMessage& m);
    void HostElements();
    void ReleaseElements();
    TKsSkinNCCtrlBase* HotHostedElement() const;

    TKsFormLayerBorder* m_border;
    fw::TCustomForm* m_owningForm;
    int m_side;
    bool m_drag;
    bool m_hidden = false;
    bool m_transparent;
    int m_pushedAlpha = -1;
    // Hosted elements and what their XValue was reduced by.
    std::vector<std::pair<TKsSkinNCCtrlBase*, int>> m_shifts;
    std::shared_ptr<int> m_life = std::make_shared<int>(0);
};

}  // namespace ks
