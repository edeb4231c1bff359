#include "serial/port_names.h"

#include <gtest/gtest.h>

#include <vector>

namespace zeltan {
namespace {

TEST(PortNames, NamesAndPathsOfEveryProbedNumber) {
    // The name is "COM" and the number without leading zeros; the path puts
    // "\\.\" before the name, unchanged.
    EXPECT_EQ(PortName(1), "COM1");
    EXPECT_EQ(PortName(10), "COM10");
    EXPECT_EQ(PortName(256), "COM256");
    EXPECT_EQ(DevicePath("COM3"), "\\\\.\\COM3");
    EXPECT_EQ(DevicePath("com12 "), "\\\\.\\com12 ");
    for (int n = kFirstComPort; n <= kLastComPort; ++n) {
        EXPECT_EQ(DevicePath(PortName(n)), "\\\\.\\COM" + std::to_string(n));
    }
}

TEST(PortNames, ProbeListsOpenedHeldAndBrokenPortsOnly) {
    struct Case {
        bool opened;
        uint32_t error;
        bool listed;
    };
    const std::vector<Case> cases = {
        {true, 0, true},                        // a free port
        {false, kErrorAccessDenied, true},      // held by another program (Windows)
        {false, 32, false},                     // ERROR_SHARING_VIOLATION
        {false, kErrorGenFailure, true},        // a device that does not work
        {false, kErrorFileNotFound, false},     // nothing behind the number
        {false, 3, false},                      // ERROR_PATH_NOT_FOUND
        {false, 87, false},                     // ERROR_INVALID_PARAMETER
        {false, 0, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsProbeListed(c.opened, c.error), c.listed) << "error " << c.error;
    }
}

TEST(PortNames, WarningTextsAreExactWindows1251Bytes) {
    // "COM99 — неверный идентификатор COM-порта."
    EXPECT_EQ(OpenWarningText("COM99", kErrorFileNotFound),
              "COM99 \x97 \xED\xE5\xE2\xE5\xF0\xED\xFB\xE9 "
              "\xE8\xE4\xE5\xED\xF2\xE8\xF4\xE8\xEA\xE0\xF2\xEE\xF0 COM-\xEF\xEE\xF0\xF2\xE0.");
    // "Порт COM3 недоступен.\n\nВозможно, порт используется другой программой."
    // for every other code, line feeds without carriage returns.
    const std::string busy =
        "\xCF\xEE\xF0\xF2 COM3 \xED\xE5\xE4\xEE\xF1\xF2\xF3\xEF\xE5\xED.\n\n"
        "\xC2\xEE\xE7\xEC\xEE\xE6\xED\xEE, \xEF\xEE\xF0\xF2 "
        "\xE8\xF1\xEF\xEE\xEB\xFC\xE7\xF3\xE5\xF2\xF1\xFF \xE4\xF0\xF3\xE3\xEE\xE9 "
        "\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xEE\xE9.";
    for (uint32_t error : {kErrorAccessDenied, 32u, kErrorGenFailure, 0u, 3u}) {
        EXPECT_EQ(OpenWarningText("COM3", error), busy) << "error " << error;
    }
    // "Предупреждение"
    EXPECT_EQ(kOpenWarningCaption, "\xCF\xF0\xE5\xE4\xF3\xEF\xF0\xE5\xE6\xE4\xE5\xED\xE8\xE5");
}

TEST(PortNames, BaudTextReadsLikeAStreamAndRejectsNonRates) {
    struct Case {
        const char* text;
        std::optional<uint32_t> rate;
    };
    const std::vector<Case> cases = {
        {"19200", 19200u},
        {" 9600x", 9600u},        // blanks skipped, reading stops at the first non-digit
        {"115200", 115200u},
        {"+4800", 4800u},         // an optional sign
        {"4294967295", 4294967295u},
        {"abc", std::nullopt},    // no number
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-9600", std::nullopt},  // not a positive rate
        {"0", std::nullopt},
        {"4294967296", std::nullopt},   // does not fit 32 bits
        {"99999999999", std::nullopt},
        {"999999999999999999999999", std::nullopt},  // beyond any integer the stream holds
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseBaudRate(c.text), c.rate) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace zeltan
