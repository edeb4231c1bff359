// The receive loop, driven byte by byte from a scripted line.
#include "protocol/receive_loop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "line_script.h"
#include "protocol/data.h"
#include "protocol/rotor.h"

namespace zeltan {
namespace {

using testing::RecordingUi;
using testing::ScriptedLine;
using Actions = std::vector<std::string>;

struct Fixture {
    TData data;
    TMarker marker;
    TCounter counter;
    std::mutex lock;
    RecordingUi ui;

    void Run(ScriptedLine& line) {
        ReceiveLoop loop(line, ui, Records{&data, &marker, &counter, &lock});
        EXPECT_EQ(loop.Run(), 0u);
    }
};

// A block whose decoded values are easy to tell apart, with "#", "+" and "V"
// among its bytes.
std::string SampleBlock() {
    return std::string("\x10\x01#\x00+V\x1E\x5A\x05\x32\x1E\x46V", 13);
}

TEST(ReceiveLoop, VersionReplyShowsAtMostTwentyBytesUpToAZero) {
    const struct {
        const char* what;
        std::string bytes;
        int silentReads;
        std::string shown;
    } cases[] = {
        {"22 bytes show the first 20", "ABCDEFGHIJKLMNOPQRSTUV", 0, "ABCDEFGHIJKLMNOPQRST"},
        {"a zero as fifth byte ends the text", std::string("ABCD\0FGHIJKLMNOPQRSTUV", 22), 0,
         "ABCD"},
        {"10 bytes and silence show the 10", "v1.2 #+V k", 12, "v1.2 #+V k"},
    };
    for (const auto& c : cases) {
        Fixture f;
        ScriptedLine line;
        line.Bytes("6+").Bytes(c.bytes).Silence(c.silentReads).Bytes("k");
        f.Run(line);
        EXPECT_EQ(f.ui.actions, Actions{"text VersionEdit " + c.shown}) << c.what;
        EXPECT_TRUE(line.sent.empty()) << c.what << ": bytes of the reply are never dispatched";
    }
}

TEST(ReceiveLoop, ParameterReplyStoresTheBlockAndShowsEveryField) {
    Fixture f;
    ScriptedLine line;
    line.Bytes("3+").Bytes(SampleBlock());
    f.Run(line);

    TData expected;
    for (int i = 0; i < 13; ++i) {
        expected.SetByte(i, static_cast<uint8_t>(SampleBlock()[i]));
    }
    expected.Decode();
    EXPECT_EQ(std::string(reinterpret_cast<char*>(f.data.raw), 13), SampleBlock());
    const auto t = [](int32_t v) { return std::to_string(v); };
    const Actions shown = {
        "text ParamEdit0 " + t(expected.angle[0]),
        "text ParamEdit1 " + t(expected.angle[1]),
        "text ParamEdit2 " + t(expected.angle[2]),
        "text ParamEdit3 " + t(expected.angle[3]),
        expected.soundOff ? "icon SoundBtn SND_OFF" : "icon SoundBtn SND_ON",
        expected.soundOff ? "check SoundBtn 0" : "check SoundBtn 1",
        expected.angleOn ? "icon AngleBtn DGR_ON" : "icon AngleBtn DGR_OFF",
        expected.angleOn ? "check AngleBtn 1" : "check AngleBtn 0",
        "text ParamEdit4 " + t(expected.speed[0]),
        "text ParamEdit5 " + t(expected.speed[1]),
        "text ParamEdit6 " + t(expected.speed[2]),
        "text ParamEdit7 " + t(expected.speed[3]),
        "refresh erase",
    };
    EXPECT_EQ(f.ui.actions, shown);
    EXPECT_TRUE(line.sent.empty()) << "the V inside the block is a block byte, not a state";
}

TEST(ReceiveLoop, SwitchesFollowTheOptionBits) {
    const struct {
        uint8_t bits;
        Actions switches;
    } cases[] = {
        {0x00, {"icon SoundBtn SND_ON", "check SoundBtn 1", "icon AngleBtn DGR_OFF", "check AngleBtn 0"}},
        {0x01, {"icon SoundBtn SND_OFF", "check SoundBtn 0", "icon AngleBtn DGR_OFF", "check AngleBtn 0"}},
        {0x04, {"icon SoundBtn SND_ON", "check SoundBtn 1", "icon AngleBtn DGR_ON", "check AngleBtn 1"}},
        {0x05, {"icon SoundBtn SND_OFF", "check SoundBtn 0", "icon AngleBtn DGR_ON", "check AngleBtn 1"}},
    };
    for (const auto& c : cases) {
        Fixture f;
        std::string block = SampleBlock();
        block[8] = static_cast<char>(c.bits);
        ScriptedLine line;
        line.Bytes("3+").Bytes(block);
        f.Run(line);
        ASSERT_EQ(f.ui.actions.size(), 13u);
        EXPECT_EQ(Actions(f.ui.actions.begin() + 4, f.ui.actions.begin() + 8), c.switches)
            << "option bits " << int(c.bits);
    }
}

TEST(ReceiveLoop, AHeaderBehindLeftoverBytesIsNoReply) {
    Fixture f;
    ScriptedLine line;
    // "4+" stays in the buffer, so "3+" is not a parameter reply and the
    // block's own "V" acts as a direction state.
    line.Bytes("4+3+").Bytes(SampleBlock());
    f.Run(line);
    EXPECT_EQ(line.sent, std::vector<std::string>({"9+", "9+"}));
    for (const auto& a : f.ui.actions) {
        EXPECT_EQ(a.rfind("text", 0), std::string::npos) << a;
    }
}

TEST(ReceiveLoop, PositionReportsMoveArmsAndCountOnlyWhenTheFirstArmMoves) {
    Fixture f;
    ScriptedLine line;
    line.Bytes("200#").Bytes("300#").Bytes("300#").Bytes("1").Silence().Bytes("00#");
    f.Run(line);
    // 200# puts arm[0] at 0, where it started: nothing to refresh. The second
    // 300# does not move it. "1", silence, "00#" is one report of 100.
    EXPECT_EQ(f.ui.actions, Actions({"refresh", "refresh"}));
    EXPECT_EQ(f.marker.arm[0], 90);
    EXPECT_EQ(f.marker.arm[1], 210);
    EXPECT_EQ(f.marker.arm[2], 330);
}

std::string HexReport(int v) {
    char text[16];
    std::snprintf(text, sizeof text, "%X#", v);
    return text;
}

TEST(ReceiveLoop, ReportsThroughTheLoopCountPasses) {
    // The loop hands the counter each first-arm angle that moved.
    std::string rising, falling, swings;
    for (int v = 0; v <= 1023; ++v) {
        rising += HexReport(v);
        falling += HexReport(1023 - v);
    }
    for (int swing = 0; swing < 3; ++swing) {
        for (int v = 125; v <= 899; v += 2) swings += HexReport(v);  // about -136 to 136
        for (int v = 899; v >= 125; v -= 2) swings += HexReport(v);
    }
    const struct {
        const char* what;
        std::string reports;
        int32_t count;
    } cases[] = {
        {"rising one step at a time counts once, at 354#", rising, 1},
        {"falling one step at a time counts once, at AC#", falling, 1},
        {"three wide swings count twice each", swings, 6},
        {"swings around 0 never count", "1C0#200#240#200#1C0#200#240#", 0},
    };
    for (const auto& c : cases) {
        Fixture f;
        ScriptedLine line;
        line.Bytes(c.reports);
        f.Run(line);
        EXPECT_EQ(f.counter.count, c.count) << c.what;
    }
}

TEST(ReceiveLoop, FixedLengthReadsTakeExactlyTheirBytes) {
    // One byte too many would eat the first byte of the next reply.
    Fixture f;
    ScriptedLine line;
    line.Bytes("6+").Bytes("ZELTAN 2.0 ........ 22").Bytes("3+").Bytes(SampleBlock()).Bytes("9V");
    f.Run(line);
    ASSERT_FALSE(f.ui.actions.empty());
    EXPECT_EQ(f.ui.actions.front(), "text VersionEdit ZELTAN 2.0 ........ ");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(f.data.raw), 13), SampleBlock())
        << "the parameter reply right behind the version reply";
    EXPECT_EQ(f.ui.actions.back(), "icon RightBtn R_ON") << "the 9V right behind the block";
    EXPECT_EQ(line.sent, std::vector<std::string>{"9+"});
}

TEST(ReceiveLoop, DirectionStatesSetIconsAndAlwaysPollAgain) {
    const struct {
        const char* bytes;
        Actions icons;
    } cases[] = {
        {"9V", {"icon RightBtn R_ON"}},
        {"AV", {"icon LeftBtn L_ON"}},
        {"BV", {"icon RightBtn R_OFF", "icon LeftBtn L_OFF"}},
        {"CV", {"icon RightBtn R_OFF", "icon LeftBtn L_OFF"}},
        {"DV", {}},
        {"V", {}},
    };
    for (const auto& c : cases) {
        Fixture f;
        ScriptedLine line;
        line.Bytes(c.bytes);
        f.Run(line);
        EXPECT_EQ(f.ui.actions, c.icons) << c.bytes;
        EXPECT_EQ(line.sent, std::vector<std::string>{"9+"}) << c.bytes;
    }
}

TEST(ReceiveLoop, ClosingDuringABlockEndsTheRunWithoutDecoding) {
    Fixture f;
    f.data.SetByte(12, 0x77);
    ScriptedLine line;
    line.Bytes("3+").Bytes("\x01\x02\x03").Silence().Bytes("\x04").Close().Bytes("9V");
    f.Run(line);
    EXPECT_TRUE(f.ui.actions.empty());
    EXPECT_TRUE(line.sent.empty()) << "nothing after the close is read";
    EXPECT_EQ(f.data.raw[0], 1);
    EXPECT_EQ(f.data.raw[2], 3);
    EXPECT_EQ(f.data.raw[3], 0) << "the silent attempt stored nothing";
    EXPECT_EQ(f.data.raw[4], 4);
    EXPECT_EQ(f.data.raw[12], 0x77) << "bytes not yet read keep their old value";
}

TEST(ReceiveLoop, AByteReportedByAReceiveOnAClosedPortIsNeverUsed) {
    const struct {
        const char* what;
        const char* before;
    } cases[] = {
        {"a stale state character sends no poll", "9"},
        {"a stale position end moves nothing", "300"},
        {"a stale header byte starts no reply", "6"},
    };
    const char stale[] = {'V', '#', '+'};
    for (int i = 0; i < 3; ++i) {
        Fixture f;
        ScriptedLine line;
        line.Bytes(cases[i].before).ClosedDuringReceive(stale[i]);
        f.Run(line);
        EXPECT_TRUE(f.ui.actions.empty()) << cases[i].what;
        EXPECT_TRUE(line.sent.empty()) << cases[i].what;
        EXPECT_EQ(line.receives, static_cast<int>(std::string(cases[i].before).size()) + 1);
    }
}

TEST(ReceiveLoop, TextWithoutClosingCharacterIsBoundedAndParsedWithTheNextEnd) {
    {
        Fixture f;
        ScriptedLine line;
        line.Bytes("3").Bytes("00#");  // digits gather until "#"
        f.Run(line);
        EXPECT_EQ(f.marker.arm[0], 270);
    }
    {
        Fixture f;
        ScriptedLine line;
        // Exactly the bound of non-hex bytes: the buffer is emptied before
        // "3" goes in, so the report reads 300, not the letters.
        line.Bytes(std::string(ReceiveLoop::kBufferLimit, 'Z')).Bytes("300#");
        f.Run(line);
        EXPECT_EQ(f.marker.arm[0], 270);
    }
    {
        Fixture f;
        ScriptedLine line;
        // One byte short of the bound, the letters stay and the text has no
        // digits: -180 degrees.
        line.Bytes(std::string(ReceiveLoop::kBufferLimit - 1, 'Z')).Bytes("300#");
        f.Run(line);
        EXPECT_EQ(f.marker.arm[0], 60);
    }
}

TEST(ReceiveLoop, ClosingCharactersEmptyTheBuffer) {
    for (const char* closer : {"k", "n", "x", "?"}) {
        Fixture f;
        ScriptedLine line;
        line.Bytes("77").Bytes(closer).Bytes("3+").Bytes(SampleBlock());
        f.Run(line);
        EXPECT_EQ(f.ui.actions.size(), 13u) << closer << " lets the next reply be recognised";
    }
}

}  // namespace
}  // namespace zeltan
