#include "protocol/data.h"

#include <cstring>

#include "base/hex.h"
#include "protocol/rounding.h"

namespace zeltan {
namespace {

constexpr int64_t kStepsPerTurn = 1024;  // controller angle unit: 1/1024 of a turn
constexpr int64_t kDegreesPerTurn = 360;
constexpr int64_t kSpeedSteps = 255;     // controller speed unit: 1/255 of full speed
constexpr int64_t kPercent = 100;
constexpr int32_t kNeutralOffset = 120;  // angle[2] is sent as 120 minus the angle

int32_t StepsToDegrees(int64_t steps) {
    return static_cast<int32_t>(RoundHalfUp(steps * kDegreesPerTurn, kStepsPerTurn));
}

int64_t DegreesToSteps(int64_t degrees) { return RoundHalfUp(degrees * kStepsPerTurn, kDegreesPerTurn); }

uint8_t ToByte(int64_t v) { return static_cast<uint8_t>(Clamp(v, 0, 0xFF)); }

void PutWord(uint8_t* at, int64_t v) {
    const auto word = static_cast<uint16_t>(Clamp(v, 0, 0xFFFF));
    at[0] = static_cast<uint8_t>(word & 0xFF);
    at[1] = static_cast<uint8_t>(word >> 8);
}

int64_t GetWord(const uint8_t* at) { return at[0] | (at[1] << 8); }

}  // namespace

void TData::Reset() {
    std::memset(raw, 0, sizeof raw);
    for (int i = 0; i < 4; ++i) {
        angle[i] = 0;
        speed[i] = 0;
    }
    soundOff = 1;
    bit1Flag = 0;
    angleOn = 0;
}

void TData::SetByte(int index, uint8_t byte) {
    if (index >= 0 && index < kBlockSize) {
        raw[index] = byte;
    }
}

void TData::Decode() {
    angle[0] = StepsToDegrees(GetWord(&raw[0]));
    angle[1] = StepsToDegrees(GetWord(&raw[2]));
    angle[2] = kNeutralOffset - StepsToDegrees(raw[6]);
    angle[3] = StepsToDegrees(raw[7]);
    soundOff = raw[8] & 1;
    bit1Flag = (raw[8] >> 1) & 1;
    angleOn = (raw[8] >> 2) & 1;
    for (int i = 0; i < 4; ++i) {
        speed[i] = static_cast<int32_t>(RoundHalfUp(raw[9 + i] * kPercent, kSpeedSteps));
    }
}

void TData::Encode() {
    PutWord(&raw[0], DegreesToSteps(angle[0]));
    PutWord(&raw[2], DegreesToSteps(angle[1]));
    raw[6] = ToByte(DegreesToSteps(int64_t{kNeutralOffset} - angle[2]));
    raw[7] = ToByte(DegreesToSteps(angle[3]));
    raw[8] = static_cast<uint8_t>((soundOff & 1) | ((bit1Flag & 1) << 1) | ((angleOn & 1) << 2));
    for (int i = 0; i < 4; ++i) {
        raw[9 + i] = ToByte(RoundHalfUp(int64_t{speed[i]} * kSpeedSteps, kPercent));
    }
}

std::string TData::Block() {
    Encode();
    return std::string(reinterpret_cast<const char*>(raw), kBlockSize);
}

int32_t ParseHex32(std::string_view text) {
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // strtol takes an optional "0x" prefix, but only when a hex digit follows it.
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        HexDigitValue(text[i + 2]) >= 0) {
        i += 2;
    }
    constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;  // magnitude of INT32_MIN
    int64_t magnitude = 0;
    for (; i < text.size() && HexDigitValue(text[i]) >= 0; ++i) {
        magnitude = magnitude * 16 + HexDigitValue(text[i]);
        if (magnitude > kLimit) magnitude = kLimit;  // saturate; keeps the product small
    }
    const int64_t v = negative ? -magnitude : magnitude;
    return static_cast<int32_t>(Clamp(v, INT32_MIN, INT32_MAX));
}

int32_t TData::HexToAngle(std::string_view text) {
    const int64_t v = ParseHex32(text);
    return static_cast<int32_t>(RoundHalfUp(v * kDegreesPerTurn, kStepsPerTurn) - 180);
}

}  // namespace zeltan
