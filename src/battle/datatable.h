// The game database: one table of text cells, addressed (column, row) with
// rows 0..600 and columns 0..630. Unit types, medals, technologies and
// officers are rows of it; every value is a decimal number written as text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace battle {

inline constexpr int kLastRow = 600;
inline constexpr int kLastCol = 630;
inline constexpr int kRowCount = kLastRow + 1;
inline constexpr int kColCount = kLastCol + 1;
// As the grid shows it: one row and one column fewer than are used.
inline constexpr int kShownRows = 600;
inline constexpr int kShownCols = 630;

// Row bands and the kind each holds in column 1.
inline constexpr int kMedalFirstRow = 1, kMedalLastRow = 100;
inline constexpr int kTechFirstRow = 101, kTechLastRow = 200;
inline constexpr int kUnitFirstRow = 201, kUnitLastRow = 550;
inline constexpr int kOfficerFirstRow = 551, kOfficerLastRow = 600;
inline constexpr std::string_view kKindFree = "0";
inline constexpr std::string_view kKindUnit = "1";
inline constexpr std::string_view kKindMedal = "2";
inline constexpr std::string_view kKindTech = "3";
inline constexpr std::string_view kKindOfficer = "4";

// Row 0.
inline constexpr int kFirstRunMarkerCol = 0;  // "runbefore" once the first-run check has run
inline constexpr int kVersionCol = 1;         // the database version
inline constexpr std::string_view kFirstRunMarker = "runbefore";

// Columns of every row.
inline constexpr int kColRowNumber = 0;
inline constexpr int kColKind = 1;
inline constexpr int kColName = 2;

// Unit type rows (kind "1").
inline constexpr int kColMetal = 4, kColMinerals = 5, kColVespene = 6;
inline constexpr int kColStructure = 7;  // ships fight with a tenth of it
inline constexpr int kColAttack = 8;
inline constexpr int kColShields = 9;
inline constexpr int kColPurpose = 10;  // "0" attack unit, "1" defence unit, "2" building
inline constexpr int kColRace = 11;     // "0" Терран, "1" Зерг, "2" Протосс, "3" Раритеный Юнит
inline constexpr int kColShieldRegen = 13;       // percent of the full shield per round
inline constexpr int kColConcentratedShot = 14;  // chance, percent
inline constexpr int kColRestoreAttacking = 16, kColRestoreDefending = 17;
inline constexpr int kColAbility1 = 18, kColAbility2 = 19;              // "0" or "1".."7"
inline constexpr int kColSpecialAttack1 = 20, kColSpecialAttack2 = 21;  // "0" or "1".."4"
inline constexpr int kColDelay = 22;         // rounds before the first attack, 0..255
inline constexpr int kColEmpStrength = 23;
inline constexpr int kColAttackPeriod = 24;  // rounds, 0..255
inline constexpr int kColDebrisAttacking = 25, kColDebrisDefending = 26;  // percent
inline constexpr int kColUnitClass = 27;  // ships: 0 light .. 3 super-heavy; buildings: cost growth per level
inline constexpr int kColCostGrowth = 27;
inline constexpr int kColBuildingLevel = 28;  // buildings fight from this level on
inline constexpr int kColRapidFire = 30;      // column 30 + R: rapid fire against the type in row R
// The largest rapid fire a table may hold. A shooter fires on average as
// many shots as its rapid fire, and a participant may bring 4,000,000 units:
// at ten thousand a round of such a participant still ends within minutes,
// with room to spare above the game's largest value (1,250). Far beyond it a
// battle runs for hours (1e9), and from about 9e15 the chance to stop
// rounds away to nothing and the firing never ends.
inline constexpr int64_t kMaxRapidFire = 10'000;

inline constexpr std::string_view kPurposeAttack = "0";
inline constexpr std::string_view kPurposeDefence = "1";
inline constexpr std::string_view kPurposeBuilding = "2";

// Medal rows (kind "2").
inline constexpr int kColMedalAttack = 3, kColMedalShields = 4, kColMedalStructure = 5;
inline constexpr int kColMedalLight = 6;  // 6..9: light, medium, heavy, super-heavy
inline constexpr int kColMedalDefenceUnits = 10;
inline constexpr int kColMedalAttackUnits = 11;

// Technology (kind "3") and officer (kind "4") rows.
inline constexpr int kColBonusAttack = 3, kColBonusShields = 4, kColBonusStructure = 5;
inline constexpr int kColSpyName = 6;  // technologies: the name in spy reports
// Column R (201..550) is "1" when the row acts on the unit type in row R.

// The files of the table, opened by bare name in the working folder.
inline constexpr const char* kDataBaseFile = "DataBase.dat";
inline constexpr const char* kExchangeFile = "expinp.shp";
// DataBase.dat holds one cell per line, row by row, and nothing else.
inline constexpr size_t kDataBaseLines = static_cast<size_t>(kRowCount) * kColCount;

// expinp.shp: a block holds columns 0..28 of its row, then column-value
// pairs of the rapid-fire cells from column 31 on that are not "0", then "end".
inline constexpr int kExportLastPlainCol = 28;
inline constexpr int kExportFirstRapidFireCol = 31;
inline constexpr std::string_view kExportBlockEnd = "end";

// Throws rtl::EInOutError saying which file is missing in which folder.
void RequireFile(const std::string& path);
// A line of a file as a message quotes it: at most 40 characters, control
// characters shown as "?".
std::string QuoteLine(std::string_view line);

class DataTable {
public:
    DataTable();
    DataTable(const DataTable& other);
    DataTable& operator=(const DataTable& other);
    DataTable(DataTable&&) noexcept = default;
    DataTable& operator=(DataTable&&) noexcept = default;

    // Outside 0..630 x 0..600 these throw rtl::ERangeError.
    const std::string& Cell(int col, int row) const;
    void SetCell(int col, int row, std::string_view value);
    // The cell as a whole number; rtl::EConvertError naming the row, the
    // column and what is wrong when it is not one or does not fit.
    int64_t IntCell(int col, int row) const;
    // Whether the cell is a rapid-fire cell: column 30 + R of a unit row.
    bool IsRapidFireCell(int col, int row) const;
    // For the player when `text` may not stand in the cell; else empty.
    // Only rapid fire is bounded (kMaxRapidFire); other cells take any text.
    std::string CellValueProblem(int col, int row, std::string_view text) const;

    // Every cell empty.
    void Clear();
    // Column 0 := the row number, columns 12..630 := "0"; columns 1..11 stay.
    void FillDefaults();

    struct LoadResult {
        bool complete = true;   // the file held exactly the 379,231 cells, each where it belongs
        size_t linesRead = 0;
        std::string message;    // for the player when not complete
    };
    // Reads DataBase.dat: one cell per line, row by row. A short file fills
    // what it has and leaves the rest empty; lines beyond the last cell are
    // not read. Every used row read whole must hold its own number in
    // column 0 (a lost or added line shifts the rows after it, a stray CR
    // spoils every cell): the first row that does not is told. A rapid fire
    // above kMaxRapidFire is refused: the cell takes the bound. All of it is
    // told in the result. A missing, unreadable or oversized file throws
    // rtl::EInOutError naming the file and leaves the table as it was.
    LoadResult LoadFromFile(const std::string& path);
    // Writes a temporary file and renames it over `path`; a failure throws
    // rtl::EInOutError, whose text says the database was not saved, and
    // leaves the previous file whole. A line break inside a cell is written
    // as a blank, so that no cell can shift the ones after it.
    void SaveToFile(const std::string& path) const;

    // expinp.shp: the version, then a block per used row. Written like the
    // database, through a temporary file.
    void ExportToFile(const std::string& path) const;
    struct ImportResult {
        bool ok = true;
        size_t failedLine = 0;    // 1-based line of the file that stopped the import
        size_t rowsImported = 0;  // blocks taken into the table; 0 when not ok
        std::string message;      // for the player when not ok
    };
    // All or nothing: a bad line anywhere leaves the table as it was, the
    // version included. A block names a row 1..600 of a kind its band
    // holds; column 0 is never written (a pair for it must name the row
    // itself), columns 1..28 come one a line and only later ones in pairs;
    // every value passes the editors' rules (CellRuleFor) and is kept in
    // their form. A file that begins with a UTF-8 byte-order mark is read as
    // UTF-8. A missing file throws rtl::EInOutError; an empty one, or one
    // without a single line feed, changes nothing and is not ok.
    ImportResult ImportFromFile(const std::string& path);

private:
    static size_t Index(int col, int row);
    // The checks of LoadFromFile on the rows read whole; appends to the result.
    void CheckLoaded(const std::string& path, LoadResult& result);
    // Every cell names an entry of a pool of distinct texts. The table has
    // 379,231 cells but a few thousand distinct values ("0" above all), so a
    // cell takes 4 bytes instead of a string of its own; the battle's memory
    // is counted with the table's. A text once pooled keeps its address until
    // the whole table is replaced (Clear, LoadFromFile), so a reference from
    // Cell stays valid across SetCell.
    uint32_t Intern(std::string_view text);
    void ResetPool();  // the pool holds "" alone, every cell empty
    void RebuildIds();

    std::vector<uint32_t> cells_;  // row by row, kColCount cells a row
    std::deque<std::string> texts_;
    std::unordered_map<std::string_view, uint32_t> ids_;  // views into texts_
};

}  // namespace battle
