#include "app/worker_win32.h"

#include "base/globals_win32.h"
#include "protocol/receive_loop_win32.h"
#include "serial/thread_win32.h"

namespace zeltan {

bool WorkerOwner::Create() {
    if (!AwaitEnd(kWorkerEndTimeoutMs)) {
        return false;  // never two loops on one port
    }
    auto* worker = new TThread(1);
    HANDLE ours = nullptr;
    if (!worker->Start(&::ReceiveLoop, nullptr, true, nullptr, 0, &ours)) {
        delete worker;  // no thread runs it, so nothing deletes it for us
        return false;
    }
    Thread = worker;
    thread_.reset(ours);
    return true;
}

void WorkerOwner::Resume() {
    if (thread_) {
        ResumeThread(thread_.get());
    }
}

bool WorkerOwner::AwaitEnd(DWORD timeoutMs) {
    if (!thread_) {
        return true;
    }
    if (!WaitServingSentMessages(thread_.get(), timeoutMs)) {
        return false;
    }
    thread_.reset();
    return true;
}

bool WaitServingSentMessages(HANDLE handle, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const DWORD woken = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0) {
            return true;
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            return false;  // timed out, or the wait failed
        }
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

WorkerOwner& Worker() {
    static WorkerOwner& owner = *new WorkerOwner();
    return owner;
}

}  // namespace zeltan
