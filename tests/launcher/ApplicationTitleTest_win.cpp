#include "launcher/ApplicationTitle_win.h"

#include <gtest/gtest.h>

#include "framework/Forms_win.h"

namespace {

// The same words as the title-bar label's caption, which is stored as a wide
// string in the main form's layout.
const wchar_t kTitle[] = L"Tarvel\u5DE5\u7A0B\u7BA1\u7406\u670D\u52A1\u5E73\u53F0";

TEST(ApplicationTitleTest, GbkBytesReadTheSameWhateverTheSystemCodePage)
{
    EXPECT_EQ(launcher::ApplicationTitle(), kTitle);
    // The system's own ANSI conversion is what the explicit one replaces: on
    // a system whose code page is not 936 it gives other characters.
    if (GetACP() != 936) {
        EXPECT_NE(launcher::FromCodePage(CP_ACP, launcher::kApplicationTitleGbk), kTitle);
    }
    EXPECT_EQ(launcher::FromCodePage(936, ""), L"");
}

TEST(ApplicationTitleTest, BecomesTheTextOfTheApplicationWindow)
{
    fw::Application->SetTitle(launcher::ApplicationTitle());
    wchar_t text[64] = {};
    GetWindowTextW(fw::Application->Handle(), text, 64);
    EXPECT_STREQ(text, kTitle);
}

}  // namespace
