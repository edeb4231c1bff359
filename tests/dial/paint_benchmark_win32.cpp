// Prints how many whole dial pictures per second one paint composes and
// copies, beside the rate of position reports at 115200 baud. A figure, not
// a pass/fail limit.
#include <windows.h>

#include <cstdio>

#include "app/globals_win32.h"
#include "dial/paint_win32.h"
#include "dial/turn_win32.h"

int main() {
    constexpr int kSize = 398;
    constexpr int kPaints = 2000;
    HDC screen = GetDC(nullptr);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP targetBitmap = CreateCompatibleBitmap(screen, kSize, kSize);
    HGDIOBJ oldTarget = SelectObject(target, targetBitmap);
    zeltan::TTurn turn(199, 199, 170);
    zeltan::DialValues values = {{120, 100, 60, 30}, {0, 120, 240}, 0};

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kPaints; ++i) {
        // What PaintDial does per paint: a memory context and bitmap, the
        // picture, one block copy, everything released.
        HDC memory = CreateCompatibleDC(target);
        HBITMAP bitmap = CreateCompatibleBitmap(target, kSize, kSize);
        HGDIOBJ old = SelectObject(memory, bitmap);
        values.arm[0] = i % 360;
        values.arm[1] = (i + 120) % 360;
        values.arm[2] = (i + 240) % 360;
        values.count = i;
        zeltan::DrawDialPicture(memory, kSize, kSize, turn, values);
        BitBlt(target, 0, 0, kSize, kSize, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    QueryPerformanceCounter(&end);
    const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    std::printf("dial paint: %.0f paints/s (%d paints in %.2f s); position reports at 115200 "
                "baud: about 2900/s\n",
                kPaints / seconds, kPaints, seconds);

    // The same through the dial window itself: invalidate and paint.
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PaintWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Paint";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(WS_EX_STATICEDGE, "Paint", nullptr, WS_POPUP | WS_VISIBLE, 0, 0,
                               400, 400, nullptr, nullptr, wc.hInstance, nullptr);
    Turn = new zeltan::TTurn(199, 199, 170);
    Data = new zeltan::TData();
    Marker = new zeltan::TMarker();
    Counter = new zeltan::TCounter();
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kPaints; ++i) {
        Marker->Update(i);
        InvalidateRect(wnd, nullptr, FALSE);
        UpdateWindow(wnd);
    }
    QueryPerformanceCounter(&end);
    const double windowSeconds =
        double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    std::printf("dial window: %.0f paints/s through WM_PAINT (%d paints in %.2f s)\n",
                kPaints / windowSeconds, kPaints, windowSeconds);
    DestroyWindow(wnd);

    SelectObject(target, oldTarget);
    DeleteObject(targetBitmap);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
    return 0;
}
