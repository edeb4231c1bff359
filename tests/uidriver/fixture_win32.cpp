// A stand-in for the program's main window, for testing the UI driver: a
// window of class "ZELTAN" with one child of each kind the driver works.
#include <windows.h>

namespace {

enum : int {
    kBoxButton = 1,  // shares its id with the label, as the program's controls do
    kNumberField = 11,
    kToggle = 9,
    kIconButton = 6,
    kDisabledButton = 5,
    kBlackSquare = 7,
};

void SetIcon(HWND button, const char* name) {
    HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_ICON, 16, 16, LR_SHARED);
    SendMessageA(button, BM_SETIMAGE, IMAGE_ICON, LPARAM(icon));
}

HWND Add(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
         int id) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           HMENU(INT_PTR(id)), GetModuleHandleA(nullptr), nullptr);
}

void CreateChildren(HWND window) {
    Add(window, "button", "\xca\xed\xee\xef\xea\xe0", 0, 10, 10, 80, 24, kBoxButton);  // Кнопка
    Add(window, "edit", "0", WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL, 10, 40, 35, 20, kNumberField);
    HWND combo = Add(window, "combobox", "", WS_VSCROLL | CBS_DROPDOWN, 10, 70, 100, 110, 0);
    SendMessageA(combo, CB_ADDSTRING, 0, LPARAM("9600"));
    SendMessageA(combo, CB_ADDSTRING, 0, LPARAM("19200"));
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    HWND toggle = Add(window, "button", "\xc7\xe2\xf3\xea", BS_PUSHLIKE | BS_ICON | BS_AUTOCHECKBOX,
                      150, 10, 24, 24, kToggle);  // Звук
    SetIcon(toggle, "SND_OFF");
    Add(window, "static", "\xcc\xe5\xf2\xea\xe0", 0, 180, 10, 100, 25, kBoxButton);  // Метка
    HWND arrow = Add(window, "button", "<\x97", BS_ICON, 150, 40, 75, 24, kIconButton);
    SetIcon(arrow, "L_OFF");
    EnableWindow(Add(window, "button", "off", 0, 150, 70, 75, 24, kDisabledButton), FALSE);
    Add(window, "static", "", SS_BLACKRECT, 300, 10, 20, 20, kBlackSquare);
}

LRESULT CALLBACK FixtureProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            CreateChildren(window);
            break;
        case WM_COMMAND:
            if (LOWORD(wparam) == kBoxButton) {
                // Текст / Заголовок
                MessageBoxA(window, "\xd2\xe5\xea\xf1\xf2", "\xc7\xe0\xe3\xee\xeb\xee\xe2\xee\xea",
                            MB_OK | MB_ICONWARNING);
            } else if (LOWORD(wparam) == kToggle) {
                HWND toggle = HWND(lparam);
                bool on = SendMessageA(toggle, BM_GETCHECK, 0, 0) == BST_CHECKED;
                SetIcon(toggle, on ? "SND_ON" : "SND_OFF");
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = FixtureProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    cls.lpszClassName = "ZELTAN";
    RegisterClassA(&cls);
    CreateWindowExA(0, "ZELTAN", "\xd2\xe5\xf1\xf2", WS_VISIBLE | WS_CAPTION | WS_SYSMENU, 50, 60,
                    400, 300, nullptr, nullptr, instance, nullptr);  // Тест
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return int(msg.wParam);
}
