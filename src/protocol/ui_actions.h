#pragma once
// The window as the protocol and command logic see it: named controls and the
// few actions carried out on them. The Win32 shell maps each control to its
// window handle; tests record the actions instead. Nothing here knows a HWND.
#include <cstdint>
#include <mutex>
#include <string>

namespace zeltan {

class TData;
class TMarker;
class TCounter;

enum class Control {
    kVersionEdit,
    kParamEdit0,  // kParamEdit0 + i is hParamEdit[i]: 0..3 angles, 4..7 speeds
    kParamEdit1,
    kParamEdit2,
    kParamEdit3,
    kParamEdit4,
    kParamEdit5,
    kParamEdit6,
    kParamEdit7,
    kPortCombo,
    kBaudCombo,
    kOpenBtn,
    kSoundBtn,
    kAngleBtn,
    kLeftBtn,
    kRightBtn,
};

inline Control ParamEdit(int index) {
    return static_cast<Control>(static_cast<int>(Control::kParamEdit0) + index);
}

// Names of the icon resources put on the four icon buttons.
namespace icon {
inline constexpr const char* kLeftOff = "L_OFF";
inline constexpr const char* kLeftOn = "L_ON";
inline constexpr const char* kRightOff = "R_OFF";
inline constexpr const char* kRightOn = "R_ON";
inline constexpr const char* kSoundOff = "SND_OFF";
inline constexpr const char* kSoundOn = "SND_ON";
inline constexpr const char* kAngleOff = "DGR_OFF";
inline constexpr const char* kAngleOn = "DGR_ON";
}  // namespace icon

// What the receive loop does to the window. Each call is synchronous: it
// returns once the window has taken the change.
class UiActions {
public:
    virtual ~UiActions() = default;
    // Shows text up to its first zero byte (the window takes a C string).
    virtual void SetText(Control control, const std::string& text) = 0;
    virtual void SetIcon(Control button, const char* iconName) = 0;
    virtual void SetCheck(Control button, bool checked) = 0;
    // Marks the dial for repainting from the records.
    virtual void RefreshDial(bool erase) = 0;
};

// The records shared by the worker, the commands and the paint, and the lock
// that guards every access to them. No window call is made while it is held.
struct Records {
    TData* data;
    TMarker* marker;
    TCounter* counter;
    std::mutex* lock;
};

}  // namespace zeltan
