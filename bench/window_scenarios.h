// The battles of the benchmarks that drive the program's windows, shared by
// the driver (which types them into the main window) and the engine figure
// (the same battles fought without windows). Units are named by their row in
// the shipped database.
#pragma once
#include <cstdint>

namespace windowbench {

struct FleetEntry {
    int side;
    int row;
    uint32_t count;
};

// A default fleet selection (100 candidates, 4 generations, 8 rounds): our
// 3,000 "Штурмовик Гадюка", 1,500 "Истребитель Викинг" and 300 "Канонерка
// Ястреб" at most, against 1,000 "Истребитель Викинг", 150 "Канонерка
// Ястреб" and 20 "Крейсер Минотавр".
inline constexpr FleetEntry kSelectionFleet[] = {{1, 205, 3000}, {1, 206, 1500}, {1, 207, 300},
                                                 {2, 206, 1000}, {2, 207, 150},  {2, 211, 20}};
inline constexpr const char* kSelectionCandidates = "100";
inline constexpr const char* kSelectionGenerations = "4";

// A statistics run of 1,000 battles of 8 rounds, 2,000 "Штурмовик Гадюка" a
// side, every battle's log saved.
inline constexpr FleetEntry kStatisticsFleet[] = {{1, 205, 2000}, {2, 205, 2000}};
inline constexpr const char* kStatisticsBattles = "1000";

// A statistics run of 200 battles of 10,000 rounds that nobody wins, one
// "Грузовой челнок" a side, in full log, no log saved.
inline constexpr FleetEntry kEndlessFleet[] = {{1, 201, 1}, {2, 201, 1}};
inline constexpr const char* kEndlessBattles = "200";
inline constexpr const char* kEndlessRounds = "10000";

inline constexpr const char* kRounds = "8";

}  // namespace windowbench
