#pragma once
#include <windows.h>

// The main window's procedure: WM_CREATE builds the controls, WM_COMMAND runs
// the operator's commands, WM_DESTROY tears the program down. Every message
// then goes on to DefWindowProcA, whose result is returned.
LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
