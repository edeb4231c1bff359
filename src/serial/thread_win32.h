#pragma once
// TThread: one platform thread that runs either a plain thread function with
// one argument or, without a function, the virtual protocol Init / Run /
// GetExitCode of a derived class; with autoDelete it deletes itself when the
// work returns.
//
// Lifetime: the object is built and started on the main thread; from the
// moment the new thread may run, only that thread touches the object (Start
// creates it suspended and stores hThread and threadId before it resumes it).
// A self-deleting object is gone as soon as its work returns, so an owner
// that must know when the worker has ended asks Start for a handle of its own
// (ownerHandle), waits on it and closes it; it never touches the object.
#include <windows.h>

#include <cstdint>

namespace zeltan {

class TThread {
public:
    using ThreadFunc = unsigned(__stdcall*)(void*);

    explicit TThread(int32_t autoDelete);
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;
    virtual ~TThread();

    // The body of the virtual protocol; the base does nothing.
    virtual void Run();
    // Called before Run; false skips Run and makes the exit code 1.
    virtual bool Init();
    virtual uint32_t GetExitCode();

    // Stores func and arg, creates the thread suspended through
    // _beginthreadex with ThreadEntry and this object, stores hThread and
    // threadId, then resumes it unless `suspended` (the owner then resumes it
    // with ResumeThread on a handle of its own). When ownerHandle is not null
    // it receives, before the thread can run, a duplicate of the thread
    // handle that the owner keeps, waits on and closes.
    //
    // True when the thread was created and, if asked, the owner has its
    // handle. False when either failed: then no work has run or will run,
    // no thread uses the object any more, and the caller still owns it
    // (also with autoDelete).
    bool Start(ThreadFunc func, void* arg, bool suspended, SECURITY_ATTRIBUTES* security,
               unsigned stackSize, HANDLE* ownerHandle = nullptr);

    // How Start duplicates the thread handle for its owner; tests replace it
    // to see what Start does when that fails.
    using DuplicateHandleFunc = BOOL(WINAPI*)(HANDLE, HANDLE, HANDLE, LPHANDLE, DWORD, BOOL,
                                              DWORD);
    static DuplicateHandleFunc duplicateHandle;

    // The start routine of every TThread; `object` is the TThread.
    static unsigned __stdcall ThreadEntry(void* object);

    ThreadFunc threadFunc;
    int32_t autoDelete;
    uint32_t exitCode;
    void* threadArg;
    HANDLE hThread;
    uint32_t threadId;

private:
    // Set by Start, before the thread runs, when it must not do its work.
    bool abandoned_ = false;
};

}  // namespace zeltan
