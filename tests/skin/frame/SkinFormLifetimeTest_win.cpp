// What outlives what on a skinned form: window-procedure hooks removed in any
// order, the form registry with two controllers on one form, and the class
// background brush that forms of one window class share.
#include "tests/skin/frame/FrameWinSupport_win.h"

#include "skin/frame/uKsHookWindowProc.h"
#include "skin/frame/uKsSkinHelper.h"

#include "framework/UtilWindow_win.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

using namespace ks;

namespace {

constexpr UINT kProbe = WM_APP + 23;

// A form that logs the probe reaching its own handling.
class LoggedForm : public fw::TForm {
public:
    LoggedForm(std::vector<std::string>& log) : fw::TForm(nullptr), m_log(log) {}

protected:
    void WndProc(fw::TMessage& m) override
    {
        if (m.Msg == kProbe)
            m_log.push_back("form");
        fw::TForm::WndProc(m);
    }

private:
    std::vector<std::string>& m_log;
};

// A hook that logs the probe and passes it on.
class LoggedHook : public TKsHookWindowProc {
public:
    LoggedHook(fw::TComponent* owner, std::string name, std::vector<std::string>& log)
        : TKsHookWindowProc(owner),
          m_name(std::move(name)),
          m_log(log)
    {}

protected:
    void HookedWndProc(fw::TMessage& m) override
    {
        if (m.Msg == kProbe)
            m_log.push_back(m_name);
        CallDefault(m);
    }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

std::vector<std::string> Probe(fw::TForm& form, std::vector<std::string>& log)
{
    log.clear();
    form.Perform(kProbe);
    return log;
}

}  // namespace

TEST(HookChain, AnyOrderOfRemovalLeavesAWorkingChain)
{
    std::array<int, 3> order{0, 1, 2};
    do {
        std::vector<std::string> log;
        LoggedForm form(log);
        const char* names[] = {"a", "b", "c"};
        std::vector<LoggedHook*> hooks;
        for (const char* name : names)
            hooks.push_back(new LoggedHook(&form, name, log));
        EXPECT_EQ(Probe(form, log), (std::vector<std::string>{"c", "b", "a", "form"}));

        std::vector<std::string> left{"c", "b", "a"};
        for (int i : order) {
            delete hooks[static_cast<std::size_t>(i)];
            left.erase(std::find(left.begin(), left.end(), names[i]));
            std::vector<std::string> expected = left;
            expected.push_back("form");
            EXPECT_EQ(Probe(form, log), expected) << "after removing " << names[i];
        }
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(HookChain, ProcedureInstalledBetweenHooksKeepsWorking)
{
    std::vector<std::string> log;
    LoggedForm form(log);
    auto* first = new LoggedHook(&form, "first", log);
    const fw::TWndMethod inner = form.WindowProc();
    form.SetWindowProc([&log, inner](fw::TMessage& m) {
        if (m.Msg == kProbe)
            log.push_back("application");
        inner(m);
    });
    auto* second = new LoggedHook(&form, "second", log);

    delete first;
    EXPECT_EQ(Probe(form, log), (std::vector<std::string>{"second", "application", "form"}));
    delete second;
    EXPECT_EQ(Probe(form, log), (std::vector<std::string>{"application", "form"}));
}

TEST(FormRegistry, EachControllerTakesOutItsOwnEntry)
{
    for (bool newestFirst : {true, false}) {
        auto form = std::make_unique<fw::TForm>(nullptr);
        auto* first = new TKsSkinForm(form.get());
        auto* second = new TKsSkinForm(form.get());
        // Hooks may go in any order now, so either controller may go first.
        delete (newestFirst ? second : first);
        TKsSkinForm* left = newestFirst ? first : second;
        ASSERT_NE(FormSkinHelper().Find(form.get()), nullptr);
        EXPECT_EQ(FormSkinHelper().Find(form.get())->Controller, left);
        delete left;
        EXPECT_EQ(FormSkinHelper().IndexOf(form.get()), -1);
    }
}

namespace {

HBRUSH ClassBackground(const std::wstring& className)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!::GetClassInfoExW(fw::ModuleInstance(), className.c_str(), &wc))
        return nullptr;
    return wc.hbrBackground;
}

// The class shows no brush, or one that exists.
bool UsableBackground(HBRUSH brush) { return brush == nullptr || ::GetObjectType(brush) == OBJ_BRUSH; }

}  // namespace

TEST(ClassBrush, FormsOfOneClassNeverLeaveItADeletedBrush)
{
    for (bool olderGoesFirst : {true, false}) {
        std::unique_ptr<fw::TForm> forms[2];
        for (auto& form : forms) {
            form = std::make_unique<fw::TForm>(nullptr);
            new TKsSkinForm(form.get());
            // Each sets its own brush as the class background with its first
            // frame paint; the newer form's brush is the one the class shows.
            ::SendMessageW(form->Handle(), WM_NCPAINT, 1, 0);
        }
        wchar_t name[64] = {};
        ASSERT_GT(::GetClassNameW(forms[0]->Handle(), name, 64), 0);
        ASSERT_EQ(::GetClassLongPtrW(forms[0]->Handle(), GCW_ATOM), ::GetClassLongPtrW(forms[1]->Handle(), GCW_ATOM));
        ASSERT_NE(ClassBackground(name), nullptr);

        forms[olderGoesFirst ? 0 : 1].reset();
        EXPECT_EQ(::GetObjectType(ClassBackground(name)), static_cast<DWORD>(OBJ_BRUSH));
        forms[olderGoesFirst ? 1 : 0].reset();
        EXPECT_TRUE(UsableBackground(ClassBackground(name))) << "older form went first: " << olderGoesFirst;
    }
}
