// ks_bench_frame: what a skinned form costs on screen. A form carrying the
// form controller is maximised and painted whole (frame and client,
// RedrawWindow with an immediate update) again and again, timed with
// QueryPerformanceCounter, for ssColor and for ssPicture in each FillStyle;
// then a live-resize storm (200 size steps from 800 x 600 to the maximised
// size), timed per step. Run it on a 1920 x 1080 desktop (bench/frame-paint.sh
// starts one under Wine).
//
//   ks_bench_frame [paints [case [paint|resize]]]
// (case: a part of a case's name, such as "mfsStretch"; both kinds by default)
#include "framework/Forms_win.h"
#include "skin/frame/FormSkinSettings.h"
#include "skin/frame/uKsSkinForm.h"
#include "skin/resources/uKsSkinResDM.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace ks;

double Now()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER c;
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / frequency;
}

// Handles whatever is queued, for at least ms milliseconds (timers of the
// controller's first-show fade and deferred frame paint run meanwhile).
void Pump(int ms)
{
    const double until = Now() + ms;
    do {
        fw::Application->ProcessMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (Now() < until);
    fw::Application->ProcessMessages();
}

// This thread's processor time in milliseconds (coarse: the figures divide
// a whole run's time by its paints). Under load it tells what the paints
// cost apart from waiting for a processor.
double ThreadCpu()
{
    FILETIME created, exited, kernel, user;
    ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

struct TStats {
    double Median = 0, Min = 0, Max = 0;
};

TStats Summarise(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    if (v.empty())
        return {};
    return {v[v.size() / 2], v.front(), v.back()};
}

// A 640 x 400 opaque picture with detail everywhere (a BMP file, read like
// any named picture), so that no fill style gets away with flat colour.
std::string WritePicture()
{
    constexpr int w = 640, h = 400;
    const int rowBytes = (w * 3 + 3) & ~3;
    std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(rowBytes) * h, 0);
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &file[54 + static_cast<std::size_t>(y) * rowBytes + 3 * static_cast<std::size_t>(x)];
            p[0] = static_cast<std::uint8_t>(x * 255 / w);
            p[1] = static_cast<std::uint8_t>(y * 255 / h);
            p[2] = static_cast<std::uint8_t>((x ^ y) & 0xFF);
        }
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    std::wstring path = std::wstring(dir) + L"ks_bench_picture.bmp";
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ::WriteFile(f, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
    ::CloseHandle(f);
    return std::string(path.begin(), path.end());  // the temp path is ASCII under Wine
}

struct TCase {
    const char* Name;
    TKsSkinStyle Style;
    TKsFillStyle Fill;
};

constexpr TCase kCases[] = {
    {"ssColor", ssColor, mfsBlur},
    {"ssPicture mfsBlur", ssPicture, mfsBlur},
    {"ssPicture mfsTile", ssPicture, mfsTile},
    {"ssPicture mfsStretch", ssPicture, mfsStretch},
    {"ssPicture mfs9Block", ssPicture, mfs9Block},
};

std::unique_ptr<fw::TForm> MakeForm(const TCase& c, const std::string& picture)
{
    auto form = std::make_unique<fw::TForm>(nullptr);
    form->SetBounds(40, 40, 800, 600);
    auto* skin = new TKsSkinForm(form.get());
    skin->SetStyle(c.Style);
    skin->SetFillStyle(c.Fill);
    if (c.Style == ssPicture)
        skin->SetCustomPicture(picture);
    form->Show();
    Pump(300);
    return form;
}

void Redraw(HWND h)
{
    ::RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void PaintCase(const TCase& c, const std::string& picture, int paints)
{
    auto form = MakeForm(c, picture);
    HWND h = form->Handle();
    ::ShowWindow(h, SW_MAXIMIZE);
    Pump(200);
    RECT r{};
    ::GetWindowRect(h, &r);
    const double first0 = Now();
    Redraw(h);
    const double first = Now() - first0;
    std::vector<double> times;
    const double cpu0 = ThreadCpu();
    for (int i = 0; i < paints; ++i) {
        const double t0 = Now();
        Redraw(h);
        times.push_back(Now() - t0);
    }
    const double cpu = (ThreadCpu() - cpu0) / paints;
    const TStats s = Summarise(times);
    std::printf("paint  %-22s %4ld x %-4ld first %7.2f ms  then median %6.2f ms  min %6.2f  max %6.2f  "
                "cpu %6.2f ms  (%d paints)\n",
                c.Name, r.right - r.left, r.bottom - r.top, first, s.Median, s.Min, s.Max, cpu, paints);
    std::fflush(stdout);
}

// The storm itself: 200 size steps of an 800 x 600 window at 0,0 up to the
// maximised size, each followed by an immediate update of what the step
// invalidated and the messages it queued.
void Storm(HWND h, const char* name, int steps)
{
    // The largest size is the maximised one.
    ::ShowWindow(h, SW_MAXIMIZE);
    Pump(100);
    RECT full{};
    ::GetWindowRect(h, &full);
    ::ShowWindow(h, SW_RESTORE);
    ::SetWindowPos(h, nullptr, 0, 0, 800, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    Pump(200);
    const int w1 = full.right - full.left, h1 = full.bottom - full.top;
    std::vector<double> times;
    const double cpu0 = ThreadCpu();
    for (int i = 1; i <= steps; ++i) {
        const int w = 800 + (w1 - 800) * i / steps;
        const int hh = 600 + (h1 - 600) * i / steps;
        const double t0 = Now();
        ::SetWindowPos(h, nullptr, 0, 0, w, hh, SWP_NOZORDER | SWP_NOACTIVATE);
        ::RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        fw::Application->ProcessMessages();
        times.push_back(Now() - t0);
    }
    const double cpu = (ThreadCpu() - cpu0) / steps;
    const TStats s = Summarise(times);
    std::printf("resize %-22s 800 x 600 -> %d x %d in %d steps: median %6.2f ms  min %6.2f  max %6.2f  cpu %6.2f ms "
                "per step\n",
                name, w1, h1, steps, s.Median, s.Min, s.Max, cpu);
    std::fflush(stdout);
}

void ResizeStorm(const TCase& c, const std::string& picture, int steps)
{
    auto form = MakeForm(c, picture);
    Storm(form->Handle(), c.Name, steps);
}

// The window system's own share of a storm: a plain window of the system's
// frame whose client is one colour, and the same window reshaped to a
// rounded rectangle on every size change, as a skinned form is.
LRESULT CALLBACK PlainProc(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_WINDOWPOSCHANGED:
        if (::GetWindowLongPtrW(h, GWLP_USERDATA) != 0) {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lp);
            if ((pos->flags & SWP_NOSIZE) == 0)
                ::SetWindowRgn(h, ::CreateRoundRectRgn(0, 0, pos->cx + 1, pos->cy + 1, 9, 9), FALSE);
        }
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(h, &ps);
        ::FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
        ::EndPaint(h, &ps);
        return 0;
    }
    default:
        break;
    }
    return ::DefWindowProcW(h, msg, wp, lp);
}

void PlainStorm(bool rounded, int steps)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"KsBenchPlain";
    ::RegisterClassW(&wc);
    HWND h = ::CreateWindowExW(0, wc.lpszClassName, L"plain", WS_OVERLAPPEDWINDOW, 40, 40, 800, 600, nullptr,
                               nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(h, GWLP_USERDATA, rounded ? 1 : 0);
    ::ShowWindow(h, SW_SHOW);
    Pump(300);
    Storm(h, rounded ? "plain window, rounded" : "plain window", steps);
    ::DestroyWindow(h);
}

}  // namespace

int main(int argc, char** argv)
{
    const int paints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    InitializeKsSkinResDM();
    GlobalFormSkin();
    fw::Application->Initialize();
    std::printf("desktop %d x %d, work area ", ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    std::printf("%ld x %ld\n", work.right - work.left, work.bottom - work.top);
    const std::string only = argc > 2 ? argv[2] : "";
    const std::string kind = argc > 3 ? argv[3] : "";
    const auto chosen = [&](const TCase& c) {
        return only.empty() || std::string(c.Name).find(only) != std::string::npos;
    };
    const std::string picture = WritePicture();
    for (const TCase& c : kCases)
        if (chosen(c) && kind != "resize")
            PaintCase(c, picture, paints);
    for (const TCase& c : kCases)
        if (chosen(c) && kind != "paint")
            ResizeStorm(c, picture, 200);
    if (kind != "paint" && (only.empty() || only == "plain")) {
        PlainStorm(false, 200);
        PlainStorm(true, 200);
    }
    return 0;
}
