#pragma once
// The worker that runs the receive loop of one connection, seen from the
// main thread.
//
// Each connection gets a new self-deleting TThread (kept in the global
// Thread only for reference: it may be gone at any moment after it starts).
// The main thread therefore never touches the object after Start; it keeps a
// duplicate of the thread handle instead, and waits on that handle to know
// that the loop has ended. While it waits it goes on serving messages sent
// by other threads, because the worker's window calls are synchronous calls
// into the main thread: a plain wait would deadlock against them.
//
// Only the main thread uses this class.
#include <windows.h>

#include "base/scoped_win32.h"

namespace zeltan {

class WorkerOwner {
public:
    WorkerOwner() = default;
    WorkerOwner(const WorkerOwner&) = delete;
    WorkerOwner& operator=(const WorkerOwner&) = delete;

    // A new worker for the receive loop, created suspended. False when no
    // thread could be created; nothing is left behind then.
    bool Create();
    void Resume();
    // True once no worker is left in its loop (also when there never was
    // one). Waits at most timeoutMs; a worker that has not ended by then is
    // kept and waited for again next time.
    bool AwaitEnd(DWORD timeoutMs);

private:
    scoped::Handle thread_;  // our own duplicate of the worker's handle
};

// Waits for a handle while dispatching sent messages; true when signalled.
bool WaitServingSentMessages(HANDLE handle, DWORD timeoutMs);

// The one owner of the program's workers. It is never destroyed: a worker
// that outlived teardown is still its worker while the process ends.
WorkerOwner& Worker();

// How long the main thread waits for a worker to leave its loop: a few read
// time-outs of 100 ms.
inline constexpr DWORD kWorkerEndTimeoutMs = 1000;

}  // namespace zeltan
