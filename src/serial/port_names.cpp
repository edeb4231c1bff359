#include "serial/port_names.h"

#include <limits>
#include <locale>
#include <sstream>

namespace zeltan {
namespace {

// " — неверный идентификатор COM-порта."
constexpr std::string_view kUnknownPortSuffix =
    " \x97 \xED\xE5\xE2\xE5\xF0\xED\xFB\xE9 \xE8\xE4\xE5\xED\xF2\xE8\xF4\xE8\xEA\xE0\xF2\xEE\xF0 "
    "COM-\xEF\xEE\xF0\xF2\xE0.";
// "Порт "
constexpr std::string_view kBusyPortPrefix = "\xCF\xEE\xF0\xF2 ";
// " недоступен.\n\nВозможно, порт используется другой программой."
constexpr std::string_view kBusyPortSuffix =
    " \xED\xE5\xE4\xEE\xF1\xF2\xF3\xEF\xE5\xED.\n\n"
    "\xC2\xEE\xE7\xEC\xEE\xE6\xED\xEE, \xEF\xEE\xF0\xF2 "
    "\xE8\xF1\xEF\xEE\xEB\xFC\xE7\xF3\xE5\xF2\xF1\xFF \xE4\xF0\xF3\xE3\xEE\xE9 "
    "\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xEE\xE9.";

}  // namespace

std::string PortName(int n) { return "COM" + std::to_string(n); }

std::string DevicePath(std::string_view name) { return "\\\\.\\" + std::string(name); }

bool IsProbeListed(bool opened, uint32_t error) {
    return opened || error == kErrorAccessDenied || error == kErrorGenFailure;
}

std::string OpenWarningText(std::string_view name, uint32_t error) {
    std::string text;
    if (error == kErrorFileNotFound) {
        text.append(name).append(kUnknownPortSuffix);
    } else {
        text.append(kBusyPortPrefix).append(name).append(kBusyPortSuffix);
    }
    return text;
}

std::optional<uint32_t> ParseBaudRate(std::string_view text) {
    std::istringstream in{std::string(text)};
    in.imbue(std::locale::classic());
    long long rate = 0;
    if (!(in >> rate)) {
        return std::nullopt;  // no number, or one beyond long long
    }
    if (rate <= 0 || rate > static_cast<long long>(std::numeric_limits<uint32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(rate);
}

}  // namespace zeltan
