// The operator's commands, over a recording platform.
#include "app/commands.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "../protocol/line_script.h"
#include "protocol/data.h"
#include "protocol/rotor.h"

namespace zeltan {
namespace {

using Events = std::vector<std::string>;

// Records every platform call in one list, window actions included.
class RecordingPlatform : public testing::RecordingUi, public CommandPlatform {
public:
    std::map<Control, std::string> texts;
    std::map<Control, int> checks;
    bool awaitResult = true, openResult = true, configureResult = true, createResult = true;
    std::vector<std::string> sent;

    Events& events = actions;

    std::string GetText(Control control, int count) override {
        return texts[control].substr(0, count - 1);
    }
    void Enable(Control control, bool enabled) override {
        events.push_back("enable " + Name(control) + (enabled ? " 1" : " 0"));
    }
    int GetCheck(Control button) override { return checks[button]; }
    void ShowAbout(const std::string& caption, const std::string& text) override {
        events.push_back("about " + caption + "|" + text);
    }
    bool OpenPort(const std::string& name) override {
        events.push_back("open " + name);
        return openResult;
    }
    bool ConfigurePort(const std::string& baudText) override {
        events.push_back("configure " + baudText);
        return configureResult;
    }
    void ClosePort() override { events.push_back("close"); }
    void Send(std::string_view text) override { sent.emplace_back(text); }
    bool CreateWorker() override {
        events.push_back("create worker");
        return createResult;
    }
    void ResumeWorker() override { events.push_back("resume worker"); }
    bool AwaitWorkerEnd() override {
        events.push_back("await worker");
        return awaitResult;
    }
};

struct Fixture {
    TData data;
    TMarker marker;
    TCounter counter;
    std::mutex lock;
    RecordingPlatform platform;

    Fixture() {
        platform.texts[Control::kPortCombo] = "COM3";
        platform.texts[Control::kBaudCombo] = "19200";
        // Leftovers of an earlier connection, which a successful Open resets.
        data.angle[0] = 7;
        data.soundOff = 0;
        marker.arm[0] = 33;
        counter.count = 5;
    }
    void Command(int id) { HandleCommand(id, platform, Records{&data, &marker, &counter, &lock}); }
    bool RecordsUntouched() const {
        return data.angle[0] == 7 && data.soundOff == 0 && marker.arm[0] == 33 &&
               counter.count == 5;
    }
};

TEST(Commands, OpenConnectsThenResetsEverythingBeforeTheWorkerRuns) {
    Fixture f;
    f.Command(IdOf(Control::kOpenBtn));
    const Events expected = {
        "await worker",      "open COM3",          "configure 19200",   "create worker",
        "enable PortCombo 0",     "enable BaudCombo 0",      "enable OpenBtn 0",     "text VersionEdit ",
        "text ParamEdit0 0",     "text ParamEdit1 0",      "text ParamEdit2 0",     "text ParamEdit3 0",
        "text ParamEdit4 0",     "text ParamEdit5 0",      "text ParamEdit6 0",     "text ParamEdit7 0",
        "icon SoundBtn SND_OFF", "check SoundBtn 0",     "icon AngleBtn DGR_OFF", "check AngleBtn 0",
        "refresh erase",     "resume worker",
    };
    EXPECT_EQ(f.platform.events, expected);
    EXPECT_EQ(f.data.angle[0], 0);
    EXPECT_EQ(f.data.soundOff, 1);
    EXPECT_EQ(f.marker.arm[0], 0);
    EXPECT_EQ(f.marker.arm[1], 120);
    EXPECT_EQ(f.marker.arm[2], 240);
    EXPECT_EQ(f.counter.count, 0);
    EXPECT_TRUE(f.platform.sent.empty());
}

TEST(Commands, AFailedOpenChangesNothingElse) {
    const struct {
        const char* what;
        bool await, open, configure, create;
        Events events;
    } cases[] = {
        {"the previous worker may still run: the port is not touched", false, true, true, true,
         {"await worker"}},
        {"the port does not open", true, false, true, true, {"await worker", "open COM3"}},
        {"the port does not configure", true, true, false, true,
         {"await worker", "open COM3", "configure 19200"}},
        {"no worker can be created: the port is closed again", true, true, true, false,
         {"await worker", "open COM3", "configure 19200", "create worker", "close"}},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.platform.awaitResult = c.await;
        f.platform.openResult = c.open;
        f.platform.configureResult = c.configure;
        f.platform.createResult = c.create;
        f.Command(IdOf(Control::kOpenBtn));
        EXPECT_EQ(f.platform.events, c.events) << c.what;
        EXPECT_TRUE(f.RecordsUntouched()) << c.what;
    }
}

TEST(Commands, OpenTakesAtMost31BytesOfEachCombo) {
    Fixture f;
    f.platform.texts[Control::kPortCombo] = std::string(40, 'P');
    f.platform.texts[Control::kBaudCombo] = "";
    f.platform.openResult = true;
    f.platform.configureResult = false;
    f.Command(IdOf(Control::kOpenBtn));
    EXPECT_EQ(f.platform.events,
              Events({"await worker", "open " + std::string(31, 'P'), "configure "}));
}

TEST(Commands, CloseWaitsForTheWorkerAndEnablesTheConnectGroup) {
    Fixture f;
    f.Command(IdOf(Control::kCloseBtn));
    EXPECT_EQ(f.platform.events, Events({"close", "await worker", "enable PortCombo 1",
                                         "enable BaudCombo 1", "enable OpenBtn 1"}));
    EXPECT_TRUE(f.RecordsUntouched());
}

TEST(Commands, ReadRestoreAndTheManualCommandsSendTheirStringsInOrder) {
    const struct {
        int id;
        std::vector<std::string> sent;
    } cases[] = {
        {IdOf(Control::kReadBtn), {"6+", "3+", "9+"}},
        {IdOf(Control::kRestoreBtn), {"7+", "3+", "9+"}},
        {IdOf(Control::kLeftBtn), {"n"}},
        {IdOf(Control::kRightBtn), {"x"}},
        {IdOf(Control::kResetBtn), {"8+"}},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.Command(c.id);
        EXPECT_EQ(f.platform.sent, c.sent) << "id " << c.id;
        EXPECT_TRUE(f.platform.events.empty()) << "id " << c.id;
    }
}

TEST(Commands, WriteBoundsTheFieldsAndSendsOneBlockThenStoreAndRead) {
    const struct {
        const char* what;
        const char* angleText;
        const char* speedText;
        int32_t angle, speed;
    } cases[] = {
        {"above the bounds", "150", "101", 120, 100},
        {"the bounds themselves", "120", "100", 120, 100},
        {"a pasted negative value", "-5", "-5", -5, -5},
        {"empty fields", "", "", 0, 0},
        {"text with leading digits", "45abc", "7 8", 45, 7},
    };
    for (const auto& c : cases) {
        Fixture f;
        for (int i = 0; i < 4; ++i) {
            f.platform.texts[ParamEdit(i)] = c.angleText;
            f.platform.texts[ParamEdit(4 + i)] = c.speedText;
        }
        f.data.angleOn = 1;
        f.Command(IdOf(Control::kWriteBtn));

        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(f.data.angle[i], c.angle) << c.what;
            EXPECT_EQ(f.data.speed[i], c.speed) << c.what;
        }
        TData expected = f.data;
        ASSERT_EQ(f.platform.sent.size(), 3u) << c.what;
        EXPECT_EQ(f.platform.sent[0], "4+" + expected.Block()) << c.what;
        EXPECT_EQ(f.platform.sent[0].size(), 15u) << c.what;
        EXPECT_EQ(f.platform.sent[1], "5+");
        EXPECT_EQ(f.platform.sent[2], "3+");
        EXPECT_TRUE(f.platform.events.empty()) << c.what << ": the fields keep what was typed";
    }
}

TEST(Commands, SwitchesSetIconAndFlagFromTheirNewState) {
    const struct {
        int id;
        int state;
        Events events;
        int soundOff, angleOn;
    } cases[] = {
        {IdOf(Control::kSoundBtn), 1, {"icon SoundBtn SND_ON"}, 0, 0},
        {IdOf(Control::kSoundBtn), 0, {"icon SoundBtn SND_OFF"}, 1, 0},
        {IdOf(Control::kSoundBtn), 2, {}, 7, 0},
        {IdOf(Control::kAngleBtn), 1, {"icon AngleBtn DGR_ON"}, 7, 1},
        {IdOf(Control::kAngleBtn), 0, {"icon AngleBtn DGR_OFF"}, 7, 0},
        {IdOf(Control::kAngleBtn), 2, {}, 7, 0},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.data.soundOff = 7;  // a value neither switch state writes
        f.data.angleOn = 0;
        f.platform.checks[Control::kSoundBtn] = c.state;
        f.platform.checks[Control::kAngleBtn] = c.state;
        f.Command(c.id);
        EXPECT_EQ(f.platform.events, c.events) << "id " << c.id << " state " << c.state;
        EXPECT_EQ(f.data.soundOff, c.soundOff) << "id " << c.id << " state " << c.state;
        EXPECT_EQ(f.data.angleOn, c.angleOn) << "id " << c.id << " state " << c.state;
        EXPECT_TRUE(f.platform.sent.empty());
    }
}

TEST(Commands, AboutShowsTheVersionBox) {
    Fixture f;
    f.Command(IdOf(Control::kAboutBtn));
    ASSERT_EQ(f.platform.events.size(), 1u);
    const std::string& shown = f.platform.events[0];
    EXPECT_EQ(shown.rfind(std::string("about \xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5|") +
                              "\xC2\xE5\xF0\xF1\xE8\xFF 1.0 \n\n",
                          0),
              0u);
    EXPECT_EQ(shown.find('\n', shown.find("\n\n") + 2), std::string::npos)
        << "one authorship line after the blank line";
}

TEST(Commands, IdsThatAreNoCommandDoNothing) {
    for (int id : {0, 10, 11, 14, 18, 100, 102, 104, 0x10001}) {
        Fixture f;
        f.Command(id);
        EXPECT_TRUE(f.platform.events.empty()) << id;
        EXPECT_TRUE(f.platform.sent.empty()) << id;
        EXPECT_TRUE(f.RecordsUntouched()) << id;
    }
}

TEST(ReadEditInt, ReadsTheLeadingNumberAndSaturates) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"", 0},
        {"abc", 0},
        {"  42x", 42},
        {"+7", 7},
        {"-5", -5},
        {"- 5", 0},
        {"12 34", 12},
        {"007", 7},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"99999999999999999999999", 2147483647},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"-99999999999999999999999", INT32_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadEditInt(c.text), c.value) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace zeltan
