#include "serial/thread_win32.h"

#include <gtest/gtest.h>

namespace zeltan {
namespace {

DWORD ExitCodeOf(HANDLE thread) {
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    return code;
}

unsigned __stdcall CountAndReturn42(void* arg) {
    InterlockedIncrement(static_cast<volatile LONG*>(arg));
    return 42;
}

TEST(Thread, RunsTheFunctionOnceWithItsArgument) {
    volatile LONG calls = 0;
    TThread thread(0);
    ASSERT_TRUE(thread.Start(&CountAndReturn42, const_cast<LONG*>(&calls), false, nullptr, 0));
    ASSERT_NE(thread.hThread, nullptr);
    EXPECT_NE(thread.threadId, 0u);
    ASSERT_EQ(WaitForSingleObject(thread.hThread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ExitCodeOf(thread.hThread), 42u);  // the function's result is the exit code
    EXPECT_EQ(thread.exitCode, 0u);
}

// A protocol thread that records which operations ran.
class ProtocolThread : public TThread {
public:
    ProtocolThread(bool initResult, volatile LONG* destroyed)
        : TThread(destroyed != nullptr), initResult_(initResult), destroyed_(destroyed) {}
    ~ProtocolThread() override {
        if (destroyed_ != nullptr) {
            *closedHandle = hThread;  // the base destructor closes it next
            InterlockedIncrement(destroyed_);
        }
    }
    bool Init() override { return initResult_; }
    void Run() override {
        ran = true;
        exitCode = 7;
    }
    volatile bool ran = false;
    HANDLE* closedHandle = nullptr;

private:
    bool initResult_;
    volatile LONG* destroyed_;
};

TEST(Thread, RunsTheVirtualProtocol) {
    struct Case {
        bool init;
        bool ran;
        DWORD exitCode;
    };
    for (const Case c : {Case{false, false, 1}, Case{true, true, 7}}) {
        ProtocolThread thread(c.init, nullptr);
        ASSERT_TRUE(thread.Start(nullptr, nullptr, false, nullptr, 0));
        ASSERT_EQ(WaitForSingleObject(thread.hThread, 5000), WAIT_OBJECT_0);
        EXPECT_EQ(thread.ran, c.ran) << "Init " << c.init;
        EXPECT_EQ(ExitCodeOf(thread.hThread), c.exitCode) << "Init " << c.init;
        EXPECT_EQ(thread.exitCode, c.exitCode);
    }
}

unsigned __stdcall ReturnAtOnce(void*) { return 5; }

TEST(Thread, DeletesItselfAndClosesItsHandle) {
    // A function that returns at once: the object may be gone before Start
    // returns, so Start must have stored everything before the thread ran.
    for (int i = 0; i < 20; ++i) {
        volatile LONG destroyed = 0;
        HANDLE closed = nullptr;
        auto* thread = new ProtocolThread(true, &destroyed);
        thread->closedHandle = &closed;
        thread->threadFunc = nullptr;
        HANDLE owned = nullptr;
        ASSERT_TRUE(thread->Start(&ReturnAtOnce, nullptr, false, nullptr, 0, &owned));
        ASSERT_NE(owned, nullptr);
        ASSERT_EQ(WaitForSingleObject(owned, 5000), WAIT_OBJECT_0);
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(ExitCodeOf(owned), 5u);
        ASSERT_NE(closed, nullptr);
        DWORD flags = 0;
        EXPECT_FALSE(GetHandleInformation(closed, &flags)) << "the object's own handle is closed";
        CloseHandle(owned);
    }
}

unsigned __stdcall SetFlag(void* arg) {
    InterlockedExchange(static_cast<volatile LONG*>(arg), 1);
    return 0;
}

TEST(Thread, SuspendedStartWaitsForTheOwner) {
    volatile LONG ran = 0;
    HANDLE owned = nullptr;
    auto* thread = new TThread(1);
    ASSERT_TRUE(thread->Start(&SetFlag, const_cast<LONG*>(&ran), true, nullptr, 0, &owned));
    EXPECT_EQ(WaitForSingleObject(owned, 100), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(ran, 0);
    ResumeThread(owned);
    ASSERT_EQ(WaitForSingleObject(owned, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(ran, 1);
    CloseHandle(owned);
}

BOOL WINAPI RefuseToDuplicate(HANDLE, HANDLE, HANDLE, LPHANDLE, DWORD, BOOL, DWORD) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
}

TEST(Thread, AnOwnerThatCannotHaveTheHandleGetsFailureAndTheObjectBack) {
    // Otherwise a suspended worker would stay suspended for ever, and a
    // self-deleting one would be gone under its caller.
    const TThread::DuplicateHandleFunc real = TThread::duplicateHandle;
    TThread::duplicateHandle = &RefuseToDuplicate;
    for (const bool suspended : {true, false}) {
        volatile LONG ran = 0;
        auto* thread = new TThread(1);
        HANDLE owned = reinterpret_cast<HANDLE>(1);
        EXPECT_FALSE(thread->Start(&SetFlag, const_cast<LONG*>(&ran), suspended, nullptr, 0, &owned));
        EXPECT_EQ(owned, nullptr);
        EXPECT_EQ(thread->hThread, nullptr) << "no thread uses the object any more";
        Sleep(50);
        EXPECT_EQ(ran, 0) << "the work never runs";
        delete thread;  // still the caller's
    }
    TThread::duplicateHandle = real;
}

}  // namespace
}  // namespace zeltan
