// Drives the running simulator as a player would, for bench/run
// window-selection, window-statistics and window-endless: types the fleets into the main
// window, starts a fleet selection or a statistics run with the mouse, times
// it to its result, and clicks now and then on another of the program's
// windows to time how long the click waits for an answer. For
// window-skinswitch it opens eight windows and times switching the skin off
// and on again with the options' check box.
//
//   window_driver options selection|statistics|endless|skinswitch 0|1   writes the
//                                  scenario's opt.dat (skinning off or on) before the start
//   window_driver selection|statistics|endless|skinswitch  drives the started program
//
// Runs in the program's working folder, in the same Wine session. Prints one
// line of key=value pairs; on a failure a message on stderr and exit code 1.
// With NORVIX_BENCH_ENGINE set, the line also holds the engine's seconds for
// the same battles, measured by that command just before and after the run.
// Nothing here waits on the program's thread except where the program is
// idle: windows are found and read through the window server alone.
#include <windows.h>

#include <dirent.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "window_scenarios.h"

namespace {

using Clock = std::chrono::steady_clock;
using windowbench::FleetEntry;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void Pause(int ms) { Sleep(static_cast<DWORD>(ms)); }

// The text the window server keeps for a window: no message is sent.
std::u16string ServerText(HWND window) {
    WCHAR buffer[1024] = {};
    InternalGetWindowText(window, buffer, 1023);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer));
}

std::u16string ClassOf(HWND window) {
    WCHAR buffer[256] = {};
    GetClassNameW(window, buffer, 255);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer));
}

// The whole text of a window, asked of the program (only while it is idle).
std::u16string AskedText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
    std::vector<WCHAR> buffer(length + 1);
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG, 5000,
                        &got);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()));
}

std::string Utf8(const std::u16string& text) {
    const auto* wide = reinterpret_cast<const WCHAR*>(text.c_str());
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
    return out;
}

bool Contains(const std::u16string& text, const char16_t* part) { return text.find(part) != std::u16string::npos; }

DWORD g_program = 0;  // the simulator's process

BOOL CALLBACK AddProgramWindow(HWND window, LPARAM list) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (g_program == 0 || pid == g_program) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

BOOL CALLBACK AddWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopWindows() {
    std::vector<HWND> windows;
    EnumWindows(AddProgramWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, AddWindow, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND ChildWithText(HWND parent, const std::u16string& cls, const char16_t* text, bool visibleOnly = true) {
    for (HWND child : Children(parent))
        if (ClassOf(child) == cls && ServerText(child) == text && (!visibleOnly || IsWindowVisible(child)))
            return child;
    return nullptr;
}

// A visible form of the program with a button of this caption.
HWND FormWithButton(const char16_t* caption) {
    for (HWND window : TopWindows())
        if (IsWindowVisible(window) && ClassOf(window) == u"TForm" && ChildWithText(window, u"Button", caption))
            return window;
    return nullptr;
}

// A visible message box or dialog of the program. Asked often while the
// program runs: the window server picks the dialogs out, as every request
// made here also takes its time from the program.
HWND ProgramDialog() {
    for (HWND window = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); window;
         window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == g_program && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

std::u16string DialogText(HWND dialog) {
    std::u16string text;
    for (HWND child : Children(dialog))
        if (ClassOf(child) == u"Static") text += ServerText(child);
    return text;
}

template <class Found>
auto WaitFor(const char* what, double seconds, Found found) {
    const auto start = Clock::now();
    for (;;) {
        if (auto result = found()) return result;
        if (SecondsSince(start) > seconds) throw std::runtime_error(std::string("gave up waiting for ") + what);
        Pause(20);
    }
}

// ---- Real input, through the window server's input queue.

void MoveAndClick(POINT at) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input[3] = {};
    for (INPUT& i : input) i.type = INPUT_MOUSE;
    input[0].mi.dx = at.x * 65535 / (width - 1);
    input[0].mi.dy = at.y * 65535 / (height - 1);
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, input, sizeof(INPUT));
}

POINT CentreOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void Key(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void Type(const std::string& digits) {
    for (char c : digits) Key(static_cast<WORD>(c));
}

// ---- The fleets.

// The line of each unit row in the main window's ship editors: the unit
// rows of the database in row order, as the program lists them.
std::vector<int> ShipLines() {
    constexpr int kColumns = 631, kFirstUnitRow = 201, kLastUnitRow = 550;
    std::ifstream file("DataBase.dat", std::ios::binary);
    if (!file) throw std::runtime_error("no DataBase.dat in the working folder");
    std::vector<int> lines(kLastUnitRow + 1, -1);
    std::string cell;
    int next = 0;
    for (long index = 0; std::getline(file, cell) && index / kColumns <= kLastUnitRow; ++index) {
        const long row = index / kColumns;
        if (index % kColumns == 1 && row >= kFirstUnitRow && cell.substr(0, 1) == "1" &&
            (cell.size() == 1 || cell[1] == '\r'))
            lines[static_cast<size_t>(row)] = next++;
    }
    return lines;
}

// The ship editor of a side: the tallest grid in the side's group box.
HWND ShipGrid(HWND main, int side) {
    const char16_t* caption = side == 1 ? u"Сторона 1" : u"Сторона 2";
    HWND group = ChildWithText(main, u"Button", caption);
    if (!group) throw std::runtime_error("no group box of the side in the main window");
    HWND tallest = nullptr;
    int best = 0;
    for (HWND child : Children(group)) {
        RECT r{};
        GetWindowRect(child, &r);
        if (ClassOf(child) == u"TStringGrid" && r.bottom - r.top > best) {
            best = r.bottom - r.top;
            tallest = child;
        }
    }
    if (!tallest) throw std::runtime_error("no ship editor in the main window");
    return tallest;
}

void EnterFleet(HWND main, const FleetEntry* fleet, size_t entries) {
    constexpr int kRowPitch = 19;  // the editors' rows and their grid line
    const std::vector<int> lines = ShipLines();
    for (size_t i = 0; i < entries; ++i) {
        const int line = lines.at(static_cast<size_t>(fleet[i].row));
        HWND grid = ShipGrid(main, fleet[i].side);
        RECT client{};
        GetClientRect(grid, &client);
        const int y = (line + 1) * kRowPitch + kRowPitch / 2;  // below the title row
        if (line < 0 || y >= client.bottom) throw std::runtime_error("a unit of the fleet is not in sight in its editor");
        POINT at{client.right * 4 / 5, y};  // the count column
        ClientToScreen(grid, &at);
        MoveAndClick(at);
        Pause(150);
        Type(std::to_string(fleet[i].count));
        Key(VK_RETURN);
        Pause(150);
    }
}

// ---- How long a click on another window waits for its answer.

// Points of the form's own client area on no control, the lowest first.
const std::vector<POINT>& BarePoints(HWND form) {
    static std::vector<std::pair<HWND, std::vector<POINT>>> known;
    for (const auto& entry : known)
        if (entry.first == form) return entry.second;
    std::vector<POINT> points;
    RECT client{};
    GetClientRect(form, &client);
    for (int y = client.bottom - 5; y >= 5 && points.size() < 40; y -= 8)
        for (int x = 5; x < client.right - 5 && points.size() < 40; x += 16) {
            POINT p{x, y};
            if (ChildWindowFromPointEx(form, p, CWP_SKIPINVISIBLE) == form) points.push_back(p);
        }
    known.emplace_back(form, std::move(points));
    return known.back().second;
}

// A point of the form's own client area in sight.
bool BareSpot(HWND form, POINT& screen) {
    for (POINT p : BarePoints(form)) {
        ClientToScreen(form, &p);
        if (WindowFromPoint(p) == form) {
            screen = p;
            return true;
        }
    }
    return false;
}

struct Responsiveness {
    int clicks = 0, late = 0;
    double worstMs = 0, totalMs = 0;
    HWND last = nullptr;

    // Clicks a visible form of the program other than the active one and
    // waits until it is the active window.
    void Probe() {
        HWND active = GetForegroundWindow();
        std::vector<HWND> forms;
        for (HWND window : TopWindows())
            if (IsWindowVisible(window) && ClassOf(window) == u"TForm" && window != active) forms.push_back(window);
        // Not the one clicked last time, when there is a choice.
        std::stable_partition(forms.begin(), forms.end(), [&](HWND w) { return w != last; });
        for (HWND form : forms) {
            POINT at{};
            if (!BareSpot(form, at)) continue;
            const auto start = Clock::now();
            MoveAndClick(at);
            // Looked at without a pause: the form may be in front for only a
            // millisecond or two before the next battle brings the log window
            // back, and a wait that missed that would wait for good (the
            // window server here tells no other process of foreground
            // changes). A click unanswered after a second is late whatever
            // comes, and the run's end is not held up any longer. A run that
            // ends meanwhile with a message box holds every form back: that
            // click is not counted, and the box is seen at once.
            double dialogLook = 0;
            while (GetForegroundWindow() != form && SecondsSince(start) < 1) {
                if (SecondsSince(start) >= dialogLook) {
                    if (ProgramDialog()) return;
                    dialogLook = SecondsSince(start) + 0.005;
                }
                SwitchToThread();
            }
            const double ms = SecondsSince(start) * 1000;
            last = form;
            ++clicks;
            totalMs += ms;
            worstMs = std::max(worstMs, ms);
            if (ms > 100) ++late;
            return;
        }
    }
};

// ---- The start of the program.

// Fails with the program's message when it shows one where none belongs.
void NoMessage(const char* during) {
    if (HWND box = ProgramDialog())
        throw std::runtime_error(std::string("the program said during ") + during + ": " + Utf8(DialogText(box)));
}

HWND WaitForProgram() {
    HWND main = WaitFor("the main window", 120, [] { return FormWithButton(u"Начать расчет"); });
    GetWindowThreadProcessId(main, &g_program);
    // The start finishes in stages; the last one, 5 s after the windows were
    // made, puts the default names into both sides and may load a template
    // into side 1. The first start in a Wine prefix shows a notice on the way.
    const auto start = Clock::now();
    while (SecondsSince(start) < 6.5) {
        if (HWND notice = ProgramDialog()) {
            for (HWND button : Children(notice))
                if (ClassOf(button) == u"Button" && IsWindowVisible(button)) {
                    MoveAndClick(CentreOf(button));  // its only button: "OK"
                    break;
                }
        }
        Pause(200);
    }
    NoMessage("the start");
    SetForegroundWindow(main);
    Pause(300);
    return main;
}

// ---- The scenarios.

// A click on another window every half second; NORVIX_BENCH_CLICKS=0 makes
// none (to see what the clicks themselves cost the run).
double ProbeEverySeconds() {
    const char* clicks = std::getenv("NORVIX_BENCH_CLICKS");
    return clicks && std::string(clicks) == "0" ? 1e9 : 0.5;
}
constexpr double kGiveUpSeconds = 900;

// The engine's own seconds for the same battles, measured by the command in
// NORVIX_BENCH_ENGINE (a native program, run by the shell) right before the
// start click and right after the end: the machine's speed on this kind of
// machine moves within seconds, and the two figures are then taken in the
// same stretch as the run itself. The program is idle meanwhile. -1 when
// there is no command.
double EngineSeconds() {
    const char* command = std::getenv("NORVIX_BENCH_ENGINE");
    if (!command || !*command) return -1;
    FILE* pipe = popen(command, "r");
    if (!pipe) throw std::runtime_error("could not start the engine's benchmark");
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const size_t at = output.find(" seconds=");
    if (pclose(pipe) != 0 || at == std::string::npos)
        throw std::runtime_error("the engine's benchmark failed: " + output);
    return std::atof(output.c_str() + at + 9);
}

std::string EngineFigures(double before, double after) {
    if (before < 0) return "";
    char text[96];
    std::snprintf(text, sizeof text, " engine_before=%.3f engine_after=%.3f", before, after);
    return text;
}

int Selection() {
    HWND main = WaitForProgram();
    EnterFleet(main, windowbench::kSelectionFleet, std::size(windowbench::kSelectionFleet));
    MoveAndClick(CentreOf(ChildWithText(main, u"Button", u"Подбор флота")));
    HWND warning = WaitFor("the selection's warning", 30, [] { return FormWithButton(u"Подобрать флот"); });
    Pause(300);
    NoMessage("the fleet entry");
    const double engineBefore = EngineSeconds();

    Responsiveness clicks;
    const auto start = Clock::now();
    MoveAndClick(CentreOf(ChildWithText(warning, u"Button", u"Подобрать флот")));
    // The button closes the warning as the selection starts. A click that
    // was not taken fails the run now rather than after the long wait below.
    while (IsWindowVisible(warning)) {
        if (SecondsSince(start) > 5) throw std::runtime_error("the click on the warning's start button was not taken");
        Pause(10);
    }
    const double probeEvery = ProbeEverySeconds();
    double nextProbe = probeEvery;
    HWND done = nullptr;
    while (!done) {
        if (HWND box = ProgramDialog()) {
            if (!Contains(DialogText(box), u"Подбор флота окончен"))
                throw std::runtime_error("the program said during the selection: " + Utf8(DialogText(box)));
            done = box;
            break;
        }
        const double now = SecondsSince(start);
        if (now > kGiveUpSeconds) throw std::runtime_error("the selection did not end");
        if (now >= nextProbe) {
            clicks.Probe();
            nextProbe = SecondsSince(start) + probeEvery;
        }
        Pause(10);
    }
    const double seconds = SecondsSince(start);
    const double engineAfter = EngineSeconds();

    HWND results = nullptr;
    for (HWND window : TopWindows())
        if (IsWindowVisible(window) && ServerText(window) == u"Результаты подбора") results = window;
    std::u16string recommended;
    for (HWND child : results ? Children(results) : std::vector<HWND>{})
        if (ClassOf(child) == u"Edit") recommended = AskedText(child);
    if (!Contains(recommended, u"Рекомендованный состав флота"))
        throw std::runtime_error("the selection ended without its recommended fleet");

    const int battles = std::stoi(windowbench::kSelectionCandidates) * std::stoi(windowbench::kSelectionGenerations) * 5;
    std::printf("battles=%d seconds=%.3f clicks=%d click_mean_ms=%.0f click_worst_ms=%.0f clicks_over_100ms=%d%s\n",
                battles, seconds, clicks.clicks, clicks.clicks ? clicks.totalMs / clicks.clicks : 0.0,
                clicks.worstMs, clicks.late, EngineFigures(engineBefore, engineAfter).c_str());
    return 0;
}

// The saved log of the battle, by its number (the date and the time of the
// run's start make the rest of the name).
bool BattleLogSaved(int battle) {
    const std::string ending = "_log#" + std::to_string(battle) + ".txt";
    DIR* dir = opendir("logs");
    if (!dir) return false;
    bool found = false;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() > ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

// A statistics run; `endless`: battles nobody wins in full log, no log
// saved, over at the summary, after which the log window must hold the
// last battle under the line that counts what it dropped.
int Statistics(bool endless) {
    using namespace windowbench;
    HWND main = WaitForProgram();
    if (endless)
        EnterFleet(main, kEndlessFleet, std::size(kEndlessFleet));
    else
        EnterFleet(main, kStatisticsFleet, std::size(kStatisticsFleet));
    Pause(300);
    NoMessage("the fleet entry");
    const int battles = std::stoi(endless ? kEndlessBattles : kStatisticsBattles);
    const double engineBefore = EngineSeconds();

    Responsiveness clicks;
    const auto start = Clock::now();
    MoveAndClick(CentreOf(ChildWithText(main, u"Button", u"Начать расчет")));
    const double probeEvery = ProbeEverySeconds();
    double nextProbe = probeEvery;
    // The battles end with the last one's log file; the summary follows
    // when the statistics timer runs.
    double seconds = 0;
    HWND summary = nullptr;
    while (!summary) {
        NoMessage("the statistics run");
        const double now = SecondsSince(start);
        if (now > kGiveUpSeconds) throw std::runtime_error("the statistics run did not end");
        if (seconds == 0 && !endless && BattleLogSaved(battles)) seconds = now;
        if (seconds != 0 || endless) {
            for (HWND window : TopWindows())
                if (IsWindowVisible(window) && ServerText(window) == u"статистический модуль") summary = window;
        }
        if (seconds == 0 && now >= nextProbe) {
            clicks.Probe();
            nextProbe = SecondsSince(start) + probeEvery;
        }
        Pause(10);
    }
    const double summarySeconds = SecondsSince(start);
    if (endless) seconds = summarySeconds;
    Pause(500);
    const double engineAfter = EngineSeconds();
    std::u16string text;
    for (HWND child : Children(summary))
        if (ClassOf(child) == u"Edit") text = AskedText(child);
    if (!Contains(text, u"По итогам симуляции") || !Contains(text, u"Победных -- "))
        throw std::runtime_error("the statistics window holds no summary of the run");
    std::u16string log;  // the log window's: its button says "стереть"
    for (HWND child : endless ? Children(FormWithButton(u"стереть")) : std::vector<HWND>{})
        if (ClassOf(child) == u"Edit") log = AskedText(child);
    if (endless && (log.rfind(u"... пропущено ранних строк: ", 0) != 0 || !Contains(log, u"Симулируется бой 200/200")))
        throw std::runtime_error("the log window holds not the last battle under the count of what it dropped");

    std::printf(
        "battles=%d seconds=%.3f summary_seconds=%.3f clicks=%d click_mean_ms=%.0f click_worst_ms=%.0f "
        "clicks_over_100ms=%d%s\n",
        battles, seconds, summarySeconds, clicks.clicks, clicks.clicks ? clicks.totalMs / clicks.clicks : 0.0,
        clicks.worstMs, clicks.late, EngineFigures(engineBefore, engineAfter).c_str());
    return 0;
}

// ---- Switching the skin off and on with eight windows open.

// Opens a window from the main window's menu line as a player does: a click
// on the line's item, then Down COUNT times and Return (COUNT 0: the item
// itself is a command). The items' places along the line are the same
// skinned and plain, from the window's left edge.
void OpenFromMenu(HWND main, int itemX, int downs, const char16_t* caption) {
    RECT r{};
    GetWindowRect(main, &r);
    SetForegroundWindow(main);
    Pause(200);
    MoveAndClick(POINT{r.left + itemX, r.top + 31});
    Pause(400);
    if (downs > 0) {
        for (int i = 0; i < downs; ++i) {
            Key(VK_DOWN);
            Pause(60);
        }
        Key(VK_RETURN);
    }
    WaitFor("a window opened from the menu", 10, [&] {
        for (HWND window : TopWindows())
            if (IsWindowVisible(window) && ServerText(window) == caption) return window;
        return HWND{};
    });
    Pause(300);
}

bool PaintWaiting(HWND window) {
    RECT r{};
    if (GetUpdateRect(window, &r, FALSE)) return true;
    for (HWND child : Children(window))
        if (IsWindowVisible(child) && GetUpdateRect(child, &r, FALSE)) return true;
    return false;
}

// Seconds from a real click on the skinning check box until the switch is
// over: the program has answered (its handler is done) and no window of it
// waits for a paint any more.
double TimedSwitch(HWND box, bool on) {
    const auto start = Clock::now();
    MoveAndClick(CentreOf(box));
    WaitFor("the skinning check box to change", 30, [&] {
        DWORD_PTR state = 0;
        return SendMessageTimeoutW(box, BM_GETCHECK, 0, 0, SMTO_NORMAL, 30000, &state) &&
               (state == BST_CHECKED) == on;
    });
    for (;;) {
        bool waiting = false;
        for (HWND window : TopWindows())
            if (IsWindowVisible(window) && PaintWaiting(window)) waiting = true;
        if (!waiting) break;
        if (SecondsSince(start) > 60) throw std::runtime_error("the windows were never painted after the switch");
        SwitchToThread();
    }
    return SecondsSince(start);
}

int SkinSwitch() {
    HWND main = WaitForProgram();
    // The main window and seven others: the unit, template, medal,
    // technology and officer editors, the unit information and, last, the
    // options.
    OpenFromMenu(main, 70, 1, u"Редктор юнитов");
    OpenFromMenu(main, 70, 2, u"Редактор шаблонов");
    OpenFromMenu(main, 70, 3, u"Редактор медалей");
    OpenFromMenu(main, 70, 4, u"Редактор технологий");
    OpenFromMenu(main, 70, 5, u"Редактор офицеров");
    OpenFromMenu(main, 139, 1, u"Характеристики юнитов");
    OpenFromMenu(main, 211, 0, u"Настройки");
    HWND options = nullptr;
    int open = 0;
    for (HWND window : TopWindows())
        if (IsWindowVisible(window) && ClassOf(window) == u"TForm") {
            ++open;
            if (ServerText(window) == u"Настройки") options = window;
        }
    if (!options || open != 8) throw std::runtime_error("eight windows were not open");
    HWND box = ChildWithText(options, u"Button", u"Использовать оформление");
    if (!box) throw std::runtime_error("no skinning check box in the options");
    NoMessage("opening the windows");
    Pause(500);
    const double off = TimedSwitch(box, false);
    Pause(1000);
    const double on = TimedSwitch(box, true);
    Pause(500);
    NoMessage("the switches");
    std::printf("windows=%d off_seconds=%.3f on_seconds=%.3f\n", open, off, on);
    return 0;
}

}  // namespace

// The options of the scenario, as the options window saves them: rounds,
// save logs, statistics module, battles, full log, skinning, payback,
// updates, window positions, generations, candidates.
void WriteOptions(const std::string& scenario, bool skinned) {
    const bool statistics = scenario == "statistics", endless = scenario == "endless";
    const std::string lines[] = {endless ? windowbench::kEndlessRounds : windowbench::kRounds,
                                 statistics ? "1" : "0",
                                 statistics || endless ? "1" : "0",
                                 statistics ? windowbench::kStatisticsBattles : endless ? windowbench::kEndlessBattles : "10",
                                 endless ? "1" : "0",
                                 skinned ? "1" : "0",
                                 "0",
                                 "0",
                                 "0",
                                 windowbench::kSelectionGenerations,
                                 windowbench::kSelectionCandidates};
    std::ofstream file("opt.dat", std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) file << line << "\r\n";
    if (!file) throw std::runtime_error("could not write opt.dat");
}

int main(int argc, char** argv) {
    const std::string scenario = argc > 1 ? argv[1] : "";
    try {
        if (scenario == "options" && argc == 4) {
            WriteOptions(argv[2], std::string(argv[3]) == "1");
            return 0;
        }
        if (scenario == "selection") return Selection();
        if (scenario == "statistics" || scenario == "endless") return Statistics(scenario == "endless");
        if (scenario == "skinswitch") return SkinSwitch();
        std::fprintf(stderr, "usage: window_driver [options] selection|statistics|endless|skinswitch [0|1]\n");
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "window_driver %s: %s\n", scenario.c_str(), error.what());
        return 1;
    }
}
