// The receive loop bound to the real port and window. Runs on the worker
// thread; the main thread keeps the records and the port alive until it has
// seen this thread end.
#include "protocol/receive_loop_win32.h"

#include <string>

#include "base/globals_win32.h"
#include "base/window_actions_win32.h"
#include "dial/repaint_win32.h"
#include "protocol/receive_loop.h"
#include "serial/port_win32.h"

namespace {

class PortLine : public zeltan::LineIo {
public:
    explicit PortLine(zeltan::TPort* port) : port_(port) {}
    bool Running() override { return port_->running != 0; }
    bool ReceiveByte(uint8_t* byte) override { return zeltan::ReceiveByte(port_, byte); }
    void Send(std::string_view text) override { zeltan::SendString(port_, std::string(text)); }

private:
    zeltan::TPort* port_;
};

// The main window's controls, and the dial, which a position report asks
// for a paced repaint (at most one per frame) instead of invalidating it.
class LoopWindow : public zeltan::WindowActions {
public:
    void RefreshDial(bool erase) override {
        if (erase) {
            WindowActions::RefreshDial(true);
        } else {
            RequestDialRepaint(hPaintWnd);
        }
    }
};

}  // namespace

unsigned __stdcall ReceiveLoop(void*) {
    PortLine line(Port);
    LoopWindow window;
    zeltan::ReceiveLoop loop(line, window, zeltan::GlobalRecords());
    return loop.Run();
}
