#include "framework/ShortCuts_win.h"

#include "framework/WideText_win.h"

#include <cwctype>

namespace fw {

namespace {

struct TKeyName {
    WORD Key;
    const char* Name;
};
constexpr TKeyName kKeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_ESCAPE, "Esc"}, {VK_RETURN, "Enter"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},    {VK_HOME, "Home"},    {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},  {VK_INSERT, "Ins"},   {VK_DELETE, "Del"},
};

std::string KeyName(WORD key)
{
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24)
        return "F" + std::to_string(key - VK_F1 + 1);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)
        return "Num " + std::to_string(key - VK_NUMPAD0);
    for (const TKeyName& k : kKeyNames) {
        if (k.Key == key)
            return k.Name;
    }
    return {};
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift)
{
    TShortCut result = static_cast<TShortCut>(key & 0xFF);
    if (shift.Contains(ssShift))
        result |= scShift;
    if (shift.Contains(ssCtrl))
        result |= scCtrl;
    if (shift.Contains(ssAlt))
        result |= scAlt;
    return result;
}

std::string ShortCutToText(TShortCut shortCut)
{
    std::string name = KeyName(static_cast<WORD>(shortCut & 0xFF));
    if (name.empty())
        return {};
    std::string text;
    if (shortCut & scShift)
        text += "Shift+";
    if (shortCut & scCtrl)
        text += "Ctrl+";
    if (shortCut & scAlt)
        text += "Alt+";
    return text + name;
}

TShortCut TextToShortCut(std::string_view text)
{
    TShortCut modifiers = 0;
    for (;;) {
        if (text.size() > 6 && SameText(text.substr(0, 6), "Shift+")) {
            modifiers |= scShift;
            text.remove_prefix(6);
        } else if (text.size() > 5 && SameText(text.substr(0, 5), "Ctrl+")) {
            modifiers |= scCtrl;
            text.remove_prefix(5);
        } else if (text.size() > 4 && SameText(text.substr(0, 4), "Alt+")) {
            modifiers |= scAlt;
            text.remove_prefix(4);
        } else {
            break;
        }
    }
    if (text.empty())
        return scNone;
    for (WORD key = 8; key <= 255; ++key) {
        std::string name = KeyName(key);
        if (!name.empty() && SameText(name, text))
            return static_cast<TShortCut>(key | modifiers);
    }
    return scNone;
}

wchar_t GetHotkey(std::string_view caption)
{
    std::wstring text = Utf8ToWide(caption);
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] == L'&') {
            ++i;  // "&&" is a plain ampersand
            continue;
        }
        return static_cast<wchar_t>(std::towupper(text[i + 1]));
    }
    return 0;
}

bool IsAccel(WORD key, std::string_view caption)
{
    wchar_t hotkey = GetHotkey(caption);
    return hotkey != 0 && hotkey == static_cast<wchar_t>(std::towupper(key));
}

std::string StripHotkey(std::string_view caption)
{
    std::string result;
    result.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                result += '&';
                ++i;
            }
            continue;
        }
        result += caption[i];
    }
    return result;
}

}  // namespace fw
