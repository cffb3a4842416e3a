// Skinned popup menus with real menus under Wine: the layered window without
// the drop shadow, items drawn from the skin, items with their own drawing
// left alone, the premultiplied push on both routes, the popup-list
// replacement's messages, and the system settings put back at unit end.
#include "skin/controls/uKsPopupListEx.h"
#include "skin/controls/uKsSkinMenu.h"
#include "skin/frame/uKsSkinHelper.h"
#include "skin/resources/uKsSkinResManager.h"
#include "tests/skin/controls/MenuTestSupport_win.h"
#include "tests/skin/ScreenCompositeSupport_win.h"

#include "framework/Forms_win.h"
#include "framework/ScopedGdi_win.h"
#include "framework/SystemLibrary_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

using namespace ks;

namespace {

struct Drawn {
    fw::TRect Rect;
    fw::TOwnerDrawState State = 0;
};

// The darkest channel value in r of bitmap (255 when r is empty).
int DarkestIn(const TBitmap32& b, const fw::TRect& r)
{
    int darkest = 255;
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, b.Height()); ++y)
        for (int x = std::max(r.Left, 0); x < std::min(r.Right, b.Width()); ++x) {
            const TColor32 p = b.PixelAt(x, y);
            if (AlphaOf(p) > 200)
                darkest = std::min(
                    {darkest, static_cast<int>(RedOf(p)), static_cast<int>(GreenOf(p)), static_cast<int>(BlueOf(p))});
        }
    return darkest;
}

class SkinMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<fw::TForm>(nullptr);
        form->SetBounds(100, 100, 300, 200);
        form->Show();
        menu = new fw::TPopupMenu(form.get());
        menu->SetOwnerDraw(true);
    }
    void TearDown() override
    {
        SetSkinMenuPushRoute(std::nullopt);
        form.reset();
    }
    fw::TMenuItem* Add(const std::string& caption, fw::TMenuItem* parent = nullptr)
    {
        auto* item = new fw::TMenuItem(form.get());
        item->SetCaption(caption);
        (parent != nullptr ? parent : menu->Items())->Add(item);
        return item;
    }
    // Records what each hooked item is drawn with, and still draws it
    // through the skin.
    void Record(TKsSkinMenu& skin)
    {
        for (int i = 0; i < form->ComponentCount(); ++i) {
            auto* item = dynamic_cast<fw::TMenuItem*>(form->Components(i));
            if (item == nullptr || !skin.IsHooked(item))
                continue;
            item->SetOnAdvancedDrawItem(
                [this, &skin](fw::TObject* s, fw::TCanvas* c, fw::TRect r, fw::TOwnerDrawState st) {
                    drawn[static_cast<fw::TMenuItem*>(s)] = Drawn{r, st};
                    skin.DrawMenuItem(s, c, r, st);
                });
        }
    }
    std::unique_ptr<fw::TForm> form;
    fw::TPopupMenu* menu = nullptr;
    std::map<fw::TMenuItem*, Drawn> drawn;
};

}  // namespace

TEST_F(SkinMenuTest, PopupIsLayeredWithoutShadowAndDrawnFromTheSkin)
{
    fw::TMenuItem* open = Add("&Open");
    open->SetShortCut(fw::ShortCut('O', {fw::ssCtrl}));
    fw::TMenuItem* checked = Add("Checked");
    checked->SetChecked(true);
    fw::TMenuItem* radio = Add("Radio");
    radio->SetRadioItem(true);
    radio->SetChecked(true);
    Add("-");
    fw::TMenuItem* disabled = Add("Disabled");
    disabled->SetEnabled(false);
    fw::TMenuItem* own = Add("Own");
    int ownDrawn = 0;
    own->SetOnAdvancedDrawItem([&](fw::TObject*, fw::TCanvas* c, fw::TRect r, fw::TOwnerDrawState) {
        ++ownDrawn;
        c->FillRect(r);
    });
    auto* skin = new TKsSkinMenu(form.get());
    EXPECT_TRUE(skin->IsHooked(open));
    EXPECT_FALSE(skin->IsHooked(own));  // its own handler stays
    Record(*skin);

    auto rectsOf = [&](fw::TMenuItem* item) {
        return LayOutSkinMenuItem(drawn[item].Rect, skin->BorderOffset(), skin->GlyphBarWidth(), MenuItemPlace(*item));
    };
    auto centre = [](const fw::TRect& r) { return fw::TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); };
    bool selectedSent = false;
    bool examined = false;
    const bool finished = menutest::WhileMenuOpen(
        [&] { menu->Popup(150, 150); },
        [&](HWND window) {
            if (!MenuPainted() || skin->LastWindow() != window || drawn.count(disabled) == 0)
                return false;
            if (!selectedSent) {
                EXPECT_TRUE(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED);
                EXPECT_FALSE(::GetClassLongPtrW(window, GCL_STYLE) & CS_DROPSHADOW);
                selectedSent = true;
                ::PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);  // selects the first item
                return false;
            }
            if ((drawn[open].State & fw::odSelected) == 0)
                return false;
            TBitmap32* bg = skin->Windows().FindBackground(window);
            TBitmap32* sk = skin->Windows().FindSkin(window);
            if (bg == nullptr || sk == nullptr)
                return false;
            examined = true;
            auto same = [&](fw::TPoint p) { return bg->PixelAt(p.X, p.Y) == sk->PixelAt(p.X, p.Y); };
            // The hilight bar under the selected item; the plain skin beside an
            // item without a mark.
            EXPECT_FALSE(same(centre(SkinMenuHilightRect(rectsOf(open).Content, skin->BorderOffset()))));
            EXPECT_TRUE(same(centre(rectsOf(disabled).GlyphBar)));
            // Check and radio frames at x = 8 of the glyph bar.
            for (fw::TMenuItem* marked : {checked, radio}) {
                const fw::TPoint at = SkinMenuCheckPos(rectsOf(marked).GlyphBar, 20);
                EXPECT_FALSE(same(fw::TPoint(at.X + 10, at.Y + 10))) << marked->Caption();
            }
            // Disabled text in $CEC5BA, enabled text in the (black) font colour.
            EXPECT_GT(DarkestIn(*bg, rectsOf(disabled).Text), 0x90);
            EXPECT_LT(DarkestIn(*bg, rectsOf(checked).Text), 0x60);
            return true;
        });
    ASSERT_TRUE(finished);
    EXPECT_TRUE(examined);
    EXPECT_GT(ownDrawn, 0);
}

// What a layered window shows over an opaque pixel: the pushed source
// composed by the system (AlphaBlend with per-pixel alpha is that operation).
// A menu whose background image is half-transparent, over a black window,
// shows on the screen as the straight-alpha composite (alpha x colour): the
// push premultiplies. Over black this holds both where the display composes
// alpha and where it only cuts fully transparent pixels away (Wine without
// a compositor); an unpremultiplied push would show the plain colour.
TEST_F(SkinMenuTest, ScreenShowsStraightAlphaCompositeOfAHalfTransparentBackground)
{
    constexpr TColor32 kPixel = screentest::kHalfTransparentPixel;
    screentest::ServedHalfTransparentImage served("menu-test-half");
    fw::TForm black(nullptr);
    ASSERT_TRUE(screentest::ShowBlackWindow(black, 40, 40, 450, 320));
    Add("&Open");
    Add("&Close");
    auto* skin = new TKsSkinMenu(form.get());
    skin->SetMenu_bk("menu-test-half");
    int compared = 0;
    const bool finished =
        menutest::WhileMenuOpen([&] { menu->Popup(150, 150); },
                                [&](HWND window) {
                                    TBitmap32* bg =
                                        skin->LastWindow() == window ? skin->Windows().FindBackground(window) : nullptr;
                                    if (!MenuPainted() || bg == nullptr)
                                        return false;
                                    RECT r{};
                                    ::GetWindowRect(window, &r);
                                    fw::ScopedGetDC screen(nullptr);
                                    // Every fifth background pixel that kept the image's colour (no
                                    // text over it), until one is seen on the screen.
                                    for (int y = 0; y < bg->Height(); y += 5)
                                        for (int x = 0; x < bg->Width(); x += 5) {
                                            if (bg->PixelAt(x, y) != kPixel)
                                                continue;
                                            const COLORREF shown = ::GetPixel(screen.Get(), r.left + x, r.top + y);
                                            if ((shown & 0xFFFFFF) == 0)
                                                return false;  // not on the screen yet
                                            EXPECT_NEAR(200 * 128 / 255, GetRValue(shown), 2) << x << "," << y;
                                            EXPECT_NEAR(90 * 128 / 255, GetGValue(shown), 2) << x << "," << y;
                                            EXPECT_NEAR(40 * 128 / 255, GetBValue(shown), 2) << x << "," << y;
                                            ++compared;
                                        }
                                    return compared > 0;
                                });
    ASSERT_TRUE(finished);
    EXPECT_GT(compared, 0);
}

TEST(SkinMenuPush, HalfTransparentPixelsComposeAsStraightAlphaOnBothRoutes)
{
    TBitmap32 background;
    background.Resize(4, 1);
    const TColor32 straight[4] = {0x80FF8040u, 0x40FFFFFFu, 0xFF102030u, 0x00FFFFFFu};
    for (int x = 0; x < 4; ++x)
        background.PixelAt(x, 0) = straight[x];
    const TColor32 under = 0xFF204080u;
    for (SkinMenuPushRoute route : {SkinMenuPushRoute::Direct, SkinMenuPushRoute::ViaGdiPlus}) {
        std::unique_ptr<TLayeredSource> source = MakeLayeredSource(background, route);
        ASSERT_TRUE(source) << static_cast<int>(route);
        TBitmap32 screen;
        screen.Resize(4, 1);
        screen.Clear(under);
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ASSERT_TRUE(fw::SystemAlphaBlend(screen.Handle(), 0, 0, 4, 1, source->DC(), 0, 0, 4, 1, blend));
        ::GdiFlush();
        for (int x = 0; x < 4; ++x) {
            const unsigned a = AlphaOf(straight[x]);
            auto expected = [&](unsigned f, unsigned b) { return static_cast<int>((f * a + b * (255 - a)) / 255); };
            const TColor32 got = screen.PixelAt(x, 0);
            EXPECT_NEAR(RedOf(got), expected(RedOf(straight[x]), RedOf(under)), 2) << x;
            EXPECT_NEAR(GreenOf(got), expected(GreenOf(straight[x]), GreenOf(under)), 2) << x;
            EXPECT_NEAR(BlueOf(got), expected(BlueOf(straight[x]), BlueOf(under)), 2) << x;
        }
    }
    // The background itself stays straight.
    EXPECT_EQ(background.PixelAt(0, 0), straight[0]);
}

namespace {

// Restores the menu settings a test changes, also when it fails.
class SettingsGuard {
public:
    SettingsGuard()
    {
        for (UINT get : {SPI_GETMENUFADE, SPI_GETMENUANIMATION, SPI_GETSELECTIONFADE})
            ::SystemParametersInfoW(get, 0, &m_values[get], 0);
    }
    ~SettingsGuard()
    {
        FinalizeSkinMenuUnit();
        for (auto [get, value] : m_values)
            ::SystemParametersInfoW(get + 1, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(value)), 0);
        InitializeSkinMenuUnit();
    }

private:
    std::map<UINT, BOOL> m_values;
};

BOOL Setting(UINT get)
{
    BOOL v = FALSE;
    ::SystemParametersInfoW(get, 0, &v, 0);
    return v;
}

}  // namespace

TEST(SkinMenuUnit, PutsTheSystemSettingsBackWhenItEnds)
{
    SettingsGuard guard;
    FinalizeSkinMenuUnit();
    for (UINT set : {SPI_SETMENUFADE, SPI_SETMENUANIMATION, SPI_SETSELECTIONFADE})
        ::SystemParametersInfoW(set, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(TRUE)), 0);
    InitializeSkinMenuUnit();
    EXPECT_FALSE(Setting(SPI_GETSELECTIONFADE));
    {
        fw::TForm owner(nullptr);
        new TKsSkinMenu(&owner);
        EXPECT_FALSE(Setting(SPI_GETMENUFADE));
        EXPECT_FALSE(Setting(SPI_GETMENUANIMATION));
    }
    FinalizeSkinMenuUnit();
    EXPECT_TRUE(Setting(SPI_GETMENUFADE));
    EXPECT_TRUE(Setting(SPI_GETMENUANIMATION));
    EXPECT_TRUE(Setting(SPI_GETSELECTIONFADE));
}

namespace {

class TListeningForm : public fw::TForm {
public:
    using fw::TForm::TForm;
    std::vector<unsigned> heard;
    void WndProc(fw::TMessage& m) override
    {
        if (m.Msg >= CM_SKIN_MENUCLOSED && m.Msg <= CM_SKIN_EXITMENULOOP)
            heard.push_back(m.Msg);
        fw::TForm::WndProc(m);
    }
};

}  // namespace

TEST(PopupListEx, CountsInstallsAndTellsTheActiveFormAboutMenuLoops)
{
    TListeningForm form(nullptr);
    form.Show();
    ::SetForegroundWindow(form.Handle());
    ::SetActiveWindow(form.Handle());
    ASSERT_TRUE(fwtest::PumpUntil([&] { return fw::Screen->ActiveForm() == &form; }, 3000));
    auto* before = new fw::TPopupMenu(&form);
    fw::TPopupList* framework = &fw::PopupList();
    TPopupListEx::Install();
    TPopupListEx::Install();
    EXPECT_EQ(TPopupListEx::InstallCount(), 2);
    ASSERT_NE(dynamic_cast<TPopupListEx*>(&fw::PopupList()), nullptr);
    HWND list = fw::PopupList().Window();
    ::SendMessageW(list, WM_ENTERMENULOOP, TRUE, 0);
    ::SendMessageW(list, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    ::SendMessageW(list, WM_MENUSELECT, MAKEWPARAM(1, 0), 0);  // a selection, not a close
    ::SendMessageW(list, WM_EXITMENULOOP, TRUE, 0);
    EXPECT_EQ(form.heard, (std::vector<unsigned>{CM_SKIN_ENTERMENULOOP, CM_SKIN_MENUCLOSED, CM_SKIN_EXITMENULOOP}));
    auto* during = new fw::TPopupMenu(&form);
    TPopupListEx::Uninstall();
    EXPECT_NE(&fw::PopupList(), framework);
    TPopupListEx::Uninstall();
    EXPECT_EQ(TPopupListEx::InstallCount(), 0);
    EXPECT_EQ(&fw::PopupList(), framework);
    // Menus made while the replacement was in place still get their commands.
    bool found[2] = {false, false};
    for (int i = 0; i < framework->Count(); ++i) {
        found[0] = found[0] || framework->Items(i) == before;
        found[1] = found[1] || framework->Items(i) == during;
    }
    EXPECT_TRUE(found[0] && found[1]);
}

TEST(MenuWnds, DropsTheEntriesOfHiddenAndResizedWindows)
{
    fw::TForm window(nullptr);
    window.SetBounds(10, 10, 200, 100);
    window.Show();
    HWND h = window.Handle();
    auto add = [&](TMenuWnds& cache) {
        RECT r{};
        ::GetWindowRect(h, &r);
        auto background = std::make_unique<TBitmap32>();
        background->Resize(r.right - r.left, r.bottom - r.top);
        TBitmap32 skin;
        skin.Resize(4, 4);
        cache.Add(h, std::move(background), skin);
    };
    TMenuWnds cache;
    add(cache);
    EXPECT_NE(cache.FindBackground(h), nullptr);
    ASSERT_NE(cache.FindSkin(h), nullptr);
    EXPECT_EQ(cache.FindSkin(h)->Width(), 4);  // a copy of the skin passed in
    // Shown again at another size before the next lookup: the bitmaps no
    // longer fit the window.
    window.SetBounds(10, 10, 260, 100);
    EXPECT_EQ(cache.FindBackground(h), nullptr);
    EXPECT_EQ(cache.Count(), 0);
    add(cache);
    window.Hide();
    EXPECT_EQ(cache.FindBackground(h), nullptr);
    EXPECT_EQ(cache.Count(), 0);
}
