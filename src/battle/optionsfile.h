// opt.dat: the run settings of the options window, one a line in a fixed
// order of 11 lines. Numbers are kept as typed; a check box is "1" when on.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace battle {

inline constexpr const char* kOptionsFile = "opt.dat";
inline constexpr int kOptionLineCount = 11;
// The lines (1-based) that hold whole numbers: rounds per battle, battles
// per run, selection generations and candidates.
inline constexpr int kOptionRoundsLine = 1, kOptionBattlesLine = 4;
inline constexpr int kOptionGenerationsLine = 10, kOptionCandidatesLine = 11;
// The most rounds of a battle: one that no side can win, one unit a side
// with the full log on and saved, still ends by itself within seconds.
inline constexpr int64_t kMaxBattleRounds = 10'000;

struct OptionsFile {
    // Line k of the file at index k - 1; empty where the file has no usable
    // line: it is missing, holds control characters, or is no whole number
    // on a number line.
    std::array<std::optional<std::string>, kOptionLineCount> lines;
    // For the player when any line is not usable; else empty.
    std::string message;
};

// Reads the first 11 lines. A missing or unreadable file throws
// rtl::EInOutError naming the file and its folder.
OptionsFile ReadOptionsFile(const std::string& path);

bool IsOptionNumberLine(int line);

// A whole-number option: the caption the window shows it under and the
// values a run can honour.
struct OptionNumber {
    int line;
    const char* caption;
    int64_t min, max;
};
// The option on a number line; rtl::ERangeError for any other line.
const OptionNumber& OptionNumberAt(int line);

}  // namespace battle
