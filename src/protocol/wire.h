#pragma once
// The serial wire protocol: every command the program sends and the bytes by
// which the receive loop recognises the controller's replies. Commands go out
// as these exact bytes, one write each: no line end, no length, no checksum.
#include <cstddef>
#include <string_view>

namespace zeltan::wire {

// Commands, program to controller.
inline constexpr std::string_view kReadVersion = "6+";     // answered by a version reply
inline constexpr std::string_view kReadParams = "3+";      // answered by a parameter reply
inline constexpr std::string_view kStatusPoll = "9+";      // answered by a direction state
inline constexpr std::string_view kWriteParams = "4+";     // followed by the 13-byte block
inline constexpr std::string_view kStoreParams = "5+";
inline constexpr std::string_view kRestoreParams = "7+";
inline constexpr std::string_view kResetCommand = "8+";
inline constexpr std::string_view kTurnLeft = "n";
inline constexpr std::string_view kTurnRight = "x";

// Reply framing, controller to program.
inline constexpr char kReplyEnd = '+';          // ends a reply header such as "6+" or "3+"
inline constexpr char kVersionHead = '6';       // first byte of a version reply
inline constexpr char kParamsHead = '3';        // first byte of a parameter reply
inline constexpr char kPositionEnd = '#';       // closes a hexadecimal position report
inline constexpr char kStateEnd = 'V';          // closes a one-character direction state
inline constexpr std::string_view kClosingChars = "knx?";  // empty the buffer, nothing else

inline constexpr std::size_t kVersionReplyLength = 22;  // bytes after "6+"
inline constexpr std::size_t kVersionTextLength = 20;   // of which at most these are shown
inline constexpr std::size_t kBlockLength = 13;         // bytes after "3+" and after "4+"

// Direction states (the character before "V").
inline constexpr char kStateTurningRight = '9';
inline constexpr char kStateTurningLeft = 'A';
inline constexpr char kStateStopped = 'B';
inline constexpr char kStateStoppedAlt = 'C';

}  // namespace zeltan::wire
