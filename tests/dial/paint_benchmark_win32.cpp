// Prints how many whole dial pictures per second the real paint composes
// and copies, beside the rate of position reports at 115200 baud: once
// straight into a memory context, once through the dial window's own
// WM_PAINT. Figures, not pass/fail limits.
#include <windows.h>

#include <cstdio>

#include "base/globals_win32.h"
#include "base/scoped_win32.h"
#include "dial/paint_win32.h"
#include "dial/turn_win32.h"
#include "protocol/data.h"
#include "protocol/rotor.h"

namespace {

constexpr int kPaints = 2000;

double Seconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

template <typename PaintOnce>
double TimePaints(PaintOnce paintOnce) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kPaints; ++i) {
        Marker->Update(i);
        Counter->count = i;
        paintOnce();
    }
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

}  // namespace

int main() {
    using namespace zeltan;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterDialClass(instance);
    const scoped::Window wnd(CreateWindowExA(WS_EX_STATICEDGE, kDialClassName, nullptr,
                                             WS_POPUP | WS_VISIBLE, 0, 0, 400, 400, nullptr,
                                             nullptr, instance, nullptr));
    RECT client = {};
    GetClientRect(wnd.get(), &client);
    Turn = new TTurn(client.right / 2, client.bottom / 2, 170);
    Data = new TData();
    Marker = new TMarker();
    Counter = new TCounter();
    for (int i = 0; i < 4; ++i) {
        Data->angle[i] = 30 * (i + 1);
    }

    // PaintDial into the context a paint would have, without the window's
    // message round trip.
    const scoped::WindowDc screen(nullptr);
    const scoped::MemoryDc target(CreateCompatibleDC(screen.get()));
    const scoped::GdiObject<HBITMAP> targetBitmap(
        CreateCompatibleBitmap(screen.get(), client.right, client.bottom));
    const scoped::Selection targetSelected(target.get(), targetBitmap.get());
    PAINTSTRUCT paint = {};
    paint.hdc = target.get();
    const double direct = TimePaints([&] { PaintDial(wnd.get(), paint); });
    std::printf("dial paint: %.0f paints/s (%d paints in %.2f s); position reports at 115200 "
                "baud: about 2900/s\n",
                kPaints / direct, kPaints, direct);

    const double windowed = TimePaints([&] {
        InvalidateRect(wnd.get(), nullptr, FALSE);
        UpdateWindow(wnd.get());
    });
    std::printf("dial window: %.0f paints/s through WM_PAINT (%d paints in %.2f s)\n",
                kPaints / windowed, kPaints, windowed);
    return 0;
}
