#pragma once
// TData: the controller's eight settings and option bits, both as the 13-byte
// parameter block exactly as it travels on the wire (`raw`) and decoded into
// whole degrees, whole percent and three flags. Decode and Encode convert
// between the two with the controller's rounding; Encode never wraps a value
// into its field but pins it to the field's range.
//
// Block layout: 0-1 angle[0] (u16 LE), 2-3 angle[1] (u16 LE), 4-5 carried
// unchanged, 6 angle[2] (120 minus the angle), 7 angle[3], 8 option bits
// (bit 0 soundOff, bit 1 bit1Flag, bit 2 angleOn), 9-12 speed[0..3].
#include <cstdint>
#include <string>
#include <string_view>

namespace zeltan {

class TData {
public:
    static constexpr int kBlockSize = 13;

    uint8_t raw[kBlockSize] = {};
    int32_t angle[4] = {};
    uint8_t angleOn = 0;
    uint8_t soundOff = 0;
    uint8_t bit1Flag = 0;
    int32_t speed[4] = {};

    // Every byte and field 0, except soundOff 1 (sound disabled).
    void Reset();
    // Stores one received block byte; index 0..12 (others are ignored).
    void SetByte(int index, uint8_t byte);
    // Overwrites every decoded field from raw.
    void Decode();
    // Overwrites raw from the decoded fields, except bytes 4 and 5.
    void Encode();
    // Encode, then the 13 bytes of raw as a counted string.
    std::string Block();

    // A position report ("1A3#") in degrees, -180 at v = 0, 0 at v = 512.
    static int32_t HexToAngle(std::string_view text);
};

// The value of text as strtol reads it with base 16, pinned to the signed
// 32-bit range on every platform (long is 32 bits on Windows, 64 on Linux).
int32_t ParseHex32(std::string_view text);

}  // namespace zeltan
