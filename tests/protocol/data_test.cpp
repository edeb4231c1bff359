// The parameter block: decoding and encoding with the controller's rounding,
// the pinning of values that do not fit their field, and the position report.
#include "protocol/data.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "protocol/wire.h"

namespace zeltan {
namespace {

// Nearest integer of n / d with halves up, for n >= 0, by remainder: an
// independent formulation of the controller's rounding.
int64_t Nearest(int64_t n, int64_t d) { return n / d + ((n % d) * 2 >= d ? 1 : 0); }

// The same rounding as double-precision arithmetic computes it.
int64_t NearestDouble(int64_t n, double reciprocal) {
    return static_cast<int64_t>(std::floor(static_cast<double>(n) * reciprocal + 0.5));
}

TData Decoded(std::initializer_list<std::pair<int, uint8_t>> bytes) {
    TData d;
    for (auto [i, b] : bytes) d.SetByte(i, b);
    d.Decode();
    return d;
}

TEST(ParameterBlock, DecodesTheControllersUnits) {
    EXPECT_EQ(Decoded({{0, 0x40}, {1, 0x00}}).angle[0], 23) << "22.5 degrees rounds up";
    EXPECT_EQ(Decoded({{0, 0xFF}, {1, 0xFF}}).angle[0], 23040) << "the largest 16-bit angle";
    EXPECT_EQ(Decoded({{2, 0x55}, {3, 0x01}}).angle[1], 120) << "the second word is little-endian";
    EXPECT_EQ(Decoded({{6, 0}}).angle[2], 120) << "angle[2] is sent as 120 minus the angle";
    EXPECT_EQ(Decoded({{6, 255}}).angle[2], 30);
    EXPECT_EQ(Decoded({{7, 255}}).angle[3], 90);
    EXPECT_EQ(Decoded({{9, 127}}).speed[0], 50);
    EXPECT_EQ(Decoded({{10, 128}}).speed[1], 50);
    EXPECT_EQ(Decoded({{11, 255}}).speed[2], 100);
    EXPECT_EQ(Decoded({{12, 2}}).speed[3], 1);
}

TEST(ParameterBlock, DecodesEveryRawValueOfEveryField) {
    for (int64_t v = 0; v <= 0xFFFF; ++v) {
        TData d;
        d.SetByte(0, v & 0xFF), d.SetByte(1, v >> 8);
        d.SetByte(2, v & 0xFF), d.SetByte(3, v >> 8);
        d.Decode();
        ASSERT_EQ(d.angle[0], Nearest(v * 360, 1024)) << "raw " << v;
        ASSERT_EQ(d.angle[1], Nearest(v * 360, 1024)) << "raw " << v;
    }
    for (int64_t v = 0; v <= 0xFF; ++v) {
        TData d;
        for (int i = 6; i <= 12; ++i) d.SetByte(i, static_cast<uint8_t>(v));
        d.SetByte(8, 0);
        d.Decode();
        ASSERT_EQ(d.angle[2], 120 - Nearest(v * 360, 1024)) << "raw " << v;
        ASSERT_EQ(d.angle[3], Nearest(v * 360, 1024)) << "raw " << v;
        for (int i = 0; i < 4; ++i) ASSERT_EQ(d.speed[i], Nearest(v * 100, 255)) << "raw " << v;
    }
}

TEST(ParameterBlock, DecodesTheOptionBits) {
    const struct {
        uint8_t byte;
        uint8_t soundOff, bit1Flag, angleOn;
    } cases[] = {
        {0x00, 0, 0, 0}, {0x01, 1, 0, 0}, {0x02, 0, 1, 0}, {0x04, 0, 0, 1},
        {0xF8, 0, 0, 0},  // bits 3 to 7 mean nothing
        {0xFF, 1, 1, 1},
    };
    for (const auto& c : cases) {
        TData d = Decoded({{8, c.byte}});
        EXPECT_EQ(d.soundOff, c.soundOff) << int(c.byte);
        EXPECT_EQ(d.bit1Flag, c.bit1Flag) << int(c.byte);
        EXPECT_EQ(d.angleOn, c.angleOn) << int(c.byte);
    }
}

TEST(ParameterBlock, EncodesToTheControllersUnits) {
    TData d;
    d.angle[0] = 120;
    d.angle[1] = 1;
    d.angle[2] = 60;
    d.angle[3] = 45;
    d.speed[0] = 50, d.speed[1] = 10, d.speed[2] = 100, d.speed[3] = 1;
    d.Encode();
    EXPECT_EQ(d.raw[0], 0x55) << "341, low byte first";
    EXPECT_EQ(d.raw[1], 0x01);
    EXPECT_EQ(d.raw[2], 3) << "2.84 steps round to 3";
    EXPECT_EQ(d.raw[3], 0);
    EXPECT_EQ(d.raw[6], 171) << "120 - 60 degrees";
    EXPECT_EQ(d.raw[7], 128);
    EXPECT_EQ(d.raw[9], 128) << "a tie, 127.5, rounds up";
    EXPECT_EQ(d.raw[10], 26);
    EXPECT_EQ(d.raw[11], 255);
    EXPECT_EQ(d.raw[12], 3);
}

TEST(ParameterBlock, PinsValuesThatDoNotFitTheirField) {
    const struct {
        const char* what;
        int field;  // 0..3 angle, 4..7 speed
        int32_t value;
        int rawIndex;
        uint8_t expected;
    } cases[] = {
        {"angle[3] = 90 would be 256", 3, 90, 7, 255},
        {"angle[3] negative", 3, -1, 7, 0},
        {"angle[2] = 30 would be 256", 2, 30, 6, 255},
        {"angle[2] above 120 would be negative", 2, 121, 6, 0},
        {"angle[2] far below", 2, INT32_MIN, 6, 255},
        {"speed of -5", 4, -5, 9, 0},
        {"speed far above", 7, INT32_MAX, 12, 255},
        {"angle[0] = 23040 would be 65536 (high byte)", 0, 23040, 1, 0xFF},
        {"angle[0] = 23040 would be 65536 (low byte)", 0, 23040, 0, 0xFF},
        {"angle[1] negative (high byte)", 1, -7, 3, 0},
        {"angle[1] negative (low byte)", 1, -7, 2, 0},
        {"angle[0] = 23039 fits", 0, 23039, 1, 0xFF},
    };
    for (const auto& c : cases) {
        TData d;
        (c.field < 4 ? d.angle[c.field] : d.speed[c.field - 4]) = c.value;
        d.Encode();
        EXPECT_EQ(d.raw[c.rawIndex], c.expected) << c.what;
    }
}

TEST(ParameterBlock, EncodesEveryWholeInputInRange) {
    auto clampByte = [](int64_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
    for (int32_t deg = -400; deg <= 400; ++deg) {
        TData d;
        for (int i = 0; i < 4; ++i) d.angle[i] = deg;
        d.Encode();
        const int64_t steps = NearestDouble(int64_t{deg} * 1024, 1.0 / 360);
        const int64_t word = steps < 0 ? 0 : steps;
        ASSERT_EQ(d.raw[0] | (d.raw[1] << 8), word) << deg;
        ASSERT_EQ(d.raw[2] | (d.raw[3] << 8), word) << deg;
        ASSERT_EQ(d.raw[6], clampByte(NearestDouble(int64_t{120 - deg} * 1024, 1.0 / 360))) << deg;
        ASSERT_EQ(d.raw[7], clampByte(steps)) << deg;
    }
    for (int32_t pct = -300; pct <= 300; ++pct) {
        TData d;
        for (int i = 0; i < 4; ++i) d.speed[i] = pct;
        d.Encode();
        for (int i = 0; i < 4; ++i) {
            ASSERT_EQ(d.raw[9 + i], clampByte(NearestDouble(int64_t{pct} * 255, 1.0 / 100))) << pct;
        }
    }
}

TEST(ParameterBlock, DecodeThenEncodeMovesRawToTheRoundedDegree) {
    TData d = Decoded({{0, 1}});
    d.Encode();
    EXPECT_EQ(d.raw[0], 0) << "raw 1 is 0.35 degrees, which encodes as 0";
}

TEST(ParameterBlock, CarriesTheUninterpretedBytesAndOptionBits) {
    TData d = Decoded({{4, 0x12}, {5, 0x34}, {8, 0xFF}});
    const std::string block = d.Block();
    EXPECT_EQ(static_cast<uint8_t>(block[4]), 0x12);
    EXPECT_EQ(static_cast<uint8_t>(block[5]), 0x34);
    EXPECT_EQ(static_cast<uint8_t>(block[8]), 0x07) << "bits 3 to 7 go out as 0";
}

TEST(ParameterBlock, ResetLeavesSoundOffAndAZeroBlock) {
    TData d = Decoded({{4, 0x12}, {5, 0x34}, {7, 9}, {9, 200}});
    d.Reset();
    EXPECT_EQ(d.soundOff, 1);
    EXPECT_EQ(d.angleOn, 0);
    EXPECT_EQ(d.bit1Flag, 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(d.angle[i] | d.speed[i], 0);
    EXPECT_EQ(d.raw[8], 0) << "raw and the flags disagree until the next Encode";
    const std::string block = d.Block();
    ASSERT_EQ(block.size(), wire::kBlockLength) << "counted, zero bytes included";
    EXPECT_EQ(block[4], 0);
    EXPECT_EQ(block[5], 0);
    EXPECT_EQ(block[8], 1) << "soundOff reaches bit 0";
    EXPECT_EQ(block[6], static_cast<char>(0xFF)) << "angle[2] = 0 pins to the field's top";
}

TEST(PositionReport, ConvertsHexTextToDegrees) {
    const struct {
        std::string text;
        int32_t degrees;
    } cases[] = {
        {"200#", 0},
        {"300#", 90},
        {"100#", -90},
        {"0#", -180},
        {"#", -180},  // no digits
        {"", -180},
        {"3FF#", 180},
        {"3ff#", 180},
        {"400#", 180},
        {" 1a#", -171},  // leading blank, lower case
        {"\t\n354#", 120},
        {"AC#", -120},
        {"+200#", 0},
        {"-200#", -360},
        {"0x1F#", -169},  // strtol's optional prefix
        {"0x#", -180},    // a prefix without digits reads the 0 alone
        {std::string("2\0" "00#", 5), -179},
        {"7FFFFFFF#", 754974540},
        {"FFFFFFFFFFFF#", 754974540},    // beyond the 32-bit range: the nearest limit
        {"-FFFFFFFFFFFF#", -754974900},  // -2^31 * 360 / 1024 exactly
        {"-80000000#", -754974900},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TData::HexToAngle(c.text), c.degrees) << '"' << c.text << '"';
    }
}

TEST(PositionReport, ParsesLikeStrtolWithin32Bits) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"10", 16}, {"  -a", -10}, {"ffffffff", INT32_MAX}, {"-ffffffff", INT32_MIN},
        {"80000000", INT32_MAX}, {"-80000000", INT32_MIN}, {"7fffffff", INT32_MAX},
        {"0x10", 16}, {"0X10", 16}, {"0xg", 0}, {"- 5", 0}, {"g5", 0}, {"12g5", 0x12},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseHex32(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace zeltan
