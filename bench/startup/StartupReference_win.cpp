// The start-up benchmark's yardstick: what any plain Win32 program needs to
// do the launcher's job. A 330 x 100 window centred on the desktop with the
// waiting text in the main form's font (so that, like the launcher, it needs
// the CJK font), the address opened on the first 500 ms tick and the process
// ended on the second, as the launcher does.
#include <windows.h>
#include <shellapi.h>

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerInterval = 500;
constexpr int kWidth = 330;
constexpr int kHeight = 100;
constexpr wchar_t kTitle[] = L"Tarvel\u5DE5\u7A0B\u7BA1\u7406\u670D\u52A1\u5E73\u53F0";
constexpr wchar_t kWaiting[] = L"\u6B63\u5728\u52AA\u529B\u52A0\u8F7D\u4E2D";
constexpr wchar_t kAddress[] = L"" KS_WEB_ADDRESS;

int g_ticks = 0;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client;
        GetClientRect(window, &client);
        SetBkMode(dc, TRANSPARENT);
        HFONT font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Sans Serif");
        HGDIOBJ old = SelectObject(dc, font);
        DrawTextW(dc, kWaiting, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, old);
        DeleteObject(font);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_TIMER:
        if (++g_ticks == 1)
            ShellExecuteW(window, nullptr, kAddress, nullptr, nullptr, SW_SHOWNORMAL);
        else if (g_ticks == 2)
            TerminateProcess(GetCurrentProcess(), 0);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"StartupReference";
    RegisterClassW(&wc);
    RECT desktop;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &desktop, 0);
    HWND window = CreateWindowExW(
        0, wc.lpszClassName, kTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU, (desktop.left + desktop.right - kWidth) / 2,
        (desktop.top + desktop.bottom - kHeight) / 2, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    SetTimer(window, kTimerId, kTimerInterval, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
