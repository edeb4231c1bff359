#pragma once
// A scripted line and a recorder of window actions, for driving the receive
// loop and the commands byte by byte without a port or a window.
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/receive_loop.h"

namespace zeltan::testing {

// What the line does at each receive: deliver a byte, stay silent for one
// read time-out, or deliver a byte while the port is being closed (a receive
// that reports success on a port closed after the flag was tested).
class ScriptedLine : public LineIo {
public:
    ScriptedLine& Bytes(std::string_view bytes) {
        for (char c : bytes) {
            steps_.push_back({Step::kByte, static_cast<uint8_t>(c)});
        }
        return *this;
    }
    ScriptedLine& Silence(int reads = 1) {
        for (int i = 0; i < reads; ++i) {
            steps_.push_back({Step::kSilence, 0});
        }
        return *this;
    }
    // The port is closed while the next receive is pending: it ends
    // without a byte, and the next look at the flag finds it 0.
    ScriptedLine& Close() {
        steps_.push_back({Step::kClose, 0});
        return *this;
    }
    // The next receive reports true with a byte, but the port was closed
    // while it ran.
    ScriptedLine& ClosedDuringReceive(char stale) {
        steps_.push_back({Step::kClosedDuringReceive, static_cast<uint8_t>(stale)});
        return *this;
    }

    bool Running() override {
        return running_;
    }
    // Once the script is used up the port is closed, as by the operator.
    bool ReceiveByte(uint8_t* byte) override {
        ++receives;
        if (steps_.empty()) {
            running_ = false;
            return false;
        }
        const Step step = steps_.front();
        steps_.pop_front();
        switch (step.kind) {
            case Step::kByte:
                *byte = step.byte;
                return true;
            case Step::kClose:
                running_ = false;
                return false;
            case Step::kClosedDuringReceive:
                running_ = false;
                *byte = step.byte;
                return true;
            default:
                return false;
        }
    }
    void Send(std::string_view text) override { sent.emplace_back(text); }

    std::vector<std::string> sent;
    int receives = 0;

private:
    struct Step {
        enum Kind { kByte, kSilence, kClose, kClosedDuringReceive } kind;
        uint8_t byte;
    };
    std::deque<Step> steps_;
    bool running_ = true;
};

// Records every window action as one line of text, in order.
class RecordingUi : public virtual UiActions {
public:
    void SetText(Control control, const std::string& text) override {
        actions.push_back("text " + Name(control) + " " + text.substr(0, text.find('\0')));
    }
    void SetIcon(Control button, const char* iconName) override {
        actions.push_back("icon " + Name(button) + " " + iconName);
    }
    void SetCheck(Control button, bool checked) override {
        actions.push_back("check " + Name(button) + (checked ? " 1" : " 0"));
    }
    void RefreshDial(bool erase) override {
        actions.push_back(erase ? "refresh erase" : "refresh");
    }

    static std::string Name(Control control) { return RowOf(control).name; }

    std::vector<std::string> actions;
};

}  // namespace zeltan::testing
