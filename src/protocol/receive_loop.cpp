#include "protocol/receive_loop.h"

#include <array>
#include <mutex>

#include "protocol/data.h"
#include "protocol/rotor.h"
#include "protocol/wire.h"

namespace zeltan {

std::string IntToText(int32_t value) { return std::to_string(value); }

ReceiveLoop::Attempt ReceiveLoop::TryReceive(uint8_t* byte) {
    if (!line_.Running()) {
        return Attempt::kStopped;
    }
    if (!line_.ReceiveByte(byte)) {
        return Attempt::kNoByte;
    }
    return line_.Running() ? Attempt::kByte : Attempt::kStopped;
}

uint32_t ReceiveLoop::Run() {
    buffer_.clear();
    lastArm_ = 0;
    for (;;) {
        uint8_t byte = 0;
        const Attempt attempt = TryReceive(&byte);
        if (attempt == Attempt::kStopped) {
            break;
        }
        if (attempt == Attempt::kNoByte) {
            continue;
        }
        if (buffer_.size() >= kBufferLimit) {
            buffer_.clear();
        }
        buffer_.push_back(static_cast<char>(byte));
        if (!Dispatch(byte)) {
            break;
        }
    }
    buffer_.clear();
    return 0;
}

bool ReceiveLoop::Dispatch(uint8_t byte) {
    const char c = static_cast<char>(byte);
    if (c == wire::kReplyEnd) {
        if (buffer_[0] == wire::kVersionHead) {
            return VersionReply();
        }
        if (buffer_[0] == wire::kParamsHead) {
            return ParameterReply();
        }
        return true;  // an unknown header keeps gathering
    }
    if (c == wire::kPositionEnd) {
        PositionReport();
    } else if (c == wire::kStateEnd) {
        DirectionState();
    } else if (wire::kClosingChars.find(c) != std::string_view::npos) {
        buffer_.clear();
    }
    return true;
}

template <typename TakeByte>
bool ReceiveLoop::FixedLengthRead(std::size_t attempts, TakeByte take) {
    for (std::size_t attempt = 0; attempt < attempts; ++attempt) {
        uint8_t byte = 0;
        const Attempt result = TryReceive(&byte);
        if (result == Attempt::kStopped) {
            return false;
        }
        if (result == Attempt::kByte) {
            take(attempt, byte);
        }
    }
    return true;
}

bool ReceiveLoop::VersionReply() {
    buffer_.clear();
    const bool read = FixedLengthRead(wire::kVersionReplyLength, [this](std::size_t, uint8_t byte) {
        buffer_.push_back(static_cast<char>(byte));
    });
    if (!read) {
        return false;
    }
    buffer_.resize(wire::kVersionTextLength, '\0');
    ui_.SetText(Control::kVersionEdit, buffer_.substr(0, buffer_.find('\0')));
    buffer_.clear();
    return true;
}

bool ReceiveLoop::ParameterReply() {
    buffer_.clear();
    const bool read = FixedLengthRead(wire::kBlockLength, [this](std::size_t attempt, uint8_t byte) {
        std::lock_guard<std::mutex> hold(*records_.lock);
        records_.data->SetByte(static_cast<int>(attempt), byte);
    });
    if (!read) {
        return false;
    }
    ShowParameters();
    return true;
}

void ReceiveLoop::ShowParameters() {
    std::array<int32_t, 4> angle{};
    std::array<int32_t, 4> speed{};
    bool soundOff = false;
    bool angleOn = false;
    {
        std::lock_guard<std::mutex> hold(*records_.lock);
        TData& data = *records_.data;
        data.Decode();
        for (int i = 0; i < 4; ++i) {
            angle[i] = data.angle[i];
            speed[i] = data.speed[i];
        }
        soundOff = data.soundOff != 0;
        angleOn = data.angleOn != 0;
    }
    for (int i = 0; i < 4; ++i) {
        ui_.SetText(ParamEdit(i), IntToText(angle[i]));
    }
    ui_.SetIcon(Control::kSoundBtn, soundOff ? icon::SND_OFF : icon::SND_ON);
    ui_.SetCheck(Control::kSoundBtn, !soundOff);
    ui_.SetIcon(Control::kAngleBtn, angleOn ? icon::DGR_ON : icon::DGR_OFF);
    ui_.SetCheck(Control::kAngleBtn, angleOn);
    for (int i = 0; i < 4; ++i) {
        ui_.SetText(ParamEdit(4 + i), IntToText(speed[i]));
    }
    ui_.RefreshDial(true);
}

void ReceiveLoop::PositionReport() {
    const int32_t position = TData::HexToAngle(buffer_);
    bool moved = false;
    {
        std::lock_guard<std::mutex> hold(*records_.lock);
        records_.marker->Update(position);
        const int32_t arm0 = records_.marker->arm[0];
        if (arm0 != lastArm_) {
            lastArm_ = arm0;
            records_.counter->Update(arm0);
            moved = true;
        }
    }
    if (moved) {
        ui_.RefreshDial(false);
    }
    buffer_.clear();
}

void ReceiveLoop::DirectionState() {
    line_.Send(wire::kStatusPoll);
    switch (buffer_[0]) {
        case wire::kStateTurningRight:
            ui_.SetIcon(Control::kRightBtn, icon::R_ON);
            break;
        case wire::kStateTurningLeft:
            ui_.SetIcon(Control::kLeftBtn, icon::L_ON);
            break;
        case wire::kStateStopped:
        case wire::kStateStoppedAlt:
            ui_.SetIcon(Control::kRightBtn, icon::R_OFF);
            ui_.SetIcon(Control::kLeftBtn, icon::L_OFF);
            break;
        default:
            break;
    }
    buffer_.clear();
}

}  // namespace zeltan
