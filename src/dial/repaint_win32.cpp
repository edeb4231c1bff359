// Pacing of the dial's repaints.
//
// A position report changes the arms about 2,900 times a second at the full
// line rate; a screen shows about 60 frames. So the worker does not
// invalidate the dial itself: it raises `repaintPending` and, only if the
// flag was down, posts kRepaintRequest to the dial. The main thread answers
// that message by invalidating at once when a frame has passed since the last
// paint, or else by a one-shot timer for the rest of the frame. Nothing runs
// while no report comes: no request, no timer.
//
// Who sets and clears what:
// - repaintPending: set by the worker (RequestDialRepaint), cleared only by
//   the main thread in the paint, after BeginPaint has validated the window
//   and before the paint reads the records under RecordsLock.
// - the pacer and `timerArmed`: main thread only.
//
// Why nothing is lost: the worker writes the records (under the lock) before
// it raises the flag. If it finds the flag already up, the paint that will
// clear it has not cleared it yet, so that paint reads the records after the
// worker's write and shows it. If it finds the flag down, it posts a new
// request, and that request ends in a paint. Clearing before BeginPaint
// would break this: a request posted between the clear and BeginPaint
// invalidates a window that BeginPaint then validates before the paint has
// read the new values, and with the flag up no request follows; the dial
// would stop moving.
//
// Repaints asked for otherwise (uncovering, Open, a parameter reply) call
// InvalidateRect as before and are served at once; they too clear the flag
// and count as the frame's paint.
#include "dial/repaint_win32.h"

#include <atomic>

#include "dial/pacing.h"

#ifdef ZELTAN_DIAL_BENCH
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>
#endif

namespace zeltan {
namespace {

constexpr UINT kRepaintRequest = WM_APP + 1;
constexpr UINT_PTR kRepaintTimer = 1;

std::atomic<bool> repaintPending{false};

// Main thread only.
FramePacer pacer;
bool timerArmed = false;

uint64_t NowUs() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<uint64_t>(now.QuadPart / frequency * 1000000 +
                                 now.QuadPart % frequency * 1000000 / frequency);
}

void ServeRequest(HWND dial) {
    if (timerArmed) {
        return;  // the armed timer serves this request too
    }
    const uint32_t delayMs = pacer.DelayMs(NowUs());
    if (delayMs == 0 || SetTimer(dial, kRepaintTimer, delayMs, nullptr) == 0) {
        InvalidateRect(dial, nullptr, FALSE);
    } else {
        timerArmed = true;
    }
}

void DisarmTimer(HWND dial) {
    if (timerArmed) {
        KillTimer(dial, kRepaintTimer);
        timerArmed = false;
    }
}

#ifdef ZELTAN_DIAL_BENCH
// Figures of the benchmark builds only: for every report that asked for a
// repaint, the time from the request to the end of the first paint that read
// the records after it; and the paints while reports came. Written to the
// file named by ZELTAN_DIAL_STATS when the dial is destroyed.
constexpr size_t kStampRing = 1 << 16;
uint64_t stamps[kStampRing];  // written by the worker before it bumps stampCount
std::atomic<uint64_t> stampCount{0};
uint64_t shownCount = 0;      // main thread: requests that a paint has covered
uint64_t readCount = 0;       // main thread: stampCount when this paint began
uint64_t firstStampUs = 0;
uint64_t lastShownUs = 0;
uint64_t streamPaints = 0;
uint64_t allPaints = 0;
uint64_t lostStamps = 0;
std::vector<uint32_t> latencyUs;
int32_t drawnArm[3] = {0, 0, 0};
int32_t drawnCount = 0;

void StampRequest() {
    const uint64_t n = stampCount.load(std::memory_order_relaxed);
    stamps[n % kStampRing] = NowUs();
    stampCount.store(n + 1, std::memory_order_release);
}

void NotePaintBegun() { readCount = stampCount.load(std::memory_order_acquire); }

void NotePaintDone() {
    const uint64_t now = NowUs();
    ++allPaints;
    if (readCount == 0) {
        return;
    }
    if (firstStampUs == 0) {
        firstStampUs = stamps[0];
    }
    ++streamPaints;
    if (readCount - shownCount > kStampRing) {
        lostStamps += readCount - shownCount - kStampRing;
        shownCount = readCount - kStampRing;
    }
    for (; shownCount < readCount; ++shownCount) {
        latencyUs.push_back(static_cast<uint32_t>(now - stamps[shownCount % kStampRing]));
    }
    lastShownUs = now;
}

void WriteStats() {
    const char* path = std::getenv("ZELTAN_DIAL_STATS");
    if (path == nullptr) {
        return;
    }
    std::FILE* out = std::fopen(path, "w");
    if (out == nullptr) {
        return;
    }
    std::vector<uint32_t> sorted = latencyUs;
    std::sort(sorted.begin(), sorted.end());
    const double seconds = lastShownUs > firstStampUs ? (lastShownUs - firstStampUs) / 1e6 : 0;
    std::fprintf(out, "requests %llu\nshown %zu\nlost %llu\npaints %llu\nstream_paints %llu\n",
                 static_cast<unsigned long long>(stampCount.load()), sorted.size(),
                 static_cast<unsigned long long>(lostStamps),
                 static_cast<unsigned long long>(allPaints),
                 static_cast<unsigned long long>(streamPaints));
    std::fprintf(out, "stream_seconds %.3f\n", seconds);
    std::fprintf(out, "arm0 %d\narm1 %d\narm2 %d\ncount %d\n", static_cast<int>(drawnArm[0]),
                 static_cast<int>(drawnArm[1]), static_cast<int>(drawnArm[2]),
                 static_cast<int>(drawnCount));
    if (!sorted.empty()) {
        std::fprintf(out, "latency_median_us %u\nlatency_p99_us %u\nlatency_worst_us %u\n",
                     sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100], sorted.back());
    }
    std::fclose(out);
}
#else
void StampRequest() {}
void NotePaintBegun() {}
void NotePaintDone() {}
void WriteStats() {}
#endif

}  // namespace

bool HandleRepaintMessage(HWND dial, UINT msg, WPARAM wParam, LRESULT* result) {
    switch (msg) {
        case kRepaintRequest:
            ServeRequest(dial);
            break;
        case WM_TIMER:
            if (wParam != kRepaintTimer) {
                return false;
            }
            DisarmTimer(dial);
            InvalidateRect(dial, nullptr, FALSE);
            break;
        case WM_DESTROY:
            DisarmTimer(dial);
            WriteStats();
            return false;  // the default handling goes on
        default:
            return false;
    }
    *result = 0;
    return true;
}

void RepaintBegun(HWND dial) {
    // This paint serves whatever request is outstanding: its timer is no
    // longer needed, and a request raised from now on must be posted anew.
    DisarmTimer(dial);
    repaintPending.store(false);
    pacer.Painted(NowUs());
    NotePaintBegun();
}

void RepaintDone() { NotePaintDone(); }

void RepaintShows(const int32_t arm[3], int32_t count) {
#ifdef ZELTAN_DIAL_BENCH
    for (int i = 0; i < 3; ++i) {
        drawnArm[i] = arm[i];
    }
    drawnCount = count;
#else
    (void)arm;
    (void)count;
#endif
}

}  // namespace zeltan

void RequestDialRepaint(HWND dial) {
    zeltan::StampRequest();
#ifdef ZELTAN_UNPACED
    // The benchmark's measure of the unpaced dial: every report invalidates.
    InvalidateRect(dial, nullptr, FALSE);
#else
    if (!zeltan::repaintPending.exchange(true)) {
        if (!PostMessageA(dial, zeltan::kRepaintRequest, 0, 0)) {
            zeltan::repaintPending.store(false);  // no dial to ask: the next report tries again
        }
    }
#endif
}
