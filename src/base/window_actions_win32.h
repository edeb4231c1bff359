#pragma once
// The window actions of the portable logic carried out on the main window's
// controls. Used by the worker (replies) and by the main thread (commands);
// every call here is a plain window call, so none may be made while
// RecordsLock is held.
#include <windows.h>

#include "base/ui_actions.h"

// Puts a named 16 x 16 icon resource of the module on a button. The icon is
// loaded shared: the platform keeps one copy per name and none is destroyed.
LRESULT SetButtonIcon(HINSTANCE instance, HWND button, const char* iconName);

namespace zeltan {

class WindowActions : public virtual UiActions {
public:
    void SetText(Control control, const std::string& text) override;
    void SetIcon(Control button, const char* iconName) override;
    void SetCheck(Control button, bool checked) override;
    void RefreshDial(bool erase) override;
};

// The shared records as the portable logic takes them.
Records GlobalRecords();

}  // namespace zeltan
