#pragma once
// TPort: the one serial port of the program and the operations on it.
//
// States: Closed (hPort invalid, running 0), Opened (hPort valid, running 0,
// after OpenPort), Running (hPort valid, running 1, after ConfigurePort).
// ClosePort leads from any state to Closed.
//
// Threads: OpenPort, ConfigurePort and ClosePort run on the main thread.
// While Running, the worker thread reads `running` before each receive and
// reads `hPort` once per transfer; ClosePort clears `running` before it
// closes the handle, and closing the handle ends a pending read at once. The
// owner of the worker (the app) lets the old worker end before it opens the
// port again or deletes the record, so a handle value is never reused under
// a running transfer.
//
// SendString runs on both threads and holds sendLock for the whole write, so
// the bytes of one string never fall between the bytes of another.
// ReceiveByte runs on the receiving thread only; the receive buffer is
// emptied by OpenPort (no receiver exists then) and afterwards touched only
// by ReceiveByte.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace zeltan {

class TPort {
public:
    explicit TPort(HWND ownerWnd);
    TPort(const TPort&) = delete;
    TPort& operator=(const TPort&) = delete;

    DCB dcb;
    HWND hOwnerWnd;
    // Written by the main thread, read by the worker at each transfer: an
    // atomic, so that the worker sees either the old handle or the new one.
    std::atomic<HANDLE> hPort;
    COMMTIMEOUTS timeouts;
    std::atomic<LONG> running;

    // Bytes that one read took from the driver's queue, handed out one per
    // ReceiveByte call (receiving thread only).
    static constexpr DWORD kReceiveBufferSize = 512;
    uint8_t receiveBuffer[kReceiveBufferSize];
    DWORD receiveCount;  // bytes held in receiveBuffer
    DWORD receiveNext;   // index of the next one to hand out

    std::mutex sendLock;  // held for the whole of one SendString
};

// Appends "COMn" to hPortCombo when a device is behind the number (1 ... 256).
void ProbeComPort(int n);
// Opens "\\.\" + name for overlapped I/O; on failure shows a warning box
// owned by port->hOwnerWnd and leaves the port Closed.
bool OpenPort(TPort* port, std::string name);
// Queues, purge, break, 8N1 at the rate in baudText without flow control,
// and the 100 ms read time-out; then Running. On any failure the port is
// closed again, silently.
bool ConfigurePort(TPort* port, std::string baudText);
// running = 0, then the handle is closed. Harmless on a Closed port.
void ClosePort(TPort* port);

// Writes all of text (zero bytes included) in one write and waits for it.
// True on a Closed port without a write.
bool SendString(TPort* port, std::string text);
// One byte into *byte: true with a byte; false when none came within about
// the 100 ms read time-out (never sooner, so a loop over it cannot spin);
// true without reading, *byte unchanged, on a Closed port.
bool ReceiveByte(TPort* port, uint8_t* byte);

}  // namespace zeltan
