// The whole program for tests of its windows: a fresh working folder with
// the installation data, all windows created once per test program as the
// main block creates them, the start timers run on the test clock, and
// every message box answered and remembered.
#pragma once
#include "gtest_windows.h"
#include "support/vcl_test_support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "windows/mainteme.h"
#include "windows/windowset.h"

namespace programtest {

inline const std::vector<std::string>& DataFiles() {
    static const std::vector<std::string> files = {"DataBase.dat", "lang.dat", "of.dat",  "opt.dat", "spab.dat",
                                                   "spat.dat",     "teh.dat",  "def.dat", "med.dat", "Shbl.dat"};
    return files;
}

inline void CopyFile(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    out << in.rdbuf();
}

inline constexpr const char* kFolderPrefix = "/tmp/norvix_program_";

// Removes a folder made by WorkFolder, with what the tests put in it (files
// and one level of folders). Anything else is left alone.
inline void RemoveWorkFolder(const std::string& folder, int depth = 0) {
    const std::string prefix = kFolderPrefix;
    if (folder.compare(0, prefix.size(), prefix) != 0 || folder.find("..") != std::string::npos || depth > 1)
        return;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "/" + name;
            struct stat info {};
            if (lstat(path.c_str(), &info) != 0) continue;
            if (S_ISDIR(info.st_mode))
                RemoveWorkFolder(path, depth + 1);
            else
                unlink(path.c_str());
        }
        closedir(dir);
    }
    rmdir(folder.c_str());
}

struct WorkFolderCleanup {
    std::string folder;
    ~WorkFolderCleanup() {
        if (!folder.empty()) RemoveWorkFolder(folder);
    }
};

// The working folder of the test program (a host path), made on first use
// and removed when the program ends.
inline const std::string& WorkFolder() {
    static WorkFolderCleanup cleanup;
    static const std::string folder = [] {
        char name[] = "/tmp/norvix_program_XXXXXX";
        const char* made = mkdtemp(name);
        if (!made) throw std::runtime_error("no working folder for the test");
        std::string dir = made;
        const char* source = std::getenv("NORVIX_SOURCE_DIR");
        const std::string data = std::string(source ? source : ".") + "/data/";
        for (const std::string& file : DataFiles()) CopyFile(data + file, dir + "/" + file);
        std::string dos = "Z:" + dir;
        for (char& c : dos)
            if (c == '/') c = '\\';
        chdir(dir.c_str());
        SetCurrentDirectoryW(vcl::WideText(dos));
        cleanup.folder = dir;
        return dir;
    }();
    return folder;
}

inline std::string InFolder(const std::string& name) { return WorkFolder() + "/" + name; }

inline vcltest::MessageBoxes& Boxes() {
    static vcltest::MessageBoxes* boxes = new vcltest::MessageBoxes();
    return *boxes;
}

// Creates the windows (once) and runs the start timers up to the defaults
// copied into side 1. Returns the main window.
inline TForm1* StartProgram() {
    if (!Form1) {
        vcltest::Clock();
        WorkFolder();
        Boxes();
        vcl::Application->Initialize();
        vcl::Application->SetTitle("Kemru");
        CreateProgramForms();
        Form1->Show();
        vcltest::Pump();
        vcltest::Advance(5000);
        Boxes().Clear();
    }
    return Form1;
}

// A fresh battle: one participant per side with empty arrays, the editors
// rebuilt, the options at their defaults, no message remembered.
inline void NewBattle(TForm1* form) {
    form->N7Click(nullptr);
    vcltest::Advance(3000);
    battle::BattleInput& input = form->Input();
    const battle::BattleInput kept = input;
    input = battle::BattleInput{};
    // The line maps stay as the rebuild made them.
    std::copy(std::begin(kept.TechRows), std::end(kept.TechRows), std::begin(input.TechRows));
    std::copy(std::begin(kept.OfficerRows), std::end(kept.OfficerRows), std::begin(input.OfficerRows));
    std::copy(std::begin(kept.MedalRows), std::end(kept.MedalRows), std::begin(input.MedalRows));
    input.TechRowCount = kept.TechRowCount;
    input.OfficerRowCount = kept.OfficerRowCount;
    input.MedalRowCount = kept.MedalRowCount;
    Boxes().Clear();
}

}  // namespace programtest
