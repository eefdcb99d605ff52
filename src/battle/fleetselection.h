// Fleet selection without its windows: the table of candidate fleets, the
// first generation drawn within the player's fleet, the choice of the best
// candidates and the breeding of the next generation from them.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "battle/datatable.h"
#include "rtl/random.h"

namespace battle {

inline constexpr int kSelectionCountRows = 600;  // rows 0..599: unit counts by database row
inline constexpr int kSelectionScoreRow = 600;   // the candidate's score, as text
inline constexpr int kMaxKept = 255;
inline constexpr int kMaxCandidates = kMaxKept * kMaxKept;  // 65,025
inline constexpr int kMaxGenerations = 65535;               // the generation counter is 16 bits

// Candidate fleets, one column each: the unit count of every database row
// and the score the battles gave it. Counts are numbers, so a candidate can
// always be loaded; a slot nothing was put in holds no units.
class SelectionTable {
public:
    int Columns() const { return columns_; }
    // New columns hold no units and no score; old ones keep theirs.
    void SetColumns(int columns);

    // Columns and rows outside the table throw rtl::ERangeError.
    uint32_t Count(int col, int row) const { return counts_[Index(col, row)]; }
    void SetCount(int col, int row, uint32_t count) { counts_[Index(col, row)] = count; }
    const std::string& Score(int col) const { return scores_[Column(col)]; }
    void SetScore(int col, std::string text) { scores_[Column(col)] = std::move(text); }
    // The score as a number; a score that is empty or not a number counts as 0.
    long double ScoreValue(int col) const;
    // The candidate has no unit at all.
    bool Empty(int col) const;

private:
    size_t Column(int col) const;
    size_t Index(int col, int row) const;

    int columns_ = 0;
    std::vector<uint32_t> counts_;  // column after column
    std::vector<std::string> scores_;
};

struct SelectionSizes {
    int candidates = 0;   // k * k
    int kept = 0;         // k
    int generations = 0;  // at least 1
};

// The kept count for a number of candidates: the nearest whole square root.
int KeptFor(int candidates);

// Reads the options' texts. False, with the message for the player, when a
// number is not a whole number or is out of range.
bool ReadSelectionSizes(std::string_view candidatesText, std::string_view generationsText, SelectionSizes& sizes,
                        std::string& error);

// The first generation: `count` candidates, each unit count drawn within
// the player's count of that row (`limits`, by database row), no candidate
// without units, and the player's fleet itself as the last one.
void DrawFirstGeneration(SelectionTable& candidates, int count, const uint32_t* limits, rtl::Random& random);

// Keeps the `keptCount` best candidates in ascending order of score, the
// best last; on equal scores the earlier candidate stays ahead. A slot no
// candidate beats keeps its former fleet with the score 0.
void KeepBest(const SelectionTable& candidates, SelectionTable& kept, int keptCount);

// The next generation: the child of kept slots a and b, each count the
// rounded mean of theirs, goes to column a * k + b.
void Breed(const SelectionTable& kept, SelectionTable& candidates);

// Whole minutes and seconds of a duration: "1 мин 0 сек" for 59.6 s.
std::string SelectionTimeText(int64_t milliseconds);

}  // namespace battle
