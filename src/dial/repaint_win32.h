#pragma once
// When the dial repaints: at once when the platform or a command asks, at
// most once per frame when the worker asks after each position report.
#include <windows.h>

#include <cstdint>

// Worker side: asks the main thread to repaint the dial within a frame. Does
// nothing while a repaint asked for this way has not yet begun.
void RequestDialRepaint(HWND dial);

namespace zeltan {

// Main thread side, called by the dial's window procedure.
// A message of the dial's own: true (and *result set) when it was one.
bool HandleRepaintMessage(HWND dial, UINT msg, WPARAM wParam, LRESULT* result);
// Right after BeginPaint, before the paint reads the records.
void RepaintBegun(HWND dial);
// Right after EndPaint.
void RepaintDone();
// What the paint drew: kept by the benchmark builds for their figures.
void RepaintShows(const int32_t arm[3], int32_t count);

}  // namespace zeltan
