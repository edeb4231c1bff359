#include "session.h"

#include <algorithm>
#include <cstdlib>

namespace zeltan::standin {

const char kProtocolHelp[] = R"(It answers as the controller does:
  "3+"            -> "3+" and the 13 working parameter bytes
  "4+" + 13 bytes -> replace the working block (no reply)
  "5+"            -> store the working block (no reply)
  "7+"            -> reload the stored block (no reply)
  "6+"            -> "6+" and 22 bytes: the version text padded with zero bytes
  "9+"            -> state character and "V": "9" spinning right, "A" spinning
                     left, "B" stopped, "C" stopped by "8+"
  "n" / "x"       -> start spinning left / right, answered "n" / "x"
  "8+"            -> stop the rotor
  another digit and "+" -> "?"; other bytes are ignored
Factory block: angles 120, 100, 60, 30 degrees, speeds 80, 40, 60, 100 %,
angle option on, sound on, bytes 4-5 = 12 34 (hex). While the rotor spins it
sends a position report (hex text of v = 0...1023, then "#") every --report-ms,
v moving by --step.
)";

const char kOptionsHelp[] = R"(  --log FILE           transcript, one line per chunk, written at once:
                         "rx <hex bytes>"  bytes received
                         "tx <hex bytes>"  bytes sent
                         "ev <text>"       an event (a command, unplug, cut, ...)
                       hex bytes are two lowercase digits each, space separated
  --control FILE       poll FILE every 20 ms for appended lines, each a command
                       (below); lines present at start are skipped
  --at MS:COMMAND      run COMMAND MS milliseconds after start (repeatable)
  --report-ms MS       interval of position reports while spinning (default 50)
  --step N             position step per report (default 8)
  --line-rate BPS      while spinning, send reports back to back at BPS bytes
                       a second (11520 is a 115200-baud line kept full),
                       written every millisecond; replaces --report-ms
  --version-text TEXT  version text (default "STANDIN 1.0", at most 22 bytes)
)";

const char kCommandsHelp[] = R"(  turn left|right start spinning, as "n" / "x" do
  stop            stop spinning
  burst N         send N position reports at once, as fast as the line takes them
  garbage N       send N pseudo-random bytes
  say TEXT        send TEXT; \xHH, \n, \r, \t, \0, \\ are escapes
  cut             send only the first half of the next reply
  unplug          take the line down (the program sees a pulled adapter)
  plug            bring the line up again
  quit            end the stand-in
)";

void PrintUsage(std::FILE* to, const UsageTexts& texts) {
    for (const char* part : {texts.head, kProtocolHelp, texts.options, kOptionsHelp, texts.tail,
                             kCommandsHelp, texts.end}) {
        std::fputs(part, to);
    }
}

bool TakeCommonOption(const std::string& arg, const std::string& value, Options* options) {
    if (arg == "--log") {
        options->log = value;
    } else if (arg == "--control") {
        options->control = value;
    } else if (arg == "--report-ms") {
        options->reportMs = std::max(1L, std::strtol(value.c_str(), nullptr, 10));
    } else if (arg == "--line-rate") {
        options->lineRate = std::max(0L, std::strtol(value.c_str(), nullptr, 10));
    } else if (arg == "--step") {
        options->step = std::atoi(value.c_str());
    } else if (arg == "--version-text") {
        options->versionText = value;
    } else if (arg == "--at" && value.find(':') != std::string::npos) {
        const size_t colon = value.find(':');
        options->at.push_back({std::strtol(value.c_str(), nullptr, 10), value.substr(colon + 1)});
    } else {
        return false;
    }
    return true;
}

Transcript::Transcript(const std::string& path) {
    if (path.empty()) return;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        std::fprintf(stderr, "zeltan-standin: cannot write %s\n", path.c_str());
        std::exit(2);
    }
}

Transcript::~Transcript() {
    if (file_ != nullptr) std::fclose(file_);
}

void Transcript::Bytes(const char* direction, const char* data, size_t size) {
    if (file_ == nullptr || size == 0) return;
    std::string line = direction;
    char hex[4];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(hex, sizeof hex, " %02x", static_cast<unsigned char>(data[i]));
        line += hex;
    }
    Line(line);
}

void Transcript::Event(const std::string& text) {
    if (file_ != nullptr) Line("ev " + text);
}

void Transcript::Line(const std::string& line) {
    std::fputs(line.c_str(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

ControlFile::ControlFile(const std::string& path) : path_(path) {
    if (path_.empty()) return;
    std::FILE* file = std::fopen(path_.c_str(), "ab");  // made if missing
    if (file == nullptr) {
        std::fprintf(stderr, "zeltan-standin: cannot read %s\n", path_.c_str());
        std::exit(2);
    }
    std::fseek(file, 0, SEEK_END);
    offset_ = std::ftell(file);
    std::fclose(file);
}

ControlFile::~ControlFile() = default;

std::vector<std::string> ControlFile::NewLines() {
    std::vector<std::string> lines;
    if (path_.empty()) return lines;
    // Opened anew each time: the writers append from other processes.
    if (std::FILE* file = std::fopen(path_.c_str(), "rb")) {
        if (std::fseek(file, offset_, SEEK_SET) == 0) {
            char chunk[4096];
            size_t got;
            while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
                offset_ += static_cast<long>(got);
                partial_.append(chunk, got);
            }
        }
        std::fclose(file);
    }
    size_t end;
    while ((end = partial_.find('\n')) != std::string::npos) {
        std::string line = partial_.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.pop_back();  // written by a Windows program
        lines.push_back(line);
        partial_.erase(0, end + 1);
    }
    return lines;
}

Session::Session(const Options& options)
    : options_(options), controller_(options.versionText), transcript_(options.log),
      control_(options.control), start_(Clock::now()), nextReport_(start_),
      nextControlPoll_(start_), scheduledDone_(options.at.size(), false) {
    controller_.set_step(options.step);
}

std::vector<LineAction> Session::Tick() {
    std::vector<LineAction> actions;
    const Clock::time_point now = Clock::now();
    for (size_t i = 0; i < options_.at.size(); ++i) {
        if (!scheduledDone_[i] && now - start_ >= std::chrono::milliseconds(options_.at[i].ms)) {
            scheduledDone_[i] = true;
            actions.push_back(Execute(options_.at[i].command));
        }
    }
    if (now >= nextControlPoll_) {
        for (const std::string& line : control_.NewLines()) actions.push_back(Execute(line));
        nextControlPoll_ = now + std::chrono::milliseconds(20);
    }
    if (!controller_.spinning()) {
        nextReport_ = now + std::chrono::milliseconds(options_.reportMs);
        lineCredit_ = 0;
        lineClock_ = now;
    } else if (options_.lineRate > 0) {
        SendAtLineRate(now);
        nextReport_ = now + std::chrono::milliseconds(1);
    } else if (now >= nextReport_) {
        Send(controller_.NextReport());
        nextReport_ += std::chrono::milliseconds(options_.reportMs);
        if (nextReport_ < now) nextReport_ = now;  // never a catch-up burst
    }
    actions.erase(std::remove(actions.begin(), actions.end(), LineAction::kNone), actions.end());
    return actions;
}

// The reports that the line rate allows since the last call: a byte credit
// grows with time and each report spends its length, so the average rate is
// exact while each millisecond's reports go in one write.
void Session::SendAtLineRate(Clock::time_point now) {
    const double seconds = std::chrono::duration<double>(now - lineClock_).count();
    lineClock_ = now;
    lineCredit_ = std::min(lineCredit_ + seconds * options_.lineRate,
                           options_.lineRate / 100.0);  // never a catch-up burst past 10 ms
    while (lineCredit_ > 0) {
        const std::string report = controller_.NextReport();
        Send(report);
        lineCredit_ -= static_cast<double>(report.size());
    }
}

Clock::time_point Session::NextWakeup() const {
    return controller_.spinning() ? std::min(nextControlPoll_, nextReport_) : nextControlPoll_;
}

LineAction Session::Execute(const std::string& line) {
    const size_t space = line.find(' ');
    const std::string verb = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    const long count = std::strtol(rest.c_str(), nullptr, 10);
    if (verb.empty()) return LineAction::kNone;
    transcript_.Event(line);
    if (verb == "turn") {
        controller_.Spin(rest == "left" ? Rotation::kLeft : Rotation::kRight);
    } else if (verb == "stop") {
        controller_.Spin(Rotation::kStopped);
    } else if (verb == "burst") {
        for (long i = 0; i < count; ++i) Send(controller_.NextReport());
    } else if (verb == "garbage") {
        std::string noise;
        for (long i = 0; i < count; ++i) {
            noiseState_ = noiseState_ * 1103515245u + 12345u;
            noise += static_cast<char>(noiseState_ >> 24);
        }
        Send(noise);
    } else if (verb == "say") {
        Send(Unescape(rest));
    } else if (verb == "cut") {
        cutNext_ = true;
    } else if (verb == "unplug") {
        return LineAction::kUnplug;
    } else if (verb == "plug") {
        return LineAction::kPlug;
    } else if (verb == "quit") {
        return LineAction::kQuit;
    } else {
        std::fprintf(stderr, "zeltan-standin: unknown command: %s\n", line.c_str());
        return LineAction::kUnknown;
    }
    return LineAction::kNone;
}

void Session::Received(const char* data, size_t size) {
    transcript_.Bytes("rx", data, size);
    for (size_t i = 0; i < size; ++i) Reply(controller_.Feed(static_cast<uint8_t>(data[i])));
}

void Session::Sent(size_t size) {
    size = std::min(size, outgoing_.size());
    transcript_.Bytes("tx", outgoing_.data(), size);
    outgoing_.erase(0, size);
}

void Session::SetLineUp(bool up) {
    lineUp_ = up;
    if (!up) outgoing_.clear();
}

void Session::Reply(std::string reply) {
    if (reply.empty()) return;
    if (cutNext_) {
        cutNext_ = false;
        reply.resize(reply.size() / 2);
        transcript_.Event("cut");
    }
    Send(reply);
}

void Session::Send(const std::string& bytes) {
    if (lineUp_) outgoing_ += bytes;
}

}  // namespace zeltan::standin
