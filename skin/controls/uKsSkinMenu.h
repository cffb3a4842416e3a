// TKsSkinMenu: dropped on a form, it measures and draws every popup-menu item
// the form owns from the skin: each popup-menu window becomes a per-pixel
// alpha (layered) window whose background is a nine-sliced skin image, with
// a hilight bar, check and radio marks, sub-menu arrows, image-list pictures,
// text and shortcuts composed in a 32-bit bitmap that is pushed to the window.
//
// The unit also keeps process-wide state: a thread hook that strips the drop
// shadow from popup-menu windows and keeps them from erasing and framing
// themselves until their items are painted, and the system's fade and
// animation settings, switched off while the unit is in use and put back when
// it ends. Windows only.
#pragma once

#include "skin/controls/SkinMenuLayout.h"
#include "skin/frame/uKsSkinForm.h"
#include "skin/render/Bitmap32.h"

#include "framework/Menus_win.h"
#include "framework/ScopedGdi_win.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ks {

// The composed bitmaps of the popup-menu windows on screen.
class TMenuWnds {
public:
    TMenuWnds();
    ~TMenuWnds();
    TMenuWnds(const TMenuWnds&) = delete;
    TMenuWnds& operator=(const TMenuWnds&) = delete;

    // Adds an entry; the entry owns background and a copy of skin.
    void Add(HWND window, std::unique_ptr<TBitmap32> background, const TBitmap32& skin);
    // The background of window, nearest the start of the list. Entries of
    // windows that are hidden, gone or of another size now are dropped first.
    TBitmap32* FindBackground(HWND window);
    // The skin bitmap of window (no dropping).
    TBitmap32* FindSkin(HWND window);
    void Clear();
    int Count() const { return static_cast<int>(m_entries.size()); }

private:
    struct Entry {
        HWND Window;
        std::unique_ptr<TBitmap32> Background;
        std::unique_ptr<TBitmap32> Skin;
    };
    std::vector<Entry> m_entries;
};

class TKsSkinMenu : public fw::TComponent {
    FW_CLASS(TKsSkinMenu)

    // At run time it switches the system's menu fade and menu animation off
    // and hooks every menu item of its owner.
    explicit TKsSkinMenu(fw::TComponent* owner);
    // Unhooks the items it hooked.
    ~TKsSkinMenu() override;

    void Loaded() override;
    void Notification(fw::TComponent* component, fw::TOperation operation) override;

    // --- published (setters store; the next item measured or drawn uses them)
    TKsAboutInfo About() const { return aiKsSkinComponent; }
    void SetAbout(TKsAboutInfo) {}
    fw::TFont* Font() const { return m_font.get(); }
    void SetFont(const fw::TFont& v) { m_font->Assign(v); }
    fw::TFont* HotFont() const { return m_hotFont.get(); }
    void SetHotFont(const fw::TFont& v) { m_hotFont->Assign(v); }
    fw::TColor LineColor() const { return m_lineColor; }
    void SetLineColor(fw::TColor v) { m_lineColor = v; }
    const std::string& Menu_bk() const { return m_menuBk; }
    void SetMenu_bk(const std::string& v) { m_menuBk = v; }
    const std::string& Menu_hilight() const { return m_menuHilight; }
    void SetMenu_hilight(const std::string& v) { m_menuHilight = v; }
    const std::string& Menu_Check() const { return m_menuCheck; }
    void SetMenu_Check(const std::string& v) { m_menuCheck = v; }
    const std::string& Menu_Radio() const { return m_menuRadio; }
    void SetMenu_Radio(const std::string& v) { m_menuRadio = v; }
    const std::string& Menu_SubArrow() const { return m_menuSubArrow; }
    void SetMenu_SubArrow(const std::string& v) { m_menuSubArrow = v; }
    int BorderOffset() const { return m_borderOffset; }
    void SetBorderOffset(int v) { m_borderOffset = v; }
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int v) { m_borderWidth = v; }
    int GlyphBarWidth() const { return m_glyphBarWidth; }
    void SetGlyphBarWidth(int v) { m_glyphBarWidth = v; }

    // --- hooking items ----------------------------------------------------------
    void HookOwnerItems();
    // Leaves an item that already has an OnAdvancedDrawItem handler alone.
    void HookItem(fw::TMenuItem* item);
    void UnhookItem(fw::TMenuItem* item);
    bool IsHooked(const fw::TMenuItem* item) const;
    int HookedCount() const { return static_cast<int>(m_items.size()); }

    // --- the owner-draw callbacks -----------------------------------------------
    void MeasureMenuItem(fw::TObject* sender, fw::TCanvas* canvas, int& width, int& height);
    void DrawMenuItem(fw::TObject* sender, fw::TCanvas* canvas, fw::TRect rect, fw::TOwnerDrawState state);

    TMenuWnds& Windows() const { return *m_windows; }
    HWND LastWindow() const { return m_lastWindow; }

private:
    void DrawItemContent(TBitmap32& bitmap, fw::TMenuItem& item, fw::TOwnerDrawState state,
                         const SkinMenuItemRects& rects);
    void DrawCheckMark(TBitmap32& bitmap, fw::TMenuItem& item, bool selected, const fw::TRect& glyphBar);
    void DrawItemText(TBitmap32& bitmap, fw::TMenuItem& item, fw::TOwnerDrawState state, const fw::TRect& text);
    TBitmap32* BackgroundFor(HWND window, int width, int height);

    std::vector<fw::TMenuItem*> m_items;  // hooked, not owned
    std::unique_ptr<fw::TFont> m_font;
    std::unique_ptr<fw::TFont> m_hotFont;
    fw::TColor m_lineColor = 0x00CEC5BA;
    std::string m_menuBk = "KsSkinMenu_bk";
    std::string m_menuHilight = "KsSkinMenu_hilight";
    std::string m_menuCheck = "KsSkinMenu_icon_check";
    std::string m_menuRadio = "KsSkinMenu_icon_radio";
    std::string m_menuSubArrow = "KsSkinMenu_sub_arrow";
    int m_borderOffset = 6;
    int m_borderWidth = 0;
    int m_glyphBarWidth = 31;
    HWND m_lastWindow = nullptr;
    std::unique_ptr<TMenuWnds> m_windows;
};

// Where an item stands among its parent's children.
SkinMenuItemPlace MenuItemPlace(const fw::TMenuItem& item);

// --- the unit's process-wide state (uKsSkinMenu_unit.cpp) -------------------------
// Unit start: saves the selection fade, menu fade and menu animation settings,
// switches selection fade off and hooks the calling thread. Runs when the
// program starts; calling it again while started does nothing.
void InitializeSkinMenuUnit();
// Unit end: puts the three settings back as they were found and removes the
// hook. Runs when the program ends.
void FinalizeSkinMenuUnit();
bool SkinMenuUnitStarted();
// Switches the system's menu fade and menu animation off (the component's
// constructor).
void SwitchMenuEffectsOff();
// Cleared when an item is measured, set when one has been drawn: until then a
// popup-menu window neither erases nor frames itself.
bool MenuPainted();
void SetMenuPainted(bool value);
// The popup-menu window procedure the hook puts in place.
LRESULT CALLBACK SkinMenuWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// --- pushing the composed bitmap (uKsSkinMenu_push.cpp) ---------------------------
// Visual styles off: the "ThemeActive" value under the current user is "0".
bool ThemesOff();
// Desktop composition on (dwmapi loaded from the system folder at run time).
bool CompositionEnabled();
// A device context holding the bitmap the layered push takes: the straight
// background premultiplied, directly or read back through GDI+ from a PNG.
class TLayeredSource {
public:
    virtual ~TLayeredSource() = default;
    virtual HDC DC() const = 0;
};
std::unique_ptr<TLayeredSource> MakeLayeredSource(const TBitmap32& background, SkinMenuPushRoute route);
// Pushes background to window (at its screen rectangle) by UpdateLayeredWindow.
void PushMenuWindow(HWND window, const fw::TRect& screenRect, const TBitmap32& background);
// Tests force a route; nullopt chooses by the themes and composition tests.
void SetSkinMenuPushRoute(std::optional<SkinMenuPushRoute> route);
// Unloads GDI+ (unit end).
void ShutdownMenuGdiPlus();

}  // namespace ks
