// zeltan-uidriver: works the program's window from another process, as an
// operator's hands and eyes, for the end-to-end tests.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "commands_win32.h"

namespace {

const char kUsage[] =
    "usage: zeltan-uidriver COMMAND ARGS...   run one command\n"
    "       zeltan-uidriver script            run commands from stdin, one per line\n"
    "       zeltan-uidriver --help\n"
    "Script lines split at blanks; \"...\" keeps blanks in one argument; lines\n"
    "starting with # and empty lines are skipped. Exit code 0 when every command\n"
    "succeeded, 1 when one failed, 2 when no command is given.\n\n";

// Splits a script line at blanks, keeping "quoted parts" (with \" inside)
// together; the escapes themselves are resolved by the commands.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false, quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
                word += "\\\"";
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == '"') {
            quoted = in_word = true;
        } else if (c == ' ' || c == '\t' || c == '\r') {
            if (in_word) words.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (in_word) words.push_back(word);
    return words;
}

int RunScript() {
    uidriver::Session session;
    bool all_ok = true;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::vector<std::string> words = Words(line);
        if (words.empty() || words[0][0] == '#') continue;
        all_ok = uidriver::RunCommand(session, words) && all_ok;
    }
    return all_ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Lines end in "\n" alone, whatever reads them.
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        std::fputs(uidriver::CommandReference(), argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (!std::strcmp(argv[1], "script")) return RunScript();
    uidriver::Session session;
    return uidriver::RunCommand(session, std::vector<std::string>(argv + 1, argv + argc)) ? 0 : 1;
}
