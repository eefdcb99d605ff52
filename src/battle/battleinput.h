// What the fleet entry hands to the battle: per side and participant the
// unit counts, technology and officer levels and medal counts, the maps from
// editor lines to database rows, the participants and the attacking side.
#pragma once
#include <cstdint>
#include <string>

#include "battle/battleunit.h"
#include "battle/datatable.h"

namespace battle {

// Editor lines: three fixed technologies, then one per technology row;
// four fixed officers, then one per officer row; one per medal row.
inline constexpr int kTechEntries = 3 + (kTechLastRow - kTechFirstRow + 1);           // 0..102
inline constexpr int kOfficerEntries = 4 + (kOfficerLastRow - kOfficerFirstRow + 1);  // 0..53
inline constexpr int kMedalEntries = kMedalLastRow - kMedalFirstRow + 1;              // 0..99

// Fixed technology lines.
inline constexpr int kTechWeapons = 0, kTechStructure = 1, kTechShields = 2;
// Database technology lines with a role in battle.
inline constexpr int kTechEmpRadiation = 4;  // gates the EMP and radiation strikes, EMP tries
inline constexpr int kTechAcidSpores = 6;    // gates the acid spores, their tries
inline constexpr int kTechYamato = 7;        // gates the Yamato cannon, its power
inline constexpr int kTechRegeneration = 8;  // the units' regeneration percent
// Fixed officer lines.
inline constexpr int kOfficerAdmiral = 0, kOfficerExperience = 1;
inline constexpr int kOfficerShieldLimit = 2;       // ability "6" units that keep their shield
inline constexpr int kOfficerOrganicDefence = 3;    // regeneration of organic defence units
inline constexpr int kFirstDatabaseTechLine = 3, kFirstDatabaseOfficerLine = 4;

struct BattleInput {
    BattleInput() = default;
    // Copied at every battle; made where the engine is built (optimised
    // fully), the arrays go over as blocks rather than element by element.
    BattleInput(const BattleInput&);
    BattleInput& operator=(const BattleInput&);

    // [side 1..2][participant 0..6][...]
    uint32_t ShipCount[kSideSlots][kParticipantSlots][kRowCount] = {};  // by database row; a building's level
    uint16_t TechLevel[kSideSlots][kParticipantSlots][kTechEntries] = {};
    uint16_t OfficerLevel[kSideSlots][kParticipantSlots][kOfficerEntries] = {};
    uint8_t MedalCount[kSideSlots][kParticipantSlots][kMedalEntries] = {};

    // Database row of each editor line (technology lines from 3, officer lines from 4).
    uint16_t TechRows[kTechEntries] = {};
    uint16_t OfficerRows[kOfficerEntries] = {};
    uint16_t MedalRows[kMedalEntries] = {};
    int TechRowCount = 3;
    int OfficerRowCount = 4;
    int MedalRowCount = 0;

    uint8_t PartCount[kSideSlots] = {0, 1, 1};
    std::string PartName[kSideSlots][kParticipantSlots];
    // 1 when side 1 ("Наш флот") attacks, 2 when it defends.
    int AttackingSide = 1;
};

}  // namespace battle
