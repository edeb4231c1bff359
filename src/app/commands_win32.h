#pragma once
// The operator's commands on the real window, port and worker.
#include <windows.h>

namespace zeltan {

// WM_COMMAND of the main window: the control id is the low word of wParam.
void OnCommand(WPARAM wParam);

}  // namespace zeltan
