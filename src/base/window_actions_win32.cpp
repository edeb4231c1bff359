#include "base/window_actions_win32.h"

#include "base/globals_win32.h"

LRESULT SetButtonIcon(HINSTANCE instance, HWND button, const char* iconName) {
    HANDLE icon = LoadImageA(instance, iconName, IMAGE_ICON, 16, 16, LR_SHARED);
    return SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

namespace zeltan {

void WindowActions::SetText(Control control, const std::string& text) {
    SetWindowTextA(ControlWindow(control), text.c_str());
}

void WindowActions::SetIcon(Control button, const char* iconName) {
    SetButtonIcon(hInst, ControlWindow(button), iconName);
}

void WindowActions::SetCheck(Control button, bool checked) {
    SendMessageA(ControlWindow(button), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void WindowActions::RefreshDial(bool erase) { InvalidateRect(hPaintWnd, nullptr, erase); }

Records GlobalRecords() { return Records{Data, Marker, Counter, &RecordsLock}; }

}  // namespace zeltan
