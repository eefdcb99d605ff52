#include <gtest/gtest.h>

#include <string>

#include "battle/fleetselection.h"
#include "rtl/errors.h"

using namespace battle;

namespace {

// Fills candidate columns from {row, count} lists and scores.
struct Candidate {
    std::vector<std::pair<int, uint32_t>> counts;
    std::string score;
};

SelectionTable TableOf(const std::vector<Candidate>& columns) {
    SelectionTable table;
    table.SetColumns(static_cast<int>(columns.size()));
    for (size_t c = 0; c < columns.size(); ++c) {
        for (auto [row, count] : columns[c].counts) table.SetCount(static_cast<int>(c), row, count);
        table.SetScore(static_cast<int>(c), columns[c].score);
    }
    return table;
}

}  // namespace

TEST(FleetSelection, OptionsAreWholeNumbersAndTheCandidatesASquare) {
    struct Case {
        const char* text;
        int candidates, kept;
    };
    for (Case c : {Case{"50", 49, 7}, {"2", 1, 1}, {"3", 4, 2}, {"1", 1, 1}, {"100", 100, 10}, {"65025", 65025, 255}}) {
        SelectionSizes sizes;
        std::string error;
        ASSERT_TRUE(ReadSelectionSizes(c.text, "4", sizes, error)) << c.text;
        EXPECT_EQ(sizes.candidates, c.candidates) << c.text;
        EXPECT_EQ(sizes.kept, c.kept) << c.text;
        EXPECT_EQ(sizes.generations, 4);
    }
    for (const char* bad : {"0", "-4", "65026", "", "abc", "1,5", "1e3"}) {
        SelectionSizes sizes;
        std::string error;
        EXPECT_FALSE(ReadSelectionSizes(bad, "4", sizes, error)) << bad;
        EXPECT_EQ(error, "Количество боев при подборе должно быть целым числом от 1 до 65025") << bad;
    }
    SelectionSizes most;
    std::string none;
    ASSERT_TRUE(ReadSelectionSizes("65025", "65535", most, none));
    EXPECT_EQ(most.generations, 65535);
    for (const char* bad : {"0", "65536", "x", "2,5"}) {
        SelectionSizes sizes;
        std::string error;
        EXPECT_FALSE(ReadSelectionSizes("100", bad, sizes, error)) << bad;
        EXPECT_EQ(error, "Количество итераций при подборе должно быть целым числом от 1 до 65535") << bad;
    }
}

TEST(FleetSelection, FirstGenerationStaysWithinThePlayersFleet) {
    uint32_t limits[kRowCount] = {};
    limits[201] = 10;
    limits[230] = 1;
    rtl::Random random(7);
    SelectionTable candidates;
    constexpr int kCount = 100;
    DrawFirstGeneration(candidates, kCount, limits, random);
    ASSERT_EQ(candidates.Columns(), kCount);
    bool sawZero = false, sawLimit = false;
    for (int c = 0; c + 1 < kCount; ++c) {
        EXPECT_FALSE(candidates.Empty(c)) << c;
        EXPECT_LE(candidates.Count(c, 201), 10u);
        EXPECT_LE(candidates.Count(c, 230), 1u);
        sawZero |= candidates.Count(c, 201) == 0;
        sawLimit |= candidates.Count(c, 201) == 10;
        for (int row = 0; row < kSelectionCountRows; ++row)
            if (row != 201 && row != 230) ASSERT_EQ(candidates.Count(c, row), 0u) << c << " " << row;
        EXPECT_EQ(candidates.Score(c), "");
    }
    EXPECT_TRUE(sawZero && sawLimit);  // the whole range is drawn
    EXPECT_EQ(candidates.Count(kCount - 1, 201), 10u);
    EXPECT_EQ(candidates.Count(kCount - 1, 230), 1u);

    // One type of one unit: a column of zeros is drawn again, so every candidate has it.
    uint32_t single[kRowCount] = {};
    single[300] = 1;
    DrawFirstGeneration(candidates, 50, single, random);
    for (int c = 0; c < 50; ++c) EXPECT_EQ(candidates.Count(c, 300), 1u) << c;
    EXPECT_EQ(candidates.Count(0, 201), 0u);  // nothing left of the earlier draw

    uint32_t none[kRowCount] = {};
    EXPECT_THROW(DrawFirstGeneration(candidates, 4, none, random), rtl::ERangeError);
}

TEST(FleetSelection, TheBestAreKeptBestLastAndEqualScoresKeepTheEarlier) {
    const SelectionTable candidates = TableOf({{{{201, 3}}, "2"},
                                               {{{202, 5}}, "1E8"},
                                               {{{203, 7}}, "2"},
                                               {{{204, 9}}, "0,5"},
                                               {{{205, 1}}, ""},
                                               {{{206, 1}}, "не число"}});
    SelectionTable kept;
    KeepBest(candidates, kept, 3);
    ASSERT_EQ(kept.Columns(), 3);
    EXPECT_EQ(kept.Count(2, 202), 5u);  // 1e8: side 1 lost nothing
    EXPECT_EQ(kept.Score(2), "1E8");
    EXPECT_EQ(kept.Count(1, 201), 3u);  // the first of the two with 2
    EXPECT_EQ(kept.Count(1, 203), 0u);
    EXPECT_EQ(kept.Count(0, 203), 7u);
    EXPECT_EQ(kept.Score(0), "2");

    // A generation in which nothing scores leaves the slots' fleets with the score 0.
    const SelectionTable nothing = TableOf({{{{210, 4}}, "0"}, {{{211, 4}}, ""}, {{{212, 4}}, "0"}});
    KeepBest(nothing, kept, 3);
    EXPECT_EQ(kept.Count(2, 202), 5u);
    EXPECT_EQ(kept.Count(0, 203), 7u);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(kept.Score(c), "0");

    // The first selection with fewer scoring candidates than slots: the rest stay empty.
    SelectionTable fresh;
    KeepBest(TableOf({{{{201, 2}}, "0,25"}, {{{202, 2}}, "0"}}), fresh, 2);
    EXPECT_TRUE(fresh.Empty(0));
    EXPECT_EQ(fresh.ScoreValue(0), 0);
    EXPECT_EQ(fresh.Count(1, 201), 2u);
}

TEST(FleetSelection, ChildrenAreRoundedMeansOfEveryPair) {
    const SelectionTable kept = TableOf({{{{201, 3}, {202, 3}, {203, 1}}, "1"}, {{{201, 6}, {202, 8}}, "2"}});
    SelectionTable children;
    children.SetColumns(9);
    children.SetScore(0, "5");
    Breed(kept, children);
    ASSERT_EQ(children.Columns(), 4);
    // (a, a) is the kept fleet itself.
    EXPECT_EQ(children.Count(0, 201), 3u);
    EXPECT_EQ(children.Count(0, 203), 1u);
    EXPECT_EQ(children.Count(3, 202), 8u);
    for (int child : {1, 2}) {
        EXPECT_EQ(children.Count(child, 201), 4u);  // 4.5 to even
        EXPECT_EQ(children.Count(child, 202), 6u);  // 5.5 to even
        EXPECT_EQ(children.Count(child, 203), 0u);  // 0.5 to even
    }
    EXPECT_EQ(children.Score(0), "");  // no score until fought

    // Counts near the top do not overflow in the mean.
    const SelectionTable big = TableOf({{{{201, UINT32_MAX}}, "1"}, {{{201, UINT32_MAX - 2}}, "1"}});
    Breed(big, children);
    EXPECT_EQ(children.Count(1, 201), UINT32_MAX - 1);
    // A child of an empty slot and a single unit has no units.
    Breed(TableOf({{{}, "0"}, {{{201, 1}}, "1"}}), children);
    EXPECT_TRUE(children.Empty(1));
    EXPECT_THROW(children.Count(4, 201), rtl::ERangeError);
}

TEST(FleetSelection, TimesAreWholeMinutesAndSeconds) {
    EXPECT_EQ(SelectionTimeText(0), "0 мин 0 сек");
    EXPECT_EQ(SelectionTimeText(59400), "0 мин 59 сек");
    EXPECT_EQ(SelectionTimeText(59600), "1 мин 0 сек");
    EXPECT_EQ(SelectionTimeText(60500), "1 мин 0 сек");  // halves to even
    EXPECT_EQ(SelectionTimeText(61500), "1 мин 2 сек");
    EXPECT_EQ(SelectionTimeText(3725000), "62 мин 5 сек");
}

TEST(FleetSelection, TheLargestSelectionIsBredAndKeptWhole) {
    // 255 kept fleets: slot a holds 2a units of row 201 and one of the last count row.
    SelectionTable kept;
    kept.SetColumns(kMaxKept);
    for (int a = 0; a < kMaxKept; ++a) {
        kept.SetCount(a, 201, static_cast<uint32_t>(2 * a));
        kept.SetCount(a, kSelectionCountRows - 1, 1);
    }
    SelectionTable children;
    Breed(kept, children);
    ASSERT_EQ(children.Columns(), kMaxCandidates);
    EXPECT_EQ(children.Count(kMaxCandidates - 1, 201), 508u);  // slot 254 with itself
    EXPECT_EQ(children.Count(254, 201), 254u);                   // slots 0 and 254
    EXPECT_EQ(children.Count(3 * 255 + 8, 201), 11u);            // slots 3 and 8
    EXPECT_EQ(children.Count(12345, kSelectionCountRows - 1), 1u);
    // Row 600 is the score, not a count, in every column.
    EXPECT_THROW(children.Count(0, kSelectionCountRows), rtl::ERangeError);
    EXPECT_THROW(children.SetCount(kMaxCandidates - 1, kSelectionCountRows, 1), rtl::ERangeError);
    EXPECT_THROW(children.SetColumns(kMaxCandidates + 1), rtl::ERangeError);

    // Every one of the 255 slots is filled, the best last.
    for (int c = 0; c < kMaxCandidates; ++c) children.SetScore(c, c % 1000 == 0 ? std::to_string(c) : "0,5");
    KeepBest(children, kept, kMaxKept);
    ASSERT_EQ(kept.Columns(), kMaxKept);
    EXPECT_EQ(kept.Score(kMaxKept - 1), "65000");
    EXPECT_EQ(kept.Count(kMaxKept - 1, 201), 484u);  // child 65000: slots 254 and 230
    EXPECT_EQ(kept.Score(kMaxKept - 65), "1000");
    EXPECT_EQ(kept.Score(0), "0,5");
    EXPECT_THROW(KeepBest(children, kept, kMaxKept + 1), rtl::ERangeError);
}
