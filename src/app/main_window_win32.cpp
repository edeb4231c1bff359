// The main window: its creation step (the dial window, Turn and every
// control at a fixed place), and the teardown when it is destroyed.
//
// Creation runs on the main thread inside CreateWindowExA, before hMainWnd
// is stored and before the records exist, so it works from its window
// argument and hInst alone. Teardown closes the port, waits for the worker
// to leave its loop and only then releases the records the worker uses.
#include "app/main_window_win32.h"

#include <cstdio>

#include "app/commands_win32.h"
#include "app/globals_win32.h"
#include "app/window_actions_win32.h"
#include "app/worker_win32.h"
#include "dial/paint_win32.h"
#include "dial/turn_win32.h"
#include "serial/port_win32.h"

namespace {

constexpr DWORD kEditableList = WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
constexpr DWORD kIconButton = WS_CHILD | WS_VISIBLE | BS_ICON;
constexpr DWORD kIconToggle = WS_CHILD | WS_VISIBLE | BS_PUSHLIKE | BS_ICON | BS_AUTOCHECKBOX;
constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_LEFT;
constexpr DWORD kReadOnlyField = WS_CHILD | WS_VISIBLE | ES_READONLY;
constexpr DWORD kNumberField = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL;
static_assert(kEditableList == 0x50200002 && kButton == 0x50000000 && kIconButton == 0x50000040 &&
              kIconToggle == 0x50001043 && kLabel == 0x50000000 && kReadOnlyField == 0x50000800 &&
              kNumberField == 0x50802080);

constexpr int kDialRadius = 170;

struct ControlRow {
    const char* className;
    const char* caption;  // Windows-1251
    int id;
    DWORD style;
    int x, y, w, h;
    HWND* kept;        // the global that keeps the handle, if any
    const char* icon;  // the initial icon of an icon button or toggle
};

// In creation order, which is also the z-order.
const ControlRow kControls[] = {
    {"combobox", nullptr, 0, kEditableList, 10, 10, 100, 110, &hPortCombo, nullptr},
    {"combobox", nullptr, 0, kEditableList, 120, 10, 100, 110, &hBaudCombo, nullptr},
    {"button", "\xCE\xF2\xEA\xF0\xFB\xF2\xFC", 1, kButton, 230, 10, 75, 24, &hOpenBtn, nullptr},
    {"button", "\xC7\xE0\xEA\xF0\xFB\xF2\xFC", 2, kButton, 315, 10, 75, 24, &hCloseBtn, nullptr},
    {"button", "\xD7\xE8\xF2\xE0\xF2\xFC", 3, kButton, 420, 10, 100, 24, &hReadBtn, nullptr},
    {"button", "\xC7\xE0\xEF\xE8\xF1\xE0\xF2\xFC", 4, kButton, 420, 460, 100, 24, &hWriteBtn,
     nullptr},
    {"button", "\xC2\xEE\xF1\xF1\xF2\xE0\xED\xEE\xE2\xE8\xF2\xFC", 5, kButton, 580, 460, 100, 24,
     &hRestoreBtn, nullptr},
    {"button", "<\x97", 6, kIconButton, 10, 460, 75, 24, &hLeftBtn, "L_OFF"},
    {"button", "\x97>", 7, kIconButton, 95, 460, 75, 24, &hRightBtn, "R_OFF"},
    {"button", "RST", 8, kButton, 180, 460, 75, 24, &hResetBtn, nullptr},
    {"button", "\xC7\xE2\xF3\xEA", 9, kIconToggle, 420, 380, 24, 24, &hSoundBtn, "SND_OFF"},
    {"static", " \x97 \xE7\xE2\xF3\xEA", 0, kLabel, 445, 380, 300, 25, nullptr, nullptr},
    {"button", "\xD3\xE3\xEE\xEB", 101, kIconToggle, 420, 420, 24, 24, &hAngleBtn, "DGR_OFF"},
    {"static", " \x97 \xF3\xE3\xEE\xEB", 0, kLabel, 445, 420, 300, 25, nullptr, nullptr},
    {"button", "?", 103, kButton, 660, 10, 24, 24, &hAboutBtn, nullptr},
    {"static", "\xC2\xE5\xF0\xF1\xE8\xFF \xEC\xEA\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB:", 0, kLabel,
     10, 500, 150, 25, nullptr, nullptr},
    {"edit", "", 10, kReadOnlyField, 160, 500, 300, 24, &hVersionEdit, nullptr},
    {"edit", "0", 14, kNumberField, 420, 45, 35, 20, &hParamEdit[3], nullptr},
    {"static",
     " \xB0 \x97 \xF3\xE3\xEE\xEB \xE2\xFB\xF5\xEE\xE4\xE0 \xE8\xE7 "
     "\xED\xE5\xE9\xF2\xF0\xE0\xEB\xE8",
     0, kLabel, 455, 45, 300, 25, nullptr, nullptr},
    {"edit", "0", 11, kNumberField, 420, 85, 35, 20, &hParamEdit[0], nullptr},
    {"static",
     " \xB0 \x97 \xF3\xE3\xEE\xEB \xE2\xEA\xEB\xFE\xF7\xE5\xED\xE8\xFF "
     "\xE4\xE2\xE8\xE3\xE0\xF2\xE5\xEB\xFF",
     0, kLabel, 455, 85, 300, 25, nullptr, nullptr},
    {"edit", "0", 12, kNumberField, 420, 125, 35, 20, &hParamEdit[1], nullptr},
    {"static",
     " \xB0 \x97 \xF3\xE3\xEE\xEB \xEF\xEE\xED\xE8\xE6\xE5\xED\xE8\xFF "
     "\xF1\xEA\xEE\xF0\xEE\xF1\xF2\xE8",
     0, kLabel, 455, 125, 300, 25, nullptr, nullptr},
    {"edit", "0", 13, kNumberField, 420, 165, 35, 20, &hParamEdit[2], nullptr},
    {"static",
     " \xB0 \x97 \xF3\xE3\xEE\xEB \xE2\xF5\xEE\xE4\xE0 \xE2 \xED\xE5\xE9\xF2\xF0\xE0\xEB\xFC", 0,
     kLabel, 455, 165, 300, 25, nullptr, nullptr},
    {"edit", "0", 15, kNumberField, 420, 215, 35, 20, &hParamEdit[4], nullptr},
    {"static", " % \x97 \xF1\xF2\xE0\xF0\xF2\xEE\xE2\xE0\xFF \xF1\xEA\xEE\xF0\xEE\xF1\xF2\xFC", 0,
     kLabel, 455, 215, 300, 25, nullptr, nullptr},
    {"edit", "0", 16, kNumberField, 420, 255, 35, 20, &hParamEdit[5], nullptr},
    {"static",
     " % \x97 \xEF\xEE\xED\xE8\xE6\xE5\xED\xED\xE0\xFF \xF1\xEA\xEE\xF0\xEE\xF1\xF2\xFC", 0,
     kLabel, 455, 255, 300, 25, nullptr, nullptr},
    {"edit", "0", 17, kNumberField, 420, 295, 35, 20, &hParamEdit[6], nullptr},
    {"static", " % \x97 \xF1\xEA\xEE\xF0\xEE\xF1\xF2\xFC \xE2\xEE\xE7\xE2\xF0\xE0\xF2\xE0", 0,
     kLabel, 455, 295, 300, 25, nullptr, nullptr},
    {"edit", "0", 18, kNumberField, 420, 335, 35, 20, &hParamEdit[7], nullptr},
    {"static",
     " % \x97 \xF1\xEA\xEE\xF0\xEE\xF1\xF2\xFC \xE0\xE2\xF2\xEE\xEF\xEE\xE4\xFA\xE5\xEC\xE0", 0,
     kLabel, 455, 335, 300, 25, nullptr, nullptr},
};
static_assert(sizeof(kControls) / sizeof(kControls[0]) == 33);

const char* const kBaudRates[] = {"9600", "19200", "38400", "57600", "115200"};

void RegisterDialClass() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PaintWndProc;
    wc.hInstance = hInst;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = "Paint";
    RegisterClassA(&wc);
}

void CreateDial(HWND mainWnd) {
    hPaintWnd = CreateWindowExA(WS_EX_STATICEDGE, "Paint", nullptr, WS_CHILD | WS_VISIBLE, 10,
                                45, 400, 400, mainWnd, reinterpret_cast<HMENU>(1), hInst, nullptr);
    RECT client = {};
    GetClientRect(hPaintWnd, &client);
    // A dial window that failed to appear has an empty client rectangle:
    // the dial then still gets its record, centred on the origin.
    Turn = new zeltan::TTurn(client.right / 2, client.bottom / 2, kDialRadius);
}

void CreateControls(HWND mainWnd) {
    for (const ControlRow& row : kControls) {
        HWND control = CreateWindowExA(0, row.className, row.caption, row.style, row.x, row.y,
                                       row.w, row.h, mainWnd,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
                                       hInst, nullptr);
        if (row.kept != nullptr) {
            *row.kept = control;
        }
        if (row.icon != nullptr) {
            SetButtonIcon(hInst, control, row.icon);
        }
    }
}

void FillLists() {
    for (int n = 1; n <= 256; ++n) {
        zeltan::ProbeComPort(n);
    }
    for (const char* rate : kBaudRates) {
        SendMessageA(hBaudCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rate));
    }
    SendMessageA(hPortCombo, CB_SETCURSEL, 0, 0);
    SendMessageA(hBaudCombo, CB_SETCURSEL, 1, 0);
}

void OnCreate(HWND mainWnd) {
    RegisterDialClass();
    CreateDial(mainWnd);
    CreateControls(mainWnd);
    FillLists();
}

template <typename T>
void Release(T*& record) {
    delete record;
    record = nullptr;
}

void OnDestroy() {
    zeltan::ClosePort(Port);
    // The worker reads Port and writes Data, Marker and Counter until it
    // has left its loop. One that does not end in time keeps them: the
    // process is ending, and leaking beats freeing under a running thread.
    if (!zeltan::Worker().AwaitEnd(zeltan::kWorkerEndTimeoutMs)) {
        PostQuitMessage(0);
        return;
    }
    Release(Data);
    Release(Port);
    Release(Turn);
    Release(Marker);
    Release(Counter);
    PostQuitMessage(0);
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            OnCreate(wnd);
            break;
        case WM_COMMAND:
            zeltan::OnCommand(wParam);
            break;
        case WM_DESTROY:
            OnDestroy();
            break;
        default:
            break;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
