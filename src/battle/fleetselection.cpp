#include "battle/fleetselection.h"

#include <cmath>

#include "rtl/convert.h"
#include "rtl/errors.h"

namespace battle {

void SelectionTable::SetColumns(int columns) {
    if (columns < 0 || columns > kMaxCandidates) throw rtl::ERangeError();
    columns_ = columns;
    counts_.resize(static_cast<size_t>(columns) * kSelectionCountRows, 0u);
    scores_.resize(static_cast<size_t>(columns));
}

size_t SelectionTable::Column(int col) const {
    if (col < 0 || col >= columns_) throw rtl::ERangeError();
    return static_cast<size_t>(col);
}

size_t SelectionTable::Index(int col, int row) const {
    if (row < 0 || row >= kSelectionCountRows) throw rtl::ERangeError();
    return Column(col) * kSelectionCountRows + static_cast<size_t>(row);
}

long double SelectionTable::ScoreValue(int col) const {
    long double value = 0;
    return rtl::TryStrToFloat(Score(col), value) ? value : 0;
}

bool SelectionTable::Empty(int col) const {
    const uint32_t* counts = &counts_[Index(col, 0)];
    for (int row = 0; row < kSelectionCountRows; ++row)
        if (counts[row] != 0) return false;
    return true;
}

int KeptFor(int candidates) { return static_cast<int>(rtl::Round(std::sqrt(static_cast<long double>(candidates)))); }

bool ReadSelectionSizes(std::string_view candidatesText, std::string_view generationsText, SelectionSizes& sizes,
                        std::string& error) {
    int32_t candidates = 0, generations = 0;
    if (!rtl::TryStrToInt(candidatesText, candidates) || candidates < 1 || candidates > kMaxCandidates) {
        error = "Количество боев при подборе должно быть целым числом от 1 до " + rtl::IntToStr(kMaxCandidates);
        return false;
    }
    if (!rtl::TryStrToInt(generationsText, generations) || generations < 1 || generations > kMaxGenerations) {
        error = "Количество итераций при подборе должно быть целым числом от 1 до " + rtl::IntToStr(kMaxGenerations);
        return false;
    }
    sizes.kept = KeptFor(candidates);
    sizes.candidates = sizes.kept * sizes.kept;
    sizes.generations = generations;
    return true;
}

void DrawFirstGeneration(SelectionTable& candidates, int count, const uint32_t* limits, rtl::Random& random) {
    std::vector<int> rows;  // only rows the player has units of can be drawn
    for (int row = 0; row < kSelectionCountRows; ++row)
        if (limits[row] > 0) rows.push_back(row);
    if (rows.empty() || count < 1) throw rtl::ERangeError();
    candidates.SetColumns(count);
    for (int col = 0; col < count; ++col) {
        for (int row = 0; row < kSelectionCountRows; ++row) candidates.SetCount(col, row, 0);
        candidates.SetScore(col, "");
    }
    for (int col = 0; col + 1 < count; ++col) {
        bool any = false;
        while (!any) {
            for (int row : rows) {
                const auto drawn = static_cast<uint32_t>(rtl::Round(random.NextDouble() * limits[row]));
                candidates.SetCount(col, row, drawn);
                any |= drawn != 0;
            }
        }
    }
    for (int row : rows) candidates.SetCount(count - 1, row, limits[row]);
}

void KeepBest(const SelectionTable& candidates, SelectionTable& kept, int keptCount) {
    if (keptCount < 1 || keptCount > kMaxKept) throw rtl::ERangeError();
    // Slots hold references while the candidates climb; columns move once at the end.
    struct Slot {
        int candidate;  // -1: the slot's former fleet
        int former;
        long double score;
    };
    std::vector<Slot> slots;
    for (int c = 0; c < keptCount; ++c) slots.push_back({-1, c, 0});
    for (int i = 0; i < candidates.Columns(); ++i) {
        const long double score = candidates.ScoreValue(i);
        for (int c = 0; c < keptCount; ++c) {
            if (!(slots[c].score < score)) continue;
            if (c > 0) slots[c - 1] = slots[c];
            slots[c] = {i, -1, score};
        }
    }
    SelectionTable before = kept;
    before.SetColumns(std::max(before.Columns(), keptCount));
    kept.SetColumns(keptCount);
    for (int c = 0; c < keptCount; ++c) {
        const Slot& slot = slots[static_cast<size_t>(c)];
        const SelectionTable& from = slot.candidate >= 0 ? candidates : before;
        const int col = slot.candidate >= 0 ? slot.candidate : slot.former;
        for (int row = 0; row < kSelectionCountRows; ++row) kept.SetCount(c, row, from.Count(col, row));
        kept.SetScore(c, slot.candidate >= 0 ? candidates.Score(col) : "0");
    }
}

void Breed(const SelectionTable& kept, SelectionTable& candidates) {
    const int k = kept.Columns();
    candidates.SetColumns(k * k);
    for (int a = 0; a < k; ++a) {
        for (int b = 0; b < k; ++b) {
            const int child = a * k + b;
            for (int row = 0; row < kSelectionCountRows; ++row) {
                // The mean rounded half to even, in whole numbers.
                const uint64_t sum = uint64_t{kept.Count(a, row)} + kept.Count(b, row);
                uint64_t mean = sum / 2;
                if ((sum & 1) && (mean & 1)) ++mean;
                candidates.SetCount(child, row, static_cast<uint32_t>(mean));
            }
            candidates.SetScore(child, "");
        }
    }
}

std::string SelectionTimeText(int64_t milliseconds) {
    const int64_t seconds = rtl::Round(milliseconds / 1000.0L);
    return rtl::IntToStr(seconds / 60) + " мин " + rtl::IntToStr(seconds % 60) + " сек";
}

}  // namespace battle
