// Small hand-made battles for the engine's tests: a database with the unit
// types a test needs, an output that records what the battle writes, and a
// seeded generator.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "battle/battleengine.h"
#include "battle/datatable.h"
#include "rtl/random.h"

namespace battle_test {

struct UnitSpec {
    std::string name = "Unit";
    int64_t structure = 1000;  // column 7; ships fight with a tenth
    int64_t attack = 10;
    int64_t shields = 0;
    std::string purpose = "0";  // "0" attack unit, "1" defence unit, "2" building
    std::string ability1 = "0", ability2 = "0";
    std::string special1 = "0", special2 = "0";
    int64_t shieldRegen = 100;  // percent per round
    int64_t concentrated = 0;   // percent
    int64_t delay = 0;          // column 22
    int64_t empStrength = 0;
    int64_t period = 0;         // column 24
    int64_t metal = 0, minerals = 0, vespene = 0;
    int64_t classOrGrowth = 0;  // column 27
    int64_t buildingLevel = 0;  // column 28
};

// A unit type in `row` (201..550).
void SetUnit(battle::DataTable& table, int row, const UnitSpec& spec);
void SetRapidFire(battle::DataTable& table, int shooterRow, int targetRow, const std::string& value);
// A technology, officer or medal row with its three percentages, acting on
// the unit rows listed (technologies and officers).
void SetBonusRow(battle::DataTable& table, int row, int64_t attack, int64_t shields, int64_t structure,
                 const std::vector<int>& actsOn = {});

// Records the log lines and the gauges.
class RecordingOutput : public battle::BattleOutput {
public:
    std::vector<std::string> lines;
    int64_t unitGaugeMax = -1, roundGaugeMax = -1, roundProgress = -1;
    std::string unitSuffix, roundSuffix;
    std::vector<int64_t> unitProgress;

    void Log(std::string_view line) override { lines.emplace_back(line); }
    void SetUnitGauge(int64_t maximum, std::string_view suffix) override {
        unitGaugeMax = maximum;
        unitSuffix = suffix;
    }
    void SetUnitProgress(int64_t position) override { unitProgress.push_back(position); }
    void SetRoundGauge(int64_t maximum, std::string_view suffix) override {
        roundGaugeMax = maximum;
        roundSuffix = suffix;
    }
    void SetRoundProgress(int64_t position) override { roundProgress = position; }

    bool Contains(std::string_view line) const;
    size_t Count(std::string_view prefix) const;
};

// A database with default cells, options, output, a seeded generator and an
// engine on them; tests fill the rows and the engine's Input.
struct Battle {
    explicit Battle(uint64_t seed = 12345);
    battle::DataTable table;
    battle::BattleOptionValues options;
    RecordingOutput output;
    rtl::Random random;
    std::unique_ptr<battle::BattleEngine> engine;

    battle::BattleEngine& operator*() { return *engine; }
    battle::BattleEngine* operator->() { return engine.get(); }
    battle::BattleInput& input() { return engine->Input; }
    battle::ParticipantUnits& units(int side, int participant) { return engine->Units(side, participant); }
    // The unit at a position (its number until the first removal moves it).
    battle::TBattleUnit& unit(int side, int participant, uint32_t position) {
        return engine->Units(side, participant).Records.at(position);
    }
};

}  // namespace battle_test
