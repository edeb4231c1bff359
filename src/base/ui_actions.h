#pragma once
// The window as the protocol and command logic see it: the controls of the
// control table, named by their keys, and the few actions carried out on
// them. The Win32 side (base/window_actions_win32) carries them out on the
// real controls; tests record them instead. Nothing here knows a HWND.
#include <cstdint>
#include <mutex>
#include <string>

#include "base/controls.h"

namespace zeltan {

class TData;
class TMarker;
class TCounter;

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
