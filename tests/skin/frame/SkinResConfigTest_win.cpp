// The skin configuration component with real forms: a change of its settings
// reaches every registered form as the skin-changed message, last registered
// first, and a linked form repaints with the new colours.
#include "skin/frame/uKsSkinRes.h"

#include "tests/skin/frame/FrameWinSupport_win.h"

#include <filesystem>
#include <fstream>

using namespace ks;
using namespace frametest;

namespace {

class SkinResFormsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = std::filesystem::temp_directory_path() / ("ks-skinres-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::unique_ptr<TKsSkinRes> MakeRes()
    {
        return std::make_unique<TKsSkinRes>(nullptr, CreatePlatformConfigFiles(m_folder.string() + "\\"));
    }

    std::filesystem::path m_folder;
};

}  // namespace

TEST_F(SkinResFormsTest, AChangeReachesEveryFormLastRegisteredFirst)
{
    auto res = MakeRes();
    std::vector<int> order;
    std::vector<std::unique_ptr<fw::TForm>> forms;
    std::vector<TKsSkinForm*> skins;
    for (int id = 0; id < 3; ++id) {
        forms.push_back(std::make_unique<fw::TForm>(nullptr));
        forms.back()->SetBounds(100 + id * 10, 100, 330, 100);
        skins.push_back(new TKsSkinForm(forms.back().get()));
        forms.back()->HandleNeeded();
        // The controller fires Changed when it has re-applied the settings.
        skins.back()->SetChanged([&order, id](fw::TObject*) { order.push_back(id); });
        if (id != 1)
            skins.back()->SetSkinRes(res.get());
    }
    order.clear();

    res->Form()->SetColor(0x00204060);
    EXPECT_EQ(order, (std::vector<int>{2, 0}));
    // Only linked forms take the settings.
    EXPECT_EQ(skins[2]->Color(), 0x00204060u);
    EXPECT_NE(skins[1]->Color(), 0x00204060u);
    for (TKsSkinForm* skin : skins)
        skin->SetChanged(nullptr);
    forms.clear();
}

TEST_F(SkinResFormsTest, ALinkedFormRepaintsWithTheFileColours)
{
    std::filesystem::create_directories(m_folder / "Skin");
    {
        std::ofstream(m_folder / "Skin" / "Config.xml") << "<KsSkinRes><Config><Custom><Form><Color>" << 0x00306090
                                                        << "</Color></Form></Custom></Config></KsSkinRes>";
    }
    auto res = MakeRes();
    EXPECT_EQ(res->Form()->Color(), 0x00306090u);

    fw::TForm form(nullptr);
    form.SetBounds(100, 100, 330, 100);
    auto* skin = new TKsSkinForm(&form);
    skin->SetActiveGradient(false);
    skin->SetSkinRes(res.get());
    form.Show();
    ::RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(Near(CaptureWindow(form.Handle()).At(165, 70), 0x906030u, 1));

    res->Form()->SetColor(0x00103050);
    ::RedrawWindow(form.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(Near(CaptureWindow(form.Handle()).At(165, 70), 0x503010u, 1));
    skin->SetSkinRes(nullptr);
}
