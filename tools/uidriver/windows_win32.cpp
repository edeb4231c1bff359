#include "windows_win32.h"

#include "base/controls.h"

#include <cstdlib>

namespace uidriver {

HWND FindMainWindow(const std::string& window_class) {
    HWND window = FindWindowA(window_class.c_str(), nullptr);
    return window && IsWindowVisible(window) ? window : nullptr;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string RectText(const RECT& rect) {
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right - rect.left) + "," + std::to_string(rect.bottom - rect.top);
}

RECT RectIn(HWND window, HWND relative_to) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, relative_to, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

namespace {
bool ParseNumber(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0';
}
}  // namespace

HWND ResolveChild(HWND main, const std::string& name, std::string& error) {
    std::vector<HWND> children = Children(main);
    long number = 0;
    if (!name.empty() && name[0] == '@') {
        // The program creates its dial window first, then the controls of
        // its table in table order.
        for (const zeltan::ControlRow& row : zeltan::kControlTable) {
            if (name.compare(1, std::string::npos, row.name) != 0) continue;
            const size_t index = 1 + static_cast<size_t>(row.key);
            if (index < children.size()) return children[index];
            error = "the window has no child for " + name;
            return nullptr;
        }
        error = "no control " + name + " in the program's table";
        return nullptr;
    }
    if (!name.empty() && name[0] == '#') {
        if (!ParseNumber(name.substr(1), number) || number < 0 ||
            size_t(number) >= children.size()) {
            error = "no child " + name + " (there are " + std::to_string(children.size()) + ")";
            return nullptr;
        }
        return children[number];
    }
    std::string wanted_class;
    std::string id_text = name;
    if (size_t colon = name.find(':'); colon != std::string::npos) {
        wanted_class = name.substr(0, colon);
        id_text = name.substr(colon + 1);
    }
    if (!ParseNumber(id_text, number)) {
        error = "not a child name: " + name + " (use ID, CLASS:ID or #INDEX)";
        return nullptr;
    }
    HWND found = nullptr;
    int count = 0;
    for (HWND child : children) {
        if (GetDlgCtrlID(child) != number) continue;
        if (!wanted_class.empty() && lstrcmpiA(ClassOf(child).c_str(), wanted_class.c_str()) != 0)
            continue;
        found = child;
        ++count;
    }
    if (count == 0) error = "no child with id " + name;
    if (count > 1) {
        error = std::to_string(count) + " children have id " + name + "; use CLASS:ID or #INDEX";
        found = nullptr;
    }
    return found;
}

namespace {
struct BoxSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK CheckBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BoxSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if ((search->pid == 0 || pid == search->pid) && IsWindowVisible(window) &&
        ClassOf(window) == "#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND FindMessageBox(DWORD pid) {
    BoxSearch search{pid, nullptr};
    EnumWindows(CheckBox, LPARAM(&search));
    return search.found;
}

}  // namespace uidriver
