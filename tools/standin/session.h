#pragma once
// One stand-in session: the controller (controller.h) on one line, with
// everything both front ends share: the common options, the transcript, the
// control file, the commands (turn, stop, burst, say, ...), the report clock
// and the queue of bytes waiting for the line. The front ends only move
// bytes: the pty one (main.cpp) on Linux, the COM-port one (main_win32.cpp)
// on Windows. Portable C++17, no platform headers.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "controller.h"

namespace zeltan::standin {

using Clock = std::chrono::steady_clock;

struct Scheduled {
    long ms;
    std::string command;
};

// The options every front end takes.
struct Options {
    std::string log;
    std::string control;
    std::vector<Scheduled> at;
    long reportMs = 50;
    int step = 8;
    long lineRate = 0;  // bytes a second while spinning; 0 = one report per reportMs
    std::string versionText = "STANDIN 1.0";
};

// Takes `arg` with its `value` if it is one of the common options.
bool TakeCommonOption(const std::string& arg, const std::string& value, Options* options);

// What the controller answers, for the front ends' usage texts.
extern const char kProtocolHelp[];
// The common options, for the usage texts.
extern const char kOptionsHelp[];
// The commands shared by both front ends (control file, --at, console).
extern const char kCommandsHelp[];

// A front end's own parts of its usage text, around the shared ones: its
// head, then what the controller answers, its own options, the common
// options, its tail, the commands, and its end.
struct UsageTexts {
    const char* head;
    const char* options;
    const char* tail;
    const char* end;
};
void PrintUsage(std::FILE* to, const UsageTexts& texts);

// The transcript (--log): one line per chunk, written through at once, so
// that a test reading it sees every byte that crossed the line.
class Transcript {
public:
    explicit Transcript(const std::string& path);
    ~Transcript();
    Transcript(const Transcript&) = delete;
    Transcript& operator=(const Transcript&) = delete;
    // "rx 33 2b" / "tx ..." for bytes received / sent.
    void Bytes(const char* direction, const char* data, size_t size);
    void Event(const std::string& text);

private:
    void Line(const std::string& line);
    std::FILE* file_ = nullptr;
};

// The control file (--control): lines that any program appends, each a
// command. What the file held at start is not ours and is skipped.
class ControlFile {
public:
    explicit ControlFile(const std::string& path);
    ~ControlFile();
    ControlFile(const ControlFile&) = delete;
    ControlFile& operator=(const ControlFile&) = delete;
    // The complete lines appended since the last call.
    std::vector<std::string> NewLines();

private:
    std::string path_;
    long offset_ = 0;
    std::string partial_;
};

// A command the session cannot carry out itself: it is about the line.
enum class LineAction { kNone, kUnplug, kPlug, kQuit, kUnknown };

class Session {
public:
    explicit Session(const Options& options);

    // Runs the commands that fell due (scheduled, control file) and queues a
    // position report when one is due; returns what the front end must do
    // with the line, in order.
    std::vector<LineAction> Tick();
    // When Tick has something to do next (at the latest 20 ms from now).
    Clock::time_point NextWakeup() const;

    // One command line (see kCommandsHelp); logged as an event.
    LineAction Execute(const std::string& line);

    // Bytes that came in from the line: logged, fed to the controller, and
    // its replies queued.
    void Received(const char* data, size_t size);
    // Bytes waiting for the line; the front end writes a prefix of them and
    // reports it with Sent.
    const std::string& outgoing() const { return outgoing_; }
    void Sent(size_t size);

    // While the line is down (unplugged) nothing is queued and what waited is
    // dropped, as on a pulled adapter.
    void SetLineUp(bool up);
    void Event(const std::string& text) { transcript_.Event(text); }

    const Controller& controller() const { return controller_; }

private:
    void Reply(std::string reply);
    void Send(const std::string& bytes);
    void SendAtLineRate(Clock::time_point now);

    const Options& options_;
    Controller controller_;
    Transcript transcript_;
    ControlFile control_;
    std::string outgoing_;
    bool lineUp_ = true;
    bool cutNext_ = false;
    uint32_t noiseState_ = 12345;
    Clock::time_point start_;
    Clock::time_point nextReport_;
    Clock::time_point nextControlPoll_;
    std::vector<bool> scheduledDone_;
    double lineCredit_ = 0;
    Clock::time_point lineClock_{};
};

}  // namespace zeltan::standin
