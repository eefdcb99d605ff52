// The program itself, started as a player starts it, in working folders
// where one data file is missing, empty, cut short or garbage. Real timers
// and real message boxes: each program runs in a process of its own, and
// this test answers its boxes as the player would, then types a count,
// presses Enter and starts a battle.
#include "vcl/win.h"
#include "gtest_windows.h"
#include "support/scratch_folder.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "rtl/encoding.h"
#include "vcl/wintext.h"

extern char** environ;

namespace {

const std::vector<std::string> kDataFiles = {"DataBase.dat", "lang.dat", "of.dat", "opt.dat", "spab.dat",
                                             "spat.dat",     "teh.dat"};
const std::vector<std::string> kDamagedFiles = {"DataBase.dat", "lang.dat", "of.dat", "teh.dat", "opt.dat"};
enum class Damage { Missing, Empty, CutShort, Garbage };

std::string DamageName(Damage damage) {
    switch (damage) {
    case Damage::Missing: return "missing";
    case Damage::Empty: return "empty";
    case Damage::CutShort: return "cut short";
    case Damage::Garbage: return "garbage";
    }
    return "";
}

// Bytes no program writes: every value, control characters included.
std::string Garbage(size_t size) {
    std::string bytes(size, '\0');
    uint32_t state = 12345;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 16);
    }
    return bytes;
}

std::string WindowText(HWND window) {
    WCHAR text[4096] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 4095, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &got);
    return vcl::FromWide(text, static_cast<int>(got));
}

std::string ClassOf(HWND window) {
    WCHAR name[128] = {};
    GetClassNameW(window, name, 127);
    return vcl::FromWide(name, -1);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> list;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&list));
    return list;
}

std::vector<HWND> TopWindows() {
    std::vector<HWND> list;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&list));
    return list;
}

DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

RECT Place(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// One start of the program in its own folder.
class Program {
public:
    Program(const std::string& exe, const std::string& file, Damage damage)
        : file_(file), damage_(damage), folder_(kDataFiles) {
        const std::string path = folder_.Path(file);
        const std::string original = scratch::ReadFile(path);
        switch (damage) {
        case Damage::Missing: unlink(path.c_str()); break;
        case Damage::Empty: folder_.Write(file, ""); break;
        case Damage::CutShort:
            // The case for the database; a third of each other file.
            folder_.Write(file, original.substr(0, file == "DataBase.dat" ? 5000 : original.size() / 3));
            break;
        case Damage::Garbage: folder_.Write(file, Garbage(3000)); break;
        }
        mkdir(folder_.Path("logs").c_str(), 0755);
        before_ = Processes();
        const std::string command = "cd '" + folder_.Path("") + "' && exec '" + exe + "' >/dev/null 2>&1";
        const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
        if (posix_spawn(&pid_, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = 0;
    }
    ~Program() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    std::string Name() const { return file_ + " " + DamageName(damage_); }
    const std::string& File() const { return file_; }
    Damage Kind() const { return damage_; }

    bool Alive() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

    // The program's windows are those of the first process to show an
    // application window after it was started, as long as no other program
    // has taken that process.
    bool Claim(std::set<DWORD>& claimed) {
        if (winePid_ != 0) return true;
        for (HWND top : TopWindows()) {
            const DWORD pid = ProcessOf(top);
            if (ClassOf(top) == "TApplication" && !before_.count(pid) && !claimed.count(pid)) {
                winePid_ = pid;
                claimed.insert(pid);
                return true;
            }
        }
        return false;
    }
    bool Owns(HWND window) const { return winePid_ != 0 && ProcessOf(window) == winePid_; }

    // Answers its message boxes and remembers their texts.
    void AnswerBoxes() {
        for (HWND top : TopWindows()) {
            if (!IsWindowVisible(top) || ClassOf(top) != "#32770" || !Owns(top) || answered_.count(top)) continue;
            std::string text;
            for (HWND child : Children(top))
                if (ClassOf(child) == "Static") text += WindowText(child);
            boxes_.push_back(text);
            answered_.insert(top);
            PostMessageW(top, WM_COMMAND, IDOK, 0);
        }
    }

    // The main window is the one window with a menu bar.
    HWND MainWindow() {
        for (HWND top : TopWindows())
            if (IsWindowVisible(top) && ClassOf(top) == "TForm" && GetMenu(top) && Owns(top)) return top;
        return nullptr;
    }
    HWND VisibleForm(const char* caption) {
        for (HWND top : TopWindows())
            if (IsWindowVisible(top) && ClassOf(top) == "TForm" && Owns(top) && WindowText(top) == caption)
                return top;
        return nullptr;
    }

    // What the player was told, the first-run notice aside.
    std::vector<std::string> Told() const {
        std::vector<std::string> told;
        for (const std::string& text : boxes_)
            if (text.find("на свой страх и риск") == std::string::npos) told.push_back(text);
        return told;
    }

    uint64_t mainShown = 0;  // when the main window appeared

private:
    static std::set<DWORD> Processes() {
        std::set<DWORD> pids;
        for (HWND top : TopWindows()) pids.insert(ProcessOf(top));
        return pids;
    }
    std::string file_;
    Damage damage_;
    scratch::Folder folder_;
    pid_t pid_ = 0;
    DWORD winePid_ = 0;
    std::set<DWORD> before_;
    std::set<HWND> answered_;
    std::vector<std::string> boxes_;
};

// Each program's folder was made the current one in turn: they go in reverse.
struct Programs : std::vector<std::unique_ptr<Program>> {
    ~Programs() {
        while (!empty()) pop_back();
    }
};

// Runs `step` every 100 ms for `ms` milliseconds, answering the boxes of every program.
template <class Step>
void Watch(Programs& programs, uint64_t ms, Step step) {
    const uint64_t end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        for (auto& program : programs) program->AnswerBoxes();
        if (step()) return;
        Sleep(100);
    }
}

// The grid of unit counts of a side: the tallest grid on that side.
HWND UnitGrid(HWND main, int side) {
    const RECT frame = Place(main);
    const int middle = (frame.left + frame.right) / 2;
    HWND best = nullptr;
    int bestHeight = 0;
    for (HWND child : Children(main)) {
        if (ClassOf(child) != "TStringGrid" || !IsWindowVisible(child)) continue;
        const RECT r = Place(child);
        if ((side == 1) != (r.left < middle)) continue;
        if (r.bottom - r.top > bestHeight) best = child, bestHeight = r.bottom - r.top;
    }
    return best;
}

// "Начать расчет": the right-most button placed straight on the window.
HWND StartButton(HWND main) {
    HWND best = nullptr;
    for (HWND child : Children(main)) {
        if (GetParent(child) != main || ClassOf(child) != "Button" || !IsWindowVisible(child)) continue;
        const RECT r = Place(child);
        if (r.bottom - r.top > 40) continue;  // the group boxes
        if (!best || r.left > Place(best).left) best = child;
    }
    return best;
}

HWND ChildOfClass(HWND parent, const char* name) {
    for (HWND child : Children(parent))
        if (ClassOf(child) == name && IsWindowVisible(child)) return child;
    return nullptr;
}

std::string Utf8(const std::string& text) { return rtl::Cp1251ToUtf8(text); }

}  // namespace

TEST(StartWithDamagedFiles, EachIsToldOnceAndTheProgramStartsAndFightsWithTheRest) {
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    const std::string exe = std::string(cwd) + "/norvixsim.exe";
    ASSERT_EQ(access(exe.c_str(), X_OK), 0) << exe;

    for (Damage damage : {Damage::Missing, Damage::Empty, Damage::CutShort, Damage::Garbage}) {
        std::map<Program*, size_t> toldAtStart;
        Programs programs;
        std::set<DWORD> claimed;
        for (const std::string& file : kDamagedFiles) {
            programs.push_back(std::make_unique<Program>(exe, file, damage));
            // Each claims its own process before the next starts.
            Watch(programs, 20000, [&] { return programs.back()->Claim(claimed) || !programs.back()->Alive(); });
        }

        // The whole start: every start timer has run once the wait window,
        // shown a second after the main window, has closed again.
        Watch(programs, 60000, [&] {
            bool all = true;
            for (auto& p : programs) {
                if (p->mainShown == 0 && p->MainWindow()) p->mainShown = GetTickCount64();
                all = all && p->mainShown != 0 && GetTickCount64() - p->mainShown > 5500;
            }
            return all;
        });

        for (auto& p : programs) {
            SCOPED_TRACE(p->Name());
            ASSERT_TRUE(p->Alive()) << "the program ended during the start";
            HWND main = p->MainWindow();
            ASSERT_TRUE(main) << "no main window";
            EXPECT_FALSE(p->VisibleForm("пожалуйста подождите")) << "the start did not finish";

            // One message, naming the file; a short name list cannot be told from a shorter one.
            const std::vector<std::string> told = p->Told();
            toldAtStart[p.get()] = told.size();
            const bool silentAllowed = damage == Damage::CutShort && (p->File() == "of.dat" || p->File() == "teh.dat");
            if (!(silentAllowed && told.empty())) {
                ASSERT_EQ(told.size(), 1u) << (told.empty() ? "" : Utf8(told[0] + " | " + told.back()));
                EXPECT_NE(told[0].find(p->File()), std::string::npos) << Utf8(told[0]);
            }

            // Enter in a participant's name field, then a count typed into the
            // first unit line and Enter: the cell takes it, no battle starts.
            for (HWND child : Children(main))
                if (ClassOf(child) == "Edit" && IsWindowVisible(child) && ClassOf(GetParent(child)) != "TStringGrid") {
                    PostMessageW(child, WM_KEYDOWN, VK_RETURN, 0);
                    PostMessageW(child, WM_KEYUP, VK_RETURN, 0);
                }
            HWND grid1 = UnitGrid(main, 1), grid2 = UnitGrid(main, 2);
            ASSERT_TRUE(grid1 && grid2);
            for (HWND grid : {grid1, grid2}) {
                // The value of the first line, under the title row, then the key.
                RECT client{};
                GetClientRect(grid, &client);
                PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 20, 28));
                PostMessageW(grid, WM_LBUTTONUP, 0, MAKELPARAM(client.right - 20, 28));
                PostMessageW(grid, WM_CHAR, '7', 0);
                Sleep(300);
                if (HWND editor = ChildOfClass(grid, "Edit")) {
                    PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 0);
                    PostMessageW(editor, WM_KEYUP, VK_RETURN, 0);
                }
            }
        }
        Watch(programs, 1000, [] { return false; });
        for (auto& p : programs) {
            SCOPED_TRACE(p->Name());
            EXPECT_FALSE(p->VisibleForm("Симуляция")) << "Enter started a battle";
            if (HWND main = p->MainWindow()) PostMessageW(StartButton(main), BM_CLICK, 0, 0);
        }

        // The battle: its log ends with the time it took.
        std::map<Program*, std::string> logs;
        Watch(programs, 30000, [&] {
            bool all = true;
            for (auto& p : programs) {
                HWND log = p->VisibleForm("Симуляция");
                HWND memo = log ? ChildOfClass(log, "Edit") : nullptr;
                logs[p.get()] = memo ? WindowText(memo) : "";
                all = all && logs[p.get()].find("Затрачено секунд") != std::string::npos;
            }
            return all;
        });
        for (auto& p : programs) {
            SCOPED_TRACE(p->Name());
            EXPECT_TRUE(p->Alive());
            const std::string& log = logs[p.get()];
            EXPECT_NE(log.find("Затрачено секунд"), std::string::npos) << Utf8(log);
            // Where the database gave units, both sides fought with the typed seven.
            if (p->File() != "DataBase.dat") EXPECT_NE(log.find(" из 7"), std::string::npos) << Utf8(log);
            EXPECT_EQ(p->Told().size(), toldAtStart[p.get()]) << Utf8(p->Told().back());
        }
    }
}
