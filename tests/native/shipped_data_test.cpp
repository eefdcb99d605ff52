// The installation data in data/: a database that a new player can fight
// with at once, and the text files the program reads at start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "battle/datatable.h"
#include "battle/defaultsfiles.h"
#include "battle/langfile.h"
#include "battle/templatefile.h"
#include "rtl/convert.h"
#include "rtl/encoding.h"
#include "rtl/textfile.h"

using namespace battle;

namespace {

std::string SourceDir() {
    const char* dir = std::getenv("NORVIX_SOURCE_DIR");
    return dir ? dir : ".";
}

std::string DataPath(const std::string& name) { return SourceDir() + "/data/" + name; }

std::string ReadRaw(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Utf8(const std::string& text) { return rtl::Cp1251ToUtf8(text); }

const std::vector<std::string> kDataFiles = {"DataBase.dat", "lang.dat", "spab.dat", "spat.dat", "of.dat",
                                             "teh.dat",      "opt.dat",  "def.dat",  "med.dat",  "Shbl.dat",
                                             "Ansi.dat",     "unicode.dat"};

class ShippedData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        table_ = std::make_unique<DataTable>();
        DataTable::LoadResult result = table_->LoadFromFile(DataPath(kDataBaseFile));
        ASSERT_TRUE(result.complete) << Utf8(result.message);
    }
    static void TearDownTestSuite() { table_.reset(); }

    static const DataTable& T() { return *table_; }
    static const std::string& Cell(int col, int row) { return table_->Cell(col, row); }
    static int64_t Int(int col, int row) { return table_->IntCell(col, row); }
    static bool Has(int row, int firstCol, int secondCol, const std::string& code) {
        return Cell(firstCol, row) == code || Cell(secondCol, row) == code;
    }
    static bool HasAbility(int row, int code) {
        return Has(row, kColAbility1, kColAbility2, rtl::IntToStr(code));
    }
    static bool HasSpecial(int row, int code) {
        return Has(row, kColSpecialAttack1, kColSpecialAttack2, rtl::IntToStr(code));
    }
    static bool IsBuilding(int row) { return Cell(kColPurpose, row) == kPurposeBuilding; }

    static std::vector<int> RowsOfKind(int first, int last, std::string_view kind) {
        std::vector<int> rows;
        for (int row = first; row <= last; ++row)
            if (Cell(kColKind, row) == kind) rows.push_back(row);
        return rows;
    }
    static std::vector<int> Units() { return RowsOfKind(kUnitFirstRow, kUnitLastRow, kKindUnit); }
    static std::vector<int> Techs() { return RowsOfKind(kTechFirstRow, kTechLastRow, kKindTech); }
    static std::vector<int> Officers() { return RowsOfKind(kOfficerFirstRow, kOfficerLastRow, kKindOfficer); }
    static std::vector<int> Medals() { return RowsOfKind(kMedalFirstRow, kMedalLastRow, kKindMedal); }

    static std::unique_ptr<DataTable> table_;
};

std::unique_ptr<DataTable> ShippedData::table_;

bool WholeNumber(const std::string& text) {
    int64_t value;
    return rtl::TryStrToInt64(text, value) && value >= 0 && rtl::IntToStr(value) == text;
}

}  // namespace

TEST_F(ShippedData, EveryFileIsCodePage1251WithCrLf) {
    for (const auto& name : kDataFiles) {
        SCOPED_TRACE(name);
        std::string raw = ReadRaw(DataPath(name));
        ASSERT_FALSE(raw.empty());
        EXPECT_EQ(raw.substr(raw.size() - 2), "\r\n");
        for (size_t i = 0; i < raw.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(raw[i]);
            bool lineEndOk = c == '\n'   ? i > 0 && raw[i - 1] == '\r'
                             : c == '\r' ? i + 1 < raw.size() && raw[i + 1] == '\n'
                                         : true;
            ASSERT_TRUE(lineEndOk) << "a bare CR or LF at byte " << i;
            ASSERT_TRUE(c >= 0x20 || c == '\r' || c == '\n') << "control byte at " << i;
            ASSERT_NE(c, 0x98) << "a byte that code page 1251 does not define, at " << i;
        }
    }
    std::string lang = ReadRaw(DataPath("lang.dat"));
    EXPECT_EQ(lang.substr(0, 16), std::string("Симулятор V3.6\r\n"));  // the literal is 1251 too
}

TEST_F(ShippedData, RowsSitInTheirBandsAndRowZeroIsFresh) {
    for (int row = 0; row <= kLastRow; ++row) EXPECT_EQ(Cell(kColRowNumber, row), rtl::IntToStr(row));
    EXPECT_NE(Cell(kVersionCol, 0), "");
    EXPECT_NE(Cell(kFirstRunMarkerCol, 0), kFirstRunMarker) << "a new player must see the first-run notice";
    struct Band {
        int first, last;
        std::string_view kind;
    };
    for (Band band : {Band{kMedalFirstRow, kMedalLastRow, kKindMedal}, Band{kTechFirstRow, kTechLastRow, kKindTech},
                      Band{kUnitFirstRow, kUnitLastRow, kKindUnit},
                      Band{kOfficerFirstRow, kOfficerLastRow, kKindOfficer}})
        for (int row = band.first; row <= band.last; ++row) {
            const std::string& kind = Cell(kColKind, row);
            EXPECT_TRUE(kind == band.kind || kind == kKindFree) << "row " << row << " kind " << kind;
            if (kind == kKindFree) continue;
            EXPECT_NE(Cell(kColName, row), "") << row;
            // Every value and flag is a whole number; only the names are text.
            for (int col = 3; col <= kLastCol; ++col) {
                if (col == kColSpyName && band.kind == kKindTech) continue;
                if (col == kColSpyName && band.kind == kKindOfficer) continue;
                ASSERT_TRUE(WholeNumber(Cell(col, row))) << "row " << row << " column " << col;
            }
        }
}

TEST_F(ShippedData, UnitTypesMakeAPlayableGame) {
    std::vector<int> units = Units();
    EXPECT_GE(units.size(), 45u);
    EXPECT_LE(units.size(), 70u);
    std::map<int64_t, int> perRace, perPurpose, perClass;
    for (int row : units) {
        SCOPED_TRACE(Utf8(Cell(kColName, row)));
        int64_t purpose = Int(kColPurpose, row), race = Int(kColRace, row);
        ASSERT_GE(purpose, 0);
        ASSERT_LE(purpose, 2);
        ASSERT_GE(race, 0);
        ASSERT_LE(race, 3);
        ++perRace[race];
        ++perPurpose[purpose];
        EXPECT_GE(Int(kColStructure, row), 1);  // the radiation strike takes a logarithm of it
        EXPECT_GT(Int(kColMetal, row) + Int(kColMinerals, row) + Int(kColVespene, row), 0);
        if (IsBuilding(row)) {
            EXPECT_GE(Int(kColCostGrowth, row), 2) << "a building grows with its level";
            EXPECT_GE(Int(kColBuildingLevel, row), 1);
            EXPECT_FALSE(HasAbility(row, 6)) << "the crystal shield limit counts units, not buildings";
        } else {
            ASSERT_LE(Int(kColUnitClass, row), 3);
            ++perClass[Int(kColUnitClass, row)];
        }
        for (int col : {kColShieldRegen, kColConcentratedShot, kColRestoreAttacking, kColRestoreDefending,
                        kColDebrisAttacking, kColDebrisDefending})
            EXPECT_LE(Int(col, row), 100) << col;
        EXPECT_LE(Int(kColDelay, row), 255);
        EXPECT_LE(Int(kColAttackPeriod, row), 255);
        for (int col : {kColAbility1, kColAbility2}) EXPECT_LE(Int(col, row), 7);
        for (int col : {kColSpecialAttack1, kColSpecialAttack2}) EXPECT_LE(Int(col, row), 4);
        // A second special attack is used only after a first one.
        if (Cell(kColSpecialAttack1, row) == "0") {
            EXPECT_EQ(Cell(kColSpecialAttack2, row), "0");
        }
        EXPECT_EQ(HasSpecial(row, 2), Int(kColEmpStrength, row) > 0) << "EMP strength goes with the EMP strike";
        if (HasAbility(row, 4)) {
            EXPECT_GT(Int(kColShields, row), 0) << "a priority unit without shield is never first";
        }
    }
    EXPECT_EQ(perRace.size(), 4u);
    EXPECT_GE(perRace[3], 1);
    EXPECT_LE(perRace[3], 6) << "rare units are a few";
    EXPECT_EQ(perPurpose.size(), 3u);
    EXPECT_EQ(perClass.size(), 4u);
}

TEST_F(ShippedData, EveryAbilityAndSpecialAttackIsUsed) {
    std::vector<int> units = Units();
    for (int code = 1; code <= 7; ++code)
        EXPECT_TRUE(std::any_of(units.begin(), units.end(), [&](int r) { return HasAbility(r, code); }))
            << "ability " << code;
    for (int code = 1; code <= 4; ++code)
        EXPECT_TRUE(std::any_of(units.begin(), units.end(), [&](int r) { return HasSpecial(r, code); }))
            << "special attack " << code;
    // Organic units are the Zerg's, and some of them fight.
    int organicZerg = 0;
    for (int row : units)
        if (HasAbility(row, 3) && Cell(kColRace, row) == "1" && Int(kColAttack, row) > 0) ++organicZerg;
    EXPECT_GE(organicZerg, 5);
    // Delays and attack periods on a few types.
    EXPECT_TRUE(std::any_of(units.begin(), units.end(), [](int r) { return Int(kColDelay, r) > 0; }));
    EXPECT_TRUE(std::any_of(units.begin(), units.end(), [](int r) { return Int(kColAttackPeriod, r) > 0; }));
    EXPECT_TRUE(std::any_of(units.begin(), units.end(), [](int r) { return Int(kColShieldRegen, r) > 0; }));
}

TEST_F(ShippedData, FlagshipsHaveEscortsAndHunters) {
    std::vector<int> flagships;
    std::map<int, int> escortBands;  // 0: below 30,000; 1: to 70,000; 2: to 150,000
    for (int row : Units()) {
        int64_t structure = Int(kColStructure, row);
        bool fights = Cell(kColPurpose, row) == kPurposeAttack && Int(kColAttack, row) > 0;
        if (structure > 5000000) flagships.push_back(row);
        else if (fights && structure < 150000) ++escortBands[structure < 30000 ? 0 : structure < 70000 ? 1 : 2];
        if (Int(kColConcentratedShot, row) > 0) {
            EXPECT_LE(structure, 5000000) << "a flagship hunter is no flagship";
            EXPECT_GT(Int(kColAttack, row), 0);
        }
    }
    EXPECT_GE(flagships.size(), 2u);
    EXPECT_EQ(escortBands.size(), 3u);
    for (auto [band, count] : escortBands) EXPECT_GE(count, 3) << "band " << band;
    int hunters = 0;
    for (int row : Units()) hunters += Int(kColConcentratedShot, row) > 0;
    EXPECT_GE(hunters, 2);
}

TEST_F(ShippedData, RapidFireIsSparseAndOnlyAgainstUnitTypes) {
    std::vector<int> units = Units();
    std::set<int> unitSet(units.begin(), units.end());
    int nonZero = 0;
    for (int row : units)
        for (int target = 0; target <= kLastCol - kColRapidFire; ++target) {
            int64_t value = Int(kColRapidFire + target, row);
            if (value == 0) continue;
            EXPECT_TRUE(unitSet.count(target)) << "row " << row << " has rapid fire against row " << target;
            ++nonZero;
        }
    EXPECT_GE(nonZero, 50);
    EXPECT_LT(nonZero, static_cast<int>(units.size() * units.size() / 4)) << "rapid fire is the exception";
}

TEST_F(ShippedData, BonusRowsFitTheLevelSlotsAndTheEnginesEntryNumbers) {
    std::vector<int> medals = Medals(), techs = Techs(), officers = Officers();
    EXPECT_GE(medals.size(), 5u);
    EXPECT_LE(medals.size(), 8u);
    EXPECT_LE(techs.size(), 18u);
    EXPECT_GE(officers.size(), 4u);
    EXPECT_LE(officers.size(), 6u);
    // Entries are numbered in row order, so the rows must not leave gaps.
    for (size_t i = 0; i < techs.size(); ++i) EXPECT_EQ(techs[i], kTechFirstRow + static_cast<int>(i));
    for (size_t i = 0; i < officers.size(); ++i) EXPECT_EQ(officers[i], kOfficerFirstRow + static_cast<int>(i));
    ASSERT_GE(techs.size(), 6u);

    for (int medal : medals) {
        bool classes = false;
        for (int col = kColMedalLight; col < kColMedalLight + 4; ++col) classes |= Cell(col, medal) == "1";
        bool acts = (classes && Cell(kColMedalAttackUnits, medal) == "1") || Cell(kColMedalDefenceUnits, medal) == "1";
        EXPECT_TRUE(acts) << "medal row " << medal;
        for (int col = kColMedalLight; col <= kColMedalAttackUnits; ++col) EXPECT_LE(Int(col, medal), 1);
    }

    // Technology entries the engine reads by number act on the units that use them:
    // entry 4 (row 102) the EMP and radiation strikes, 6 (row 104) the acid spores,
    // 7 (row 105) the Yamato cannon, 8 (row 106) the organic units' regeneration.
    auto actsOn = [](int bonusRow, int unitRow) { return Cell(unitRow, bonusRow) == "1"; };
    for (int row : Units()) {
        SCOPED_TRACE(Utf8(Cell(kColName, row)));
        EXPECT_EQ(actsOn(102, row), HasSpecial(row, 2) || HasSpecial(row, 3));
        EXPECT_EQ(actsOn(104, row), HasSpecial(row, 4));
        EXPECT_EQ(actsOn(105, row), HasSpecial(row, 1));
        EXPECT_EQ(actsOn(106, row), HasAbility(row, 3));
    }
    // Flags live only in the unit columns, and every row acts on something.
    std::set<int> unitSet;
    for (int row : Units()) unitSet.insert(row);
    for (const auto& rows : {techs, officers})
        for (int bonusRow : rows) {
            int flags = 0;
            for (int col = 7; col <= kLastCol; ++col) {
                if (col == kColSpyName) continue;
                if (Cell(col, bonusRow) == "0") continue;
                EXPECT_TRUE(unitSet.count(col) && Cell(col, bonusRow) == "1") << bonusRow << "," << col;
                ++flags;
            }
            EXPECT_GT(flags, 0) << "row " << bonusRow;
        }
}

TEST_F(ShippedData, NamesCanBeTellApartInSpyReports) {
    // The report analyser takes the first name that occurs in a line.
    auto contains = [](const std::string& longer, const std::string& shorter) {
        return rtl::UpperCase1251(longer).find(rtl::UpperCase1251(shorter)) != std::string::npos;
    };
    std::vector<std::string> units;
    for (int row : Units()) units.push_back(Cell(kColName, row));
    std::vector<std::string> research = {"Оружейная технология", "Технология брони", "Щитовая технология"};
    for (int row : Techs()) {
        EXPECT_NE(Cell(kColSpyName, row), "") << row;
        research.push_back(Cell(kColSpyName, row));
    }
    for (const auto* names : {&units, &research})
        for (size_t i = 0; i < names->size(); ++i)
            for (size_t j = 0; j < names->size(); ++j)
                if (i != j) {
                    EXPECT_FALSE(contains((*names)[i], (*names)[j]))
                        << Utf8((*names)[j]) << " is inside " << Utf8((*names)[i]);
                }
    for (const auto& name : units) EXPECT_FALSE(contains(name, "Кислотный бассейн")) << Utf8(name);
}

TEST_F(ShippedData, TextFilesHoldWhatTheProgramReads) {
    LangCaptions captions = ReadLangFile(DataPath(kLangFile));
    EXPECT_EQ(captions.message, "");
    ASSERT_EQ(captions.lines.size(), 33u);
    EXPECT_EQ(captions.lines[0], "Симулятор V3.6");
    EXPECT_EQ(captions.lines[13], "Oфицеры");
    EXPECT_EQ(captions.lines[32], "Взять из шаблона");
    for (const auto& line : captions.lines) EXPECT_NE(line, "");

    std::vector<std::string> abilities = rtl::ReadAllLines(DataPath("spab.dat"));
    EXPECT_EQ(abilities.size(), 7u);
    EXPECT_EQ(std::set<std::string>(abilities.begin(), abilities.end()).size(), 7u);
    EXPECT_EQ(rtl::ReadAllLines(DataPath("spat.dat")),
              (std::vector<std::string>{"орудие Ямато", "Эми удар", "удар радиацией", "Удар кислотными спорами"}));
    EXPECT_EQ(rtl::ReadAllLines(DataPath("opt.dat")),
              (std::vector<std::string>{"8", "0", "0", "10", "0", "0", "0", "0", "0", "4", "100"}));

    // The name lists show the entries as the fleet editors list them after start.
    std::vector<std::string> officerNames = {"Адмирал", "Боевой опыт", "Кристалы Хайдариана", "Кислотный баcсейн"};
    for (int row : Officers()) officerNames.push_back(Cell(kColName, row));
    std::vector<std::string> techNames = {"Оружейная", "Структурная", "Шитовая"};
    for (int row : Techs()) techNames.push_back(Cell(kColName, row));
    std::vector<std::string> ofLines = rtl::ReadAllLines(DataPath("of.dat"));
    std::vector<std::string> tehLines = rtl::ReadAllLines(DataPath("teh.dat"));
    ASSERT_FALSE(ofLines.empty());
    ASSERT_FALSE(tehLines.empty());
    EXPECT_EQ(std::vector<std::string>(ofLines.begin() + 1, ofLines.end()), officerNames);
    EXPECT_EQ(std::vector<std::string>(tehLines.begin() + 1, tehLines.end()), techNames);
}

// A new player starts from zero levels under the default names, with no
// default template, and finds example fleets of real unit types.
TEST_F(ShippedData, DefaultsNameEveryEntryAndTemplatesHoldUnits) {
    DefaultLevels levels;
    levels.techs.fixed = 3;
    for (int i = 0; i < 3; ++i) levels.techs.Add(0, "x");
    for (int row : Techs()) levels.techs.Add(static_cast<uint16_t>(row), "x");
    levels.officers.fixed = 4;
    for (int i = 0; i < 4; ++i) levels.officers.Add(0, "x");
    for (int row : Officers()) levels.officers.Add(static_cast<uint16_t>(row), "x");
    DefaultsReadResult read = ReadDefaultsFile(DataPath(kDefaultsFile), levels);
    EXPECT_EQ(read.message, "");
    EXPECT_EQ(levels.techs.values, std::vector<std::string>(levels.techs.rows.size(), "0"));
    EXPECT_EQ(levels.officers.values, std::vector<std::string>(levels.officers.rows.size(), "0"));
    EXPECT_EQ(levels.playerName, "Я");
    EXPECT_EQ(levels.enemyName, "Враг");
    EXPECT_FALSE(levels.loadTemplate);

    LevelList medals;
    for (int row : Medals()) medals.Add(static_cast<uint16_t>(row), "x");
    EXPECT_EQ(ReadMedalDefaultsFile(DataPath(kMedalDefaultsFile), medals).message, "");
    EXPECT_EQ(medals.values, std::vector<std::string>(medals.rows.size(), "0"));

    TemplateFileContents templates = ReadTemplateFile(DataPath(kTemplateFile));
    EXPECT_EQ(templates.message, "");
    EXPECT_GE(templates.templates.size(), 2u);
    EXPECT_LE(templates.templates.size(), static_cast<size_t>(kMaxNewTemplates));
    for (const FleetTemplate& fleet : templates.templates) {
        int units = 0;
        for (int row = 0; row <= kLastRow; ++row) {
            if (fleet.counts[static_cast<size_t>(row)] == 0) continue;
            EXPECT_EQ(Cell(kColKind, row), kKindUnit) << Utf8(fleet.name) << " row " << row;
            ++units;
        }
        EXPECT_GT(units, 0) << Utf8(fleet.name);
    }
}

TEST_F(ShippedData, TheDatabaseSurvivesExportAndImport) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("norvix_shipped_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    std::string file = (dir / kExchangeFile).string();
    T().ExportToFile(file);
    DataTable copy;
    copy.LoadFromFile(DataPath(kDataBaseFile));
    for (int row : Units()) copy.SetCell(kColRapidFire + 210, row, "99");  // wiped by the import
    DataTable::ImportResult result = copy.ImportFromFile(file);
    std::filesystem::remove_all(dir);
    ASSERT_TRUE(result.ok) << Utf8(result.message);
    EXPECT_EQ(result.rowsImported, Units().size() + Techs().size() + Officers().size() + Medals().size());
    int differing = 0;
    for (int row = 0; row <= kLastRow; ++row)
        for (int col = 0; col <= kLastCol; ++col) differing += copy.Cell(col, row) != Cell(col, row);
    EXPECT_EQ(differing, 0);
}

TEST(ShippedDataSource, TheGeneratorRewritesTheCommittedFilesExactly) {
    std::filesystem::path out = std::filesystem::temp_directory_path() /
                                ("norvix_gen_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::string command = "python3 \"" + SourceDir() + "/tools/gen_database.py\" --out \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const auto& name : kDataFiles)
        EXPECT_TRUE(ReadRaw((out / name).string()) == ReadRaw(DataPath(name)))
            << name << " differs from what tools/gen_database.py makes of tools/gamedata; run it and commit";
    std::filesystem::remove_all(out);
}
