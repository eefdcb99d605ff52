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
    Draws();
    for (int side = 1; side <= 2; ++side) {
        HasOrg[side] = HasMeh[side] = PriorityActive[side] = 0;
        FlagshipExposed[side] = 0;
        for (int p = 0; p < kParticipantSlots; ++p) {
            ParticipantUnits& u = units_[side][p];
            u.UnitTotal = u.OrgTotal = u.MehTotal = u.AllocTotal = u.FlagshipTotal = 0;
            u.PriorityTotal = 0;
            u.Records.clear();
            u.Classes.clear();
            u.Numbers.clear();
            u.Damage.clear();
            u.BaseShields.clear();
            u.Regens.clear();
            u.Rows.clear();
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
    // The number of units, so that the records are allocated once.
    uint64_t total = 0;
    for (uint16_t row : u.Rows) {
        const UnitType& type = types_[row];
        const uint32_t count = Input.ShipCount[side][p][row];
        uint64_t made = count;
        if (type.building) {
            int64_t level;
            made = rtl::TryStrToInt64(table_.Cell(kColBuildingLevel, row), level) && count < level ? 0 : 1;
        }
        total += std::min<uint64_t>(made, kMaxUnitsPerParticipant - total);
    }
    SizeFor(u.Records, total);
    if (fullLog_) {
        SizeFor(u.Numbers, total);
        SizeFor(u.Damage, total);
    }

    for (uint16_t row : u.Rows) {
        const uint32_t count = Input.ShipCount[side][p][row];
        if (types_[row].building)
            MakeBuilding(side, p, row, count);
        else
            MakeShips(side, p, row, count);
    }
    u.AllocTotal = u.UnitTotal;
    u.CountLists();
}

// Bonus of a technology, officer or medal row at `multiplier`: percentages of
// the database values, added to what the unit has so far.
void BattleEngine::ApplyBonus(UnitClass& unit, int64_t attack, int64_t shields, int64_t structure,
                              int64_t multiplier, int bonusRow) const {
    const long double a = rtl::CheckedMul(CellInteger(table_, kColBonusAttack, bonusRow), multiplier);
    unit.Attack = AsU32(rtl::Round(unit.Attack + a / 100 * attack));
    const long double s = rtl::CheckedMul(CellInteger(table_, kColBonusShields, bonusRow), multiplier);
    unit.BaseShield = AsU32(rtl::Round(unit.BaseShield + s / 100 * shields));
    const long double m = rtl::CheckedMul(CellInteger(table_, kColBonusStructure, bonusRow), multiplier);
    unit.MaxStructure = rtl::Round(unit.MaxStructure + m / 100 * structure * 0.1L);
}

// The database technologies and officers that act on the type.
void BattleEngine::ApplyTechAndOfficers(int side, int p, int row, UnitClass& unit, int64_t attack,
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

    // Every unit of the type starts alike: the class and one record are made once.
    UnitClass c;
    TBattleUnit model{};
    model.TypeRow = static_cast<uint16_t>(row);
    model.AttackWait = type.attackPeriod.Byte();
    model.FirstWait = type.delay.Byte();
    const int64_t structure = type.structure.Get();
    const int64_t attack = type.attack.Get();
    const int64_t shields = type.shields.Get();
    auto bonus = [&](int line) {
        return 1 + tech[line] * 0.1L + officer[kOfficerAdmiral] * 0.02L + officer[kOfficerExperience] * 0.001L;
    };
    c.Attack = AsU32(rtl::Round(attack * bonus(kTechWeapons)));
    c.MaxStructure = rtl::Round(structure * bonus(kTechStructure) * 0.1L);
    c.BaseShield = AsU32(rtl::Round(shields * bonus(kTechShields)));
    c.Regen = AsRegen(tech[kTechRegeneration]);
    ApplyTechAndOfficers(side, p, row, c, attack, shields, structure);

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
        if (takes) ApplyBonus(c, attack, shields, structure, medals, medalRow);
    }
    model.Structure = c.MaxStructure;

    if (type.Has(kHalvedAttacking) && side == Input.AttackingSide)
        c.Attack = AsU32(rtl::Round(c.Attack / 2.0L));
    if (type.Has(kOrganic) && type.defence) c.Regen = AsRegen(c.Regen + officer[kOfficerOrganicDefence] * 5);
    model.Shield = c.BaseShield;

    const uint32_t made = std::min(count, kMaxUnitsPerParticipant - u.UnitTotal);
    const uint32_t first = u.UnitTotal;
    FileUnits(side, p, c, model, made);
    // Only the first units of an ability-"6" type keep their shield.
    const uint32_t keep = officer[kOfficerShieldLimit];
    if (type.Has(kShieldLimited) && keep < made && c.BaseShield != 0) {
        for (uint32_t k = first + keep; k < first + made; ++k) {
            u.OwnBaseShield(k) = 0;
            u.Records[k].Shield = 0;
        }
    }
}

void BattleEngine::MakeBuilding(int side, int p, int row, uint32_t level) {
    ParticipantUnits& u = units_[side][p];
    const UnitType& type = types_[row];
    if (level < type.buildingLevel.Get()) return;
    if (u.UnitTotal >= kMaxUnitsPerParticipant) return;
    const uint16_t* officer = Input.OfficerLevel[side][p];

    UnitClass c;
    TBattleUnit model{};
    model.TypeRow = static_cast<uint16_t>(row);
    model.AttackWait = type.delay.Byte();
    const uint8_t wait = type.attackPeriod.Byte();
    model.FirstWait = wait == 0 ? 1 : wait;
    const int64_t structure = type.structure.Get();
    const int64_t attack = type.attack.Get();
    const int64_t shields = type.shields.Get();
    c.Attack = type.attack.U32();
    c.MaxStructure = structure;
    c.BaseShield = type.shields.U32();
    c.Regen = AsRegen(Input.TechLevel[side][p][kTechRegeneration]);
    ApplyTechAndOfficers(side, p, row, c, attack, shields, structure);

    // A building is the first and only unit of its type.
    if (type.Has(kShieldLimited) && officer[kOfficerShieldLimit] < 1) c.BaseShield = 0;
    if (type.Has(kHalvedAttacking) && side == Input.AttackingSide) c.Attack = AsU32(rtl::Round(c.Attack / 2.0L));
    model.Shield = c.BaseShield;

    // Each level from 2 on multiplies the structure by column 27.
    if (level >= 2) {
        const int64_t growth = type.classOrGrowth.Get();
        if (growth == 0 || growth == 1) {
            c.MaxStructure *= growth;
        } else if (growth == -1) {
            if ((level - 1) % 2 == 1) c.MaxStructure = rtl::CheckedMul(c.MaxStructure, -1);
        } else {
            // |growth| >= 2 leaves the 64-bit range within 63 levels (or stays 0).
            for (uint32_t l = 2; l <= level && c.MaxStructure != 0; ++l)
                c.MaxStructure = rtl::CheckedMul(c.MaxStructure, growth);
        }
    }
    c.MaxStructure = rtl::Round(c.MaxStructure * 0.1L);
    model.Structure = c.MaxStructure;
    FileUnits(side, p, c, model, 1);

    line_.Start() << TypeName(row) << " " << model.Structure << " " << c.Attack << " " << c.BaseShield;
    Log(line_);
}

// Appends `count` units of the class, each a copy of `model`.
void BattleEngine::FileUnits(int side, int p, const UnitClass& unitClass, const TBattleUnit& model,
                             uint32_t count) {
    if (count == 0) return;
    ParticipantUnits& u = units_[side][p];
    const UnitType& type = types_[model.TypeRow];
    if (type.Has(kPriority)) {
        if (u.PriorityTotal + uint64_t{count} > kMaxPriorityUnits) throw rtl::ERangeError();
        u.PriorityTotal = static_cast<uint8_t>(u.PriorityTotal + count);
        PriorityActive[side] = 1;
    }
    UnitClass& c = u.Classes.emplace_back(unitClass);
    c.Row = model.TypeRow;
    c.First = u.UnitTotal;
    c.Count = count;
    c.Organic = type.Has(kOrganic);
    c.Priority = type.Has(kPriority);
    c.Flagship = type.flagship;
    u.ClassOfRow[c.Row] = static_cast<uint16_t>(u.Classes.size() - 1);
    u.Records.insert(u.Records.end(), count, model);
    if (fullLog_) {
        for (uint32_t k = 0; k < count; ++k) u.Numbers.push_back(u.UnitTotal + k);
        u.Damage.insert(u.Damage.end(), count, 0);
    }
    if (!u.BaseShields.empty()) u.BaseShields.insert(u.BaseShields.end(), count, c.BaseShield);
    if (!u.Regens.empty()) u.Regens.insert(u.Regens.end(), count, c.Regen);
    if (c.Organic)
        HasOrg[side] = 1;
    else
        HasMeh[side] = 1;
    u.UnitTotal += count;
    TypeAlive[side][p][model.TypeRow] += count;
}

}  // namespace battle
