// zeltan-standin: a stand-in for the motor controller on a pseudo-terminal,
// the Linux front end of the stand-in session (session.h). It prints the
// slave side's path (after making the --link symlink, if asked) and moves
// the session's bytes; the session answers the wire protocol, sends position
// reports while the rotor spins and takes commands from the command line
// (--at) and from a control file that any program may append lines to.
//
// One thread, one poll loop: the master side is non-blocking, replies and
// reports queue in the session and leave as fast as the line takes them, so
// a burst never stalls reading. The stand-in keeps the slave side open itself,
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

#include "session.h"

namespace zeltan::standin {
namespace {

const char kUsageHead[] = R"(usage: zeltan-standin [options]

A stand-in for the motor controller. Creates a pseudo-terminal, prints the
path of its slave side on one line of standard output (once it is ready, and
again after every "plug"), and plays the controller on it.
)";

const char kUsageOptions[] = R"(
Options:
  --link PATH          make PATH a symlink to the slave side (re-pointed on "plug")
)";

const char kUsageTail[] = R"(  --help               this text

Commands (control file lines and --at):
)";

const char kUsageEnd[] = R"(Here "unplug" closes the pseudo-terminal (reads on the far side then fail at
once) and "plug" opens a new one, re-points --link and prints its path.
SIGTERM and SIGINT end it too; it removes its --link on the way out.
)";

const UsageTexts kUsage = {kUsageHead, kUsageOptions, kUsageTail, kUsageEnd};

volatile sig_atomic_t stopRequested = 0;
void RequestStop(int) { stopRequested = 1; }

struct PtyOptions {
    std::string link;
    Options common;
};

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "zeltan-standin: %s\n", what.c_str());
    std::exit(2);
}

bool ParseOptions(int argc, char** argv, PtyOptions* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") {
            PrintUsage(stdout, kUsage);
            std::exit(0);
        }
        if (i + 1 >= argc) {
            return false;
        }
        const std::string value = argv[++i];
        if (arg == "--link") {
            options->link = value;
        } else if (!TakeCommonOption(arg, value, &options->common)) {
            return false;
        }
    }
    return true;
}

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

class Standin {
public:
    explicit Standin(const PtyOptions& options) : options_(options), session_(options.common) {}

    int Run() {
        pty_.Open(options_.link);
        while (!stopRequested && !quit_) {
            for (LineAction action : session_.Tick()) Apply(action);
            if (quit_) break;
            Pump(session_.NextWakeup());
        }
        RemoveLink();
        return 0;
    }

private:
    // Waits for the line until `until`, reading what comes and writing what waits.
    void Pump(Clock::time_point until) {
        // Rounded up: a wait of less than a millisecond must not become a spin.
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
        const int timeout = static_cast<int>(std::max<long long>(0, wait.count()));
        if (pty_.master() < 0) {
            poll(nullptr, 0, timeout);
            return;
        }
        const std::string& outgoing = session_.outgoing();
        pollfd line{pty_.master(), static_cast<short>(POLLIN | (outgoing.empty() ? 0 : POLLOUT)), 0};
        if (poll(&line, 1, timeout) <= 0) return;
        if (line.revents & POLLIN) {
            char chunk[4096];
            const ssize_t got = read(pty_.master(), chunk, sizeof chunk);
            if (got > 0) session_.Received(chunk, static_cast<size_t>(got));
        }
        if ((line.revents & POLLOUT) && !outgoing.empty()) {
            const ssize_t sent = write(pty_.master(), outgoing.data(), outgoing.size());
            if (sent > 0) session_.Sent(static_cast<size_t>(sent));
        }
    }

    void Apply(LineAction action) {
        switch (action) {
            case LineAction::kUnplug:
                pty_.Close();
                session_.SetLineUp(false);
                break;
            case LineAction::kPlug:
                pty_.Close();
                pty_.Open(options_.link);
                session_.SetLineUp(true);
                break;
            case LineAction::kQuit:
                quit_ = true;
                break;
            default:
                break;
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

    const PtyOptions& options_;
    Session session_;
    Pty pty_;
    bool quit_ = false;
};

}  // namespace
}  // namespace zeltan::standin

int main(int argc, char** argv) {
    using namespace zeltan::standin;
    PtyOptions options;
    if (!ParseOptions(argc, argv, &options)) {
        PrintUsage(stderr, kUsage);
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
