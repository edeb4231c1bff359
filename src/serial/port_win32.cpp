#include "serial/port_win32.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "base/globals_win32.h"
#include "base/scoped_win32.h"
#include "serial/port_names.h"

namespace zeltan {
namespace {

constexpr DWORD kQueueSize = 512;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr DWORD kReadTimeoutMs = 100;  // per requested byte
#ifdef ZELTAN_UNPACED
constexpr DWORD kStreamGapMs = 0;  // the benchmark's measure of the reads before the gap
#else
constexpr DWORD kStreamGapMs = 2;  // see ReceiveByte
#endif

// Runs one overlapped ReadFile or WriteFile to its end. `start` issues the
// call with the transfer record; the result is the number of bytes moved, or
// nothing when the transfer failed or never started. No transfer is ever
// left in progress when this returns: the buffer may live on the caller's
// stack.
template <class StartTransfer>
std::optional<DWORD> RunTransfer(HANDLE port, StartTransfer start) {
    // An unnamed auto-reset event of this transfer alone, closed on every path.
    const scoped::Handle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (!event) {
        return std::nullopt;  // nothing could signal the end: start nothing
    }
    OVERLAPPED transfer{};
    transfer.hEvent = event.get();
    if (!start(&transfer) && GetLastError() != ERROR_IO_PENDING) {
        return std::nullopt;  // refused at once: nothing was started
    }
    DWORD count = 0;
    if (WaitForSingleObject(event.get(), INFINITE) != WAIT_OBJECT_0) {
        CancelIoEx(port, &transfer);
        GetOverlappedResult(port, &transfer, &count, TRUE);
        return std::nullopt;
    }
    // Under Wine a read that timed out ends with ERROR_TIMEOUT, on Windows
    // with success and 0 bytes: both come out as "no bytes" to the callers.
    if (!GetOverlappedResult(port, &transfer, &count, FALSE)) {
        return std::nullopt;
    }
    return count;
}

std::optional<DWORD> ReadBytes(HANDLE port, uint8_t* into, DWORD size) {
    return RunTransfer(port, [&](OVERLAPPED* transfer) {
        return ReadFile(port, into, size, nullptr, transfer);
    });
}

// The number of bytes waiting in the driver's input queue (0 when unknown).
DWORD QueuedBytes(HANDLE port) {
    DWORD errors = 0;
    COMSTAT status{};
    return ClearCommError(port, &errors, &status) ? status.cbInQue : 0;
}

// Lets the rest of one read time-out pass since `startedMs`: a read that
// fails at once (a pulled adapter fails every read so) must not turn the
// receive loop into a busy loop.
void PaceFailedRead(ULONGLONG startedMs) {
    const ULONGLONG elapsed = GetTickCount64() - startedMs;
    if (elapsed < kReadTimeoutMs) {
        Sleep(static_cast<DWORD>(kReadTimeoutMs - elapsed));
    }
}

DCB FreshLineSettings(uint32_t baudRate) {
    DCB settings;
    std::memset(&settings, 0, sizeof settings);  // every flag, limit and character 0; fBinary 0
    settings.DCBlength = sizeof settings;
    settings.BaudRate = baudRate;
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    return settings;
}

// Steps of ConfigurePort that talk to the open port; false at the first
// failure.
bool ApplyLineSettings(TPort* port, const std::string& baudText) {
    const HANDLE h = port->hPort;
    if (!SetupComm(h, kQueueSize, kQueueSize) || !PurgeComm(h, kPurgeAll) ||
        !ClearCommBreak(h) || !GetCommState(h, &port->dcb)) {
        return false;
    }
    const std::optional<uint32_t> baudRate = ParseBaudRate(baudText);
    if (!baudRate) {
        return false;
    }
    DCB settings = FreshLineSettings(*baudRate);
    if (!SetCommState(h, &settings) || !GetCommTimeouts(h, &port->timeouts)) {
        return false;
    }
    port->timeouts.ReadIntervalTimeout = MAXDWORD;
    port->timeouts.ReadTotalTimeoutMultiplier = kReadTimeoutMs;
    port->timeouts.ReadTotalTimeoutConstant = 0;
    port->timeouts.WriteTotalTimeoutMultiplier = 0;
    port->timeouts.WriteTotalTimeoutConstant = 0;
    return SetCommTimeouts(h, &port->timeouts) != FALSE;
}

}  // namespace

TPort::TPort(HWND ownerWnd)
    : dcb{},
      hOwnerWnd(ownerWnd),
      hPort(INVALID_HANDLE_VALUE),
      timeouts{},
      running(0),
      receiveBuffer{},
      receiveCount(0),
      receiveNext(0) {}

void ProbeComPort(int n) {
    if (n < kFirstComPort || n > kLastComPort) {
        return;
    }
    const std::string name = PortName(n);
    const HANDLE h = CreateFileA(DevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
    const bool opened = h != INVALID_HANDLE_VALUE;
    const DWORD error = opened ? 0 : GetLastError();
    if (opened) {
        CloseHandle(h);
    }
    if (IsProbeListed(opened, error)) {
        SendMessageA(hPortCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
}

bool OpenPort(TPort* port, std::string name) {
    const HANDLE h = CreateFileA(DevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const std::string text = OpenWarningText(name, GetLastError());
        const std::string caption(kOpenWarningCaption);
        MessageBoxA(port->hOwnerWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
        return false;
    }
    port->receiveCount = 0;
    port->receiveNext = 0;
    port->hPort = h;
    return true;
}

bool ConfigurePort(TPort* port, std::string baudText) {
    if (port->hPort == INVALID_HANDLE_VALUE) {
        return false;
    }
    if (!ApplyLineSettings(port, baudText)) {
        CloseHandle(port->hPort.exchange(INVALID_HANDLE_VALUE));
        return false;
    }
    port->running = 1;
    return true;
}

void ClosePort(TPort* port) {
    port->running = 0;  // before the handle goes: the receiver tests it after each read
    const HANDLE h = port->hPort.exchange(INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
    }
}

bool SendString(TPort* port, std::string text) {
    std::lock_guard<std::mutex> lock(port->sendLock);
    const HANDLE h = port->hPort;
    if (h == INVALID_HANDLE_VALUE) {
        return true;
    }
    const auto length = static_cast<DWORD>(text.size());
    const std::optional<DWORD> written = RunTransfer(h, [&](OVERLAPPED* transfer) {
        return WriteFile(h, text.data(), length, nullptr, transfer);
    });
    return written && *written == length;
}

bool ReceiveByte(TPort* port, uint8_t* byte) {
    const HANDLE h = port->hPort;
    if (h == INVALID_HANDLE_VALUE) {
        return true;
    }
    if (port->receiveNext < port->receiveCount) {
        *byte = port->receiveBuffer[port->receiveNext++];
        return true;
    }
    const ULONGLONG started = GetTickCount64();
    // Bytes already queued come in one read, which ends at once (only this
    // thread takes from the queue, so the count cannot shrink before the
    // read); only on a quiet line does a one-byte read wait out the time-out.
    // While bytes keep coming (the last read brought some, but not a whole
    // buffer's worth, so none are known to wait), they are let gather for
    // one short gap and taken in one read: a read is several server calls
    // under Wine, and one per millisecond's chunk of a busy line costs more
    // than the whole rest of the loop. A line still quiet after the gap gets
    // the read that waits, so an idle line costs nothing more; a report
    // waits in the queue at most the gap.
    const bool streaming = port->receiveCount > 0 && port->receiveCount < TPort::kReceiveBufferSize;
    if (streaming && kStreamGapMs > 0 && port->running != 0) {
        Sleep(kStreamGapMs);
    }
    DWORD queued = QueuedBytes(h);
    queued = std::min(queued, TPort::kReceiveBufferSize);
    const std::optional<DWORD> count = ReadBytes(h, port->receiveBuffer, std::max<DWORD>(queued, 1));
    if (count && *count > 0) {
        port->receiveCount = *count;
        port->receiveNext = 1;
        *byte = port->receiveBuffer[0];
        return true;
    }
    port->receiveCount = 0;
    port->receiveNext = 0;
    PaceFailedRead(started);
    return false;
}

}  // namespace zeltan
