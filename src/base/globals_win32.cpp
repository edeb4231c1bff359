#include "base/globals_win32.h"

zeltan::TData* Data = nullptr;
zeltan::TPort* Port = nullptr;
zeltan::TTurn* Turn = nullptr;
zeltan::TMarker* Marker = nullptr;
zeltan::TCounter* Counter = nullptr;
zeltan::TThread* Thread = nullptr;

HWND hMainWnd = nullptr;
HWND hPaintWnd = nullptr;
HWND hVersionEdit = nullptr;
HWND hParamEdit[8] = {};
HWND hPortCombo = nullptr;
HWND hBaudCombo = nullptr;
HWND hOpenBtn = nullptr;
HWND hCloseBtn = nullptr;
HWND hReadBtn = nullptr;
HWND hWriteBtn = nullptr;
HWND hRestoreBtn = nullptr;
HWND hLeftBtn = nullptr;
HWND hRightBtn = nullptr;
HWND hResetBtn = nullptr;
HWND hSoundBtn = nullptr;
HWND hAngleBtn = nullptr;
HWND hAboutBtn = nullptr;
HINSTANCE hInst = nullptr;

std::mutex& RecordsLock = *new std::mutex();

namespace zeltan {

// The handle column of the control table, expanded with the globals
// themselves.
static_assert(style::kEditableList == (WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN));
static_assert(style::kButton == (WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON));
static_assert(style::kIconButton == (WS_CHILD | WS_VISIBLE | BS_ICON));
static_assert(style::kIconToggle ==
              (WS_CHILD | WS_VISIBLE | BS_PUSHLIKE | BS_ICON | BS_AUTOCHECKBOX));
static_assert(style::kLabel == (WS_CHILD | WS_VISIBLE | SS_LEFT));
static_assert(style::kReadOnlyField == (WS_CHILD | WS_VISIBLE | ES_READONLY));
static_assert(style::kNumberField ==
              (WS_CHILD | WS_VISIBLE | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL));

HWND* KeptWindow(Control control) {
#define KEPT(handle) &handle
#define UNKEPT nullptr
#define ZELTAN_KEPT_WINDOW(key, cls, caption, id, kind, x, y, w, h, kept, icon) kept,
    static HWND* const kept[] = {ZELTAN_CONTROL_TABLE(ZELTAN_KEPT_WINDOW)};
#undef ZELTAN_KEPT_WINDOW
#undef KEPT
#undef UNKEPT
    const int index = static_cast<int>(control);
    return index >= 0 && index < kControlCount ? kept[index] : nullptr;
}

HWND ControlWindow(Control control) {
    HWND* kept = KeptWindow(control);
    return kept != nullptr ? *kept : nullptr;
}

}  // namespace zeltan
