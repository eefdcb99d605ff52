// The database values of the unit types in one battle, converted once when
// the battle is prepared so that no shot reads a text cell.
#pragma once
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "battle/datatable.h"

namespace battle {

// A cell that does not hold what the battle needs stops it with an error
// that names the row, the column and what is wrong: rtl::EConvertError for
// a text that is not a whole number, rtl::ERangeError for a number beyond
// the 64-bit range or beyond [lowest, highest].
[[noreturn]] void FailCell(const DataTable& table, int col, int row);
[[noreturn]] void FailCellRange(int col, int row, int64_t value, int64_t lowest, int64_t highest);
// The whole number in a cell, or FailCell.
int64_t CellInteger(const DataTable& table, int col, int row);

// A whole number read from a cell. A cell that is not one stops the battle
// where the value is first used, as reading the cell there would; so a bad
// cell that the battle never needs does no harm.
class CellNumber {
public:
    void Load(const DataTable& table, int col, int row);
    int64_t Get() const {
        if (!ok_) FailCell(*table_, col_, row_);
        return value_;
    }
    // The value, plus `extra`, for a byte or a 32-bit field.
    uint8_t Byte(int64_t extra = 0) const { return Narrow<uint8_t>(extra); }
    // Byte(extra), or -1 where Byte would stop the battle.
    int ByteOrNone(int64_t extra) const {
        int64_t value;
        if (!ok_ || __builtin_add_overflow(value_, extra, &value) || value < 0 || value > 255) return -1;
        return static_cast<int>(value);
    }
    bool Valid() const { return ok_; }
    uint32_t U32() const { return Narrow<uint32_t>(0); }

private:
    template <class T>
    T Narrow(int64_t extra) const {
        constexpr int64_t lowest = std::numeric_limits<T>::min(), highest = std::numeric_limits<T>::max();
        int64_t value;
        if (__builtin_add_overflow(Get(), extra, &value) || value < lowest || value > highest)
            FailCellRange(col_, row_, Get(), lowest - extra, highest - extra);
        return static_cast<T>(value);
    }
    const DataTable* table_ = nullptr;
    int64_t value_ = 0;
    int16_t col_ = 0, row_ = 0;
    bool ok_ = false;
};

// Ability codes (database columns 18 and 19).
enum Ability : uint8_t {
    kIgnoresShield = 1 << 0,  // "1": the shot goes past the shield
    kSelfDestructs = 1 << 1,  // "2": destroyed by its own first shot at a living unit
    kOrganic = 1 << 2,        // "3": regenerates; target of radiation strikes
    kPriority = 1 << 3,       // "4": shot first while it has shield
    kHalvedAttacking = 1 << 4,  // "5": half attack on the attacking side
    kShieldLimited = 1 << 5,  // "6": only as many units as the officer level keep shields
    kDisarms = 1 << 6,        // "7": fires once, then attack 0 and a long wait
};

// A structure value above this makes a flagship.
inline constexpr int64_t kFlagshipStructure = 5'000'000;

struct UnitType {
    uint8_t abilities = 0;
    bool building = false;      // column 10 "2"
    bool defence = false;       // column 10 "1"
    bool flagship = false;      // column 7 above 5,000,000 (only set when column 7 is a number)
    bool hasSpecial1 = false;   // column 20 is not "0"
    bool hasSpecial2 = false;   // column 21 is not "0"
    const double* rapidFire = nullptr;  // stop thresholds by target row, see RapidFireThreshold
    CellNumber metal, minerals, vespene;        // columns 4, 5, 6
    CellNumber structure, attack, shields;      // columns 7, 8, 9
    CellNumber shieldRegen;                     // column 13
    CellNumber concentratedShot;                // column 14
    CellNumber special1, special2;              // columns 20, 21
    CellNumber delay;                           // column 22
    CellNumber empStrength;                     // column 23
    CellNumber attackPeriod;                    // column 24
    CellNumber classOrGrowth;                   // column 27
    CellNumber buildingLevel;                   // column 28

    bool Has(Ability a) const { return (abilities & a) != 0; }
};

// The rapid-fire test draws r in [0, 1) and stops when (n - 1) / n <= r,
// n being the rapid fire against the target (0 or less counts as 1).
// The threshold is the smallest double t with t >= (n - 1) / n, so that the
// test is `t <= r` in double arithmetic with the result of the extended one.
double RapidFireThreshold(int64_t n);
// A chance of `percent` succeeds when a draw r in [0, 1) lies below
// percent / 100; the threshold is the smallest double t with
// t >= percent / 100, so that the test is `r < t` in double arithmetic with
// the result of the extended one.
double ChanceThreshold(int64_t percent);
// Marks a rapid-fire cell that is not a whole number or beyond
// kMaxRapidFire; above every r. Whatever the table holds, the shooting
// ends: beyond some 9e15 the chance to fire again would be certainty.
inline constexpr double kBadRapidFire = 2.0;

class BattleTypes {
public:
    // Converts the rows in `rows` (each once, in any order), rapid fire
    // among all of them included.
    void Build(const DataTable& table, const std::vector<uint16_t>& rows);
    const UnitType& operator[](int row) const { return types_[index_[row]]; }
    // Stops the battle with what is wrong in the rapid-fire cell of
    // `shooter` against `target`.
    [[noreturn]] void FailRapidFire(int shooterRow, int targetRow) const;

private:
    const DataTable* table_ = nullptr;
    // The types of the battle's rows, after an empty one that every other row names.
    std::vector<UnitType> types_ = std::vector<UnitType>(1);
    uint16_t index_[kRowCount] = {};
    std::vector<double> rapidFire_;  // kRowCount thresholds for each shooter row
};

}  // namespace battle
