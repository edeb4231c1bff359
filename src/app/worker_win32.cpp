#include "app/worker_win32.h"

#include "app/globals_win32.h"
#include "protocol/receive_loop_win32.h"
#include "serial/thread_win32.h"

namespace zeltan {

WorkerOwner::~WorkerOwner() {
    if (thread_ != nullptr) {
        CloseHandle(thread_);
    }
}

bool WorkerOwner::Create() {
    if (!AwaitEnd(kWorkerEndTimeoutMs)) {
        return false;  // never two loops on one port
    }
    auto* worker = new TThread(1);
    HANDLE ours = nullptr;
    if (!worker->Start(&::ReceiveLoop, nullptr, true, nullptr, 0, &ours)) {
        delete worker;  // no thread ran, so nothing deletes it for us
        return false;
    }
    Thread = worker;
    thread_ = ours;
    return true;
}

void WorkerOwner::Resume() {
    if (thread_ != nullptr) {
        ResumeThread(thread_);
    }
}

bool WorkerOwner::AwaitEnd(DWORD timeoutMs) {
    if (thread_ == nullptr) {
        return true;
    }
    if (!WaitServingSentMessages(thread_, timeoutMs)) {
        return false;
    }
    CloseHandle(thread_);
    thread_ = nullptr;
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
    static WorkerOwner owner;
    return owner;
}

}  // namespace zeltan
