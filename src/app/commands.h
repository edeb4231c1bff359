#pragma once
// The operator's commands: what each button of the main window does. They run
// on the main thread. The logic is portable; everything it needs from the
// platform (the controls, the port, the worker thread, the About box) comes
// through CommandPlatform, which the Win32 shell implements over the real
// window and port and tests implement with recorders.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/ui_actions.h"

namespace zeltan {

class CommandPlatform : public virtual UiActions {
public:
    // The control's text, cut to count - 1 bytes.
    virtual std::string GetText(Control control, int count) = 0;
    virtual void Enable(Control control, bool enabled) = 0;
    // BM_GETCHECK: 0 unchecked, 1 checked, anything else is left alone.
    virtual int GetCheck(Control button) = 0;
    virtual void ShowAbout(const std::string& caption, const std::string& text) = 0;

    // The port. OpenPort shows its own warning; ConfigurePort closes the
    // port again itself when it fails.
    virtual bool OpenPort(const std::string& name) = 0;
    virtual bool ConfigurePort(const std::string& baudText) = 0;
    virtual void ClosePort() = 0;
    virtual void Send(std::string_view text) = 0;

    // The receive loop's worker. It is created suspended, so that Open can
    // finish its resets before the first reply is handled; false when no
    // thread could be created.
    virtual bool CreateWorker() = 0;
    virtual void ResumeWorker() = 0;
    // True once the previous worker (if any) has left its loop, so that no
    // two loops ever read one port; false when it has not left it within the
    // wait. The port must be closed already.
    virtual bool AwaitWorkerEnd() = 0;
};

// Runs the command of a control id; ids that are no command do nothing.
void HandleCommand(int id, CommandPlatform& platform, const Records& records);

// A field's number: optional blanks, one optional sign, the digits up to
// the first other character; no digits give 0. Digit strings beyond the
// signed 32-bit range saturate at its limits.
int32_t ReadEditInt(std::string_view text);

// The text of the About box.
extern const char* const kAboutCaption;
extern const char* const kAboutText;

}  // namespace zeltan
