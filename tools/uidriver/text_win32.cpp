#include "text_win32.h"

#include <vector>

#include "base/hex.h"

namespace uidriver {

namespace {
constexpr UINT kCp1251 = 1251;
constexpr UINT kReplyTimeoutMs = 5000;

std::string ToUtf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}
}  // namespace

std::string ToCp1251(const std::wstring& wide) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(kCp1251, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(kCp1251, 0, wide.data(), int(wide.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring FromCp1251(const std::string& bytes) {
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(kCp1251, 0, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(kCp1251, 0, bytes.data(), int(bytes.size()), out.data(), n);
    return out;
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string TextFields(const char* key, const std::string& bytes) {
    std::string printable;
    for (unsigned char b : bytes) {
        if (b < 0x20 || b == '"' || b == '\\' || b == 0x7f) {
            printable += "\\x" + Hex(std::string(1, char(b)));
        } else {
            printable += ToUtf8(FromCp1251(std::string(1, char(b))));
        }
    }
    return std::string(key) + "=\"" + printable + "\" " + key + "_hex=" + Hex(bytes);
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            zeltan::HexDigitValue(text[i + 2]) >= 0 && zeltan::HexDigitValue(text[i + 3]) >= 0) {
            out += char(zeltan::HexDigitValue(text[i + 2]) * 16 + zeltan::HexDigitValue(text[i + 3]));
            i += 3;
        } else if (text[i] == '\\' && i + 1 < text.size() &&
                   (text[i + 1] == '\\' || text[i + 1] == '"')) {
            out += text[++i];
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string WindowText(HWND window) {
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                        &length);
    std::vector<wchar_t> buffer(length + 2, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), LPARAM(buffer.data()),
                        SMTO_ABORTIFHUNG, kReplyTimeoutMs, &copied);
    return ToCp1251(std::wstring(buffer.data(), copied));
}

}  // namespace uidriver
