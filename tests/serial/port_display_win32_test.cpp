// The probe and the warning boxes of OpenPort, under Wine on a display, with
// stand-ins mapped as COM3 and COM12.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "base/globals_win32.h"
#include "base/scoped_win32.h"
#include "serial/port_names.h"
#include "serial/port_win32.h"
#include "standin_win32.h"

namespace zeltan {
namespace {

const test::StandinLink kCom3(3), kCom12(12);

std::wstring From1251(const std::string& text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(1251, 0, text.data(), static_cast<int>(text.size()),
                                    wide.data(), static_cast<int>(wide.size())));
    return wide;
}

std::string To1251(const std::wstring& wide) {
    std::string text(wide.size() * 2, '\0');
    text.resize(WideCharToMultiByte(1251, 0, wide.data(), static_cast<int>(wide.size()),
                                    text.data(), static_cast<int>(text.size()), nullptr, nullptr));
    return text;
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

// Holds a port open from another process (within one process Wine lets a
// second open of a port succeed), until the holder is released.
constexpr char kHoldReady[] = "zeltan-serial-test-held";
constexpr char kHoldRelease[] = "zeltan-serial-test-release";

int HoldPort(const char* name) {
    const HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, kHoldReady);
    const HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, kHoldRelease);
    const HANDLE port = CreateFileA(DevicePath(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (ready == nullptr || release == nullptr || port == INVALID_HANDLE_VALUE) return 1;
    SetEvent(ready);
    WaitForSingleObject(release, 30000);
    CloseHandle(port);
    return 0;
}

class PortHolder {
public:
    explicit PortHolder(const std::string& name)
        : ready_(CreateEventA(nullptr, TRUE, FALSE, kHoldReady)),
          release_(CreateEventA(nullptr, TRUE, FALSE, kHoldRelease)) {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string command = "\"" + std::string(self) + "\" --hold " + name;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process)) {
            CloseHandle(process.hThread);
            process_.reset(process.hProcess);
            held_ = WaitForSingleObject(ready_.get(), 10000) == WAIT_OBJECT_0;
        }
    }
    ~PortHolder() {
        SetEvent(release_.get());
        if (process_) {
            WaitForSingleObject(process_.get(), 10000);
        }
    }
    bool held() const { return held_; }

private:
    scoped::Handle ready_;
    scoped::Handle release_;
    scoped::Handle process_;
    bool held_ = false;
};

// A top-level window (owner of the boxes) and the port list, as the main
// window would have them.
class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kCom3.mapped() && kCom12.mapped()) << "run through tools/with-standin --com 3 --com 12";
        owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
        hPortCombo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | CBS_DROPDOWN, 0, 0, 100, 200,
                                     owner, nullptr, nullptr, nullptr);
        ASSERT_NE(hPortCombo, nullptr);
    }
    void TearDown() override {
        DestroyWindow(owner);
        hPortCombo = nullptr;
    }

    std::vector<std::string> Listed() {
        std::vector<std::string> names;
        const auto count = SendMessageA(hPortCombo, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char name[64] = {};
            SendMessageA(hPortCombo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
            names.push_back(name);
        }
        return names;
    }

    HWND owner = nullptr;
};

TEST_F(DisplayTest, ProbeListsWhatOpensInAscendingOrder) {
    for (int n = 1; n <= 300; ++n) ProbeComPort(n);
    const std::vector<std::string> listed = Listed();
    std::vector<std::string> opening;
    for (int n = kFirstComPort; n <= kLastComPort; ++n) {
        const HANDLE h = CreateFileA(DevicePath(PortName(n)).c_str(), GENERIC_READ | GENERIC_WRITE,
                                     0, nullptr, OPEN_EXISTING, 0, nullptr);
        const bool opened = h != INVALID_HANDLE_VALUE;
        if (opened) CloseHandle(h);
        if (IsProbeListed(opened, opened ? 0 : GetLastError())) opening.push_back(PortName(n));
    }
    EXPECT_EQ(listed, opening);  // ascending by number: COM3 before COM12
    std::string all;
    for (const std::string& name : listed) all += name + " ";
    std::printf("probe listed: %s\n", all.c_str());
    EXPECT_NE(all.find("COM3 "), std::string::npos);
    EXPECT_NE(all.find("COM12 "), std::string::npos);
    EXPECT_LT(all.find("COM3 "), all.find("COM12 "));
}

TEST_F(DisplayTest, ProbeListsAPortHeldOpen) {
    PortHolder holder(kCom12.name());
    ASSERT_TRUE(holder.held());
    ProbeComPort(12);
    EXPECT_EQ(Listed(), std::vector<std::string>{"COM12"});
}

// Reads the warning box from a helper thread and presses its OK button.
struct SeenBox {
    std::string text;
    HWND owner = nullptr;
    bool found = false;
};

SeenBox DismissWarningBox() {
    SeenBox seen;
    const std::wstring caption = From1251(std::string(kOpenWarningCaption));
    for (int i = 0; i < 250 && !seen.found; ++i) {
        const HWND box = FindWindowW(L"#32770", caption.c_str());
        if (box != nullptr && IsWindowVisible(box)) {
            seen.found = true;
            seen.owner = GetWindow(box, GW_OWNER);
            const HWND textControl = GetDlgItem(box, 0xFFFF);
            seen.text = To1251(WindowText(textControl != nullptr ? textControl : box));
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        } else {
            Sleep(20);
        }
    }
    return seen;
}

TEST_F(DisplayTest, FailedOpensShowTheWarningForTheirError) {
    struct Case {
        const char* name;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"COM250", OpenWarningText("COM250", kErrorFileNotFound)},  // nothing behind it
        // Any other failure. (A port held by another program would do on
        // Windows, but Wine lets a pty-backed port be opened twice.)
        {"COM3\\x", OpenWarningText("COM3\\x", kErrorAccessDenied)},
    };
    for (const Case& c : cases) {
        TPort port(owner);
        SeenBox seen;
        std::thread helper([&] { seen = DismissWarningBox(); });
        EXPECT_FALSE(OpenPort(&port, c.name));
        helper.join();
        ASSERT_TRUE(seen.found) << c.name;
        EXPECT_EQ(seen.text, c.text) << c.name;
        EXPECT_EQ(seen.owner, owner);
        EXPECT_EQ(port.hPort.load(), INVALID_HANDLE_VALUE);
        EXPECT_EQ(port.running, 0);
    }
}

}  // namespace
}  // namespace zeltan

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--hold") {
        return zeltan::HoldPort(argv[2]);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
