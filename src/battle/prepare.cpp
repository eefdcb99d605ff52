// Battle preparation: one record per unit, with every bonus applied once.
#include <algorithm>

#include "battle/battleengine.h"
#include "rtl/convert.h"

namespace battle {
namespace {

uint32_t AsU32(int64_t value) { return rtl::CheckedNarrow<uint32_t>(value); }
int8_t AsRegen(int64_t value) { return rtl::CheckedNarrow<int8_t>(value); }

// Sizes a list for this battle: a much larger one left by an earlier battle
// is given back rather than kept.
template <class List>
void SizeFor(List& list, size_t count) {
    list.clear();
    if (list.capacity() > 2 * count + 4096) List().swap(list);
    list.reserve(count);
}

}  // namespace

void BattleEngine::ValidateInput() const {
    for (int side = 1; side <= 2; ++side)
        if (Input.PartCount[side] > kParticipantSlots) throw rtl::ERangeError();
    if (Input.TechRowCount < 0 || Input.TechRowCount > kTechEntries ||
        Input.OfficerRowCount < 0 || Input.OfficerRowCount > kOfficerEntries ||
        Input.MedalRowCount < 0 || Input.MedalRowCount > kMedalEntries)
        throw rtl::ERangeError();
    if (Input.AttackingSide != 1 && Input.AttackingSide != 2) throw rtl::ERangeError();
}

void BattleEngine::CollectRows() {
    bool present[kRowCount] = {};
    for (int side = 1; side <= 2; ++side) {
        for (int p = 0; p < Input.PartCount[side]; ++p) {
            auto& rows = units_[side][p].Rows;
            rows.clear();
            for (int row = 0; row < kRowCount; ++row) {
                if (Input.ShipCount[side][p][row] == 0) continue;
                rows.push_back(static_cast<uint16_t>(row));
                present[row] = true;
            }
        }
    }
    battleRows_.clear();
    for (int row = 0; row < kRowCount; ++row)
        if (present[row]) battleRows_.push_back(static_cast<uint16_t>(row));
}

void BattleEngine::preparebatle() {
    ValidateInput();
    fullLog_ = options_.FullLog();
    predictedSide_ = 0;
    for (int side = 1; side <= 2; ++side) {
        HasOrg[side] = HasMeh[side] = PriorityActive[side] = 0;
        FlagshipExposed[side] = 0;
        for (int p = 0; p < kParticipantSlots; ++p) {
            ParticipantUnits& u = units_[side][p];
            u.UnitTotal = u.OrgTotal = u.MehTotal = u.AllocTotal = u.FlagshipTotal = 0;
            u.PriorityTotal = 0;
            u.BattleUnits.clear();
            u.Rows.clear();
            u.OrderIsIdentity = true;
            // Cleared for every slot, so that no count of an earlier battle
            // survives in a participant that makes no unit this time.
            std::fill(std::begin(TypeAlive[side][p]), std::end(TypeAlive[side][p]), 0u);
            LossTotal[side][p] = 0;
        }
    }
    CollectRows();
    types_.Build(table_, battleRows_);
    for (int side = 1; side <= 2; ++side)
        for (int p = 0; p < Input.PartCount[side]; ++p) PrepareParticipant(side, p);
}

void BattleEngine::PrepareParticipant(int side, int p) {
    ParticipantUnits& u = units_[side][p];
    // Upper bounds of the lists, so that they are allocated once.
    uint64_t total = 0, organic = 0, flagships = 0;
    for (uint16_t row : u.Rows) {
        const UnitType& type = types_[row];
        const uint32_t count = Input.ShipCount[side][p][row];
        uint64_t made = count;
        if (type.building) {
            int64_t level;
            made = rtl::TryStrToInt64(table_.Cell(kColBuildingLevel, row), level) && count < level ? 0 : 1;
        }
        made = std::min<uint64_t>(made, kMaxUnitsPerParticipant - total);
        total += made;
        if (type.Has(kOrganic)) organic += made;
        if (type.flagship) flagships += made;
    }
    SizeFor(u.BattleUnits, total);
    SizeFor(u.UnitOrder, total);
    SizeFor(u.OrgUnits, organic);
    SizeFor(u.MehUnits, total - organic);
    SizeFor(u.Flagships, flagships);

    for (uint16_t row : u.Rows) {
        const uint32_t count = Input.ShipCount[side][p][row];
        if (types_[row].building)
            MakeBuilding(side, p, row, count);
        else
            MakeShips(side, p, row, count);
    }
    u.AllocTotal = u.UnitTotal;
    u.OrgTotal = static_cast<uint32_t>(u.OrgUnits.size());
    u.MehTotal = static_cast<uint32_t>(u.MehUnits.size());
    u.FlagshipTotal = static_cast<uint32_t>(u.Flagships.size());
}

// Bonus of a technology, officer or medal row at `multiplier`: percentages of
// the database values, added to what the unit has so far.
void BattleEngine::ApplyBonus(TBattleUnit& unit, int64_t attack, int64_t shields, int64_t structure,
                              int64_t multiplier, int bonusRow) const {
    const long double a = rtl::CheckedMul(table_.IntCell(kColBonusAttack, bonusRow), multiplier);
    unit.Attack = AsU32(rtl::Round(unit.Attack + a / 100 * attack));
    const long double s = rtl::CheckedMul(table_.IntCell(kColBonusShields, bonusRow), multiplier);
    unit.BaseShield = AsU32(rtl::Round(unit.BaseShield + s / 100 * shields));
    const long double m = rtl::CheckedMul(table_.IntCell(kColBonusStructure, bonusRow), multiplier);
    unit.MaxStructure = rtl::Round(unit.MaxStructure + m / 100 * structure * 0.1L);
}

// The database technologies and officers that act on the type.
void BattleEngine::ApplyTechAndOfficers(int side, int p, int row, TBattleUnit& unit, int64_t attack,
                                        int64_t shields, int64_t structure) const {
    const uint16_t* tech = Input.TechLevel[side][p];
    for (int line = kFirstDatabaseTechLine; line < Input.TechRowCount; ++line) {
        const int bonusRow = Input.TechRows[line];
        if (tech[line] != 0 && table_.Cell(row, bonusRow) == "1")
            ApplyBonus(unit, attack, shields, structure, tech[line], bonusRow);
    }
    const uint16_t* officer = Input.OfficerLevel[side][p];
    for (int line = kFirstDatabaseOfficerLine; line < Input.OfficerRowCount; ++line) {
        const int bonusRow = Input.OfficerRows[line];
        if (officer[line] != 0 && table_.Cell(row, bonusRow) == "1")
            ApplyBonus(unit, attack, shields, structure, officer[line], bonusRow);
    }
}

void BattleEngine::MakeShips(int side, int p, int row, uint32_t count) {
    ParticipantUnits& u = units_[side][p];
    if (u.UnitTotal >= kMaxUnitsPerParticipant) return;
    const UnitType& type = types_[row];
    const uint16_t* tech = Input.TechLevel[side][p];
    const uint16_t* officer = Input.OfficerLevel[side][p];

    // Every unit of the type starts alike, so the record is made once.
    TBattleUnit model{};
    model.TypeRow = static_cast<uint16_t>(row);
    model.AttackWait = AsByte(type.attackPeriod.Get());
    model.FirstWait = AsByte(type.delay.Get());
    const int64_t structure = type.structure.Get();
    const int64_t attack = type.attack.Get();
    const int64_t shields = type.shields.Get();
    auto bonus = [&](int line) {
        return 1 + tech[line] * 0.1L + officer[kOfficerAdmiral] * 0.02L + officer[kOfficerExperience] * 0.001L;
    };
    model.Attack = AsU32(rtl::Round(attack * bonus(kTechWeapons)));
    model.MaxStructure = rtl::Round(structure * bonus(kTechStructure) * 0.1L);
    model.BaseShield = AsU32(rtl::Round(shields * bonus(kTechShields)));
    model.Regen = AsRegen(tech[kTechRegeneration]);
    ApplyTechAndOfficers(side, p, row, model, attack, shields, structure);

    const std::string& unitClass = table_.Cell(kColUnitClass, row);
    for (int line = 0; line < Input.MedalRowCount; ++line) {
        const uint8_t medals = Input.MedalCount[side][p][line];
        if (medals == 0) continue;
        const int medalRow = Input.MedalRows[line];
        bool takes = false;
        if (type.defence) {
            takes = table_.Cell(kColMedalDefenceUnits, medalRow) == "1";
        } else if (table_.Cell(kColPurpose, row) == kPurposeAttack) {
            takes = table_.Cell(kColMedalAttackUnits, medalRow) == "1" && unitClass.size() == 1 &&
                    unitClass[0] >= '0' && unitClass[0] <= '3' &&
                    table_.Cell(kColMedalLight + (unitClass[0] - '0'), medalRow) == "1";
        }
        if (takes) ApplyBonus(model, attack, shields, structure, medals, medalRow);
    }
    model.Structure = model.MaxStructure;

    if (type.Has(kHalvedAttacking) && side == Input.AttackingSide)
        model.Attack = AsU32(rtl::Round(model.Attack / 2.0L));
    if (type.Has(kOrganic) && type.defence)
        model.Regen = AsRegen(model.Regen + officer[kOfficerOrganicDefence] * 5);
    model.Shield = model.BaseShield;

    const uint32_t made = std::min(count, kMaxUnitsPerParticipant - u.UnitTotal);
    const uint32_t first = u.UnitTotal;
    FileUnits(side, p, model, made);
    // Only the first units of an ability-"6" type keep their shield.
    if (type.Has(kShieldLimited)) {
        const uint32_t keep = officer[kOfficerShieldLimit];
        for (uint32_t k = keep; k < made; ++k) {
            TBattleUnit& unit = u.BattleUnits[first + k];
            unit.BaseShield = unit.Shield = 0;
        }
    }
}

void BattleEngine::MakeBuilding(int side, int p, int row, uint32_t level) {
    ParticipantUnits& u = units_[side][p];
    const UnitType& type = types_[row];
    if (level < type.buildingLevel.Get()) return;
    if (u.UnitTotal >= kMaxUnitsPerParticipant) return;
    const uint16_t* officer = Input.OfficerLevel[side][p];

    TBattleUnit model{};
    model.TypeRow = static_cast<uint16_t>(row);
    model.AttackWait = AsByte(type.delay.Get());
    const uint8_t wait = AsByte(type.attackPeriod.Get());
    model.FirstWait = wait == 0 ? 1 : wait;
    const int64_t structure = type.structure.Get();
    const int64_t attack = type.attack.Get();
    const int64_t shields = type.shields.Get();
    model.Attack = AsU32(attack);
    model.MaxStructure = structure;
    model.BaseShield = AsU32(shields);
    model.Regen = AsRegen(Input.TechLevel[side][p][kTechRegeneration]);
    ApplyTechAndOfficers(side, p, row, model, attack, shields, structure);

    // A building is the first and only unit of its type.
    if (type.Has(kShieldLimited) && officer[kOfficerShieldLimit] < 1) model.BaseShield = 0;
    if (type.Has(kHalvedAttacking) && side == Input.AttackingSide)
        model.Attack = AsU32(rtl::Round(model.Attack / 2.0L));
    model.Shield = model.BaseShield;

    // Each level from 2 on multiplies the structure by column 27.
    if (level >= 2) {
        const int64_t growth = type.classOrGrowth.Get();
        if (growth == 0 || growth == 1) {
            model.MaxStructure *= growth;
        } else if (growth == -1) {
            if ((level - 1) % 2 == 1) model.MaxStructure = rtl::CheckedMul(model.MaxStructure, -1);
        } else {
            // |growth| >= 2 leaves the 64-bit range within 63 levels (or stays 0).
            for (uint32_t l = 2; l <= level && model.MaxStructure != 0; ++l)
                model.MaxStructure = rtl::CheckedMul(model.MaxStructure, growth);
        }
    }
    model.MaxStructure = rtl::Round(model.MaxStructure * 0.1L);
    model.Structure = model.MaxStructure;
    FileUnits(side, p, model, 1);

    line_.Start() << TypeName(row) << " " << model.Structure << " " << model.Attack << " " << model.BaseShield;
    Log(line_);
}

// Appends `count` copies of `model` to the participant's records and lists.
void BattleEngine::FileUnits(int side, int p, const TBattleUnit& model, uint32_t count) {
    if (count == 0) return;
    ParticipantUnits& u = units_[side][p];
    const UnitType& type = types_[model.TypeRow];
    const uint32_t first = u.UnitTotal;
    if (type.Has(kPriority)) {
        for (uint32_t k = 0; k < count; ++k) {
            if (u.PriorityTotal >= kMaxPriorityUnits) throw rtl::ERangeError();
            u.PriorityUnits[u.PriorityTotal++] = first + k;
        }
        PriorityActive[side] = 1;
    }
    u.BattleUnits.insert(u.BattleUnits.end(), count, model);
    auto& kindList = type.Has(kOrganic) ? u.OrgUnits : u.MehUnits;
    for (uint32_t k = 0; k < count; ++k) {
        u.UnitOrder.push_back(first + k);
        kindList.push_back(first + k);
    }
    if (type.Has(kOrganic))
        HasOrg[side] = 1;
    else
        HasMeh[side] = 1;
    if (type.flagship)
        for (uint32_t k = 0; k < count; ++k) u.Flagships.push_back(first + k);
    u.UnitTotal += count;
    TypeAlive[side][p][model.TypeRow] += count;
}

}  // namespace battle
