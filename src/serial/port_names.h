#pragma once
// The parts of the serial port's operations that need no platform: the names
// and device paths of the ports, which probe results put a port in the list,
// the texts of the warning shown when a port does not open, and reading the
// baud rate from the baud list's text. The Win32 shell (port_win32) calls
// these with the platform's error codes and never decides anything itself.
//
// The warning texts are Windows-1251 bytes, as MessageBoxA shows them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zeltan {

// Ports probed at start: COM1 ... COM256.
inline constexpr int kFirstComPort = 1;
inline constexpr int kLastComPort = 256;

// Win32 error codes the decisions below are made on (the values of
// ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED and ERROR_GEN_FAILURE).
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorGenFailure = 31;

// "COM" and n in decimal ("COM3", "COM12").
std::string PortName(int n);

// "\\.\" followed by the name, unchanged: the path CreateFileA opens.
std::string DevicePath(std::string_view name);

// Whether a probed port belongs in the port list, given how its open ended:
// one that opened, or one that exists but is held by another program (access
// denied) or does not work (general failure). Any other failure means there
// is no device behind the number.
bool IsProbeListed(bool opened, uint32_t error);

// The warning text for a port that failed to open with the given error.
std::string OpenWarningText(std::string_view name, uint32_t error);

// The caption of that warning ("Предупреждение").
inline constexpr std::string_view kOpenWarningCaption =
    "\xCF\xF0\xE5\xE4\xF3\xEF\xF0\xE5\xE6\xE4\xE5\xED\xE8\xE5";

// The baud rate in text as a formatted stream reads a decimal integer
// (leading blanks skipped, an optional sign, digits up to the first other
// character), or nothing when that yields no number or one that is not a
// positive rate of at most 32 bits. The port is never set to a rate that the
// text did not give.
std::optional<uint32_t> ParseBaudRate(std::string_view text);

}  // namespace zeltan
