#include "skin/frame/FormSkinSettings.h"
#include "skin/frame/SharedClassBrushes.h"
#include "skin/frame/uKsSkinHelper.h"
#include "skin/frame/uKsSkinNCCtrlBase.h"

#include "framework/TypInfo.h"

#include <gtest/gtest.h>

using namespace ks;

namespace {

// Registry entries are compared by identity only; any distinct addresses do.
fw::TWinControl* FakeForm(int i)
{
    static char storage[8];
    return reinterpret_cast<fw::TWinControl*>(&storage[i]);
}
TKsSkinForm* FakeController(int i)
{
    static char storage[8];
    return reinterpret_cast<TKsSkinForm*>(&storage[i]);
}

}  // namespace

TEST(FormSkinHelper, AddFindRemoveByIdentity)
{
    TKsFormSkinHelper reg;
    EXPECT_EQ(reg.IndexOf(FakeForm(0)), -1);
    EXPECT_EQ(reg.Find(FakeForm(0)), nullptr);
    reg.Remove(FakeForm(0));  // not registered: nothing happens

    EXPECT_EQ(reg.Add(FakeForm(0), FakeController(0)), 0);
    EXPECT_EQ(reg.Add(FakeForm(1), FakeController(1)), 1);
    // The same form twice keeps two entries; Remove takes the first only.
    EXPECT_EQ(reg.Add(FakeForm(0), FakeController(2)), 2);
    EXPECT_EQ(reg.Count(), 3);
    EXPECT_EQ(reg.Find(FakeForm(0))->Controller, FakeController(0));
    reg.Remove(FakeForm(0));
    EXPECT_EQ(reg.Count(), 2);
    EXPECT_EQ(reg.IndexOf(FakeForm(0)), 1);
    EXPECT_EQ(reg.Find(FakeForm(0))->Controller, FakeController(2));
    EXPECT_EQ(reg.Items(0).Form, FakeForm(1));

    // Two controllers on one form: each takes out its own entry.
    reg.Add(FakeForm(0), FakeController(4));
    reg.Remove(FakeForm(0), FakeController(4));
    EXPECT_EQ(reg.Find(FakeForm(0))->Controller, FakeController(2));
    reg.Remove(FakeForm(0), FakeController(1));  // not a pair: nothing happens
    EXPECT_EQ(reg.Count(), 2);

    // A controller created while designing registers without a form.
    reg.Add(nullptr, FakeController(3));
    EXPECT_EQ(reg.Find(nullptr)->Controller, FakeController(3));
}

TEST(FormSkinHelper, RegistriesAreCreatedOnceOnFirstUse)
{
    EXPECT_EQ(&FormSkinHelper(), &FormSkinHelper());
    EXPECT_EQ(&WinControlHelper(), &WinControlHelper());
    TKsWinControlHelper& controls = WinControlHelper();
    const std::size_t before = controls.Controls.size();
    controls.Add(FakeForm(4));
    controls.Add(FakeForm(5));
    controls.Remove(FakeForm(4));
    ASSERT_EQ(controls.Controls.size(), before + 1);
    EXPECT_EQ(controls.Controls.back(), FakeForm(5));
    controls.Remove(FakeForm(5));
    EXPECT_EQ(controls.Controls.size(), before);
}

TEST(SharedClassBrushes, AClassNeverKeepsTheBrushOfAFormThatWent)
{
    const int a = 0, b = 0;
    const TSharedClassBrushes::Brush original = 7;
    for (bool olderGoesFirst : {true, false}) {
        TSharedClassBrushes book;
        book.Set(1, &a, 100, original);
        book.Set(1, &b, 200, 100);
        book.Set(2, &a, 300, 0);    // another class: its own record
        book.Set(1, &a, 101, 200);  // a repaints: its new brush is shown
        if (olderGoesFirst) {
            EXPECT_EQ(book.Release(1, &a, 101), std::optional<TSharedClassBrushes::Brush>(200));
            EXPECT_EQ(book.Release(1, &b, 200), std::optional<TSharedClassBrushes::Brush>(original));
        } else {
            EXPECT_EQ(book.Release(1, &b, 101), std::nullopt);  // shows a's: kept
            EXPECT_EQ(book.Release(1, &a, 101), std::optional<TSharedClassBrushes::Brush>(original));
        }
        EXPECT_EQ(book.Release(1, &a, 101), std::nullopt);  // already gone
        EXPECT_EQ(book.Release(2, &a, 300), std::optional<TSharedClassBrushes::Brush>(0));
    }
}

TEST(FormSkinSettings, NewRecordAndNotificationRules)
{
    TKsFormSkinRes r;
    EXPECT_EQ(r.TitleHeight(), 27);
    EXPECT_EQ(r.TitlerColor(), 16761926);
    EXPECT_EQ(r.Color(), 15920353);
    EXPECT_EQ(r.FramWidth(), 2);
    EXPECT_EQ(r.HitTestWidth(), 5);
    EXPECT_EQ(r.GradientHeight(), 168);
    EXPECT_EQ(r.Style(), ssColor);
    EXPECT_TRUE(r.CustomPicture().empty());

    int owner = 0;
    int changes = 0;
    r.NotifyOwner = [&] {
        ++owner;
        EXPECT_EQ(changes, owner - 1);  // the owner hears first
    };
    r.OnChange = [&](fw::TObject*) { ++changes; };

    r.SetTitleHeight(27);  // unchanged: silent
    r.SetFramWidth(-3);    // negative: ignored
    EXPECT_EQ(r.FramWidth(), 2);
    EXPECT_EQ(changes, 0);
    r.SetFramWidth(0);
    EXPECT_EQ(changes, 1);
    r.SetActiveGradient(false);  // stored only
    EXPECT_EQ(changes, 1);

    r.BeginUpdate();
    r.BeginUpdate();
    r.SetColor(1);
    r.SetCustomPicture("x.png");
    r.EndUpdate();
    EXPECT_EQ(changes, 1);
    r.EndUpdate();  // back at 0: one notification
    EXPECT_EQ(changes, 2);
    r.EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(changes, 2);

    r.BeginLoad();
    r.SetStyle(ssPicture);
    r.EndLoad();  // loading never notifies
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(r.Style(), ssPicture);
    EXPECT_EQ(owner, 2);

    // A stored style past the named ones stays what it is (checked by UBSan).
    r.SetStyle(static_cast<TKsSkinStyle>(2));
    EXPECT_EQ(static_cast<int>(r.Style()), 2);
    TKsFormSkinRes copy;
    copy.Assign(r);
    EXPECT_EQ(static_cast<int>(copy.Style()), 2);
}

TEST(FormSkinSettings, PublishedTableAndGlobalRecord)
{
    const fw::TClassInfo& info = TKsFormSkinRes::StaticClass();
    const char* names[] = {"ActiveGradient", "DoubleFrame",    "FillStyle",     "FlatFrame", "RoundWindow",
                           "ImageBorder",    "TitleHeight",    "TitlerColor",   "Color",     "FramWidth",
                           "HitTestWidth",   "GradientHeight", "CustomPicture", "Style",     "DefaultSkinOrder"};
    ASSERT_EQ(info.Properties().size(), std::size(names));
    for (std::size_t i = 0; i < std::size(names); ++i)
        EXPECT_EQ(info.Properties()[i]->Name, names[i]);
    EXPECT_EQ(&GlobalFormSkin(), &GlobalFormSkin());
}

TEST(NCCtrlPos, ChangeHandlerLockAndPlacement)
{
    TNCCtrlPos pos;
    int changes = 0;
    pos.OnChange = [&](fw::TObject* sender) {
        EXPECT_EQ(sender, &pos);
        ++changes;
    };
    pos.SetXValue(0);         // unchanged
    pos.SetUseDefault(true);  // stored only
    EXPECT_EQ(changes, 0);
    pos.SetAlign(caRight);
    pos.SetXValue(40);
    pos.SetYValue(-1);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(pos.LeftFor(330), 290);
    EXPECT_EQ(pos.Top(), -1);
    pos.BeginChange();
    pos.SetXValue(39);
    pos.EndChange();
    EXPECT_EQ(changes, 3);

    TNCCtrlPos copy;
    copy.Assign(pos);
    EXPECT_EQ(copy.Align(), caRight);
    EXPECT_EQ(copy.XValue(), 39);
    EXPECT_EQ(copy.YValue(), -1);
    EXPECT_TRUE(copy.UseDefault());
    EXPECT_EQ(copy.LeftFor(330), 291);
}
