// zeltan-standin: a stand-in for the motor controller on a pseudo-terminal.
// It prints the slave side's path (after making the --link symlink, if
// asked), answers the wire protocol (controller.h), sends position reports
// while the rotor turns, and takes fault commands from the command line
// (--at) and from a control file that any program may append lines to.
//
// One thread, one poll loop: the master side is non-blocking, replies and
// reports queue in `outgoing` and leave as fast as the line takes them, so a
// burst never stalls reading. The stand-in keeps the slave side open itself,
// so the pty survives while the program under test opens and closes it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controller.h"

namespace zeltan::standin {
namespace {

const char kUsage[] = R"(usage: zeltan-standin [options]

A stand-in for the motor controller. Creates a pseudo-terminal, prints the
path of its slave side on one line of standard output (once it is ready, and
again after every "plug"), and answers on it as the controller does:
  "3+"            -> "3+" and the 13 working parameter bytes
  "4+" + 13 bytes -> replace the working block (no reply)
  "5+"            -> store the working block (no reply)
  "7+"            -> reload the stored block (no reply)
  "6+"            -> "6+" and 22 bytes: the version text padded with zero bytes
  "9+"            -> state character and "V": "9" turning right, "A" turning
                     left, "B" stopped, "C" stopped by "8+"
  "n" / "x"       -> start turning left / right, answered "n" / "x"
  "8+"            -> stop turning
  another digit and "+" -> "?"; other bytes are ignored
Factory block: angles 120, 100, 60, 30 degrees, speeds 80, 40, 60, 100 %,
angle option on, sound on, bytes 4-5 = 12 34 (hex). While the rotor turns it
sends a position report (hex text of v = 0...1023, then "#") every --report-ms,
v moving by --step.

Options:
  --link PATH          make PATH a symlink to the slave side (re-pointed on "plug")
  --log FILE           transcript, one line per chunk, written at once:
                         "rx <hex bytes>"  bytes received
                         "tx <hex bytes>"  bytes sent
                         "ev <text>"       an event (unplug, plug, cut, ...)
                       hex bytes are two lowercase digits each, space separated
  --control FILE       poll FILE every 20 ms for appended lines, each a command
                       (below); lines present at start are skipped
  --at MS:COMMAND      run COMMAND MS milliseconds after start (repeatable)
  --report-ms MS       interval of position reports while turning (default 50)
  --step N             position step per report (default 8)
  --line-rate BPS      while turning, send reports back to back at BPS bytes
                       a second (11520 is a 115200-baud line kept full),
                       written every millisecond; replaces --report-ms
  --version-text TEXT  version text (default "STANDIN 1.0", at most 22 bytes)
  --help               this text

Commands (control file lines and --at):
  unplug          close the pseudo-terminal (the program sees a pulled adapter)
  plug            open a new pseudo-terminal, re-point --link, print its path
  turn left|right start turning, as "n" / "x" do
  stop            stop turning
  burst N         send N position reports at once, as fast as the line takes them
  garbage N       send N pseudo-random bytes
  say TEXT        send TEXT; \xHH, \n, \r, \t, \0, \\ are escapes
  cut             send only the first half of the next reply
  quit            end the stand-in
SIGTERM and SIGINT end it too; it removes its --link on the way out.
)";

using Clock = std::chrono::steady_clock;

volatile sig_atomic_t stopRequested = 0;
void RequestStop(int) { stopRequested = 1; }

struct Scheduled {
    long ms;
    std::string command;
};

struct Options {
    std::string link;
    std::string log;
    std::string control;
    std::vector<Scheduled> at;
    long reportMs = 50;
    int step = 8;
    long lineRate = 0;  // bytes a second while turning; 0 = one report per reportMs
    std::string versionText = "STANDIN 1.0";
};

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "zeltan-standin: %s\n", what.c_str());
    std::exit(2);
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (i + 1 >= argc) {
            return false;
        }
        const std::string value = argv[++i];
        if (arg == "--link") {
            options->link = value;
        } else if (arg == "--log") {
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
    }
    return true;
}

class Transcript {
public:
    explicit Transcript(const std::string& path) {
        if (!path.empty()) {
            fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
            if (fd_ < 0) Fail("cannot write " + path);
        }
    }
    void Bytes(const char* direction, const char* data, size_t size) {
        if (fd_ < 0 || size == 0) return;
        std::string line = direction;
        char hex[4];
        for (size_t i = 0; i < size; ++i) {
            std::snprintf(hex, sizeof hex, " %02x", static_cast<unsigned char>(data[i]));
            line += hex;
        }
        Line(line);
    }
    void Event(const std::string& text) {
        if (fd_ >= 0) Line("ev " + text);
    }

private:
    void Line(std::string line) {
        line += '\n';
        if (write(fd_, line.data(), line.size()) < 0) {
            // a transcript that cannot be written is not worth stopping the line for
        }
    }
    int fd_ = -1;
};

// The pseudo-terminal: master for our I/O, slave held open so that the line
// stays up between the program's opens.
class Pty {
public:
    ~Pty() { Close(); }
    void Open(const std::string& link) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) Fail("no pty");
        path_ = ptsname(master_);
        slave_ = open(path_.c_str(), O_RDWR | O_NOCTTY);
        if (slave_ < 0) Fail("cannot open " + path_);
        termios raw{};
        tcgetattr(slave_, &raw);
        cfmakeraw(&raw);
        tcsetattr(slave_, TCSANOW, &raw);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        if (!link.empty()) {
            // A new link beside the old one, renamed over it: the path never
            // dangles half-made.
            const std::string temporary = link + ".new";
            unlink(temporary.c_str());
            if (symlink(path_.c_str(), temporary.c_str()) != 0 ||
                rename(temporary.c_str(), link.c_str()) != 0) {
                Fail("cannot link " + link);
            }
        }
        std::printf("%s\n", path_.c_str());
        std::fflush(stdout);
    }
    void Close() {
        if (master_ >= 0) close(master_);
        if (slave_ >= 0) close(slave_);
        master_ = slave_ = -1;
    }
    int master() const { return master_; }
    const std::string& path() const { return path_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

class ControlFile {
public:
    explicit ControlFile(const std::string& path) {
        if (path.empty()) return;
        fd_ = open(path.c_str(), O_RDONLY | O_CREAT, 0644);
        if (fd_ < 0) Fail("cannot read " + path);
        struct stat info {};
        fstat(fd_, &info);
        offset_ = info.st_size;  // what was there before the start is not ours
    }
    ~ControlFile() {
        if (fd_ >= 0) close(fd_);
    }
    // The complete lines appended since the last call.
    std::vector<std::string> NewLines() {
        std::vector<std::string> lines;
        if (fd_ < 0) return lines;
        char chunk[4096];
        ssize_t got;
        while ((got = pread(fd_, chunk, sizeof chunk, offset_)) > 0) {
            offset_ += got;
            partial_.append(chunk, static_cast<size_t>(got));
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

private:
    int fd_ = -1;
    off_t offset_ = 0;
    std::string partial_;
};

class Standin {
public:
    explicit Standin(const Options& options)
        : options_(options), controller_(options.versionText), transcript_(options.log),
          control_(options.control) {
        controller_.set_step(options.step);
    }

    int Run() {
        pty_.Open(options_.link);
        const Clock::time_point start = Clock::now();
        Clock::time_point nextReport = start;
        Clock::time_point nextControlPoll = start;
        std::vector<bool> done(options_.at.size(), false);
        while (!stopRequested && !quit_) {
            const Clock::time_point now = Clock::now();
            for (size_t i = 0; i < options_.at.size(); ++i) {
                if (!done[i] && now - start >= std::chrono::milliseconds(options_.at[i].ms)) {
                    done[i] = true;
                    Execute(options_.at[i].command);
                }
            }
            if (now >= nextControlPoll) {
                for (const std::string& line : control_.NewLines()) Execute(line);
                nextControlPoll = now + std::chrono::milliseconds(20);
            }
            if (!controller_.turning()) {
                nextReport = now + std::chrono::milliseconds(options_.reportMs);
                lineCredit_ = 0;
                lineClock_ = now;
            } else if (options_.lineRate > 0) {
                SendAtLineRate(now);
                nextReport = now + std::chrono::milliseconds(1);
            } else if (now >= nextReport) {
                Send(controller_.NextReport());
                nextReport += std::chrono::milliseconds(options_.reportMs);
                if (nextReport < now) nextReport = now;  // never a catch-up burst
            }
            Pump(std::min(nextControlPoll, controller_.turning() ? nextReport : nextControlPoll));
        }
        RemoveLink();
        return 0;
    }

private:
    // The reports that the line rate allows since the last call: a byte
    // credit grows with time and each report spends its length, so the
    // average rate is exact while each millisecond's reports go in one write.
    void SendAtLineRate(Clock::time_point now) {
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

    // Waits for the line until `until`, reading what comes and writing what waits.
    void Pump(Clock::time_point until) {
        // Rounded up: a wait of less than a millisecond must not become a spin.
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        const int timeout = static_cast<int>(std::max<long long>(0, wait.count()));
        if (pty_.master() < 0) {
            poll(nullptr, 0, timeout);
            return;
        }
        pollfd line{pty_.master(), static_cast<short>(POLLIN | (outgoing_.empty() ? 0 : POLLOUT)), 0};
        if (poll(&line, 1, timeout) <= 0) return;
        if (line.revents & POLLIN) {
            char chunk[4096];
            const ssize_t got = read(pty_.master(), chunk, sizeof chunk);
            if (got > 0) {
                transcript_.Bytes("rx", chunk, static_cast<size_t>(got));
                for (ssize_t i = 0; i < got; ++i) Reply(controller_.Feed(static_cast<uint8_t>(chunk[i])));
            }
        }
        if ((line.revents & POLLOUT) && !outgoing_.empty()) {
            const ssize_t sent = write(pty_.master(), outgoing_.data(), outgoing_.size());
            if (sent > 0) {
                transcript_.Bytes("tx", outgoing_.data(), static_cast<size_t>(sent));
                outgoing_.erase(0, static_cast<size_t>(sent));
            }
        }
    }

    void Reply(std::string reply) {
        if (reply.empty()) return;
        if (cutNext_) {
            cutNext_ = false;
            reply.resize(reply.size() / 2);
            transcript_.Event("cut");
        }
        Send(reply);
    }

    void Send(const std::string& bytes) {
        if (pty_.master() >= 0) outgoing_ += bytes;
    }

    void Execute(const std::string& line) {
        const size_t space = line.find(' ');
        const std::string verb = line.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
        const long count = std::strtol(rest.c_str(), nullptr, 10);
        if (verb.empty()) return;
        transcript_.Event(line);
        if (verb == "unplug") {
            pty_.Close();
            outgoing_.clear();
        } else if (verb == "plug") {
            pty_.Close();
            pty_.Open(options_.link);
        } else if (verb == "turn") {
            controller_.Turn(rest == "left" ? Rotation::kLeft : Rotation::kRight);
        } else if (verb == "stop") {
            controller_.Turn(Rotation::kStopped);
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
        } else if (verb == "quit") {
            quit_ = true;
        } else {
            std::fprintf(stderr, "zeltan-standin: unknown command: %s\n", line.c_str());
        }
    }

    void RemoveLink() {
        if (options_.link.empty()) return;
        char target[4096];
        const ssize_t size = readlink(options_.link.c_str(), target, sizeof target - 1);
        if (size > 0 && std::string(target, static_cast<size_t>(size)) == pty_.path()) {
            unlink(options_.link.c_str());
        }
    }

    const Options& options_;
    Controller controller_;
    Transcript transcript_;
    ControlFile control_;
    Pty pty_;
    std::string outgoing_;
    bool cutNext_ = false;
    double lineCredit_ = 0;
    Clock::time_point lineClock_{};
    bool quit_ = false;
    uint32_t noiseState_ = 12345;
};

}  // namespace
}  // namespace zeltan::standin

int main(int argc, char** argv) {
    using namespace zeltan::standin;
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    struct sigaction action {};
    action.sa_handler = RequestStop;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);
    Standin standin(options);
    return standin.Run();
}
