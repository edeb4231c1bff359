// The driver's commands: each takes its arguments, prints its result lines
// and ends with "ok" or "error MESSAGE".
#pragma once

#include <string>
#include <vector>

namespace uidriver {

// What one run of commands shares: the class of the program's main window.
struct Session {
    std::string window_class = "ZELTAN";
};

// Runs one command; false when it failed (its error line is printed).
bool RunCommand(Session& session, const std::vector<std::string>& words);

// One line per command, for --help.
const char* CommandReference();

}  // namespace uidriver
