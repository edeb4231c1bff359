// Finding the program's windows from outside and describing them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace uidriver {

// The visible top-level window of CLASS, or nullptr.
HWND FindMainWindow(const std::string& window_class);

// Direct children of PARENT in z-order, topmost (first created) first.
std::vector<HWND> Children(HWND parent);

// A child named by "#INDEX" (z-order), "CLASS:ID" or "ID" (the only child
// with that id). On failure returns nullptr and says why in ERROR.
HWND ResolveChild(HWND main, const std::string& name, std::string& error);

std::string ClassOf(HWND window);
// "x,y,w,h" of a rectangle.
std::string RectText(const RECT& rect);
// The window's rectangle in the client coordinates of RELATIVE_TO.
RECT RectIn(HWND window, HWND relative_to);

// A visible dialog-class window of process PID (0: any process), or nullptr.
HWND FindMessageBox(DWORD pid);

}  // namespace uidriver
