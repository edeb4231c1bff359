#pragma once
// The dial window: a child of class "Paint" that shows the dial, the four
// configured angles, the rotor's three arms and the pass count in one
// flicker-free picture, built off-screen and copied in one block.
#include <windows.h>

#include <cstdint>

namespace zeltan {

class TTurn;

// What one paint shows, taken out of the shared records under their lock.
struct DialValues {
    int32_t angle[4];
    int32_t arm[3];
    int32_t count;
};

// The whole picture of w x h into dc (the memory context of a paint, or a
// test's context): background, dial, rays and count.
void DrawDialPicture(HDC dc, int w, int h, TTurn& turn, const DialValues& values);

// The dial window's class.
inline constexpr const char* kDialClassName = "Paint";
// Registers kDialClassName with PaintWndProc in the module; the result is
// not looked at (a second registration fails harmlessly).
void RegisterDialClass(HINSTANCE instance);

}  // namespace zeltan

LRESULT CALLBACK PaintWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Redraws the whole client area into the context of a BeginPaint.
void PaintDial(HWND wnd, const PAINTSTRUCT& paint);
// The value in decimal at (x, y) in the context's font, colour and mode.
void DrawCounter(HDC dc, int32_t count, int x, int y);
