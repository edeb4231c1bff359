// Texts as the driver reads and writes them: Windows-1251 bytes, converted
// from and to the UTF-16 that cross-process W messages carry.
#pragma once

#include <windows.h>

#include <string>

namespace uidriver {

std::string ToCp1251(const std::wstring& wide);
std::wstring FromCp1251(const std::string& bytes);

// Lowercase hex of every byte, two digits each ("" for an empty text).
std::string Hex(const std::string& bytes);

// KEY="printable" KEY_hex=HEX: the printable form is UTF-8 with '"', '\' and
// control bytes written as \xHH (of the 1251 byte), so a line stays one line.
std::string TextFields(const char* key, const std::string& bytes);

// Resolves \xHH, \\ and \" in an argument to the bytes they stand for.
std::string Unescape(const std::string& text);

// The text of a window of any process, read with WM_GETTEXT (W).
std::string WindowText(HWND window);

}  // namespace uidriver
