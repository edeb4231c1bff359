#include "controller.h"

#include <gtest/gtest.h>

#include <vector>

namespace zeltan::standin {
namespace {

std::string FeedAll(Controller* controller, std::string_view bytes) {
    std::string replies;
    for (char c : bytes) replies += controller->Feed(static_cast<uint8_t>(c));
    return replies;
}

TEST(StandinController, AnswersTheWireProtocol) {
    Controller controller("VER 2");
    const TData factory = Controller::FactoryBlock();
    const std::string factoryBlock(reinterpret_cast<const char*>(factory.raw), 13);
    const std::string written = "4+" + std::string("\x01\x02\x03\x04\x05\x06\x07\x08+#n3x\x00", 13);
    struct Step {
        std::string sent;
        std::string reply;
    };
    const std::vector<Step> steps = {
        {"3+", "3+" + factoryBlock},
        {"6+", std::string("6+VER 2") + std::string(17, '\0')},  // 22 bytes after the header
        {"9+", "BV"},
        {"x", "x"},
        {"9+", "9V"},
        {"n", "n"},
        {"9+", "AV"},
        {"8+", ""},
        {"9+", "CV"},
        {written, ""},  // block bytes are taken by count, "+", "n", "x" included
        {"3+", "3+" + written.substr(2)},
        {"7+3+", "3+" + factoryBlock},  // reload the stored block
        {written + "5+7+3+", "3+" + written.substr(2)},
        {"1+", "?"},
        {"Q+", ""},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(FeedAll(&controller, step.sent), step.reply) << "after " << step.sent;
    }
}

TEST(StandinController, FactoryBlockDecodesToItsSettings) {
    TData block = Controller::FactoryBlock();
    block.Decode();
    EXPECT_EQ(block.angle[0], 120);
    EXPECT_EQ(block.angle[2], 60);
    EXPECT_EQ(block.speed[3], 100);
    EXPECT_EQ(block.angleOn, 1);
}

TEST(StandinController, ReportsStepAroundTheTurn) {
    Controller controller("");
    controller.set_step(512);
    EXPECT_EQ(controller.NextReport(), "200#");
    EXPECT_EQ(controller.NextReport(), "0#");
    controller.Spin(Rotation::kLeft);
    controller.set_step(1);
    EXPECT_EQ(controller.NextReport(), "3FF#");
}

TEST(StandinController, SayTextEscapes) {
    EXPECT_EQ(Unescape("a\\x00\\x2B\\n\\\\"), std::string("a\0+\n\\", 5));
    EXPECT_EQ(Unescape("\\q\\x4"), "\\q\\x4");  // not an escape: kept
}

}  // namespace
}  // namespace zeltan::standin
