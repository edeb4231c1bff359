#include "app/commands.h"

#include <cctype>
#include <limits>
#include <mutex>

#include "protocol/data.h"
#include "protocol/rotor.h"
#include "protocol/rounding.h"
#include "protocol/wire.h"

namespace zeltan {

// "О программе"; "Версия " and the version the build gives (the project's,
// as the version resource shows it), a blank, two line feeds and the
// authorship line "Сервисная программа контроллера привода" (Windows-1251).
const char* const kAboutCaption = "\xCE \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE5";
const char* const kAboutText =
    "\xC2\xE5\xF0\xF1\xE8\xFF " ZELTAN_VERSION " \n\n"
    "\xD1\xE5\xF0\xE2\xE8\xF1\xED\xE0\xFF \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xE0 "
    "\xEA\xEE\xED\xF2\xF0\xEE\xEB\xEB\xE5\xF0\xE0 \xEF\xF0\xE8\xE2\xEE\xE4\xE0";

namespace {

constexpr int kComboTextCount = 32;  // port and baud texts: at most 31 bytes
constexpr int kEditTextCount = 250;  // field texts: at most 249 bytes
constexpr int32_t kAngleBound = 120;
constexpr int32_t kSpeedBound = 100;

const Control kConnectGroup[] = {Control::kPortCombo, Control::kBaudCombo, Control::kOpenBtn};

void EnableConnectGroup(CommandPlatform& platform, bool enabled) {
    for (Control control : kConnectGroup) {
        platform.Enable(control, enabled);
    }
}

void ResetForNewConnection(CommandPlatform& platform, const Records& records) {
    platform.SetText(Control::kVersionEdit, "");
    for (int i = 0; i < 8; ++i) {
        platform.SetText(ParamEdit(i), "0");
    }
    {
        std::lock_guard<std::mutex> hold(*records.lock);
        records.data->Reset();
        *records.marker = TMarker{};
        records.counter->Clear();
    }
    platform.SetIcon(Control::kSoundBtn, icon::SND_OFF);
    platform.SetCheck(Control::kSoundBtn, false);
    platform.SetIcon(Control::kAngleBtn, icon::DGR_OFF);
    platform.SetCheck(Control::kAngleBtn, false);
    platform.RefreshDial(true);
}

void Open(CommandPlatform& platform, const Records& records) {
    const std::string portText = platform.GetText(Control::kPortCombo, kComboTextCount);
    const std::string baudText = platform.GetText(Control::kBaudCombo, kComboTextCount);
    // A loop of an earlier connection may still be finishing its last read;
    // while it may still run, the port stays as it is.
    if (!platform.AwaitWorkerEnd()) {
        return;
    }
    if (!platform.OpenPort(portText)) {
        return;
    }
    if (!platform.ConfigurePort(baudText)) {
        return;
    }
    if (!platform.CreateWorker()) {
        platform.ClosePort();
        return;
    }
    EnableConnectGroup(platform, false);
    ResetForNewConnection(platform, records);
    platform.ResumeWorker();
}

void Close(CommandPlatform& platform) {
    platform.ClosePort();
    platform.AwaitWorkerEnd();
    EnableConnectGroup(platform, true);
}

void SendAll(CommandPlatform& platform, std::initializer_list<std::string_view> texts) {
    for (std::string_view text : texts) {
        platform.Send(text);
    }
}

void Write(CommandPlatform& platform, const Records& records) {
    int32_t values[8];
    for (int i = 0; i < 8; ++i) {
        values[i] = ReadEditInt(platform.GetText(ParamEdit(i), kEditTextCount));
    }
    std::string block;
    {
        std::lock_guard<std::mutex> hold(*records.lock);
        TData& data = *records.data;
        for (int i = 0; i < 4; ++i) {
            data.angle[i] = values[i] > kAngleBound ? kAngleBound : values[i];
            data.speed[i] = values[4 + i] > kSpeedBound ? kSpeedBound : values[4 + i];
        }
        block = data.Block();
    }
    platform.Send(std::string(wire::kWriteParams) + block);
    SendAll(platform, {wire::kStoreParams, wire::kReadParams});
}

// A switch's new state (the platform has flipped it already) decides its
// icon and flag; a state other than 0 or 1 leaves both alone.
template <typename SetFlag>
void Switch(CommandPlatform& platform, const Records& records, Control button,
            const char* checkedIcon, const char* uncheckedIcon, SetFlag setFlag) {
    const int state = platform.GetCheck(button);
    if (state != 0 && state != 1) {
        return;
    }
    platform.SetIcon(button, state == 1 ? checkedIcon : uncheckedIcon);
    std::lock_guard<std::mutex> hold(*records.lock);
    setFlag(*records.data, state == 1);
}

void SoundSwitch(CommandPlatform& platform, const Records& records) {
    // The flag runs against the box: a set box means sound on.
    Switch(platform, records, Control::kSoundBtn, icon::SND_ON, icon::SND_OFF,
           [](TData& data, bool checked) { data.soundOff = checked ? 0 : 1; });
}

void AngleSwitch(CommandPlatform& platform, const Records& records) {
    Switch(platform, records, Control::kAngleBtn, icon::DGR_ON, icon::DGR_OFF,
           [](TData& data, bool checked) { data.angleOn = checked ? 1 : 0; });
}

}  // namespace

void HandleCommand(int id, CommandPlatform& platform, const Records& records) {
    switch (id) {
        case IdOf(Control::kOpenBtn):
            Open(platform, records);
            break;
        case IdOf(Control::kCloseBtn):
            Close(platform);
            break;
        case IdOf(Control::kReadBtn):
            SendAll(platform, {wire::kReadVersion, wire::kReadParams, wire::kStatusPoll});
            break;
        case IdOf(Control::kWriteBtn):
            Write(platform, records);
            break;
        case IdOf(Control::kRestoreBtn):
            SendAll(platform, {wire::kRestoreParams, wire::kReadParams, wire::kStatusPoll});
            break;
        case IdOf(Control::kLeftBtn):
            platform.Send(wire::kTurnLeft);
            break;
        case IdOf(Control::kRightBtn):
            platform.Send(wire::kTurnRight);
            break;
        case IdOf(Control::kResetBtn):
            platform.Send(wire::kResetCommand);
            break;
        case IdOf(Control::kSoundBtn):
            SoundSwitch(platform, records);
            break;
        case IdOf(Control::kAngleBtn):
            AngleSwitch(platform, records);
            break;
        case IdOf(Control::kAboutBtn):
            platform.ShowAbout(kAboutCaption, kAboutText);
            break;
        default:
            break;
    }
}

int32_t ReadEditInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate as a negative magnitude so that INT32_MIN itself fits.
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 - (text[i] - '0');
        if (value < kMin) {
            value = kMin - 1;  // saturated; stays below the range
        }
    }
    if (!negative) {
        value = -value;
    }
    return static_cast<int32_t>(Clamp(value, kMin, std::numeric_limits<int32_t>::max()));
}

}  // namespace zeltan
