// Fuzz target for the receive loop's framing: any bytes from the line, with
// silent reads and a close at any point, must neither crash the loop nor let
// its buffer grow past the bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>

#include "protocol/data.h"
#include "protocol/receive_loop.h"
#include "protocol/rotor.h"

namespace {

using namespace zeltan;

class NullUi : public UiActions {
public:
    void SetText(Control, const std::string&) override {}
    void SetIcon(Control, const char*) override {}
    void SetCheck(Control, bool) override {}
    void RefreshDial(bool) override {}
};

// Byte 0xFF followed by 0xFE is a silent read; the input's end closes the port.
class FuzzLine : public LineIo {
public:
    FuzzLine(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    const ReceiveLoop* loop = nullptr;

    bool Running() override { return running_; }
    bool ReceiveByte(uint8_t* byte) override {
        if (loop != nullptr && loop->BufferSize() > ReceiveLoop::kBufferLimit) {
            abort();
        }
        if (pos_ >= size_) {
            running_ = false;
            return false;
        }
        if (data_[pos_] == 0xFF && pos_ + 1 < size_ && data_[pos_ + 1] == 0xFE) {
            pos_ += 2;
            return false;
        }
        *byte = data_[pos_++];
        return true;
    }
    void Send(std::string_view) override {}

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool running_ = true;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TData records;
    TMarker marker;
    TCounter counter;
    std::mutex lock;
    NullUi ui;
    FuzzLine line(data, size);
    ReceiveLoop loop(line, ui, Records{&records, &marker, &counter, &lock});
    line.loop = &loop;
    loop.Run();
    return 0;
}
