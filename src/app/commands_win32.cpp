#include "app/commands_win32.h"

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/worker_win32.h"
#include "base/globals_win32.h"
#include "base/window_actions_win32.h"
#include "serial/port_win32.h"

namespace zeltan {
namespace {

class WindowPlatform : public WindowActions, public CommandPlatform {
public:
    std::string GetText(Control control, int count) override {
        std::vector<char> text(static_cast<size_t>(count), '\0');
        const int length = GetWindowTextA(ControlWindow(control), text.data(), count);
        return std::string(text.data(), length > 0 ? static_cast<size_t>(length) : 0);
    }
    void Enable(Control control, bool enabled) override {
        EnableWindow(ControlWindow(control), enabled);
    }
    int GetCheck(Control button) override {
        return static_cast<int>(SendMessageA(ControlWindow(button), BM_GETCHECK, 0, 0));
    }
    void ShowAbout(const std::string& caption, const std::string& text) override {
        MessageBoxA(hMainWnd, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
    }
    bool OpenPort(const std::string& name) override { return zeltan::OpenPort(Port, name); }
    bool ConfigurePort(const std::string& baudText) override {
        return zeltan::ConfigurePort(Port, baudText);
    }
    void ClosePort() override { zeltan::ClosePort(Port); }
    void Send(std::string_view text) override { SendString(Port, std::string(text)); }
    bool CreateWorker() override { return Worker().Create(); }
    void ResumeWorker() override { Worker().Resume(); }
    bool AwaitWorkerEnd() override { return Worker().AwaitEnd(kWorkerEndTimeoutMs); }
};

}  // namespace

void OnCommand(WPARAM wParam) {
    WindowPlatform platform;
    HandleCommand(LOWORD(wParam), platform, GlobalRecords());
}

}  // namespace zeltan
