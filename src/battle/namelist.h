// of.dat and teh.dat: the officer and technology names of the main window's
// level editors before the database rebuilds them. The first line is a
// heading; every further line names one entry.
#pragma once
#include <string>
#include <vector>

namespace battle {

inline constexpr const char* kOfficerListFile = "of.dat";
inline constexpr const char* kTechListFile = "teh.dat";
// The counts of the lists are bytes.
inline constexpr int kMaxListNames = 255;

struct NameList {
    std::vector<std::string> names;
    // For the player when the file is damaged (names then empty); else empty.
    std::string message;
};

// Reads the names after the heading. At least one name comes back: a file of
// only its heading gives one empty name, as the editors have always shown
// it. An empty file, one with control characters in a line or with more than
// kMaxListNames names is damaged and gives none. A missing or
// unreadable file throws rtl::EInOutError naming the file and its folder.
NameList ReadNameList(const std::string& path);

}  // namespace battle
