// The main window: its creation step (the dial window, Turn and every
// control of the control table at its place), its commands, and the
// teardown when it is destroyed.
//
// Creation runs on the main thread inside CreateWindowExA, before hMainWnd
// is stored and before the records exist, so it works from its window
// argument and hInst alone. Commands and teardown run one at a time through
// one CommandQueue (app/command_queue.h): each of them may wait for the
// worker, and none may run inside another's wait. Teardown closes the port,
// waits for the worker to leave its loop and only then releases the records
// the worker uses.
#include "app/main_window_win32.h"

#include "app/command_queue.h"
#include "app/commands_win32.h"
#include "app/worker_win32.h"
#include "base/globals_win32.h"
#include "base/window_actions_win32.h"
#include "dial/paint_win32.h"
#include "dial/turn_win32.h"
#include "protocol/data.h"
#include "protocol/rotor.h"
#include "serial/port_names.h"
#include "serial/port_win32.h"

namespace {

constexpr int kDialRadius = 170;

const char* const kBaudRates[] = {"9600", "19200", "38400", "57600", "115200"};

void CreateDial(HWND mainWnd) {
    hPaintWnd = CreateWindowExA(WS_EX_STATICEDGE, zeltan::kDialClassName, nullptr,
                                WS_CHILD | WS_VISIBLE, 10, 45, 400, 400, mainWnd,
                                reinterpret_cast<HMENU>(1), hInst, nullptr);
    RECT client = {};
    GetClientRect(hPaintWnd, &client);
    // A dial window that failed to appear has an empty client rectangle:
    // the dial then still gets its record, centred on the origin.
    Turn = new zeltan::TTurn(client.right / 2, client.bottom / 2, kDialRadius);
}

void CreateControls(HWND mainWnd) {
    for (const zeltan::ControlRow& row : zeltan::kControlTable) {
        HWND control = CreateWindowExA(0, row.className, row.caption, row.style, row.x, row.y,
                                       row.w, row.h, mainWnd,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
                                       hInst, nullptr);
        if (HWND* kept = zeltan::KeptWindow(row.key)) {
            *kept = control;
        }
        if (row.icon != nullptr) {
            SetButtonIcon(hInst, control, row.icon);
        }
    }
}

void FillLists() {
    for (int n = zeltan::kFirstComPort; n <= zeltan::kLastComPort; ++n) {
        zeltan::ProbeComPort(n);
    }
    for (const char* rate : kBaudRates) {
        SendMessageA(hBaudCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rate));
    }
    SendMessageA(hPortCombo, CB_SETCURSEL, 0, 0);
    SendMessageA(hBaudCombo, CB_SETCURSEL, 1, 0);
}

void OnCreate(HWND mainWnd) {
    zeltan::RegisterDialClass(hInst);
    CreateDial(mainWnd);
    CreateControls(mainWnd);
    FillLists();
}

template <typename T>
void Release(T*& record) {
    delete record;
    record = nullptr;
}

void Teardown() {
    zeltan::ClosePort(Port);
    // The worker reads Port and writes Data, Marker and Counter until it
    // has left its loop. One that does not end in time keeps them: the
    // process is ending, and leaking beats freeing under a running thread.
    if (zeltan::Worker().AwaitEnd(zeltan::kWorkerEndTimeoutMs)) {
        Release(Data);
        Release(Port);
        Release(Turn);
        Release(Marker);
        Release(Counter);
    }
    PostQuitMessage(0);
}

zeltan::CommandQueue& Commands() {
    static zeltan::CommandQueue queue;
    return queue;
}

}  // namespace

LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            OnCreate(wnd);
            break;
        case WM_COMMAND:
            Commands().Submit([wParam] { zeltan::OnCommand(wParam); });
            break;
        case WM_DESTROY:
            Commands().Close(&Teardown);
            break;
        default:
            break;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}
