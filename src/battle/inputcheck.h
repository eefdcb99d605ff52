// What is checked before a run or a battle starts, so that neither starts on
// input it cannot honour.
#pragma once
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "battle/battleinput.h"
#include "battle/battleports.h"
#include "battle/battleunit.h"
#include "battle/datatable.h"

namespace battle {

// What the editors of the database take, from how the battle computes.
//
// A cost: every unit of a participant lost, at 100 % debris, still gives a
// debris product within 64 bits (and the losses of all sides far less).
inline constexpr int64_t kMaxCost = std::numeric_limits<int64_t>::max() / (int64_t{kMaxUnitsPerParticipant} * 100);
// The highest technology or officer level the fleet editors take.
inline constexpr int64_t kMaxBonusLevel = std::numeric_limits<uint16_t>::max();
// A bonus row's percentages. None below 0: at a high enough level any loss
// would take attack, shield or structure below nothing. At most so much that
// the percent times the highest level is still a 32-bit number, as the
// attack and shield it adds to are.
inline constexpr int64_t kMaxBonusPercent = std::numeric_limits<int32_t>::max() / kMaxBonusLevel;

// Empty when `text` is a whole number within min..max; else what is wrong,
// naming the field and the value, and the range when there is one.
std::string WholeNumberProblem(const std::string& field, const std::string& text,
                               int64_t min = std::numeric_limits<int64_t>::min(),
                               int64_t max = std::numeric_limits<int64_t>::max());

// Whether `text` is a whole number within min..max as every editor takes one:
// blanks and tabs around it, a sign and leading zeros allowed.
bool ReadWholeNumber(std::string_view text, int64_t min, int64_t max, int64_t& value);

// ---- What each cell of a database row takes: one table for every way a
// value comes in (the unit editor, the rapid-fire window, the database
// window's grid, the import of expinp.shp).
//
// Attack, shields and an EMP strike (which lowers shields) are 32-bit in battle.
inline constexpr int64_t kMaxAttack = std::numeric_limits<uint32_t>::max();
// Structure: at the highest levels the general bonus makes a ship's battle
// structure some 800 times its table value (a tenth of 1 + 0.121 x 65535);
// a thousand times the value still fits in 64 bits.
inline constexpr int64_t kMaxStructure = std::numeric_limits<int64_t>::max() / 1000;
// Delays and attack periods count rounds in a byte, and a slowed unit waits
// one round more: the last value of the byte stays free.
inline constexpr int64_t kMaxWaitRounds = std::numeric_limits<uint8_t>::max() - 1;
// A building's cost growth per level: at level 2 a building of the highest
// cost still costs a 64-bit number.
inline constexpr int64_t kMaxCostGrowth = std::numeric_limits<int64_t>::max() / (3 * kMaxCost);
inline constexpr int64_t kMaxAbilityCode = 7, kMaxSpecialAttackCode = 4;

struct CellRule {
    const char* field;  // as the editors name it
    bool name;          // a name: anything but blanks; else a whole number min..max
    int64_t min = 0, max = 0;
};
// The rule of column `col` in a row of `kind` (column 1); in a unit row the
// purpose (column 10) decides columns 27 and 28. nullptr where the cell
// carries whatever it holds (free rows, columns the battle does not read).
const CellRule* CellRuleFor(std::string_view kind, std::string_view purpose, int col);
// Empty when `text` may stand under `rule`, with `stored` the form to keep
// (a number without blanks, sign or leading zeros); else what is wrong, as
// WholeNumberProblem says it, naming `field` (the rule's own when empty).
std::string CellProblem(const CellRule& rule, const std::string& text, std::string& stored,
                        const std::string& field = {});
// Empty when row `row` may be of `kind`: free ("0" or empty) or its band's kind.
std::string RowKindProblem(int row, std::string_view kind);
// Empty when `text` may stand in cell (col, row) of `table` as the editors
// take it: a row's kind by its band, any other cell by the rule of its row
// (CellRuleFor); `stored` is the form to keep. Else what is wrong.
std::string TableCellProblem(const DataTable& table, int col, int row, const std::string& text, std::string& stored);

// The units a participant brings into battle: a ship type as many as its
// count, a building at most one.
uint64_t ParticipantUnitCount(const BattleInput& input, const DataTable& table, int side, int participant);

// rtl::ERangeError naming the side, the participant and the count when any
// participant brings more than kMaxUnitsPerParticipant units: the battle's
// lists hold no more, and units never made would count as lost.
void CheckUnitCounts(const BattleInput& input, const DataTable& table);

// rtl::ERangeError naming the side, the participant, the unit types and the
// limit when a participant brings more than kMaxPriorityUnits units of
// ability "4" (shot first while shielded): the battle keeps no more of them.
// Counted as the battle makes units: a building only from its level on.
void CheckPriorityUnits(const BattleInput& input, const DataTable& table);

// The rounds per battle of the options; rtl::EConvertError when they are no
// whole number, rtl::ERangeError when outside the option's range (a battle
// without rounds would end as a draw that was never fought). Either names
// the range.
int RunRounds(const BattleOptions& options);
// The battles of a statistics run, checked likewise: the run would
// otherwise stop after its first battle.
int RunBattles(const BattleOptions& options);

}  // namespace battle
