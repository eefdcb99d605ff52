// def.dat, med.dat and Shbl.dat: what the defaults window and the template
// editor save comes back as saved, and damaged files load what is sound.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "battle/defaultsfiles.h"
#include "battle/templatefile.h"
#include "rtl/encoding.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"

using namespace battle;

namespace {

class PlayerFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("norvix_defaults_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
    std::string Write(const std::string& name, const std::vector<std::string>& lines) const {
        std::ofstream out(PathOf(name), std::ios::binary);
        for (const auto& line : lines) out << line << "\r\n";
        return PathOf(name);
    }
    std::string ReadRaw(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path dir_;
};

LevelList List(size_t fixed, const std::vector<uint16_t>& rows) {
    LevelList list;
    list.fixed = fixed;
    for (size_t i = 0; i < fixed; ++i) list.Add(0);
    for (uint16_t row : rows) list.Add(row);
    return list;
}

// The window's lists as the shipped database gives them.
DefaultLevels FreshLevels() {
    DefaultLevels levels;
    levels.techs = List(3, {101, 102, 103, 104});
    levels.officers = List(4, {551, 552});
    levels.playerName = "Я";
    levels.enemyName = "Враг";
    return levels;
}

std::string Utf8(const std::string& text) { return rtl::Cp1251ToUtf8(text); }

}  // namespace

TEST_F(PlayerFiles, DefaultsComeBackAsSavedWithOrWithoutTheTemplateBlock) {
    DefaultLevels saved = FreshLevels();
    saved.techs.values = {"5", "6", "7", "10", "0", "12", "abc"};  // levels are kept as typed
    saved.officers.values = {"1", "2", "3", "4", "8", "9"};
    saved.playerName = "Командир";
    saved.enemyName = "Пират";
    saved.loadTemplate = true;
    saved.templateIndex = "2";
    WriteDefaultsFile(PathOf("def.dat"), saved);

    DefaultLevels read = FreshLevels();
    DefaultsReadResult result = ReadDefaultsFile(PathOf("def.dat"), read);
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(read.techs.values, saved.techs.values);
    EXPECT_EQ(read.officers.values, saved.officers.values);
    EXPECT_EQ(read.playerName, "Командир");
    EXPECT_EQ(read.enemyName, "Пират");
    EXPECT_TRUE(read.loadTemplate);
    EXPECT_EQ(read.templateIndex, "2");
    const std::string raw = ReadRaw("def.dat");
    EXPECT_EQ(raw.substr(0, 12), "0\r\n5\r\n0\r\n6\r\n");
    EXPECT_NE(raw.find("------\r\n1\r\n2\r\n"), std::string::npos);

    // A line break typed into a name or a level cannot shift the lines after it.
    DefaultLevels typed = FreshLevels();
    typed.playerName = "Ком\nандир";
    typed.enemyName = "Пи\r\nрат";
    typed.techs.values[3] = "1\n2";
    WriteDefaultsFile(PathOf("def.dat"), typed);
    DefaultLevels back = FreshLevels();
    EXPECT_EQ(ReadDefaultsFile(PathOf("def.dat"), back).message, "");
    EXPECT_EQ(back.playerName, "Ком андир");
    EXPECT_EQ(back.enemyName, "Пи  рат");
    EXPECT_EQ(back.techs.values[3], "1 2");

    // Without the block the choice in the window stays as it was.
    saved.loadTemplate = false;
    WriteDefaultsFile(PathOf("def.dat"), saved);
    EXPECT_TRUE(ReadRaw("def.dat").ends_with("------\r\nКомандир\r\nПират\r\n"));
    DefaultLevels kept = FreshLevels();
    kept.loadTemplate = true;
    kept.templateIndex = "4";
    ReadDefaultsFile(PathOf("def.dat"), kept);
    EXPECT_TRUE(kept.loadTemplate);
    EXPECT_EQ(kept.templateIndex, "4");

    // Medals: pairs and nothing else.
    LevelList medals = List(0, {1, 2, 3});
    medals.values = {"1", "0", "3"};
    WriteMedalDefaultsFile(PathOf("med.dat"), medals);
    EXPECT_EQ(ReadRaw("med.dat"), "1\r\n1\r\n2\r\n0\r\n3\r\n3\r\n");
    LevelList medalsRead = List(0, {1, 2, 3});
    EXPECT_EQ(ReadMedalDefaultsFile(PathOf("med.dat"), medalsRead).message, "");
    EXPECT_EQ(medalsRead.values, medals.values);
}

// The fixed entries are taken by position whatever their row lines say; a
// pair whose row is gone (deleted since, or out of order) is skipped and
// the next pairs still find their entries.
TEST_F(PlayerFiles, FixedEntriesByPositionAndUnknownRowsSkippedWithoutLosingThePlace) {
    Write("def.dat", {"7", "1", "103", "2", "999", "3",               // fixed, whatever the rows
                      "150", "40", "102", "9", "101", "8", "104", "4",  // 150 deleted; 101 after 102
                      "------", "0", "1", "0", "2", "0", "3", "0", "4", "552", "6", "------", "Я", "Враг"});
    DefaultLevels levels = FreshLevels();
    DefaultsReadResult result = ReadDefaultsFile(PathOf("def.dat"), levels);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(levels.techs.values, (std::vector<std::string>{"1", "2", "3", "0", "9", "0", "4"}));
    EXPECT_EQ(levels.officers.values, (std::vector<std::string>{"1", "2", "3", "4", "0", "6"}));

    Write("med.dat", {"2", "5", "77", "1", "3", "6"});
    LevelList medals = List(0, {1, 2, 3});
    ReadMedalDefaultsFile(PathOf("med.dat"), medals);
    EXPECT_EQ(medals.values, (std::vector<std::string>{"0", "5", "6"}));
}

// A list whose window built fewer entries than its fixed head (a database
// without them): the file's extra fixed pairs are passed over, and the
// lists after it still get their values.
TEST_F(PlayerFiles, FixedPairsBeyondAShortListAreSkipped) {
    Write("def.dat", {"0", "7", "0", "8", "0", "9", "------", "551", "5", "------", "Он", "Они"});
    DefaultLevels levels;
    levels.techs.fixed = 3;
    levels.techs.Add(0);
    levels.techs.values.shrink_to_fit();
    levels.officers = List(0, {551});
    EXPECT_EQ(ReadDefaultsFile(PathOf("def.dat"), levels).message, "");
    EXPECT_EQ(levels.techs.values, std::vector<std::string>{"7"});
    EXPECT_EQ(levels.officers.values, std::vector<std::string>{"5"});
    EXPECT_EQ(levels.enemyName, "Они");
}

// A file cut short keeps what it had and says so once; a missing file
// changes nothing and says nothing.
TEST_F(PlayerFiles, TruncatedAndMissingDefaultsFiles) {
    Write("def.dat", {"0", "1", "0", "2", "0", "3", "101", "4", "102"});
    DefaultLevels levels = FreshLevels();
    DefaultsReadResult result = ReadDefaultsFile(PathOf("def.dat"), levels);
    EXPECT_NE(result.message.find("def.dat"), std::string::npos) << Utf8(result.message);
    EXPECT_EQ(levels.techs.values, (std::vector<std::string>{"1", "2", "3", "4", "0", "0", "0"}));
    EXPECT_EQ(levels.playerName, "Я");

    // A list shorter than its fixed head ends at the separator.
    Write("def.dat", {"0", "5", "------", "0", "1", "------", "Он", "Они"});
    levels = FreshLevels();
    EXPECT_EQ(ReadDefaultsFile(PathOf("def.dat"), levels).message, "");
    EXPECT_EQ(levels.techs.values[0], "5");
    EXPECT_EQ(levels.officers.values[0], "1");
    EXPECT_EQ(levels.enemyName, "Они");

    Write("med.dat", {"1", "4", "2"});
    LevelList medals = List(0, {1, 2});
    EXPECT_NE(ReadMedalDefaultsFile(PathOf("med.dat"), medals).message, "");
    EXPECT_EQ(medals.values, (std::vector<std::string>{"4", "0"}));

    // Cut after the player's name, or after the template block's switch:
    // told, and what the file no longer holds stays as it was.
    const std::vector<std::string> lists = {"0", "1", "------", "0", "2", "------"};
    std::vector<std::string> cut = lists;
    cut.push_back("Он");
    Write("def.dat", cut);
    levels = FreshLevels();
    EXPECT_NE(ReadDefaultsFile(PathOf("def.dat"), levels).message, "");
    EXPECT_EQ(levels.playerName, "Я");
    EXPECT_EQ(levels.enemyName, "Враг");
    cut.insert(cut.end(), {"Они", "------", "1"});
    Write("def.dat", cut);
    levels = FreshLevels();
    EXPECT_NE(ReadDefaultsFile(PathOf("def.dat"), levels).message, "");
    EXPECT_EQ(levels.playerName, "Он");
    EXPECT_EQ(levels.templateIndex, "-1");

    levels = FreshLevels();
    levels.techs.values[0] = "3";
    result = ReadDefaultsFile(PathOf("none.dat"), levels);
    EXPECT_FALSE(result.found);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(levels.techs.values[0], "3");
    EXPECT_FALSE(ReadMedalDefaultsFile(PathOf("none.dat"), medals).found);
}

// Entries copied between windows go by row: a unit deleted from one list
// or added to the other moves no count onto a neighbour.
TEST(EntryMatching, ByRowWithFixedHeadsAndTemplateIndexInRange) {
    EXPECT_EQ(MatchEntries({0, 0, 0, 101, 102, 104}, 3, {0, 0, 0, 101, 103, 104}, 3),
              (std::vector<int>{0, 1, 2, 3, -1, 5}));
    EXPECT_EQ(MatchEntries({205, 206, 207}, 0, {205, 207}, 0), (std::vector<int>{0, 2}));
    EXPECT_EQ(MatchEntries({0, 0}, 2, {0, 0, 0, 9}, 3), (std::vector<int>{0, 1, -1, -1}));
    // A fixed entry is matched by its place only, whatever row it names.
    EXPECT_EQ(MatchEntries({101, 102, 0, 103}, 2, {0, 0, 101, 103}, 2), (std::vector<int>{0, 1, -1, 3}));

    EXPECT_EQ(TemplateIndex("-1", 3), -1);
    EXPECT_EQ(TemplateIndex("0", 3), 0);
    EXPECT_EQ(TemplateIndex("2", 3), 2);
    EXPECT_EQ(TemplateIndex("3", 3), -1);
    EXPECT_EQ(TemplateIndex("1", 0), -1);
    EXPECT_EQ(TemplateIndex("x", 3), -1);
}

TEST_F(PlayerFiles, TemplatesComeBackAsSaved) {
    std::vector<FleetTemplate> saved(3);
    saved[0].name = "Рейд";
    saved[0].counts[205] = 500;
    saved[0].counts[0] = 1;
    saved[0].counts[600] = 4294967295u;
    saved[1].name = "Пустой";
    saved[2].name = "end";
    saved[2].counts[230] = 7;
    WriteTemplateFile(PathOf("Shbl.dat"), saved);
    EXPECT_EQ(ReadRaw("Shbl.dat"),
              "UNION\r\nРейд\r\n0\r\n1\r\n205\r\n500\r\n600\r\n4294967295\r\nend\r\nПустой\r\nend\r\nend\r\n230\r\n7\r\n"
              "end\r\n");
    TemplateFileContents read = ReadTemplateFile(PathOf("Shbl.dat"));
    EXPECT_TRUE(read.marker);
    EXPECT_EQ(read.message, "");
    ASSERT_EQ(read.templates.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read.templates[i].name, saved[i].name);
        EXPECT_EQ(read.templates[i].counts, saved[i].counts);
    }

    // A name with a line break stays one line.
    std::vector<FleetTemplate> typed(1);
    typed[0].name = "Рейд\r\nночной";
    typed[0].counts[205] = 3;
    WriteTemplateFile(PathOf("Shbl.dat"), typed);
    read = ReadTemplateFile(PathOf("Shbl.dat"));
    EXPECT_EQ(read.message, "");
    ASSERT_EQ(read.templates.size(), 1u);
    EXPECT_EQ(read.templates[0].name, "Рейд  ночной");
    EXPECT_EQ(read.templates[0].counts[205], 3u);

    // No templates: an empty file, which reads as none.
    WriteTemplateFile(PathOf("Shbl.dat"), {});
    EXPECT_EQ(ReadRaw("Shbl.dat"), "");
    EXPECT_FALSE(ReadTemplateFile(PathOf("Shbl.dat")).marker);
    Write("Shbl.dat", {"Рейд", "205", "1", "end"});
    EXPECT_FALSE(ReadTemplateFile(PathOf("Shbl.dat")).marker);
    EXPECT_FALSE(ReadTemplateFile(PathOf("none.dat")).marker);
}

// Shbl.dat as a text editor leaves it, and one no program wrote. The first
// two are the shipped three templates; the third is told as damaged, and a
// copy of it is kept before anything replaces it.
TEST_F(PlayerFiles, TemplatesAfterATextEditorAndAFileOfNoTemplatesAtAll) {
    std::vector<std::string> lines = {"UNION"};
    for (int i = 0; i < 3; ++i) lines.insert(lines.end(), {"Шаблон " + std::to_string(i), "205", "5", "end"});
    for (const auto& [what, marker] : {std::pair{"trailing blank", std::string("UNION ")},
                                       std::pair{"byte-order mark", std::string("\xEF\xBB\xBFUNION")},
                                       std::pair{"both, and a tab", std::string("\xEF\xBB\xBF UNION\t")}}) {
        SCOPED_TRACE(what);
        lines[0] = marker;
        Write("Shbl.dat", lines);
        const TemplateFileContents read = ReadTemplateFile(PathOf("Shbl.dat"));
        EXPECT_TRUE(read.marker);
        EXPECT_FALSE(read.damaged);
        EXPECT_EQ(read.message, "");
        ASSERT_EQ(read.templates.size(), 3u);
        EXPECT_EQ(read.templates[2].name, "Шаблон 2");
        EXPECT_EQ(read.templates[2].counts[205], 5u);
    }

    // Blank is empty: no templates and nothing to tell.
    Write("Shbl.dat", {"\xEF\xBB\xBF", " ", ""});
    TemplateFileContents read = ReadTemplateFile(PathOf("Shbl.dat"));
    EXPECT_FALSE(read.damaged);
    EXPECT_TRUE(read.templates.empty());
    EXPECT_EQ(read.message, "");

    std::string garbage(3000, '\0');
    uint32_t state = 7;
    for (char& c : garbage) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 16);
    for (const std::string& damaged : {garbage, std::string("union\r\nРейд\r\nend\r\n"),
                                       std::string("\r\nUNION\r\nРейд\r\nend\r\n")}) {
        {
            std::ofstream out(PathOf("Shbl.dat"), std::ios::binary);
            out << damaged;
        }
        read = ReadTemplateFile(PathOf("Shbl.dat"));
        EXPECT_TRUE(read.damaged);
        EXPECT_TRUE(read.templates.empty());
        EXPECT_NE(read.message.find("Файл Shbl.dat поврежден: в его первой строке «"), std::string::npos)
            << Utf8(read.message);
    }

    // The copy: byte for byte, made once for the same damage, a new one for another.
    std::filesystem::remove(PathOf("Shbl.dat"));
    {
        std::ofstream out(PathOf("Shbl.dat"), std::ios::binary);
        out << garbage;
    }
    EXPECT_EQ(rtl::KeepBackupCopy(PathOf("Shbl.dat")), PathOf("Shbl.dat.bak"));
    EXPECT_EQ(ReadRaw("Shbl.dat.bak"), garbage);
    EXPECT_EQ(rtl::KeepBackupCopy(PathOf("Shbl.dat")), PathOf("Shbl.dat.bak"));
    Write("Shbl.dat", {"x"});
    EXPECT_EQ(rtl::KeepBackupCopy(PathOf("Shbl.dat")), PathOf("Shbl.dat.bak2"));
    EXPECT_EQ(ReadRaw("Shbl.dat.bak"), garbage);
    EXPECT_EQ(ReadRaw("Shbl.dat.bak2"), "x\r\n");
    // Up to the last name; with every name taken by other bytes no copy is
    // made, the error names them, and no file is touched.
    for (int n = 3; n <= 9; ++n) {
        Write("Shbl.dat", {"x" + std::to_string(n)});
        EXPECT_EQ(rtl::KeepBackupCopy(PathOf("Shbl.dat")), PathOf("Shbl.dat.bak" + std::to_string(n)));
    }
    Write("Shbl.dat", {"y"});
    EXPECT_THROW(rtl::KeepBackupCopy(PathOf("Shbl.dat")), rtl::EInOutError);
    EXPECT_EQ(ReadRaw("Shbl.dat"), "y\r\n");
    EXPECT_EQ(ReadRaw("Shbl.dat.bak9"), "x9\r\n");
}

// What is sound loads; one message says what was skipped; blank lines at
// the end are no template.
TEST_F(PlayerFiles, DamagedTemplatesLoadWhatIsSound) {
    std::vector<std::string> lines = {"UNION"};
    for (int i = 0; i < 23; ++i) {
        lines.push_back("Шаблон " + std::to_string(i));
        lines.insert(lines.end(), {"205", std::to_string(i + 1), "end"});
    }
    Write("Shbl.dat", lines);
    TemplateFileContents read = ReadTemplateFile(PathOf("Shbl.dat"));
    ASSERT_EQ(read.templates.size(), 21u);
    EXPECT_TRUE(read.damaged);  // what was skipped is lost with the next save unless kept
    EXPECT_EQ(read.templates[20].counts[205], 21u);
    EXPECT_NE(read.message.find("Загружено шаблонов: 21. Пропущено шаблонов сверх 21: 2."), std::string::npos)
        << Utf8(read.message);

    Write("Shbl.dat", {"UNION", "Рейд", "601", "5", "205", "-3", "206", "x", "207", "4", "208", "end",
                       "Зерги", "227", "9", "end", "", ""});
    read = ReadTemplateFile(PathOf("Shbl.dat"));
    ASSERT_EQ(read.templates.size(), 2u);
    EXPECT_EQ(read.templates[0].counts[207], 4u);
    EXPECT_EQ(read.templates[0].counts[205], 0u);
    EXPECT_EQ(read.templates[1].name, "Зерги");
    EXPECT_EQ(read.templates[1].counts[227], 9u);
    EXPECT_NE(read.message.find(": 4."), std::string::npos) << Utf8(read.message);

    // A template without a name is a template; only blank lines at the end are none.
    Write("Shbl.dat", {"UNION", "", "205", "1", "end", "Зерги", "227", "9", "end", ""});
    read = ReadTemplateFile(PathOf("Shbl.dat"));
    EXPECT_EQ(read.message, "");
    ASSERT_EQ(read.templates.size(), 2u);
    EXPECT_EQ(read.templates[0].name, "");
    EXPECT_EQ(read.templates[0].counts[205], 1u);
    EXPECT_EQ(read.templates[1].counts[227], 9u);

    // A row whose count is missing just before "end": the end still ends its template.
    Write("Shbl.dat", {"UNION", "Рейд", "205", "end", "Зерги", "227", "9", "end"});
    read = ReadTemplateFile(PathOf("Shbl.dat"));
    ASSERT_EQ(read.templates.size(), 2u);
    EXPECT_EQ(read.templates[1].name, "Зерги");
    EXPECT_EQ(read.templates[1].counts[227], 9u);
    EXPECT_NE(read.message.find("Загружено шаблонов: 2."), std::string::npos) << Utf8(read.message);
    EXPECT_NE(read.message.find(": 1."), std::string::npos) << Utf8(read.message);

    // A file cut anywhere is damaged; a template cut before its "end" is not loaded.
    const std::string whole = "UNION\r\nРейд\r\n205\r\n600\r\nend\r\nЗерги\r\n227\r\n9\r\nend\r\n";
    for (const auto& [cut, loaded] :
         {std::pair{"UNI", 0u}, {"UNION", 0u}, {"UNION\r\nРе", 0u}, {"UNION\r\nРейд\r\n205\r\n60", 0u},
          {"UNION\r\nРейд\r\n205\r\n600\r\n", 0u}, {"UNION\r\nРейд\r\n205\r\n600\r\nen", 0u},
          {"UNION\r\nРейд\r\n205\r\n600\r\nend", 1u}, {"UNION\r\nРейд\r\n205\r\n600\r\nend\r", 1u},
          {"UNION\r\nРейд\r\n205\r\n600\r\nend\r\nЗер", 1u}, {"UNION\r\nРейд\r\n205\r\n600\r\nend\r\nЗерги\r\n227\r\n", 1u}}) {
        SCOPED_TRACE(Utf8(cut));
        ASSERT_EQ(whole.rfind(cut, 0), 0u);
        std::ofstream(PathOf("Shbl.dat"), std::ios::binary) << cut;
        read = ReadTemplateFile(PathOf("Shbl.dat"));
        EXPECT_TRUE(read.damaged);
        ASSERT_EQ(read.templates.size(), loaded) << Utf8(read.message);
        if (loaded) {
            EXPECT_EQ(read.templates[0].counts[205], 600u);
        }
    }
    Write("Shbl.dat", {"UNION", "Рейд", "205", "10", "", ""});
    read = ReadTemplateFile(PathOf("Shbl.dat"));
    EXPECT_TRUE(read.templates.empty());
    EXPECT_NE(read.message.find("Последний шаблон «Рейд» не закончен строкой \"end\" и не загружен."),
              std::string::npos)
        << Utf8(read.message);

    Write("Shbl.dat", {"UNION", "Рейд", "205", "10", "end", "", ""});
    read = ReadTemplateFile(PathOf("Shbl.dat"));
    EXPECT_EQ(read.templates.size(), 1u);
    EXPECT_EQ(read.message, "");
}
