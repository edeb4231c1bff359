#include "serial/thread_win32.h"

#include <process.h>

namespace zeltan {

TThread::TThread(int32_t autoDelete)
    : threadFunc(nullptr),
      autoDelete(autoDelete),
      exitCode(0),
      threadArg(nullptr),
      hThread(nullptr),
      threadId(0) {}

TThread::~TThread() {
    if (hThread != nullptr) {
        CloseHandle(hThread);
        hThread = nullptr;
    }
    threadFunc = nullptr;
    autoDelete = 0;
    exitCode = 0;
    threadArg = nullptr;
    threadId = 0;
}

void TThread::Run() {}

bool TThread::Init() { return true; }

uint32_t TThread::GetExitCode() { return exitCode; }

TThread::DuplicateHandleFunc TThread::duplicateHandle = &DuplicateHandle;

bool TThread::Start(ThreadFunc func, void* arg, bool suspended, SECURITY_ATTRIBUTES* security,
                    unsigned stackSize, HANDLE* ownerHandle) {
    threadFunc = func;
    threadArg = arg;
    if (ownerHandle != nullptr) {
        *ownerHandle = nullptr;
    }
    unsigned id = 0;
    const uintptr_t created =
        _beginthreadex(security, stackSize, &TThread::ThreadEntry, this, CREATE_SUSPENDED, &id);
    if (created == 0) {
        return false;
    }
    const auto handle = reinterpret_cast<HANDLE>(created);
    hThread = handle;
    threadId = id;
    if (ownerHandle != nullptr) {
        const HANDLE self = GetCurrentProcess();
        if (!duplicateHandle(self, handle, self, ownerHandle, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
            // An owner that cannot wait for the thread could neither resume
            // it nor know when it ends: let it end without working, and
            // hand the object back.
            *ownerHandle = nullptr;
            abandoned_ = true;
            ResumeThread(handle);
            WaitForSingleObject(handle, INFINITE);
            CloseHandle(handle);
            hThread = nullptr;
            threadId = 0;
            return false;
        }
    }
    // From here on the object belongs to the new thread (it may delete
    // itself at once): only the local handle is used.
    if (!suspended) {
        ResumeThread(handle);
    }
    return true;
}

unsigned __stdcall TThread::ThreadEntry(void* object) {
    auto* self = static_cast<TThread*>(object);
    if (self->abandoned_) {
        return 0;  // Start took the object back; it is not ours to touch
    }
    const int32_t deleteWhenDone = self->autoDelete;
    unsigned result = 0;
    if (self->threadFunc != nullptr) {
        result = self->threadFunc(self->threadArg);
    } else if (!self->Init()) {
        self->exitCode = 1;
        result = self->GetExitCode();
    } else {
        self->Run();
        self->exitCode = self->GetExitCode();
        result = self->exitCode;
    }
    if (deleteWhenDone != 0) {
        delete self;
    }
    return result;
}

}  // namespace zeltan
