#pragma once
// The main window's controls, each written down once, in this table: the
// main window creates them from it, the commands and the receive loop name
// them by its keys, and the tests and tools find them through it. Nothing
// else repeats a class, caption, id, style, place or icon of a control.
//
// Portable: the styles are the platform's style words as numbers, and the
// window that keeps each control's handle is named, not referenced; the
// Win32 side expands the same table with the handles themselves
// (base/globals_win32.cpp).
#include <cstdint>

#include "resources/icon_names.h"

namespace zeltan {

// The kinds of control, as whole window style words.
namespace style {
// WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN: pick an entry or type any text
inline constexpr uint32_t kEditableList = 0x50200002;
// WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON
inline constexpr uint32_t kButton = 0x50000000;
// WS_CHILD | WS_VISIBLE | BS_ICON: shows its icon instead of its caption
inline constexpr uint32_t kIconButton = 0x50000040;
// WS_CHILD | WS_VISIBLE | BS_PUSHLIKE | BS_ICON | BS_AUTOCHECKBOX: flips at each click
inline constexpr uint32_t kIconToggle = 0x50001043;
// WS_CHILD | WS_VISIBLE | SS_LEFT
inline constexpr uint32_t kLabel = 0x50000000;
// WS_CHILD | WS_VISIBLE | ES_READONLY, no border
inline constexpr uint32_t kReadOnlyField = 0x50000800;
// WS_CHILD | WS_VISIBLE | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL: digits only
inline constexpr uint32_t kNumberField = 0x50802080;
}  // namespace style

// In creation order, which is also the z-order. Columns:
//   key, class, caption (Windows-1251), id, style, x, y, width, height
//   (client pixels of the main window; a combo box's height includes its
//   list), the global that keeps the handle (KEPT(h), or UNKEPT), and the
//   initial icon of an icon button or toggle (or nullptr).
// The angle fields are not in index order: the top one is hParamEdit[3].
// clang-format off
#define ZELTAN_CONTROL_TABLE(X) \
    X(PortCombo,   "combobox", nullptr,                           0, kEditableList,  10,  10, 100, 110, KEPT(hPortCombo),    nullptr) \
    X(BaudCombo,   "combobox", nullptr,                           0, kEditableList, 120,  10, 100, 110, KEPT(hBaudCombo),    nullptr) \
    X(OpenBtn,     "button", "\xCE\xF2\xEA\xF0\xFB\xF2\xFC",      1, kButton,       230,  10,  75,  24, KEPT(hOpenBtn),      nullptr) \
    X(CloseBtn,    "button", "\xC7\xE0\xEA\xF0\xFB\xF2\xFC",      2, kButton,       315,  10,  75,  24, KEPT(hCloseBtn),     nullptr) \
    X(ReadBtn,     "button", "\xD7\xE8\xF2\xE0\xF2\xFC",          3, kButton,       420,  10, 100,  24, KEPT(hReadBtn),      nullptr) \
    X(WriteBtn,    "button", "\xC7\xE0\xEF\xE8\xF1\xE0\xF2\xFC",  4, kButton,       420, 460, 100,  24, KEPT(hWriteBtn),     nullptr) \
    X(RestoreBtn,  "button", "\xC2\xEE\xF1\xF1\xF2\xE0\xED\xEE\xE2\xE8\xF2\xFC", \
                                                                  5, kButton,       580, 460, 100,  24, KEPT(hRestoreBtn),   nullptr) \
    X(LeftBtn,     "button", "<\x97",                             6, kIconButton,    10, 460,  75,  24, KEPT(hLeftBtn),      icon::L_OFF) \
    X(RightBtn,    "button", "\x97>",                             7, kIconButton,    95, 460,  75,  24, KEPT(hRightBtn),     icon::R_OFF) \
    X(ResetBtn,    "button", "RST",                               8, kButton,       180, 460,  75,  24, KEPT(hResetBtn),     nullptr) \
    X(SoundBtn,    "button", "\xC7\xE2\xF3\xEA",                  9, kIconToggle,   420, 380,  24,  24, KEPT(hSoundBtn),     icon::SND_OFF) \
    X(SoundLabel,  "static", " \x97 \xE7\xE2\xF3\xEA",            0, kLabel,        445, 380, 300,  25, UNKEPT,              nullptr) \
    X(AngleBtn,    "button", "\xD3\xE3\xEE\xEB",                101, kIconToggle,   420, 420,  24,  24, KEPT(hAngleBtn),     icon::DGR_OFF) \
    X(AngleLabel,  "static", " \x97 \xF3\xE3\xEE\xEB",            0, kLabel,        445, 420, 300,  25, UNKEPT,              nullptr) \
    X(AboutBtn,    "button", "?",                               103, kButton,       660,  10,  24,  24, KEPT(hAboutBtn),     nullptr) \
    X(VersionLabel,"static", "\xC2\xE5\xF0\xF1\xE8\xFF \xEC\xEA\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB:", \
                                                                  0, kLabel,         10, 500, 150,  25, UNKEPT,              nullptr) \
    X(VersionEdit, "edit", "",                                   10, kReadOnlyField, 160, 500, 300, 24, KEPT(hVersionEdit),  nullptr) \
    X(ParamEdit3,  "edit", "0",                                  14, kNumberField,  420,  45,  35,  20, KEPT(hParamEdit[3]), nullptr) \
    X(ParamLabel3, "static", " \xB0 \x97 \xF3\xE3\xEE\xEB \xE2\xFB\xF5\xEE\xE4\xE0 \xE8\xE7 \xED\xE5\xE9\xF2\xF0\xE0\xEB\xE8", \
                                                                  0, kLabel,        455,  45, 300,  25, UNKEPT,              nullptr) \
    X(ParamEdit0,  "edit", "0",                                  11, kNumberField,  420,  85,  35,  20, KEPT(hParamEdit[0]), nullptr) \
    X(ParamLabel0, "static", " \xB0 \x97 \xF3\xE3\xEE\xEB \xE2\xEA\xEB\xFE\xF7\xE5\xED\xE8\xFF \xE4\xE2\xE8\xE3\xE0\xF2\xE5\xEB\xFF", \
                                                                  0, kLabel,        455,  85, 300,  25, UNKEPT,              nullptr) \
    X(ParamEdit1,  "edit", "0",                                  12, kNumberField,  420, 125,  35,  20, KEPT(hParamEdit[1]), nullptr) \
    X(ParamLabel1, "static", " \xB0 \x97 \xF3\xE3\xEE\xEB \xEF\xEE\xED\xE8\xE6\xE5\xED\xE8\xFF \xF1\xEA\xEE\xF0\xEE\xF1\xF2\xE8", \
                                                                  0, kLabel,        455, 125, 300,  25, UNKEPT,              nullptr) \
    X(ParamEdit2,  "edit", "0",                                  13, kNumberField,  420, 165,  35,  20, KEPT(hParamEdit[2]), nullptr) \
    X(ParamLabel2, "static", " \xB0 \x97 \xF3\xE3\xEE\xEB \xE2\xF5\xEE\xE4\xE0 \xE2 \xED\xE5\xE9\xF2\xF0\xE0\xEB\xFC", \
                                                                  0, kLabel,        455, 165, 300,  25, UNKEPT,              nullptr) \
    X(ParamEdit4,  "edit", "0",                                  15, kNumberField,  420, 215,  35,  20, KEPT(hParamEdit[4]), nullptr) \
    X(ParamLabel4, "static", " % \x97 \xF1\xF2\xE0\xF0\xF2\xEE\xE2\xE0\xFF \xF1\xEA\xEE\xF0\xEE\xF1\xF2\xFC", \
                                                                  0, kLabel,        455, 215, 300,  25, UNKEPT,              nullptr) \
    X(ParamEdit5,  "edit", "0",                                  16, kNumberField,  420, 255,  35,  20, KEPT(hParamEdit[5]), nullptr) \
    X(ParamLabel5, "static", " % \x97 \xEF\xEE\xED\xE8\xE6\xE5\xED\xED\xE0\xFF \xF1\xEA\xEE\xF0\xEE\xF1\xF2\xFC", \
                                                                  0, kLabel,        455, 255, 300,  25, UNKEPT,              nullptr) \
    X(ParamEdit6,  "edit", "0",                                  17, kNumberField,  420, 295,  35,  20, KEPT(hParamEdit[6]), nullptr) \
    X(ParamLabel6, "static", " % \x97 \xF1\xEA\xEE\xF0\xEE\xF1\xF2\xFC \xE2\xEE\xE7\xE2\xF0\xE0\xF2\xE0", \
                                                                  0, kLabel,        455, 295, 300,  25, UNKEPT,              nullptr) \
    X(ParamEdit7,  "edit", "0",                                  18, kNumberField,  420, 335,  35,  20, KEPT(hParamEdit[7]), nullptr) \
    X(ParamLabel7, "static", " % \x97 \xF1\xEA\xEE\xF0\xEE\xF1\xF2\xFC \xE0\xE2\xF2\xEE\xEF\xEE\xE4\xFA\xE5\xEC\xE0", \
                                                                  0, kLabel,        455, 335, 300,  25, UNKEPT,              nullptr)
// clang-format on

// The key of each control, in table order.
enum class Control {
#define ZELTAN_CONTROL_KEY(key, ...) k##key,
    ZELTAN_CONTROL_TABLE(ZELTAN_CONTROL_KEY)
#undef ZELTAN_CONTROL_KEY
};

struct ControlRow {
    Control key;
    const char* name;       // the key as text ("OpenBtn")
    const char* className;
    const char* caption;    // nullptr: none
    int id;
    uint32_t style;
    int x, y, w, h;
    const char* keptIn;     // the global that keeps the handle; nullptr: not kept
    const char* icon;       // initial icon; nullptr: none
};

#define KEPT(handle) #handle
#define UNKEPT nullptr
#define ZELTAN_CONTROL_ROW(key, cls, caption, id, kind, x, y, w, h, kept, icon) \
    {Control::k##key, #key, cls, caption, id, style::kind, x, y, w, h, kept, icon},
inline constexpr ControlRow kControlTable[] = {ZELTAN_CONTROL_TABLE(ZELTAN_CONTROL_ROW)};
#undef ZELTAN_CONTROL_ROW
#undef KEPT
#undef UNKEPT

inline constexpr int kControlCount = sizeof(kControlTable) / sizeof(kControlTable[0]);

constexpr const ControlRow& RowOf(Control key) { return kControlTable[static_cast<int>(key)]; }

// The child-window id a control carries; commands are told apart by it.
constexpr int IdOf(Control key) { return RowOf(key).id; }

// The eight parameter fields by index: 0..3 the angles, 4..7 the speeds.
inline constexpr Control kParamEdits[8] = {
    Control::kParamEdit0, Control::kParamEdit1, Control::kParamEdit2, Control::kParamEdit3,
    Control::kParamEdit4, Control::kParamEdit5, Control::kParamEdit6, Control::kParamEdit7,
};
constexpr Control ParamEdit(int index) { return kParamEdits[index]; }

}  // namespace zeltan
