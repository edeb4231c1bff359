// zeltan-standin.exe: the controller simulator on a COM port of a Windows
// PC, the Windows front end of the stand-in session (session.h). The same
// controller answers as on Linux; its commands are typed on the console
// (one line each, after the prompt), and may also come from --control and
// --at as on Linux. It ends on "quit", at the end of its input, or when its
// console is closed.
//
// One loop on the main thread moves the session's bytes: the port is opened
// for plain (not overlapped) I/O with time-outs that make a read return at
// once with what is there, so the loop never blocks on the line; what waits
// to be sent leaves in chunks, so a burst never stalls reading for long. A
// second thread only reads the console, which blocks, and hands over lines.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "base/scoped_win32.h"
#include "session.h"

namespace zeltan::standin {
namespace {

const char kUsageHead[] = R"(usage: zeltan-standin.exe COMn [options]

The motor controller simulator: plays the controller on the serial port COMn,
for training with zeltan.exe and for checking a PC's serial set-up. Join two
ports with a null-modem cable (two USB adapters crossed, or a virtual pair),
start the simulator on one and zeltan.exe on the other, choose the other port
and the same rate in zeltan.exe and connect.
)";

const char kUsageOptions[] = R"(
Options:
  --baud N             line rate (default 19200, the rate zeltan.exe starts with)
)";

const char kUsageTail[] = R"(  --help               this text

Commands, typed after the prompt (also control file lines and --at):
)";

const char kUsageEnd[] = R"(  help            this list
Here "unplug" closes the COM port (the far side hears nothing more) and
"plug" opens it again. End of input or closing the console ends it too.
)";

const char kPrompt[] = "zeltan-standin> ";

struct ComOptions {
    std::string port;
    DWORD baud = 19200;
    Options common;
};

const UsageTexts kUsage = {kUsageHead, kUsageOptions, kUsageTail, kUsageEnd};

void PrintCommands() {
    std::fputs(kCommandsHelp, stdout);
    std::fputs("  help            this list\n", stdout);
}

// "COM5", "com5" and "\\.\COM5" all name COM5.
bool PortName(std::string text, std::string* name) {
    if (text.rfind("\\\\.\\", 0) == 0) text.erase(0, 4);
    if (text.size() < 4 || (text[0] != 'C' && text[0] != 'c') || (text[1] != 'O' && text[1] != 'o') ||
        (text[2] != 'M' && text[2] != 'm')) {
        return false;
    }
    for (size_t i = 3; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    *name = "COM" + text.substr(3);
    return true;
}

bool ParseOptions(int argc, char** argv, ComOptions* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "/?") {
            PrintUsage(stdout, kUsage);
            std::exit(0);
        }
        if (arg.rfind("--", 0) != 0) {
            if (!options->port.empty() || !PortName(arg, &options->port)) return false;
            continue;
        }
        if (i + 1 >= argc) return false;
        const std::string value = argv[++i];
        if (arg == "--baud") {
            options->baud = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
            if (options->baud == 0) return false;
        } else if (!TakeCommonOption(arg, value, &options->common)) {
            return false;
        }
    }
    return !options->port.empty();
}

std::string ErrorText(DWORD error) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = text != nullptr ? text : "";
    if (text != nullptr) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
    return "error " + std::to_string(error) + (result.empty() ? "" : ": " + result);
}

// The COM port: 8 data bits, no parity, one stop bit, no flow control, as
// zeltan.exe sets its side.
class ComPort {
public:

    bool Open(const std::string& name, DWORD baud) {
        Close();
        const std::string path = "\\\\.\\" + name;
        handle_.reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
        if (!handle_) {
            std::fprintf(stderr, "zeltan-standin: cannot open %s (%s)\n", name.c_str(),
                         ErrorText(GetLastError()).c_str());
            return false;
        }
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        GetCommState(handle_.get(), &dcb);
        dcb.BaudRate = baud;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fBinary = TRUE;
        dcb.fParity = FALSE;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fNull = FALSE;
        dcb.fAbortOnError = FALSE;
        // A read returns at once with what has arrived; a write may take as
        // long as its bytes need at the line rate, and a little more.
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD;
        timeouts.WriteTotalTimeoutMultiplier = 2;
        timeouts.WriteTotalTimeoutConstant = 200;
        if (!SetCommState(handle_.get(), &dcb) || !SetCommTimeouts(handle_.get(), &timeouts)) {
            std::fprintf(stderr, "zeltan-standin: cannot set up %s (%s)\n", name.c_str(),
                         ErrorText(GetLastError()).c_str());
            Close();
            return false;
        }
        PurgeComm(handle_.get(), PURGE_RXCLEAR | PURGE_TXCLEAR);
        return true;
    }

    void Close() { handle_.reset(); }

    bool open() const { return static_cast<bool>(handle_); }

    // What has arrived, without waiting; 0 when nothing has.
    size_t Read(char* buffer, size_t size) {
        DWORD got = 0;
        if (!open() || !ReadFile(handle_.get(), buffer, static_cast<DWORD>(size), &got, nullptr)) return 0;
        return got;
    }

    size_t Write(const char* data, size_t size) {
        DWORD sent = 0;
        if (!open() || !WriteFile(handle_.get(), data, static_cast<DWORD>(size), &sent, nullptr)) return 0;
        return sent;
    }

private:
    zeltan::scoped::Handle handle_;
};

// Lines typed on the console, read by their own thread (a console read
// blocks); the end of input counts as "quit".
class ConsoleLines {
public:
    void Start() {
        std::thread([this] {
            char line[4096];
            while (std::fgets(line, sizeof line, stdin) != nullptr) {
                std::string text = line;
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
                Push(text);
            }
            Push("quit");
        }).detach();
    }

    bool Pop(std::string* line) {
        std::lock_guard<std::mutex> hold(lock_);
        if (lines_.empty()) return false;
        *line = lines_.front();
        lines_.pop_front();
        return true;
    }

private:
    void Push(const std::string& line) {
        std::lock_guard<std::mutex> hold(lock_);
        lines_.push_back(line);
    }

    std::mutex lock_;
    std::deque<std::string> lines_;
};

std::atomic<bool> closeRequested{false};
std::atomic<bool> finished{false};

// Ctrl+C, Ctrl+Break and closing the console end the loop; for a close,
// Windows ends the process once this returns, so it waits for the loop to
// finish (and close the port) first.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    closeRequested = true;
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        for (int i = 0; i < 200 && !finished; ++i) Sleep(10);
    }
    return TRUE;
}

class Simulator {
public:
    explicit Simulator(const ComOptions& options) : options_(options), session_(options.common) {}

    int Run() {
        if (!port_.Open(options_.port, options_.baud)) return 1;
        std::printf("zeltan-standin: the controller answers on %s at %lu baud; type help for the "
                    "commands\n%s",
                    options_.port.c_str(), static_cast<unsigned long>(options_.baud), kPrompt);
        std::fflush(stdout);
        console_.Start();
        while (!quit_ && !closeRequested) {
            for (LineAction action : session_.Tick()) Apply(action);
            std::string line;
            while (!quit_ && console_.Pop(&line)) Typed(line);
            if (quit_) break;
            if (!Pump()) {
                const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
                    session_.NextWakeup() - Clock::now());
                Sleep(static_cast<DWORD>(std::max<long long>(0, std::min<long long>(2, wait.count()))));
            }
        }
        port_.Close();
        return 0;
    }

private:
    // Reads what has arrived and sends a chunk of what waits; true if
    // anything moved.
    bool Pump() {
        if (!port_.open()) return false;
        bool moved = false;
        char chunk[4096];
        const size_t got = port_.Read(chunk, sizeof chunk);
        if (got > 0) {
            session_.Received(chunk, got);
            moved = true;
        }
        const std::string& outgoing = session_.outgoing();
        if (!outgoing.empty()) {
            const size_t sent = port_.Write(outgoing.data(), std::min<size_t>(outgoing.size(), 1024));
            if (sent > 0) {
                session_.Sent(sent);
                moved = true;
            }
        }
        return moved;
    }

    void Typed(const std::string& line) {
        if (line == "help" || line == "?") {
            PrintCommands();
        } else {
            Apply(session_.Execute(line));
        }
        if (!quit_) {
            std::fputs(kPrompt, stdout);
            std::fflush(stdout);
        }
    }

    void Apply(LineAction action) {
        switch (action) {
            case LineAction::kUnplug:
                port_.Close();
                session_.SetLineUp(false);
                std::printf("%s closed\n", options_.port.c_str());
                break;
            case LineAction::kPlug:
                if (port_.Open(options_.port, options_.baud)) {
                    session_.SetLineUp(true);
                    std::printf("%s open again\n", options_.port.c_str());
                }
                break;
            case LineAction::kQuit:
                quit_ = true;
                break;
            case LineAction::kUnknown:
                std::printf("type help for the commands\n");
                break;
            default:
                break;
        }
        std::fflush(stdout);
    }

    const ComOptions& options_;
    Session session_;
    ComPort port_;
    ConsoleLines console_;
    bool quit_ = false;
};

}  // namespace
}  // namespace zeltan::standin

int main(int argc, char** argv) {
    using namespace zeltan::standin;
    ComOptions options;
    if (!ParseOptions(argc, argv, &options)) {
        PrintUsage(stderr, kUsage);
        return 2;
    }
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    int status;
    {
        Simulator simulator(options);
        status = simulator.Run();
    }
    finished = true;
    return status;
}
