#pragma once
// The receive loop: reads the line one byte at a time, frames the
// controller's replies by their closing character and acts on each one
// (version text, parameter block, position report, direction state).
//
// It runs on the worker thread. It reads and writes the shared records only
// under Records::lock, takes what it needs out of them, and makes its window
// calls after releasing the lock: those calls wait for the main thread, which
// may itself be waiting for the lock in a paint.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/ui_actions.h"

namespace zeltan {

// The open port as the loop uses it.
class LineIo {
public:
    virtual ~LineIo() = default;
    // The port's running flag: the loop ends at the first look that finds it 0.
    virtual bool Running() = 0;
    // One byte; false when none arrived within the read time-out.
    virtual bool ReceiveByte(uint8_t* byte) = 0;
    virtual void Send(std::string_view text) = 0;
};

class ReceiveLoop {
public:
    // Bytes that may gather without a closing character; past this the
    // buffer is emptied before the next byte goes in.
    static constexpr std::size_t kBufferLimit = 4096;

    ReceiveLoop(LineIo& line, UiActions& ui, const Records& records)
        : line_(line), ui_(ui), records_(records) {}

    // Runs until the port stops running; returns the thread's exit code, 0.
    uint32_t Run();

    std::size_t BufferSize() const { return buffer_.size(); }

private:
    enum class Attempt { kByte, kNoByte, kStopped };
    // One look at the running flag and one receive. A byte counts only if
    // the port still runs after it came back: a receive on a port closed in
    // between reports success without reading anything.
    Attempt TryReceive(uint8_t* byte);
    // False when the port stopped during the reply and the loop must end.
    bool Dispatch(uint8_t byte);
    // N attempts, each looking at the flag first; `take` gets (attempt, byte)
    // for each byte that arrived. False when the port stopped meanwhile.
    template <typename TakeByte>
    bool FixedLengthRead(std::size_t attempts, TakeByte take);
    bool VersionReply();
    bool ParameterReply();
    void PositionReport();
    void DirectionState();
    void ShowParameters();

    LineIo& line_;
    UiActions& ui_;
    Records records_;
    std::string buffer_;
    int32_t lastArm_ = 0;
};

// The decimal text of a signed 32-bit value, as the fields show it.
std::string IntToText(int32_t value);

}  // namespace zeltan
