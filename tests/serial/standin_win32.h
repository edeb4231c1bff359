#pragma once
// Test side of a stand-in that tools/with-standin mapped as COM port n: its
// control file (commands) and its transcript (the exact bytes it received
// and sent), both reached through Wine's Z: drive.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace zeltan::test {

inline std::string Env(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? value : "";
}

class StandinLink {
public:
    explicit StandinLink(int n) : n_(n) {}

    bool mapped() const { return !Env(Var("WINCONTROL")).empty(); }
    std::string name() const { return "COM" + std::to_string(n_); }

    // Appends one command line; the stand-in takes it within about 20 ms.
    void Command(const std::string& line) const {
        std::ofstream(Env(Var("WINCONTROL")), std::ios::app | std::ios::binary) << line << '\n';
    }

    // Every byte of the transcript's "rx" (or "tx") lines, in order.
    std::string Bytes(const char* direction) const {
        std::ifstream log(Env(Var("WINLOG")), std::ios::binary);
        std::string line, bytes;
        while (std::getline(log, line)) {
            if (line.rfind(direction, 0) != 0) continue;
            std::istringstream hex(line.substr(2));
            unsigned value;
            while (hex >> std::hex >> value) bytes += static_cast<char>(value);
        }
        return bytes;
    }

    // Waits until the stand-in has received at least `size` bytes (or 2 s).
    std::string ReceivedAtLeast(size_t size) const {
        std::string bytes;
        for (int i = 0; i < 100 && (bytes = Bytes("rx")).size() < size; ++i) Sleep(20);
        return bytes;
    }

    // Waits until the port opens again (after "plug"), without a warning box.
    bool WaitUntilOpens() const {
        const std::string path = "\\\\.\\" + name();
        for (int i = 0; i < 100; ++i) {
            const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr);
            if (h != INVALID_HANDLE_VALUE) {
                CloseHandle(h);
                return true;
            }
            Sleep(20);
        }
        return false;
    }

private:
    std::string Var(const char* kind) const {
        return "ZELTAN_STANDIN_" + std::string(kind) + "_" + std::to_string(n_);
    }
    int n_;
};

}  // namespace zeltan::test
