// A table and an exchange file as a disk may hold them, then a small battle
// on them and the unit information of every unit type. The input holds
// DataBase.dat (short files load what they have), then "#file expinp.shp"
// and "#file battle": lines of what a player enters, each a letter and
// numbers (see Enter below). Whatever the files, the battle is fought, or
// refused or stopped with a message; so is every unit's information.
// seeds: fuzz/seeds/battle/*
// options: -max_len=65536
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "battle/battlerun.h"
#include "battle/inputcheck.h"
#include "battle/unitinfo.h"
#include "fuzz_support.h"
#include "rtl/errors.h"
#include "rtl/random.h"

using namespace battle;

namespace {

// A battle stays small, so that every input is fought within the time of one run.
constexpr uint64_t kMaxUnits = 60;
constexpr int kMaxRounds = 4;

void Check(bool condition) {
    if (!condition) std::abort();
}

// A refusal or a stop reaches the player as a message box with this text.
void Told(const rtl::ERuntimeError& error) { Check(error.what()[0] != '\0'); }

struct Quiet : BattleOutput, RunOutput {
    void Log(std::string_view) override {}
    void SetUnitGauge(int64_t, std::string_view) override {}
    void SetUnitProgress(int64_t) override {}
    void SetRoundGauge(int64_t, std::string_view) override {}
    void SetRoundProgress(int64_t) override {}
    void ClearLog() override {}
    void ShowLog() override {}
    void StatLine(std::string_view) override {}
    void ClearStatistics() override {}
    void ShowStatistics() override {}
    void SaveLog(const std::string&) override {}
    void SaveStatistics(const std::string&) override {}
};

std::vector<uint16_t> RowsOfKind(const DataTable& table, int first, int last, std::string_view kind) {
    std::vector<uint16_t> rows;
    for (int row = first; row <= last; ++row)
        if (table.Cell(kColKind, row) == kind) rows.push_back(static_cast<uint16_t>(row));
    return rows;
}

// The editors' lines as the fleet entry lists them: the fixed entries, then
// the database rows of each kind.
void ListEntries(const DataTable& table, BattleInput& in, std::vector<uint16_t>& unitRows) {
    unitRows = RowsOfKind(table, kUnitFirstRow, kUnitLastRow, kKindUnit);
    in.MedalRowCount = 0;
    for (uint16_t row : RowsOfKind(table, kMedalFirstRow, kMedalLastRow, kKindMedal))
        in.MedalRows[in.MedalRowCount++] = row;
    in.TechRowCount = kFirstDatabaseTechLine;
    for (uint16_t row : RowsOfKind(table, kTechFirstRow, kTechLastRow, kKindTech)) in.TechRows[in.TechRowCount++] = row;
    in.OfficerRowCount = kFirstDatabaseOfficerLine;
    for (uint16_t row : RowsOfKind(table, kOfficerFirstRow, kOfficerLastRow, kKindOfficer))
        in.OfficerRows[in.OfficerRowCount++] = row;
}

// One line of the battle file:
//   s SIDE PART ENTRY COUNT   units of the ENTRY-th unit type (a building's level)
//   t|o|m SIDE PART ENTRY N   a technology or officer level, a medal count
//   p SIDE COUNT              participants of the side (1..6)
//   a SIDE                    the side of "Наш флот" that attacks
//   r TEXT                    rounds per battle as typed in the options
//   f | y                     the full log, the payback estimate
void Enter(const std::string& line, const DataTable& table, const std::vector<uint16_t>& unitRows,
           BattleInput& in, BattleOptionValues& options, uint64_t& units) {
    std::istringstream words(line);
    char what = 0;
    words >> what;
    if (what == 'r') {
        std::getline(words >> std::ws, options.rounds);
        return;
    }
    if (what == 'f' || what == 'y') {
        (what == 'f' ? options.fullLog : options.payback) = true;
        return;
    }
    uint64_t side = 0, part = 0, entry = 0, value = 0;
    if (!(words >> side) || side < 1 || side > 2) return;
    if (what == 'a') {
        in.AttackingSide = static_cast<int>(side);
        return;
    }
    if (!(words >> part)) return;
    if (what == 'p') {
        if (part >= 1 && part <= 6) in.PartCount[side] = static_cast<uint8_t>(part);
        return;
    }
    if (part >= 6 || !(words >> entry >> value)) return;
    if (what == 's' && entry < unitRows.size()) {
        const int row = unitRows[entry];
        const bool building = table.Cell(kColPurpose, row) == kPurposeBuilding;
        const uint64_t made = building ? 1 : value;
        if (value > UINT32_MAX || units + made > kMaxUnits) return;
        units += made;
        in.ShipCount[side][part][row] = static_cast<uint32_t>(value);
    } else if (what == 't' && entry < static_cast<uint64_t>(in.TechRowCount) && value <= UINT16_MAX) {
        in.TechLevel[side][part][entry] = static_cast<uint16_t>(value);
    } else if (what == 'o' && entry < static_cast<uint64_t>(in.OfficerRowCount) && value <= UINT16_MAX) {
        in.OfficerLevel[side][part][entry] = static_cast<uint16_t>(value);
    } else if (what == 'm' && entry < static_cast<uint64_t>(in.MedalRowCount) && value <= UINT8_MAX) {
        in.MedalCount[side][part][entry] = static_cast<uint8_t>(value);
    }
}

// The unit information window on every unit type, with the levels of side 1's first participant.
void ShowUnitInformation(const DataTable& table, const BattleInput& in, const std::vector<uint16_t>& unitRows) {
    PlayerLevels levels;
    for (int i = 0; i < in.TechRowCount; ++i) {
        levels.techs.rows.push_back(i < kFirstDatabaseTechLine ? 0 : in.TechRows[i]);
        levels.techs.levels.push_back(in.TechLevel[1][0][i]);
    }
    for (int i = 0; i < in.OfficerRowCount; ++i) {
        levels.officers.rows.push_back(i < kFirstDatabaseOfficerLine ? 0 : in.OfficerRows[i]);
        levels.officers.levels.push_back(in.OfficerLevel[1][0][i]);
    }
    for (int i = 0; i < in.MedalRowCount; ++i) {
        levels.medals.rows.push_back(in.MedalRows[i]);
        levels.medals.levels.push_back(in.MedalCount[1][0][i]);
    }
    for (uint16_t row : unitRows) {
        for (bool against : {true, false}) {
            const RapidFireLines lines = RapidFire(table, row, against);
            for (const std::string& broken : lines.brokenCells) Check(!broken.empty());
        }
        try {
            BaseValues(table, row);
            ActualValues(table, row, levels);
        } catch (const rtl::ERuntimeError& error) {
            Told(error);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static DataTable table;
    static Quiet quiet;
    static SystemClock clock;
    const std::vector<fuzz::NamedFile> files = fuzz::SplitFiles(data, size, kDataBaseFile);

    try {
        const DataTable::LoadResult loaded = table.LoadFromFile(fuzz::WriteScratch(
            reinterpret_cast<const uint8_t*>(files[0].bytes.data()), files[0].bytes.size()));
        Check(loaded.complete || !loaded.message.empty());
    } catch (const rtl::ERuntimeError& error) {
        Told(error);
        return 0;
    }
    if (const std::string* exchange = fuzz::FindFile(files, kExchangeFile)) {
        const DataTable::ImportResult imported = table.ImportFromFile(
            fuzz::WriteScratch(reinterpret_cast<const uint8_t*>(exchange->data()), exchange->size()));
        Check(imported.ok || !imported.message.empty());
    }

    BattleOptionValues options;
    options.rounds = "2";
    rtl::Random random(size);
    // The engine and the run hold their arrays by value: too large for the stack.
    const auto engine = std::make_unique<BattleEngine>(table, options, quiet, random);
    BattleInput& in = engine->Input;
    std::vector<uint16_t> unitRows;
    ListEntries(table, in, unitRows);
    uint64_t units = 0;
    if (const std::string* battleFile = fuzz::FindFile(files, "battle")) {
        std::istringstream lines(*battleFile);
        for (std::string line; std::getline(lines, line);) Enter(line, table, unitRows, in, options, units);
    }
    ShowUnitInformation(table, in, unitRows);

    const auto run = std::make_unique<BattleRun>(*engine, options, quiet, quiet, clock);
    try {
        // As the battle timer's tick: the options and the editors are checked first.
        if (RunRounds(options) > kMaxRounds) return 0;
        CheckUnitCounts(in, table);
        CheckPriorityUnits(in, table);
        run->StartRun();
        run->FightBattle();
    } catch (const rtl::ERuntimeError& error) {
        Told(error);
    }
    return 0;
}
