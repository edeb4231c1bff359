#include "controller.h"

#include <cstdio>

#include "base/hex.h"
#include "protocol/wire.h"

namespace zeltan::standin {
namespace {

constexpr int kPositions = 1024;

}  // namespace

TData Controller::FactoryBlock() {
    TData block;
    const int32_t angles[4] = {120, 100, 60, 30};
    const int32_t speeds[4] = {80, 40, 60, 100};
    for (int i = 0; i < 4; ++i) {
        block.angle[i] = angles[i];
        block.speed[i] = speeds[i];
    }
    block.angleOn = 1;
    block.soundOff = 0;
    block.bit1Flag = 0;
    block.raw[4] = 0x12;  // carried, never interpreted: shows that a writer sends them back
    block.raw[5] = 0x34;
    block.Encode();
    return block;
}

Controller::Controller(std::string versionText)
    : working(FactoryBlock()), stored(FactoryBlock()), versionText_(std::move(versionText)) {
    versionText_.resize(wire::kVersionReplyLength, '\0');
}

std::string Controller::Feed(uint8_t byte) {
    if (blockBytesLeft_ > 0) {
        working.raw[wire::kBlockLength - blockBytesLeft_] = byte;
        --blockBytesLeft_;
        return {};
    }
    if (pendingDigit_ != 0) {
        const char digit = pendingDigit_;
        pendingDigit_ = 0;
        if (byte == static_cast<uint8_t>(wire::kReplyEnd)) {
            return Command(digit);
        }
    }
    if (byte == wire::kTurnLeft[0]) {
        rotation_ = Rotation::kLeft;
        return std::string(wire::kTurnLeft);
    }
    if (byte == wire::kTurnRight[0]) {
        rotation_ = Rotation::kRight;
        return std::string(wire::kTurnRight);
    }
    if (byte >= '0' && byte <= '9') {
        pendingDigit_ = static_cast<char>(byte);
    }
    return {};
}

std::string Controller::Command(char digit) {
    switch (digit) {
        case '3':
            return std::string(wire::kReadParams) +
                   std::string(reinterpret_cast<const char*>(working.raw), wire::kBlockLength);
        case '4':
            blockBytesLeft_ = static_cast<int>(wire::kBlockLength);
            return {};
        case '5':
            stored = working;
            return {};
        case '6':
            return std::string(wire::kReadVersion) + versionText_;
        case '7':
            working = stored;
            return {};
        case '8':
            rotation_ = Rotation::kReset;
            return {};
        case '9': {
            char state = wire::kStateStopped;
            if (rotation_ == Rotation::kRight) state = wire::kStateTurningRight;
            if (rotation_ == Rotation::kLeft) state = wire::kStateTurningLeft;
            if (rotation_ == Rotation::kReset) state = wire::kStateStoppedAlt;
            return std::string{state, wire::kStateEnd};
        }
        default:
            return "?";
    }
}

std::string Controller::NextReport() {
    const int delta = rotation_ == Rotation::kLeft ? -step_ : step_;
    position_ = ((position_ + delta) % kPositions + kPositions) % kPositions;
    char text[8];
    std::snprintf(text, sizeof text, "%X", position_);
    return std::string(text) + wire::kPositionEnd;
}

std::string Unescape(std::string_view text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            bytes += text[i];
            continue;
        }
        const char code = text[i + 1];
        if (code == 'x' && i + 3 < text.size() && HexDigitValue(text[i + 2]) >= 0 &&
            HexDigitValue(text[i + 3]) >= 0) {
            bytes += static_cast<char>(HexDigitValue(text[i + 2]) * 16 + HexDigitValue(text[i + 3]));
            i += 3;
            continue;
        }
        const char simple = code == 'n' ? '\n' : code == 'r' ? '\r' : code == 't' ? '\t'
                          : code == '0' ? '\0' : code == '\\' ? '\\' : 0;
        if (simple != 0 || code == '0') {
            bytes += simple;
            ++i;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

}  // namespace zeltan::standin
