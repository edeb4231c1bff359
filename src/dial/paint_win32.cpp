// The dial's paint. Runs on the main thread only. The values come from the
// records that the worker and the commands write: they are copied out under
// RecordsLock and drawn after it is released, so a paint never holds the
// lock across a GDI call. Every GDI object is created and released within
// one paint; one that cannot be created leaves its part undrawn.
#include "dial/paint_win32.h"

#include <mutex>
#include <string>

#include "base/globals_win32.h"
#include "base/scoped_win32.h"
#include "dial/repaint_win32.h"
#include "dial/turn_win32.h"
#include "protocol/data.h"
#include "protocol/rotor.h"

namespace zeltan {

namespace {

constexpr COLORREF kDialColour = 0x999999;
constexpr COLORREF kArmColour = 0x3333FF;
constexpr int kCountX = 10;
constexpr int kCountY = 10;

HFONT CreateDialFont() {
    return CreateFontA(15, 0, 0, 0, FW_MEDIUM, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
}

// False while the records do not exist yet (or could not be created).
bool TakeValues(DialValues* values) {
    std::lock_guard<std::mutex> hold(RecordsLock);
    if (Data == nullptr || Marker == nullptr || Counter == nullptr) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        values->angle[i] = Data->angle[i];
    }
    for (int i = 0; i < 3; ++i) {
        values->arm[i] = Marker->arm[i];
    }
    values->count = Counter->Count();
    return true;
}

void FillBackground(HDC dc, int w, int h) {
    scoped::GdiObject<HBRUSH> background(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));
    const RECT all = {0, 0, w, h};
    if (background) {
        FillRect(dc, &all, background.get());
    }
}

}  // namespace

void DrawDialPicture(HDC dc, int w, int h, TTurn& turn, const DialValues& values) {
    scoped::GdiObject<HFONT> font(CreateDialFont());
    scoped::Selection fontSelected(dc, font.get());
    FillBackground(dc, w, h);
    turn.DrawDial(dc, kDialColour);
    for (int32_t angle : values.angle) {
        turn.DrawRay(dc, angle, kDialColour);
    }
    for (int32_t arm : values.arm) {
        turn.DrawRay(dc, arm, kArmColour);
    }
    DrawCounter(dc, values.count, kCountX, kCountY);
}

}  // namespace zeltan

void DrawCounter(HDC dc, int32_t count, int x, int y) {
    const std::string text = std::to_string(count);
    TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void PaintDial(HWND wnd, const PAINTSTRUCT& paint) {
    using namespace zeltan;
    RECT client = {};
    GetClientRect(wnd, &client);
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;

    scoped::MemoryDc memory(CreateCompatibleDC(paint.hdc));
    scoped::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(paint.hdc, w, h));
    if (!memory || !bitmap) {
        return;  // nothing to compose in; the next invalidation tries again
    }
    scoped::Selection bitmapSelected(memory.get(), bitmap.get());

    DialValues values{};
    if (Turn != nullptr && TakeValues(&values)) {
        DrawDialPicture(memory.get(), w, h, *Turn, values);
        RepaintShows(values.arm, values.count);
    } else {
        FillBackground(memory.get(), w, h);
    }
    BitBlt(paint.hdc, client.left, client.top, w, h, memory.get(), 0, 0, SRCCOPY);
}

LRESULT CALLBACK PaintWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    using namespace zeltan;
    LRESULT result = 0;
    if (HandleRepaintMessage(wnd, msg, wParam, &result)) {
        return result;
    }
    switch (msg) {
        case WM_PAINT: {
            {
                const scoped::PaintSession session(wnd);
                RepaintBegun(wnd);  // after BeginPaint, before the records are read
                PaintDial(wnd, session.paint());
            }
            RepaintDone();
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        default:
            return DefWindowProcA(wnd, msg, wParam, lParam);
    }
}

void zeltan::RegisterDialClass(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PaintWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // Never painted with: the window answers the erase request itself.
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kDialClassName;
    RegisterClassA(&wc);
}
