// Process entry: the main window class and window, the shared records, and
// the message loop of the main thread. The command line and the show command
// are not used; nothing is read from the environment or stored.
#include <windows.h>

#include "app/main_window_win32.h"
#include "base/globals_win32.h"
#include "protocol/data.h"
#include "protocol/rotor.h"
#include "serial/port_win32.h"

namespace {

constexpr int kWindowWidth = 700;
constexpr int kWindowHeight = 550;

void RegisterMainClass(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(LoadImageA(instance, "APP", IMAGE_ICON, 16, 16, LR_SHARED));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "ZELTAN";
    RegisterClassA(&wc);
}

void CreateRecords() {
    Data = new zeltan::TData();
    Port = new zeltan::TPort(hMainWnd);
    Marker = new zeltan::TMarker();
    Counter = new zeltan::TCounter();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RegisterMainClass(instance);
    hInst = instance;

    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int x = (desktop.right - kWindowWidth) / 2;
    const int y = (desktop.bottom - kWindowHeight) / 2;
    hMainWnd = CreateWindowExA(0, "ZELTAN", "ZELTAN", WS_VISIBLE | WS_CAPTION | WS_SYSMENU, x, y,
                               kWindowWidth, kWindowHeight, nullptr, nullptr, instance, nullptr);
    if (hMainWnd == nullptr) {
        // Without its window the program could never be closed: a message
        // loop with no window would run unseen for ever.
        return 1;
    }
    CreateRecords();

    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
