#pragma once
// Runs the operator's commands one at a time.
//
// A command can wait (Close, Open and teardown wait for the worker), and a
// waiting main thread still serves messages that other threads send it: the
// worker's window calls, but also a command sent by another program, such as
// an automation tool's click. Such a command must not run inside the one
// that waits (an Open inside a Close would end connected with Открыть
// enabled), and it must not be lost either: it waits here and runs when the
// running one has returned, in the order the commands came.
//
// Teardown goes through the same door: it runs when the running command has
// returned, and the commands still waiting are dropped (the window they were
// meant for is gone). After teardown nothing runs any more.
//
// Main thread only; no lock.
#include <deque>
#include <functional>
#include <utility>

namespace zeltan {

class CommandQueue {
public:
    using Task = std::function<void()>;

    // Runs task now, or after the running one (and those before it).
    void Submit(Task task) {
        if (closed_) {
            return;
        }
        waiting_.push_back(std::move(task));
        Drain();
    }

    // Runs the last task now, or as soon as the running one has returned;
    // drops every task still waiting and refuses all later ones.
    void Close(Task last) {
        if (closed_) {
            return;
        }
        closed_ = true;
        waiting_.clear();
        waiting_.push_back(std::move(last));
        Drain();
    }

    bool Running() const { return running_; }

private:
    void Drain() {
        if (running_) {
            return;  // the running task's Drain takes it
        }
        running_ = true;
        while (!waiting_.empty()) {
            Task task = std::move(waiting_.front());
            waiting_.pop_front();
            task();
        }
        running_ = false;
    }

    std::deque<Task> waiting_;
    bool running_ = false;
    bool closed_ = false;
};

}  // namespace zeltan
