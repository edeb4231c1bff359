// Benchmark: bytes per second through ReceiveByte from a stand-in (COM14)
// sending a burst of position reports as fast as the line takes them, beside
// plain overlapped one-byte reads and the 11,520 B/s of 115200 baud. Prints
// figures; fails only when nothing could be received at all.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/scoped_win32.h"
#include "serial/port_win32.h"
#include "standin_win32.h"

namespace {

using zeltan::TPort;

constexpr double kLineRate = 11520.0;  // 115200 baud, 10 bits a byte
const zeltan::test::StandinLink kStandin(14);

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

// The one-read-per-byte way: an event and an overlapped one-byte read per call.
bool PlainReceiveByte(TPort* port, uint8_t* byte) {
    const zeltan::scoped::Handle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    OVERLAPPED transfer{};
    transfer.hEvent = event.get();
    DWORD count = 0;
    if (ReadFile(port->hPort, byte, 1, nullptr, &transfer) || GetLastError() == ERROR_IO_PENDING) {
        WaitForSingleObject(transfer.hEvent, INFINITE);
        return GetOverlappedResult(port->hPort, &transfer, &count, FALSE) && count == 1;
    }
    return false;
}

// Requests `reports` reports and counts the bytes until the line is quiet.
template <class Receive>
double Measure(const char* label, long reports, Receive receive) {
    TPort port(nullptr);
    if (!zeltan::OpenPort(&port, kStandin.name()) || !zeltan::ConfigurePort(&port, "115200")) {
        return 0;
    }
    const size_t sentBefore = kStandin.Bytes("tx").size();
    kStandin.Command("burst " + std::to_string(reports));
    uint8_t byte = 0;
    while (!receive(&port, &byte)) {
    }  // the first byte starts the clock
    LARGE_INTEGER start, last;
    QueryPerformanceCounter(&start);
    last = start;
    long long bytes = 1;
    while (receive(&port, &byte)) {
        ++bytes;
        QueryPerformanceCounter(&last);
    }
    zeltan::ClosePort(&port);
    const size_t sent = kStandin.Bytes("tx").size() - sentBefore;
    const double rate = bytes / Seconds(start, last);
    std::printf("%-34s %9lld bytes (stand-in sent %zu)  %12.0f B/s  = %7.1f x 115200 baud\n",
                label, bytes, sent, rate, rate / kLineRate);
    return rate;
}

}  // namespace

int main() {
    if (!kStandin.mapped()) {
        std::fprintf(stderr, "run through tools/with-standin --com 14\n");
        return 1;
    }
    std::printf("115200 baud line                   %12.0f B/s\n", kLineRate);
    const double plain = Measure("one overlapped read per byte", 2000, PlainReceiveByte);
    const double buffered = Measure("ReceiveByte", 100000, zeltan::ReceiveByte);
    std::fflush(stdout);
    return plain > 0 && buffered > 0 ? 0 : 1;
}
