#pragma once
// Hexadecimal digits, as position reports, byte escapes and transcripts
// write them.

namespace zeltan {

// The value of one hexadecimal digit of either case, or -1 for any other
// character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace zeltan
