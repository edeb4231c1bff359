#include "app/window_actions_win32.h"

#include "app/globals_win32.h"
#include "dial/repaint_win32.h"

LRESULT SetButtonIcon(HINSTANCE instance, HWND button, const char* iconName) {
    HANDLE icon = LoadImageA(instance, iconName, IMAGE_ICON, 16, 16, LR_SHARED);
    return SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
}

namespace zeltan {

HWND ControlWindow(Control control) {
    switch (control) {
        case Control::kVersionEdit:
            return hVersionEdit;
        case Control::kPortCombo:
            return hPortCombo;
        case Control::kBaudCombo:
            return hBaudCombo;
        case Control::kOpenBtn:
            return hOpenBtn;
        case Control::kSoundBtn:
            return hSoundBtn;
        case Control::kAngleBtn:
            return hAngleBtn;
        case Control::kLeftBtn:
            return hLeftBtn;
        case Control::kRightBtn:
            return hRightBtn;
        default:
            break;
    }
    const int index = static_cast<int>(control) - static_cast<int>(Control::kParamEdit0);
    return index >= 0 && index < 8 ? hParamEdit[index] : nullptr;
}

void WindowActions::SetText(Control control, const std::string& text) {
    SetWindowTextA(ControlWindow(control), text.c_str());
}

void WindowActions::SetIcon(Control button, const char* iconName) {
    SetButtonIcon(hInst, ControlWindow(button), iconName);
}

void WindowActions::SetCheck(Control button, bool checked) {
    SendMessageA(ControlWindow(button), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// A refresh with erase comes from a parameter reply: the dial repaints at
// once. One without comes after each position report that moved the arms:
// the dial repaints within a frame, at most once per frame.
void WindowActions::RefreshDial(bool erase) {
    if (erase) {
        InvalidateRect(hPaintWnd, nullptr, TRUE);
    } else {
        RequestDialRepaint(hPaintWnd);
    }
}

Records GlobalRecords() { return Records{Data, Marker, Counter, &RecordsLock}; }

}  // namespace zeltan
