// The gallery's end-to-end probe: a console program started beside the
// running gallery under Wine. It drives the real mouse and keyboard
// (SetCursorPos, SendInput) and watches the gallery's windows from outside,
// so that times are taken on the Windows side with a fine clock rather than
// from screenshots.
//
//   GalleryProbe window              wait for the gallery's form; park the cursor
//   GalleryProbe menubar CAPTION...  click the first title-bar item, then move
//                                    over every next item and back to the first;
//                                    the first item's drop-down is left open
//   GalleryProbe escape              press Escape; wait until no drop-down is left
//   GalleryProbe rclick label|client right-click a label or the bare client; the
//                                    popup menu is left open
//
// Facts go to stdout as "name: value" lines; a failed check prints
// "FAIL: ..." and exits with 1. Every wait is for a state, with a generous
// bound (the machine may be loaded).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// The menu bar's look as the gallery's layout gives it.
constexpr int kBarX = 5;
constexpr int kBarY = 5;
constexpr int kItemGap = 8;
constexpr int kBorderOffset = 6;  // the skinned menu's BorderOffset

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Polls every 4 ms: fine enough for the times taken here, and leaves the
// (single) Wine server and the CPUs to the gallery.
bool WaitFor(const std::function<bool()>& done, int boundMs)
{
    const double end = NowMs() + boundMs;
    while (!done()) {
        if (NowMs() > end)
            return false;
        ::Sleep(4);
    }
    return true;
}

[[noreturn]] void Fail(const char* what)
{
    std::printf("FAIL: %s\n", what);
    std::fflush(stdout);
    std::exit(1);
}

HWND Gallery()
{
    HWND w = ::FindWindowW(L"TFormGallery", nullptr);
    return w != nullptr && ::IsWindowVisible(w) ? w : nullptr;
}

// The first visible popup-menu window, or null. Wine: the windows are taken
// from one snapshot of the top-level list (EnumWindows), never by searching
// on from a given window (FindWindowEx with a window to start after): the
// server loops for good when that window is being destroyed meanwhile, as
// menu windows are all the time here.
BOOL CALLBACK FindVisibleMenu(HWND w, LPARAM data)
{
    wchar_t name[16]{};
    if (::IsWindowVisible(w) && ::GetClassNameW(w, name, 15) == 6 && std::wcscmp(name, L"#32768") == 0) {
        *reinterpret_cast<HWND*>(data) = w;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleMenu()
{
    HWND found = nullptr;
    ::EnumWindows(&FindVisibleMenu, reinterpret_cast<LPARAM>(&found));
    return found;
}

RECT WindowRect(HWND w)
{
    RECT r{};
    ::GetWindowRect(w, &r);
    return r;
}

void CursorTo(int x, int y)
{
    ::SetCursorPos(x, y);
    // Wine: the move comes back from the X server a little later.
    const bool there = WaitFor(
        [&] {
            POINT p{};
            return ::GetCursorPos(&p) && p.x == x && p.y == y;
        },
        5000);
    if (!there)
        Fail("the cursor did not reach its place");
}

void Mouse(DWORD flags)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    ::SendInput(1, &in, sizeof(in));
}

void Key(WORD key)
{
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = key;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
}

bool IsLayered(HWND w) { return (::GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

// A menu window turns layered when its first item is drawn, a moment after
// it shows.
bool TurnsLayered(HWND w)
{
    return WaitFor([&] { return !::IsWindow(w) || IsLayered(w); }, 5000) && IsLayered(w);
}

// The screen's pixels along a row (Wine: read from the desktop's surface).
std::vector<COLORREF> ScreenRow(int left, int right, int y)
{
    std::vector<COLORREF> row;
    HDC screen = ::GetDC(nullptr);
    for (int x = left; x < right; ++x)
        row.push_back(::GetPixel(screen, x, y));
    ::ReleaseDC(nullptr, screen);
    return row;
}

void PrintMenu(const char* name, HWND menu)
{
    const RECT r = WindowRect(menu);
    std::printf("%s: %ld,%ld %ldx%ld layered=%d\n", name, r.left, r.top, r.right - r.left, r.bottom - r.top,
                IsLayered(menu) ? 1 : 0);
}

HWND WaitGallery()
{
    HWND w = nullptr;
    if (!WaitFor([&] { return (w = Gallery()) != nullptr; }, 60000))
        Fail("no gallery window within 60 s");
    return w;
}

// The title-bar items as the menu bar measures them: caption extent in the
// bar's font (8 pt "MS Sans Serif", -11 pixels) plus 4 each way, 8 apart.
struct Item {
    int Left, Width, Height;
};

std::vector<Item> MeasureItems(int count, char** captions)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    HFONT font = ::CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Sans Serif");
    HGDIOBJ old = ::SelectObject(dc, font);
    std::vector<Item> items;
    int x = kBarX;
    for (int i = 0; i < count; ++i) {
        wchar_t text[128]{};
        ::MultiByteToWideChar(CP_UTF8, 0, captions[i], -1, text, 127);
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text, static_cast<int>(std::wcslen(text)), &extent);
        items.push_back({x, extent.cx + 4, extent.cy + 4});
        x += extent.cx + 4 + kItemGap;
    }
    ::SelectObject(dc, old);
    ::DeleteObject(font);
    ::DeleteDC(dc);
    return items;
}

int Menubar(int count, char** captions)
{
    if (count < 2)
        Fail("menubar needs at least two captions");
    const RECT form = WindowRect(WaitGallery());
    const std::vector<Item> items = MeasureItems(count, captions);
    const auto centre = [&](int i) {
        const Item& it = items[static_cast<size_t>(i)];
        return POINT{form.left + it.Left + it.Width / 2, form.top + kBarY + it.Height / 2};
    };
    const auto expectedLeft = [&](int i) { return form.left + items[static_cast<size_t>(i)].Left - kBorderOffset; };

    // A press opens a drop-down only when it lands on a hot item whose press
    // count starts afresh, so: the cursor off the form, until the first item
    // is no longer lit (hot or pressed: its row differs from the gap beside
    // it), then onto the item until it is lit; then a press and a release,
    // and the release opens the drop-down. A press on the title bar before
    // the item is hot would drag the form instead.
    const POINT first = centre(0);
    const int rowY = form.top + kBarY - 1;  // inside the highlight, above the caption
    const auto lit = [&] {
        const Item& it = items[0];
        const std::vector<COLORREF> gap = ScreenRow(form.left + it.Left + it.Width + kItemGap / 2,
                                                    form.left + it.Left + it.Width + kItemGap / 2 + 1, rowY);
        for (COLORREF c : ScreenRow(form.left + it.Left + 2, form.left + it.Left + it.Width - 2, rowY))
            for (int shift = 0; shift <= 16; shift += 8)
                if (std::abs(static_cast<int>((c >> shift) & 0xFF) - static_cast<int>((gap[0] >> shift) & 0xFF)) > 20)
                    return true;
        return false;
    };
    HWND menu = nullptr;
    for (int attempt = 1; attempt <= 3 && menu == nullptr; ++attempt) {
        CursorTo(first.x, form.top - 40);
        if (!WaitFor([&] { return !lit(); }, 5000))
            Fail("the first title-bar item stays lit with the cursor off the form");
        CursorTo(first.x, first.y);
        if (!WaitFor(lit, 5000))
            Fail("the first title-bar item does not light up under the cursor");
        Mouse(MOUSEEVENTF_LEFTDOWN);
        Mouse(MOUSEEVENTF_LEFTUP);
        WaitFor([&] { return (menu = VisibleMenu()) != nullptr; }, 5000);
        std::printf("press attempts: %d\n", attempt);
    }
    if (menu == nullptr)
        Fail("no drop-down after pressing the first title-bar item");
    const bool layered = TurnsLayered(menu);
    PrintMenu("first drop-down", menu);
    const RECT drop = WindowRect(menu);
    std::printf("first item: %ld,%ld %dx%d\n", form.left + items[0].Left, form.top + kBarY, items[0].Width,
                items[0].Height);
    if (!layered)
        Fail("the drop-down window is not layered");
    const int belowItem = form.top + kBarY + items[0].Height;
    if (std::abs(drop.left - expectedLeft(0)) > 2 || std::abs(drop.top - belowItem) > 3)
        Fail("the drop-down is not below the first item");

    // Over each next item and back to the first: the open drop-down closes
    // and the item's own opens (20 ms after the close).
    std::vector<int> order;
    for (int i = 1; i < count; ++i)
        order.push_back(i);
    order.push_back(0);
    std::string times, closes;
    double worst = 0;
    int left = drop.left;
    for (int i : order) {
        const POINT to = centre(i);
        // The clock starts when the system has the new cursor position (Wine
        // takes it back from the X server a little after SetCursorPos), as
        // it would have a real mouse's.
        CursorTo(to.x, to.y);
        const double moved = NowMs();
        HWND now = nullptr;
        double closed = -1;
        const bool switched = WaitFor(
            [&] {
                // On screen and drawn (made layered by its first item).
                now = VisibleMenu();
                if (closed < 0 && (now == nullptr || WindowRect(now).left != left))
                    closed = NowMs() - moved;
                return now != nullptr && WindowRect(now).left != left &&
                       std::abs(WindowRect(now).left - expectedLeft(i)) <= 2 && IsLayered(now);
            },
            10000);
        const double ms = NowMs() - moved;
        if (!switched)
            Fail("moving to the next title-bar item did not open its skinned drop-down within 10 s");
        left = WindowRect(now).left;
        char buffer[32];
        std::snprintf(buffer, sizeof(buffer), "%s%.1f", times.empty() ? "" : " ", ms);
        times += buffer;
        std::snprintf(buffer, sizeof(buffer), "%s%.1f", closes.empty() ? "" : " ", closed);
        closes += buffer;
        worst = ms > worst ? ms : worst;
    }
    // From the cursor move: the open drop-down gone, the next one drawn.
    std::printf("switch closed ms: %s\n", closes.c_str());
    std::printf("switch ms: %s\n", times.c_str());
    std::printf("switch worst ms: %.1f\n", worst);
    PrintMenu("open drop-down", VisibleMenu());
    return 0;
}

int Escape()
{
    if (VisibleMenu() == nullptr)
        Fail("no open menu to close");
    const double pressed = NowMs();
    Key(VK_ESCAPE);
    if (!WaitFor([] { return VisibleMenu() == nullptr; }, 10000))
        Fail("the menu is still open 10 s after Escape");
    std::printf("closed ms: %.1f\n", NowMs() - pressed);
    return 0;
}

struct ChildSearch {
    const wchar_t* Name;
    HWND Found;
};

BOOL CALLBACK FindVisibleChild(HWND w, LPARAM data)
{
    auto* s = reinterpret_cast<ChildSearch*>(data);
    wchar_t name[64]{};
    ::GetClassNameW(w, name, 63);
    if (std::wcscmp(name, s->Name) == 0 && ::IsWindowVisible(w)) {
        s->Found = w;
        return FALSE;
    }
    return TRUE;
}

HWND FindChild(HWND parent, const wchar_t* className)
{
    ChildSearch search{className, nullptr};
    ::EnumChildWindows(parent, &FindVisibleChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// What the gallery's thread and the screen show, for a failure's message:
// the active, focus and capture windows, the menu flags, and the window
// under the point with its class.
void PrintInputState(DWORD thread, POINT at)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(thread, &info);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HWND under = ::WindowFromPoint(at);
    wchar_t name[64]{};
    ::GetClassNameW(under, name, 63);
    std::printf("input state: flags %#lx active %p focus %p capture %p menu owner %p; cursor %ld,%ld; "
                "under %ld,%ld: %p %ls\n",
                info.flags, static_cast<void*>(info.hwndActive), static_cast<void*>(info.hwndFocus),
                static_cast<void*>(info.hwndCapture), static_cast<void*>(info.hwndMenuOwner), cursor.x, cursor.y, at.x,
                at.y, static_cast<void*>(under), name);
}

int RightClick(const char* where)
{
    HWND form = WaitGallery();
    POINT at{};
    if (std::strcmp(where, "label") == 0) {
        HWND label = FindChild(form, L"TKsSkinLabel");
        if (label == nullptr)
            Fail("the gallery shows no label");
        const RECT r = WindowRect(label);
        at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    } else {
        // The free client area between the rows of labels, where the popup
        // fits inside the form (for the screenshot).
        POINT origin{0, 0};
        ::ClientToScreen(form, &origin);
        at = {origin.x + 430, origin.y + 152};
        POINT client{430, 152};
        if (::ChildWindowFromPoint(form, client) != form)
            Fail("the client point chosen is covered by a control");
    }
    // A menu whose window has gone may still run its modal loop for a
    // moment; a click then would be the loop's. Wait until the gallery's
    // thread has left menu mode too.
    const DWORD galleryThread = ::GetWindowThreadProcessId(form, nullptr);
    const auto inMenuMode = [galleryThread] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return ::GetGUIThreadInfo(galleryThread, &info) &&
               (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) != 0;
    };
    if (!WaitFor([&] { return VisibleMenu() == nullptr && !inMenuMode(); }, 10000))
        Fail("a menu is still open");
    CursorTo(at.x, at.y);
    Mouse(MOUSEEVENTF_RIGHTDOWN);
    Mouse(MOUSEEVENTF_RIGHTUP);
    HWND menu = nullptr;
    if (!WaitFor([&] { return (menu = VisibleMenu()) != nullptr; }, 10000)) {
        PrintInputState(galleryThread, at);
        Fail("no popup menu within 10 s of the right-click");
    }
    const bool layered = TurnsLayered(menu);
    // The window may show before it has reached its place.
    const bool atCursor = WaitFor(
        [&] {
            const RECT r = WindowRect(menu);
            return std::abs(r.left - at.x) <= 8 && std::abs(r.top - at.y) <= 8;
        },
        5000);
    std::printf("clicked at: %ld,%ld\n", at.x, at.y);
    PrintMenu("popup", menu);
    if (!layered)
        Fail("the popup window is not layered");
    if (!atCursor)
        Fail("the popup did not open at the cursor");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "window") == 0) {
        const RECT r = WindowRect(WaitGallery());
        CursorTo(2, 2);
        std::printf("window: %ld,%ld %ldx%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "menubar") == 0)
        return Menubar(argc - 2, argv + 2);
    if (argc == 2 && std::strcmp(argv[1], "escape") == 0)
        return Escape();
    if (argc == 3 && std::strcmp(argv[1], "rclick") == 0)
        return RightClick(argv[2]);
    std::fprintf(stderr, "usage: GalleryProbe window | menubar CAPTION... | escape | rclick label|client\n");
    return 2;
}
