#include "commands_win32.h"

#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>

#include "base/controls.h"
#include "image_win32.h"
#include "text_win32.h"
#include "windows_win32.h"

namespace uidriver {

namespace {

constexpr UINT kReplyTimeoutMs = 5000;
constexpr DWORD kPollMs = 50;

// A failed command: the message goes into the "error" line.
struct Failure {
    std::string message;
};

using Args = std::vector<std::string>;

void Line(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

std::string HexNumber(unsigned long long value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%0*llx", digits, value);
    return text;
}

std::string Handle(HWND window) { return HexNumber(reinterpret_cast<UINT_PTR>(window), 1); }

long Number(const std::string& text) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end) throw Failure{"not a number: " + text};
    return value;
}

LRESULT Send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                             &result)) {
        throw Failure{"window " + Handle(window) + " did not answer"};
    }
    return LRESULT(result);
}

// Polls CONDITION until it holds or TIMEOUT_MS pass.
bool WaitFor(const std::function<bool()>& condition, long timeout_ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (long(GetTickCount() - start) >= timeout_ms) return false;
        Sleep(kPollMs);
    }
}

HWND Main(const Session& session) {
    HWND main = FindMainWindow(session.window_class);
    if (!main) throw Failure{"no visible window of class " + session.window_class};
    return main;
}

HWND Child(const Session& session, const std::string& name) {
    std::string error;
    HWND child = ResolveChild(Main(session), name, error);
    if (!child) throw Failure{error};
    return child;
}

HWND Target(const Session& session, const std::string& name) {
    return name == "window" ? Main(session) : Child(session, name);
}

void PrintText(HWND window) { Line("text " + TextFields("text", WindowText(window))); }

std::string WindowPid(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return std::to_string(pid);
}

bool IsButton(HWND window) { return lstrcmpiA(ClassOf(window).c_str(), "button") == 0; }
bool IsCombo(HWND window) { return lstrcmpiA(ClassOf(window).c_str(), "combobox") == 0; }

void WaitWindow(Session& session, const Args& a) {
    session.window_class = a.at(0);
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = FindMainWindow(session.window_class)) != nullptr; },
                 Number(a.at(1)))) {
        throw Failure{"no visible window of class " + session.window_class + " within " +
                      a.at(1) + " ms"};
    }
    Line("window hwnd=" + Handle(main) + " pid=" + WindowPid(main));
}

void Window(Session& session, const Args&) {
    HWND main = Main(session);
    RECT rect{}, client{}, desktop{};
    GetWindowRect(main, &rect);
    GetClientRect(main, &client);
    GetWindowRect(GetDesktopWindow(), &desktop);
    Line("window hwnd=" + Handle(main) + " class=" + ClassOf(main) + " " +
         TextFields("title", WindowText(main)) +
         " style=" + HexNumber(GetWindowLongA(main, GWL_STYLE) & 0xFFFFFFFFu, 8) +
         " exstyle=" + HexNumber(GetWindowLongA(main, GWL_EXSTYLE) & 0xFFFFFFFFu, 8) +
         " rect=" + RectText(rect) + " client=" + RectText(client) +
         " desktop=" + RectText(desktop) + " pid=" + WindowPid(main));
}

// The program's control table, one line per control.
void Layout(Session&, const Args&) {
    for (const zeltan::ControlRow& row : zeltan::kControlTable) {
        const RECT rect = {row.x, row.y, row.x + row.w, row.y + row.h};
        Line("control index=" + std::to_string(1 + static_cast<int>(row.key)) + " key=" +
             row.name + " class=" + row.className + " " +
             TextFields("text", row.caption != nullptr ? row.caption : "") +
             " id=" + std::to_string(row.id) + " style=" + HexNumber(row.style, 8) +
             " rect=" + RectText(rect) + " icon=" + (row.icon != nullptr ? row.icon : "-"));
    }
    Line("layout count=" + std::to_string(zeltan::kControlCount));
}

std::string ChildLine(HWND main, HWND child, size_t index) {
    std::string line = "child index=" + std::to_string(index) + " hwnd=" + Handle(child) +
                       " class=" + ClassOf(child) + " " + TextFields("text", WindowText(child)) +
                       " id=" + std::to_string(GetDlgCtrlID(child)) +
                       " style=" + HexNumber(GetWindowLongA(child, GWL_STYLE) & 0xFFFFFFFFu, 8) +
                       " exstyle=" +
                       HexNumber(GetWindowLongA(child, GWL_EXSTYLE) & 0xFFFFFFFFu, 8) +
                       " rect=" + RectText(RectIn(child, main)) +
                       " enabled=" + std::to_string(IsWindowEnabled(child) ? 1 : 0) +
                       " visible=" + std::to_string(IsWindowVisible(child) ? 1 : 0);
    if (IsButton(child)) {
        line += " check=" + std::to_string(Send(child, BM_GETCHECK));
        line += " icon=" + std::to_string(Send(child, BM_GETIMAGE, IMAGE_ICON) ? 1 : 0);
    }
    if (IsCombo(child)) {
        RECT dropped{};
        Send(child, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&dropped));
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&dropped), 2);
        line += " dropped=" + RectText(dropped);
    }
    return line;
}

void ListChildren(Session& session, const Args&) {
    HWND main = Main(session);
    std::vector<HWND> children = Children(main);
    for (size_t i = 0; i < children.size(); ++i) Line(ChildLine(main, children[i], i));
    Line("children count=" + std::to_string(children.size()));
}

void Click(Session& session, const Args& a) { Send(Child(session, a.at(0)), BM_CLICK); }

void ClickAsync(Session& session, const Args& a) {
    if (!PostMessageW(Child(session, a.at(0)), BM_CLICK, 0, 0)) throw Failure{"post failed"};
}

void GetText(Session& session, const Args& a) { PrintText(Target(session, a.at(0))); }

void SetText(Session& session, const Args& a) {
    HWND child = Child(session, a.at(0));
    std::wstring text = FromCp1251(Unescape(a.at(1)));
    Send(child, WM_SETTEXT, 0, LPARAM(text.c_str()));
    PrintText(child);
}

void ComboItems(Session& session, const Args& a) {
    HWND combo = Child(session, a.at(0));
    LRESULT count = Send(combo, CB_GETCOUNT);
    if (count < 0) throw Failure{a.at(0) + " is not a combo box"};
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring item(size_t(Send(combo, CB_GETLBTEXTLEN, i)) + 1, L'\0');
        LRESULT n = Send(combo, CB_GETLBTEXT, i, LPARAM(item.data()));
        item.resize(n > 0 ? size_t(n) : 0);
        Line("item index=" + std::to_string(i) + " " + TextFields("text", ToCp1251(item)));
    }
    Line("combo count=" + std::to_string(count) +
         " selected=" + std::to_string(Send(combo, CB_GETCURSEL)) + " " +
         TextFields("text", WindowText(combo)));
}

// Characters go where a keyboard would send them: to the focused edit. A
// combo box's own edit is its child; other controls take them themselves.
HWND TypingTarget(HWND control) {
    if (IsCombo(control)) {
        if (HWND edit = FindWindowExA(control, nullptr, "Edit", nullptr)) return edit;
    }
    return control;
}

void Type(Session& session, const Args& a) {
    HWND control = Child(session, a.at(0));
    HWND target = TypingTarget(control);
    for (wchar_t c : FromCp1251(Unescape(a.at(1)))) Send(target, WM_CHAR, c, 1);
    PrintText(control);
}

void CheckState(Session& session, const Args& a) {
    Line("check value=" + std::to_string(Send(Child(session, a.at(0)), BM_GETCHECK)));
}

void Enabled(Session& session, const Args& a) {
    Line("enabled value=" + std::to_string(IsWindowEnabled(Child(session, a.at(0))) ? 1 : 0));
}

Image CaptureOf(HWND window) {
    Image image = Capture(window);
    if (image.pixels.empty()) throw Failure{"cannot read the pixels of " + Handle(window)};
    return image;
}

void CaptureCommand(Session& session, const Args& a) {
    Image image = CaptureOf(Target(session, a.at(0)));
    if (!WriteBmp(image, a.at(1))) throw Failure{"cannot write " + a.at(1)};
    Line("capture file=" + a.at(1) + " size=" + std::to_string(image.width) + "," +
         std::to_string(image.height));
}

std::string Rgb(COLORREF c) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

void Pixel(Session& session, const Args& a) {
    Image image = CaptureOf(Target(session, a.at(0)));
    long x = Number(a.at(1)), y = Number(a.at(2));
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) throw Failure{"outside"};
    Line("pixel x=" + a.at(1) + " y=" + a.at(2) + " rgb=" + Rgb(image.At(x, y)));
}

void IconMatch(Session& session, const Args& a) {
    if (a.size() < 3) throw Failure{"usage: icon-match NAME EXE ICON..."};
    Image image = CaptureOf(Target(session, a[0]));
    // Loaded only for its resources.
    const zeltan::scoped::Module module(LoadLibraryExA(a[1].c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) throw Failure{"cannot load " + a[1]};
    std::string best_name;
    Match best;
    best.mismatches = 1 << 30;
    for (size_t i = 2; i < a.size(); ++i) {
        const zeltan::scoped::Icon icon(static_cast<HICON>(
            LoadImageA(module.get(), a[i].c_str(), IMAGE_ICON, 16, 16, 0)));
        if (!icon.get()) throw Failure{"no icon " + a[i] + " in " + a[1]};
        Match match = FindIcon(image, icon.get(), 16);
        // An icon drawn over another can look like it in part (L_ON within
        // L_OFF): of the exact matches the one with most opaque pixels counts.
        bool better = match.found ? !best.found || match.opaque > best.opaque
                                  : !best.found && match.mismatches < best.mismatches;
        if (better) {
            best = match;
            best_name = a[i];
        }
    }
    if (!best.found) {
        throw Failure{"none of the icons shows; nearest " + best_name + " with " +
                      std::to_string(best.mismatches) + " wrong pixels"};
    }
    Line("icon-match name=" + best_name + " x=" + std::to_string(best.x) +
         " y=" + std::to_string(best.y));
}

// The standard icon that the box's icon picture is nearest to. The box may
// draw its icon from another image size than LoadIcon gives, so the nearest
// one counts when it is clearly nearer than every other.
std::string MessageBoxIcon(HWND icon_static) {
    Image shown = CaptureOf(icon_static);
    struct Candidate {
        const char* name;
        LPCSTR id;
    };
    const Candidate candidates[] = {{"error", IDI_HAND},
                                    {"question", IDI_QUESTION},
                                    {"warning", IDI_EXCLAMATION},
                                    {"information", IDI_ASTERISK}};
    int size = GetSystemMetrics(SM_CXICON);
    const char* nearest = "unknown";
    int best = 1 << 30, second = 1 << 30;
    for (const Candidate& c : candidates) {
        Match match = FindIcon(shown, LoadIconA(nullptr, c.id), size, 40);
        if (match.found) return c.name;
        if (match.mismatches < best) {
            second = best;
            best = match.mismatches;
            nearest = c.name;
        } else if (match.mismatches < second) {
            second = match.mismatches;
        }
    }
    return best * 5 < second * 4 ? nearest : "unknown";
}

HWND WaitMessageBox(Session& session, long timeout_ms) {
    HWND main = FindMainWindow(session.window_class);
    DWORD pid = 0;
    if (main) GetWindowThreadProcessId(main, &pid);
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindMessageBox(pid)) != nullptr; }, timeout_ms)) {
        throw Failure{"no message box within " + std::to_string(timeout_ms) + " ms"};
    }
    return box;
}

void MessageBoxCommand(Session& session, const Args& a) {
    HWND box = WaitMessageBox(session, Number(a.at(0)));
    if (a.size() > 1 && !WriteBmp(CaptureOf(box), a[1])) throw Failure{"cannot write " + a[1]};
    std::string text, icon = "none";
    int buttons = 0;
    for (HWND child : Children(box)) {
        std::string cls = ClassOf(child);
        if (IsButton(child)) {
            ++buttons;
            Line("button id=" + std::to_string(GetDlgCtrlID(child)) + " " +
                 TextFields("text", WindowText(child)));
        } else if (lstrcmpiA(cls.c_str(), "static") == 0) {
            if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                icon = MessageBoxIcon(child);
            } else if (text.empty()) {
                text = WindowText(child);
            }
        }
    }
    Line("msgbox hwnd=" + Handle(box) + " " + TextFields("caption", WindowText(box)) + " " +
         TextFields("text", text) + " icon=" + icon + " buttons=" + std::to_string(buttons));
}

void PressInMessageBox(Session& session, int id) {
    HWND box = WaitMessageBox(session, 0);
    HWND button = GetDlgItem(box, id);
    if (!button) throw Failure{"the message box has no button " + std::to_string(id)};
    PostMessageW(button, BM_CLICK, 0, 0);
    if (!WaitFor([&] { return !IsWindow(box); }, kReplyTimeoutMs)) {
        throw Failure{"the message box stayed open"};
    }
}

void MessageBoxOk(Session& session, const Args&) { PressInMessageBox(session, IDOK); }
void MessageBoxPress(Session& session, const Args& a) {
    PressInMessageBox(session, int(Number(a.at(0))));
}

void Close(Session& session, const Args&) { PostMessageW(Main(session), WM_CLOSE, 0, 0); }

void WaitGone(Session& session, const Args& a) {
    HWND main = FindWindowA(session.window_class.c_str(), nullptr);
    if (!WaitFor([&] { return !main || !IsWindow(main); }, Number(a.at(0)))) {
        throw Failure{"the window of class " + session.window_class + " is still there"};
    }
}

void SleepCommand(Session&, const Args& a) { Sleep(DWORD(Number(a.at(0)))); }

// How long a message sent to the main window waits until the main thread has
// handled it, as a click would: WM_NULL, COUNT times, one every MS.
void ProbeWait(Session& session, const Args& a) {
    HWND main = Main(session);
    const long count = Number(a.at(0));
    const long every = Number(a.at(1));
    if (count < 1 || every < 0) throw Failure{"usage: probe-wait COUNT MS"};
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> waits;
    for (long i = 0; i < count; ++i) {
        QueryPerformanceCounter(&before);
        Send(main, WM_NULL);
        QueryPerformanceCounter(&after);
        waits.push_back(double(after.QuadPart - before.QuadPart) * 1e6 / double(frequency.QuadPart));
        if (every > 0) Sleep(DWORD(every));
    }
    const long worstAt = long(std::max_element(waits.begin(), waits.end()) - waits.begin());
    std::sort(waits.begin(), waits.end());
    char line[200];
    std::snprintf(line, sizeof line,
                  "probe-wait count=%ld median_us=%.0f p99_us=%.0f worst_us=%.0f worst_at=%ld",
                  count, waits[waits.size() / 2], waits[waits.size() * 99 / 100], waits.back(),
                  worstAt);
    Line(line);
}

struct Command {
    size_t min_args;
    void (*run)(Session&, const Args&);
};

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"wait-window", {2, WaitWindow}},     {"window", {0, Window}},
        {"children", {0, ListChildren}},      {"click", {1, Click}},
        {"click-async", {1, ClickAsync}},     {"get-text", {1, GetText}},
        {"set-text", {2, SetText}},           {"combo-items", {1, ComboItems}},
        {"type", {2, Type}},                  {"check-state", {1, CheckState}},
        {"enabled", {1, Enabled}},            {"capture", {2, CaptureCommand}},
        {"pixel", {3, Pixel}},                {"icon-match", {3, IconMatch}},
        {"msgbox", {1, MessageBoxCommand}},   {"msgbox-ok", {0, MessageBoxOk}},
        {"msgbox-press", {1, MessageBoxPress}}, {"close", {0, Close}},
        {"wait-gone", {1, WaitGone}},         {"sleep", {1, SleepCommand}},
        {"layout", {0, Layout}},              {"probe-wait", {2, ProbeWait}},
    };
    return commands;
}

}  // namespace

bool RunCommand(Session& session, const std::vector<std::string>& words) {
    bool ok = false;
    try {
        auto found = Commands().find(words.at(0));
        if (found == Commands().end()) throw Failure{"unknown command " + words[0]};
        Args args(words.begin() + 1, words.end());
        if (args.size() < found->second.min_args) throw Failure{"too few arguments"};
        found->second.run(session, args);
        ok = true;
    } catch (const Failure& failure) {
        Line("error " + words.at(0) + ": " + failure.message);
    }
    if (ok) Line("ok");
    std::fflush(stdout);
    return ok;
}

const char* CommandReference() {
    return R"(Commands (CHILD is ID, CLASS:ID, #INDEX, the z-order index from 0, or
@KEY, a control's key in the program's table such as @OpenBtn;
TARGET is CHILD or the word window; TEXT may hold \xHH for a Windows-1251 byte):
  wait-window CLASS TIMEOUT_MS  wait until a window of CLASS is visible; later
                                commands use it (CLASS is ZELTAN until then)
                                -> window hwnd=H pid=N
  window                        -> window hwnd=H class=C title="T" title_hex=X
                                   style=0xS exstyle=0xS rect=R client=R desktop=R pid=N
  layout                        the program's control table, in creation order
                                -> control index=N key=K class=C text="T" text_hex=X id=N
                                   style=0xS rect=R icon=NAME|-   ... then: layout count=N
  children                      -> child index=N hwnd=H class=C text="T" text_hex=X id=N
                                   style=0xS exstyle=0xS rect=R enabled=0|1 visible=0|1
                                   [check=0|1|2 icon=0|1  (buttons)] [dropped=R  (combos)]
                                   ... then: children count=N
  click CHILD                   BM_CLICK, waits until the click is handled
  click-async CHILD             BM_CLICK posted (for clicks that open a modal box)
  get-text TARGET               -> text text="T" text_hex=X
  set-text CHILD TEXT           WM_SETTEXT, then -> text ...
  type CHILD CHARS              one WM_CHAR per character, then -> text ...
  combo-items CHILD             -> item index=N text="T" text_hex=X  (each entry)
                                   combo count=N selected=N text="T" text_hex=X
  check-state CHILD             -> check value=0|1|2
  enabled CHILD                 -> enabled value=0|1
  capture TARGET FILE.bmp       24-bit BMP of the window as shown -> capture file=F size=W,H
  pixel TARGET X Y              X, Y from the window's top-left -> pixel x=X y=Y rgb=rrggbb
  icon-match TARGET EXE ICON... which of the named icons of EXE the window shows
                                -> icon-match name=ICON x=X y=Y
  msgbox TIMEOUT_MS [FILE.bmp]  wait for a message box of the window's process
                                (and capture it)
                                -> button id=N text="T" text_hex=X  (each button)
                                   msgbox hwnd=H caption="T" caption_hex=X text="T" text_hex=X
                                   icon=error|question|warning|information|unknown|none buttons=N
  msgbox-ok                     press OK in the message box and wait until it is gone
  msgbox-press ID               press the button ID in the message box
  close                         post WM_CLOSE to the window
  wait-gone TIMEOUT_MS          wait until the window no longer exists
  sleep MS
  probe-wait COUNT MS           send WM_NULL to the window COUNT times, one every MS,
                                timing each wait -> probe-wait count=N median_us=U
                                   p99_us=U worst_us=U
R is x,y,w,h (children: in the window's client coordinates). Printable texts are
UTF-8 with '"', '\' and control bytes as \xHH. Every command ends with a line
"ok" or "error COMMAND: MESSAGE".
)";
}

}  // namespace uidriver
