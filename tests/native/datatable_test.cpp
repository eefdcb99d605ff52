#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "battle/datatable.h"
#include "battle/langfile.h"
#include "battle/namelist.h"
#include "battle/optionsfile.h"
#include "rtl/convert.h"
#include "rtl/encoding.h"
#include "rtl/errors.h"

using namespace battle;

namespace {

class DataTableFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("norvix_datatable_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
    void WriteRaw(const std::string& name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
    }
    std::string ReadRaw(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // Lines of a file written with CR LF; a bare LF fails the test.
    std::vector<std::string> CrLfLines(const std::string& name) const {
        std::string raw = ReadRaw(name);
        std::vector<std::string> lines;
        size_t pos = 0;
        while (pos < raw.size()) {
            size_t end = raw.find("\r\n", pos);
            EXPECT_NE(end, std::string::npos) << "the last line has no CR LF";
            if (end == std::string::npos) break;
            std::string line = raw.substr(pos, end - pos);
            EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break in " << line;
            lines.push_back(line);
            pos = end + 2;
        }
        return lines;
    }
    void WriteLines(const std::string& name, const std::vector<std::string>& lines) const {
        std::string raw;
        for (const auto& line : lines) raw += line + "\r\n";
        WriteRaw(name, raw);
    }

    std::filesystem::path dir_;
};

// A distinct text for every cell, some of them empty; column 0 of a row
// holds its number, as the loader checks.
std::string Pattern(int col, int row) {
    if (col == kColRowNumber && row > 0) return rtl::IntToStr(row);
    if ((col * 7 + row) % 11 == 0) return "";
    return rtl::IntToStr(row) + ":" + rtl::IntToStr(col) + (col % 5 == 0 ? " Зерг" : "");
}

void FillPattern(DataTable& table) {
    for (int row = 0; row <= kLastRow; ++row)
        for (int col = 0; col <= kLastCol; ++col) table.SetCell(col, row, Pattern(col, row));
}

// Counts the cells that differ from the pattern, to keep failures short.
int CellsOffPattern(const DataTable& table) {
    int off = 0;
    for (int row = 0; row <= kLastRow; ++row)
        for (int col = 0; col <= kLastCol; ++col) off += table.Cell(col, row) != Pattern(col, row);
    return off;
}

// A row as the editors leave it: every value "0", the rapid fire included.
void PutRow(DataTable& table, int row, std::string_view kind, const std::string& name) {
    table.SetCell(kColRowNumber, row, rtl::IntToStr(row));
    table.SetCell(kColKind, row, kind);
    table.SetCell(kColName, row, name);
    for (int col = 3; col <= kLastCol; ++col) table.SetCell(col, row, "0");
}

// Rows with an empty kind are exported; a table for export tests starts with every row free.
void MarkAllRowsFree(DataTable& table) {
    for (int row = 1; row <= kLastRow; ++row) table.SetCell(kColKind, row, kKindFree);
}

void PutUnitRow(DataTable& table, int row, const std::string& name) {
    PutRow(table, row, kKindUnit, name);
    table.SetCell(kColStructure, row, "4000");
    table.SetCell(kColAttack, row, "50");
}

}  // namespace

TEST(DataTable, CellsOutsideTheTableAreRangeErrors) {
    DataTable table;
    EXPECT_EQ(table.Cell(kLastCol, kLastRow), "");  // one beyond the shown grid, still a cell
    for (auto [col, row] : {std::pair{-1, 0}, {0, -1}, {kLastCol + 1, 0}, {0, kLastRow + 1}}) {
        EXPECT_THROW(table.Cell(col, row), rtl::ERangeError);
        EXPECT_THROW(table.SetCell(col, row, "1"), rtl::ERangeError);
    }
    table.SetCell(kColAttack, 201, "12a");
    EXPECT_THROW(table.IntCell(kColAttack, 201), rtl::EConvertError);
    // The message says where, and whether it is no number or one too large.
    for (auto [text, why] : {std::pair{"12a", "не является целым числом"},
                             {"99999999999999999999", "вне допустимых пределов"}}) {
        table.SetCell(kColAttack, 201, text);
        try {
            table.IntCell(kColAttack, 201);
            ADD_FAILURE() << text;
        } catch (const rtl::EConvertError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find("строка 201, столбец 8"), std::string::npos) << rtl::Cp1251ToUtf8(message);
            EXPECT_NE(message.find(why), std::string::npos) << rtl::Cp1251ToUtf8(message);
        }
    }
    table.SetCell(kColAttack, 201, "-12");
    EXPECT_EQ(table.IntCell(kColAttack, 201), -12);
}

// Cells share one text where their values are equal: a copy must stand on
// its own, and a reference taken from a cell must outlive changes to it.
TEST(DataTable, CopiesAreIndependentAndCellReferencesStayValid) {
    auto original = std::make_unique<DataTable>();
    original->FillDefaults();
    original->SetCell(kColName, 201, "Муталиск");
    const std::string& oldName = original->Cell(kColName, 201);
    original->SetCell(kColName, 201, "Гидралиск");
    EXPECT_EQ(oldName, "Муталиск");

    DataTable copy = *original;
    DataTable assigned;
    assigned = *original;
    original.reset();  // the copies may not lean on the original's texts
    for (DataTable* table : {&copy, &assigned}) {
        EXPECT_EQ(table->Cell(kColName, 201), "Гидралиск");
        table->SetCell(kColAttack, 201, "0");
        table->SetCell(kColName, 202, "Гидралиск");
        EXPECT_EQ(table->Cell(kColAttack, 201), "0");
        EXPECT_EQ(table->Cell(kColName, 202), "Гидралиск");
    }
    copy.SetCell(kColName, 201, "Ультралиск");
    EXPECT_EQ(assigned.Cell(kColName, 201), "Гидралиск");
    copy.Clear();
    EXPECT_EQ(copy.Cell(kColRowNumber, 5), "");
    EXPECT_EQ(assigned.Cell(kColRowNumber, 5), "5");
}

TEST(DataTable, FillDefaultsKeepsKindNameAndFirstValues) {
    DataTable table;
    table.SetCell(kFirstRunMarkerCol, 0, kFirstRunMarker);
    table.SetCell(kVersionCol, 0, "3.6");
    PutUnitRow(table, 201, "Муталиск");
    table.SetCell(kColRace, 201, "1");
    table.SetCell(kColShieldRegen, 201, "40");
    table.SetCell(kColRapidFire + 201, 201, "5");
    table.SetCell(kColRowNumber, 201, "junk");
    table.SetCell(kLastCol, kLastRow, "x");

    table.FillDefaults();

    for (int row = 0; row <= kLastRow; ++row) {
        EXPECT_EQ(table.Cell(kColRowNumber, row), rtl::IntToStr(row));
        for (int col = 12; col <= kLastCol; ++col) ASSERT_EQ(table.Cell(col, row), "0") << col << "," << row;
    }
    EXPECT_EQ(table.Cell(kVersionCol, 0), "3.6");
    EXPECT_EQ(table.Cell(kColKind, 201), "1");
    EXPECT_EQ(table.Cell(kColName, 201), "Муталиск");
    EXPECT_EQ(table.Cell(kColStructure, 201), "4000");
    EXPECT_EQ(table.Cell(kColRace, 201), "1");
    EXPECT_EQ(table.Cell(kColKind, 300), "");  // never-used rows keep their empty kind
}

TEST_F(DataTableFiles, SaveAndLoadGiveBackEveryCell) {
    DataTable saved;
    FillPattern(saved);
    saved.SaveToFile(PathOf("DataBase.dat"));

    // The layout: one cell per line, row by row, CR LF, nothing else.
    std::vector<std::string> lines = CrLfLines("DataBase.dat");
    ASSERT_EQ(lines.size(), kDataBaseLines);
    EXPECT_EQ(lines[0], Pattern(0, 0));
    EXPECT_EQ(lines[kColCount + 2], Pattern(2, 1));
    EXPECT_EQ(lines.back(), Pattern(kLastCol, kLastRow));
    EXPECT_EQ(lines[5], "0:5 \xC7\xE5\xF0\xE3");  // code page 1251 on disk

    DataTable loaded;
    loaded.SetCell(3, 3, "stale");
    DataTable::LoadResult result = loaded.LoadFromFile(PathOf("DataBase.dat"));
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(result.linesRead, kDataBaseLines);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(CellsOffPattern(loaded), 0);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "DataBase.dat.tmp"));
}

TEST_F(DataTableFiles, ACellWithALineBreakCannotShiftTheFile) {
    DataTable table;
    table.SetCell(kColName, 5, "две\r\nстроки");
    table.SetCell(kColName, 6, "после");
    table.SaveToFile(PathOf("DataBase.dat"));
    ASSERT_EQ(CrLfLines("DataBase.dat").size(), kDataBaseLines);
    DataTable loaded;
    EXPECT_TRUE(loaded.LoadFromFile(PathOf("DataBase.dat")).complete);
    EXPECT_EQ(loaded.Cell(kColName, 5), "две  строки");
    EXPECT_EQ(loaded.Cell(kColName, 6), "после");
}

TEST_F(DataTableFiles, AFailedSaveLeavesThePreviousDatabaseWhole) {
    DataTable table;
    FillPattern(table);
    table.SaveToFile(PathOf("DataBase.dat"));
    const std::string before = ReadRaw("DataBase.dat");

    // A folder where the temporary file should go makes the save fail.
    std::filesystem::create_directories(dir_ / "DataBase.dat.tmp");
    table.SetCell(kColName, 201, "changed");
    try {
        table.SaveToFile(PathOf("DataBase.dat"));
        FAIL() << "the save reported success";
    } catch (const rtl::EInOutError& error) {
        std::string text = error.what();
        EXPECT_NE(text.find("База данных не сохранена"), std::string::npos) << rtl::Cp1251ToUtf8(text);
        EXPECT_NE(text.find("Прежний файл DataBase.dat остался без изменений."), std::string::npos)
            << rtl::Cp1251ToUtf8(text);
    }
    EXPECT_EQ(ReadRaw("DataBase.dat"), before);

    // A folder that does not exist is told the same way.
    EXPECT_THROW(table.SaveToFile(PathOf("missing/DataBase.dat")), rtl::EInOutError);
}

TEST_F(DataTableFiles, AShortDatabaseLoadsWhatItHasAndSaysWhere) {
    DataTable saved;
    FillPattern(saved);
    saved.SaveToFile(PathOf("full.dat"));
    std::string raw = ReadRaw("full.dat");
    // Cut after 1000 whole lines.
    size_t pos = 0;
    for (int i = 0; i < 1000; ++i) pos = raw.find("\r\n", pos) + 2;
    WriteRaw("DataBase.dat", raw.substr(0, pos));

    DataTable loaded;
    FillPattern(loaded);  // everything beyond the file must come back empty
    DataTable::LoadResult result = loaded.LoadFromFile(PathOf("DataBase.dat"));
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.linesRead, 1000u);
    EXPECT_NE(result.message.find("DataBase.dat"), std::string::npos);
    EXPECT_NE(result.message.find("1001"), std::string::npos) << rtl::Cp1251ToUtf8(result.message);
    // Line 1001 is row 1, column 369.
    EXPECT_NE(result.message.find("строка базы 1, столбец 369"), std::string::npos);
    int wrong = 0;
    for (size_t i = 0; i < kDataBaseLines; ++i) {
        int col = static_cast<int>(i % kColCount), row = static_cast<int>(i / kColCount);
        wrong += loaded.Cell(col, row) != (i < 1000 ? Pattern(col, row) : "");
    }
    EXPECT_EQ(wrong, 0);
    // Cut after two whole rows: the first lost cell is row 2, column 0.
    pos = 0;
    for (int i = 0; i < 2 * kColCount; ++i) pos = raw.find("\r\n", pos) + 2;
    WriteRaw("DataBase.dat", raw.substr(0, pos));
    result = loaded.LoadFromFile(PathOf("DataBase.dat"));
    EXPECT_NE(result.message.find("со строки 1263 файла (строка базы 2, столбец 0)"), std::string::npos)
        << rtl::Cp1251ToUtf8(result.message);

    // Only the last line lost: the last cell of the last row is the one told.
    WriteRaw("DataBase.dat", raw.substr(0, raw.rfind("\r\n", raw.size() - 3) + 2));
    result = loaded.LoadFromFile(PathOf("DataBase.dat"));
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.linesRead, kDataBaseLines - 1);
    EXPECT_NE(result.message.find("строк в нем " + rtl::IntToStr(kDataBaseLines - 1) + " из " +
                                  rtl::IntToStr(kDataBaseLines) + ". Ячейки со строки " +
                                  rtl::IntToStr(kDataBaseLines) + " файла (строка базы " +
                                  rtl::IntToStr(kLastRow) + ", столбец " + rtl::IntToStr(kLastCol) + ")"),
              std::string::npos)
        << rtl::Cp1251ToUtf8(result.message);
    EXPECT_EQ(loaded.Cell(kLastCol, kLastRow), "");
    EXPECT_EQ(loaded.Cell(kLastCol - 1, kLastRow), Pattern(kLastCol - 1, kLastRow));

    // An empty file leaves an empty table.
    WriteRaw("DataBase.dat", "");
    result = loaded.LoadFromFile(PathOf("DataBase.dat"));
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.linesRead, 0u);
    EXPECT_EQ(loaded.Cell(0, 0), "");
    EXPECT_EQ(loaded.Cell(kLastCol, kLastRow), "");
}

TEST_F(DataTableFiles, ShiftedRowsAndStrayCarriageReturnsAreToldWhereTheyStart) {
    DataTable saved;
    MarkAllRowsFree(saved);
    for (int row = 1; row <= kLastRow; ++row) saved.SetCell(kColRowNumber, row, rtl::IntToStr(row));
    PutRow(saved, 5, kKindMedal, "Медаль");
    PutUnitRow(saved, 201, "Штурмовик");
    saved.SaveToFile(PathOf("full.dat"));
    const std::string raw = ReadRaw("full.dat");
    auto lineStart = [&](size_t line) {  // 0-based
        size_t pos = 0;
        for (size_t i = 0; i < line; ++i) pos = raw.find("\r\n", pos) + 2;
        return pos;
    };

    // One line of row 3 lost and one added at the end: as long as before,
    // every cell after the loss one line early. Row 5 is the first used one.
    const size_t lost = lineStart(3 * kColCount + 10);
    WriteRaw("DataBase.dat", raw.substr(0, lost) + raw.substr(lineStart(3 * kColCount + 11)) + "0\r\n");
    DataTable loaded;
    DataTable::LoadResult result = loaded.LoadFromFile(PathOf("DataBase.dat"));
    EXPECT_EQ(result.linesRead, kDataBaseLines);
    EXPECT_FALSE(result.complete);
    EXPECT_NE(result.message.find("в строке 3156 файла (строка базы 5, столбец 0)"), std::string::npos)
        << rtl::Cp1251ToUtf8(result.message);
    EXPECT_NE(result.message.find("сдвинуты"), std::string::npos) << rtl::Cp1251ToUtf8(result.message);
    // Only where it starts: row 201 is shifted as well, and not told again.
    EXPECT_EQ(result.message.find("строка базы 201"), std::string::npos) << rtl::Cp1251ToUtf8(result.message);

    // One line added in row 3: the file is a line too long, and the shift is
    // told as well (row 4, free, now looks used: its kind is its number).
    WriteRaw("DataBase.dat", raw.substr(0, lost) + "0\r\n" + raw.substr(lost));
    result = loaded.LoadFromFile(PathOf("DataBase.dat"));
    EXPECT_FALSE(result.complete);
    // The file's length is told first, then the shift.
    EXPECT_EQ(result.message.find("Файл DataBase.dat в папке " + dir_.string() + " поврежден: после строки 379231"),
              0u)
        << rtl::Cp1251ToUtf8(result.message);
    EXPECT_GT(result.message.find("строка базы 4, столбец 0"), result.message.find("есть еще строки"))
        << rtl::Cp1251ToUtf8(result.message);
    EXPECT_NE(result.message.find("строка базы 4, столбец 0"), std::string::npos) << rtl::Cp1251ToUtf8(result.message);

    // CR CR LF after every cell: the whole count of lines, every cell spoilt
    // from the first row on (a free row's kind is no longer "0").
    std::string doubled;
    for (char c : raw) {
        if (c == '\n') doubled += '\r';
        doubled += c;
    }
    WriteRaw("DataBase.dat", doubled);
    result = loaded.LoadFromFile(PathOf("DataBase.dat"));
    EXPECT_FALSE(result.complete);
    EXPECT_NE(result.message.find("CR CR LF"), std::string::npos) << rtl::Cp1251ToUtf8(result.message);
    EXPECT_NE(result.message.find("строка базы 1, столбец 0) стоит «1?»"), std::string::npos)
        << rtl::Cp1251ToUtf8(result.message);

    // The untouched file loads without a word.
    WriteRaw("DataBase.dat", raw);
    EXPECT_TRUE(loaded.LoadFromFile(PathOf("DataBase.dat")).complete);
}

TEST_F(DataTableFiles, RapidFireBeyondWhatABattleCanBearIsRefusedOnLoad) {
    DataTable saved;
    MarkAllRowsFree(saved);
    PutUnitRow(saved, 201, "Штурмовик");
    PutUnitRow(saved, 202, "Крейсер");
    saved.SetCell(kColRapidFire + 202, 201, rtl::IntToStr(kMaxRapidFire));  // the bound itself is fine
    saved.SetCell(kColRapidFire + 201, 202, "9000000000000000");
    saved.SetCell(kColRapidFire + 202, 202, rtl::IntToStr(kMaxRapidFire + 1));
    PutUnitRow(saved, 550, "Последний");  // the last unit row is checked too
    saved.SetCell(kColRapidFire + 201, 550, rtl::IntToStr(kMaxRapidFire + 5));
    PutRow(saved, 101, kKindTech, "Оружейная");
    saved.SetCell(201, 101, "99999");  // not rapid fire: a technology's column for row 171
    saved.SaveToFile(PathOf("DataBase.dat"));

    DataTable loaded;
    DataTable::LoadResult result = loaded.LoadFromFile(PathOf("DataBase.dat"));
    EXPECT_FALSE(result.complete);
    EXPECT_NE(result.message.find("строка базы 202, столбец 231"), std::string::npos)
        << rtl::Cp1251ToUtf8(result.message);
    EXPECT_NE(result.message.find("Таких ячеек 3"), std::string::npos) << rtl::Cp1251ToUtf8(result.message);
    EXPECT_EQ(loaded.Cell(kColRapidFire + 201, 550), rtl::IntToStr(kMaxRapidFire));
    EXPECT_EQ(loaded.Cell(kColRapidFire + 201, 202), rtl::IntToStr(kMaxRapidFire));
    EXPECT_EQ(loaded.Cell(kColRapidFire + 202, 202), rtl::IntToStr(kMaxRapidFire));
    EXPECT_EQ(loaded.Cell(kColRapidFire + 202, 201), rtl::IntToStr(kMaxRapidFire));
    EXPECT_EQ(loaded.Cell(201, 101), "99999");

    // A file that ends inside row 202, just after those cells: the battle
    // would read them all the same.
    const std::string raw = ReadRaw("DataBase.dat");
    size_t cut = 0;
    for (size_t line = 0; line <= 202 * kColCount + kColRapidFire + 202; ++line) cut = raw.find("\r\n", cut) + 2;
    WriteRaw("DataBase.dat", raw.substr(0, cut));
    result = loaded.LoadFromFile(PathOf("DataBase.dat"));
    EXPECT_EQ(loaded.Cell(kColRapidFire + 201, 202), rtl::IntToStr(kMaxRapidFire));
    EXPECT_EQ(loaded.Cell(kColRapidFire + 202, 202), rtl::IntToStr(kMaxRapidFire));
    EXPECT_NE(result.message.find("Таких ячеек 2"), std::string::npos) << rtl::Cp1251ToUtf8(result.message);
    // The grid asks the same question of each edit.
    EXPECT_EQ(loaded.CellValueProblem(kColRapidFire + 5, 201, "12"), "");
    EXPECT_NE(loaded.CellValueProblem(kColRapidFire + 5, 201, "10001"), "");
    EXPECT_EQ(loaded.CellValueProblem(kColName, 201, "10001"), "");
    EXPECT_EQ(loaded.CellValueProblem(kColRapidFire + 5, 201, "много"), "");  // no number: no bound to pass
}

TEST_F(DataTableFiles, ExtraLinesAfterTheLastCellAreReportedNotRead) {
    DataTable saved;
    FillPattern(saved);
    saved.SaveToFile(PathOf("DataBase.dat"));
    WriteRaw("DataBase.dat", ReadRaw("DataBase.dat") + "lost\r\n");
    DataTable loaded;
    DataTable::LoadResult result = loaded.LoadFromFile(PathOf("DataBase.dat"));
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(result.linesRead, kDataBaseLines);
    EXPECT_NE(result.message.find("379231"), std::string::npos) << rtl::Cp1251ToUtf8(result.message);
    EXPECT_EQ(CellsOffPattern(loaded), 0);
}

TEST_F(DataTableFiles, AMissingFileSaysWhichFileInWhichFolderAndChangesNothing) {
    DataTable table;
    table.SetCell(kColName, 201, "Муталиск");
    for (auto load : {+[](DataTable& t, const std::string& p) { t.LoadFromFile(p); },
                      +[](DataTable& t, const std::string& p) { t.ImportFromFile(p); }}) {
        try {
            load(table, PathOf("DataBase.dat"));
            FAIL() << "a missing file loaded";
        } catch (const rtl::EInOutError& error) {
            std::string text = error.what();
            EXPECT_NE(text.find("Не найден файл DataBase.dat в папке " + dir_.string()), std::string::npos)
                << rtl::Cp1251ToUtf8(text);
        }
    }
    try {
        ReadLangFile(PathOf("lang.dat"));
        FAIL() << "a missing lang.dat was read";
    } catch (const rtl::EInOutError& error) {
        EXPECT_NE(std::string(error.what()).find("lang.dat"), std::string::npos);
    }
    EXPECT_EQ(table.Cell(kColName, 201), "Муталиск");
    try {
        RequireFile("/norvix_no_such_file.dat");
        ADD_FAILURE() << "a missing file was found";
    } catch (const rtl::EInOutError& error) {
        EXPECT_EQ(std::string(error.what()), "Не найден файл norvix_no_such_file.dat в папке /.");
    }
    // A bare name is looked for in the working folder, and the message names that folder.
    try {
        RequireFile("norvix_no_such_file.dat");
        ADD_FAILURE() << "a missing file was found";
    } catch (const rtl::EInOutError& error) {
        EXPECT_EQ(std::string(error.what()), "Не найден файл norvix_no_such_file.dat в папке " +
                                                 std::filesystem::current_path().string() + ".");
    }
}

TEST_F(DataTableFiles, ExportWritesUsedRowsWithTheirNonZeroRapidFire) {
    DataTable table;
    MarkAllRowsFree(table);
    table.SetCell(kVersionCol, 0, "3.6.1");
    PutUnitRow(table, 201, "Штурмовик");
    table.SetCell(29, 201, "not exported");
    table.SetCell(kColRapidFire, 201, "9");  // column 30 is never exported
    PutUnitRow(table, 202, "Крейсер");
    table.SetCell(kColRapidFire + 201, 202, "6");
    table.SetCell(kLastCol, 202, "");  // empty is not "0": exported
    table.SetCell(kColKind, 203, kKindFree);
    table.SetCell(kColName, 203, "Удален");
    PutRow(table, 7, "", "Без вида");  // an empty kind is exported too
    table.SetCell(kColRowNumber, 7, "");

    table.ExportToFile(PathOf("expinp.shp"));
    std::vector<std::string> lines = CrLfLines("expinp.shp");

    // Version; row 7: 29 cells and "end"; row 201 likewise; row 202 with two pairs.
    ASSERT_EQ(lines.size(), 1u + 30 + 30 + 34);
    EXPECT_EQ(lines[0], "3.6.1");
    EXPECT_EQ(lines[1], "");  // row 7, column 0 never set
    EXPECT_EQ(lines[3], "Без вида");
    EXPECT_EQ(lines[30], "end");
    EXPECT_EQ(lines[31], "201");
    EXPECT_EQ(lines[33], "Штурмовик");
    EXPECT_EQ(lines[31 + kColStructure], "4000");
    EXPECT_EQ(lines[31 + 28], "0");
    EXPECT_EQ(lines[60], "end");
    EXPECT_EQ(lines[61], "202");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 90, lines.end()),
              (std::vector<std::string>{"231", "6", "630", "", "end"}));
    // Exporting changes nothing in the table.
    EXPECT_EQ(table.Cell(kColRapidFire, 201), "9");
    // A folder that is not there is told, and nothing is left behind.
    EXPECT_THROW(table.ExportToFile(PathOf("missing/expinp.shp")), rtl::EInOutError);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));
}

TEST_F(DataTableFiles, ALineBreakInACellCannotShiftTheExchangeFile) {
    DataTable table;
    MarkAllRowsFree(table);
    table.SetCell(kVersionCol, 0, "3.6\r\n");
    PutUnitRow(table, 201, "Крей\r\nсер");
    table.SetCell(kColKind, 201, "");  // a row of no kind: its cells take any text
    table.SetCell(kColRapidFire + 205, 201, "1\n2");
    table.ExportToFile(PathOf("expinp.shp"));
    EXPECT_EQ(CrLfLines("expinp.shp").size(), 1u + 29 + 2 + 1);

    DataTable back;
    const DataTable::ImportResult result = back.ImportFromFile(PathOf("expinp.shp"));
    ASSERT_TRUE(result.ok) << rtl::Cp1251ToUtf8(result.message);
    EXPECT_EQ(result.rowsImported, 1u);
    EXPECT_EQ(back.Cell(kVersionCol, 0), "3.6  ");
    EXPECT_EQ(back.Cell(kColName, 201), "Крей  сер");
    EXPECT_EQ(back.Cell(kColStructure, 201), "4000");
    EXPECT_EQ(back.Cell(kColRapidFire + 205, 201), "1 2");
}

TEST_F(DataTableFiles, ImportTakesRowsBackResettingRapidFire) {
    DataTable source;
    MarkAllRowsFree(source);
    source.SetCell(kVersionCol, 0, "3.7");
    PutUnitRow(source, 201, "Муталиск");
    source.SetCell(kColRace, 201, "1");
    source.SetCell(kColRapidFire + 205, 201, "4");
    source.SetCell(kColRapidFire + 206, 201, rtl::IntToStr(kMaxRapidFire));  // the bound itself comes in
    PutUnitRow(source, 550, "Левиафан");
    source.SetCell(kLastCol, 550, "2");
    PutRow(source, 1, kKindMedal, "Медаль за отвагу");
    source.ExportToFile(PathOf("expinp.shp"));

    DataTable target;
    FillPattern(target);
    target.SetCell(kColKind, 300, kKindFree);  // rows the file does not name stay as they are
    DataTable::ImportResult result = target.ImportFromFile(PathOf("expinp.shp"));
    ASSERT_TRUE(result.ok) << rtl::Cp1251ToUtf8(result.message);
    EXPECT_EQ(result.rowsImported, 3u);
    EXPECT_EQ(target.Cell(kVersionCol, 0), "3.7");

    for (int row : {1, 201, 550}) {
        EXPECT_EQ(target.Cell(kColRowNumber, row), Pattern(kColRowNumber, row)) << "column 0 is kept";
        EXPECT_EQ(target.Cell(29, row), Pattern(29, row)) << "column 29 is kept";
        for (int col = 1; col <= 28; ++col) EXPECT_EQ(target.Cell(col, row), source.Cell(col, row)) << col;
        EXPECT_EQ(target.Cell(kColRapidFire, row), "0") << "column 30 is reset";
    }
    for (int col = kColRapidFire; col <= kLastCol; ++col) {
        EXPECT_EQ(target.Cell(col, 201), col == kColRapidFire + 205   ? "4"
                                         : col == kColRapidFire + 206 ? rtl::IntToStr(kMaxRapidFire)
                                                                      : "0")
            << col;
        EXPECT_EQ(target.Cell(col, 1), "0") << col;
    }
    EXPECT_EQ(target.Cell(kLastCol, 550), "2");
    EXPECT_EQ(target.Cell(kColKind, 300), "0");
    EXPECT_EQ(target.Cell(kColName, 300), Pattern(kColName, 300));

    // Saved again as UTF-8 with its mark, a number typed " +04 ": the version
    // comes without the mark, names in code page 1251, the number as "4".
    std::string utf8 = "\xEF\xBB\xBF" + rtl::Cp1251ToUtf8(ReadRaw("expinp.shp"));
    utf8.replace(utf8.find("\r\n235\r\n4\r\n"), 10, "\r\n235\r\n +04 \r\n");
    WriteRaw("expinp.shp", utf8);
    FillPattern(target);
    result = target.ImportFromFile(PathOf("expinp.shp"));
    ASSERT_TRUE(result.ok) << rtl::Cp1251ToUtf8(result.message);
    EXPECT_EQ(target.Cell(kVersionCol, 0), "3.7");
    EXPECT_EQ(target.Cell(kColName, 201), "Муталиск");
    EXPECT_EQ(target.Cell(kColRapidFire + 205, 201), "4");
}

// A bad line anywhere takes nothing in: rows read before it would otherwise
// reach DataBase.dat with the next save of any editor.
TEST_F(DataTableFiles, AMalformedImportStopsAtTheLineAndLeavesTheTableAsItWas) {
    auto block = [](const std::string& row, const std::string& name, std::vector<std::string> pairs) {
        std::vector<std::string> lines{row, "1", name};
        for (int col = 3; col <= 28; ++col) lines.push_back("0");
        lines.insert(lines.end(), pairs.begin(), pairs.end());
        lines.push_back("end");
        return lines;
    };
    auto file = [&](std::vector<std::vector<std::string>> blocks) {
        std::vector<std::string> lines{"9.9"};
        for (auto& b : blocks) lines.insert(lines.end(), b.begin(), b.end());
        return lines;
    };
    const auto good = block("201", "Хорошая", {"240", "3"});

    auto with = [](std::vector<std::string> lines, size_t at, std::vector<std::string> cells, size_t erase = 0) {
        lines.erase(lines.begin() + at, lines.begin() + at + erase);
        lines.insert(lines.begin() + at, cells.begin(), cells.end());
        return lines;
    };
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        size_t failedLine;
        const char* says = "";
    };
    std::vector<Case> cases = {
        {"row not a number", file({good, block("2x1", "Плохая", {})}), 34},
        {"row above 600", file({good, block("601", "Плохая", {})}), 34},
        {"negative row", file({good, block("-1", "Плохая", {})}), 34},
        {"column above 630", file({good, block("202", "Плохая", {"35", "1", "631", "1"})}), 65},
        {"column not a number", file({good, block("202", "Плохая", {"3.5", "1"})}), 63},
        {"blank line after the last block", [&] { auto l = file({good}); l.push_back(""); return l; }(), 34},
        // Row 0 holds the version and the first-run marker.
        {"row 0", file({good, block("0", "Плохая", {})}), 34},
        {"column 0 naming another row", file({good, block("202", "Плохая", {"0", "203"})}), 64},
        {"rapid fire beyond the bound", file({good, block("202", "Плохая", {"250", "10001"})}), 64},
        // Every value as the editors take it, named by line, row and column.
        {"metal 4OOO", file({good, with(block("202", "Плохая", {}), 4, {"4OOO"}, 1)}), 38,
         "строка базы 202, столбец 4: «Металл»: «4OOO» - должно быть целым числом от 0 до 23058430092."},
        {"rapid fire 3x", file({good, block("202", "Плохая", {"240", "3x"})}), 64,
         "столбец 240: «Скорострел по строке 210»: «3x» - должно быть целым числом от 0 до 10000."},
        {"a unit in the medal rows", file({good, block("50", "Плохая", {})}), 35, "в строке 50 бывает только «2»"},
        // A line too few or too many is named where the block departs from its layout.
        {"a line too few", file({good, with(block("202", "Короткая", {}), 5, {}, 1), block("203", "Следующая", {})}),
         62, "блок строки базы 202 кончается на месте столбца 28"},
        {"a line too many", file({good, with(with(block("202", "Лишняя", {}), 28, {"5"}, 1), 5, {"0"})}), 63,
         "«5» не номер столбца блока строки базы 202"},
        {"a pair without its value", file({good, block("202", "Плохая", {"240"})}), 64, "строкой выше нет значения"},
    };
    // The file ends inside the second block (lines 34..): in its cells, before "end", before a value.
    for (size_t cut : {40u, 62u, 63u}) {
        auto lines = file({good, block("202", "Обрезанная", {"35", "1"})});
        lines.resize(cut);
        cases.push_back({"file ends inside a block", lines, cut});
    }

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteLines("expinp.shp", c.lines);
        DataTable table;
        FillPattern(table);
        const DataTable before = table;
        DataTable::ImportResult result = table.ImportFromFile(PathOf("expinp.shp"));
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.failedLine, c.failedLine);
        EXPECT_EQ(result.rowsImported, 0u);
        EXPECT_NE(result.message.find("строке " + rtl::IntToStr(c.failedLine) + " файла expinp.shp"),
                  std::string::npos)
            << rtl::Cp1251ToUtf8(result.message);
        EXPECT_NE(result.message.find(c.says), std::string::npos) << rtl::Cp1251ToUtf8(result.message);
        // The message says what happened to the block read whole before the bad line.
        EXPECT_NE(result.message.find("прочитанные до этого места (1), в таблицу не взяты: таблица осталась как "
                                      "была; ничего не сохранено."),
                  std::string::npos)
            << rtl::Cp1251ToUtf8(result.message);
        for (int row = 0; row <= kLastRow; ++row)
            for (int col = 0; col <= kLastCol; ++col)
                ASSERT_EQ(table.Cell(col, row), before.Cell(col, row)) << "column " << col << ", row " << row;
    }

    // The bad line is quoted whole up to 40 characters, longer ones cut there;
    // control characters show as "?".
    const std::string forty(40, 'x');
    for (const auto& [row, quoted] : {std::pair{forty, forty + "»"}, std::pair{forty + "y", forty + "...»"},
                                      std::pair{std::string("2\x01" "1"), std::string("«2?1»")},
                                      std::pair{std::string("2\x1f" "1\t"), std::string("«2?1?»")},
                                      std::pair{std::string("2 1"), std::string("«2 1»")}}) {
        WriteLines("expinp.shp", file({good, block(row, "Плохая", {})}));
        DataTable table;
        const std::string message = table.ImportFromFile(PathOf("expinp.shp")).message;
        EXPECT_NE(message.find(quoted + " не номер строки базы"), std::string::npos) << rtl::Cp1251ToUtf8(message);
    }
}

TEST_F(DataTableFiles, AnEmptyImportFileChangesNothing) {
    WriteRaw("expinp.shp", "");
    DataTable table;
    table.SetCell(kVersionCol, 0, "3.6");
    DataTable::ImportResult result = table.ImportFromFile(PathOf("expinp.shp"));
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("expinp.shp"), std::string::npos);
    EXPECT_EQ(table.Cell(kVersionCol, 0), "3.6");

    // Without a single line feed it is no exchange file at all (an export
    // whose line ends were lost): the version cell does not take its text.
    for (const char* noLineFeed : {"3.8", "3.8\r201\r1\rИмя\rend\r"}) {
        WriteRaw("expinp.shp", noLineFeed);
        result = table.ImportFromFile(PathOf("expinp.shp"));
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.failedLine, 1u);
        EXPECT_NE(result.message.find("строке 1 файла expinp.shp"), std::string::npos);
        EXPECT_EQ(table.Cell(kVersionCol, 0), "3.6");
    }

    // A first block that is broken brings nothing, the version neither.
    WriteLines("expinp.shp", {"4.0", "2x1", "1", "Имя", "end"});
    result = table.ImportFromFile(PathOf("expinp.shp"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.failedLine, 2u);
    EXPECT_EQ(table.Cell(kVersionCol, 0), "3.6");

    // A version line alone is a whole file with no rows.
    WriteRaw("expinp.shp", "3.8\r\n");
    result = table.ImportFromFile(PathOf("expinp.shp"));
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.rowsImported, 0u);
    EXPECT_EQ(table.Cell(kVersionCol, 0), "3.8");

    // A pair for column 0 that names the row itself changes nothing; the row keeps its number.
    std::vector<std::string> medal = {"3.9", "7", "2", "Медаль"};
    medal.resize(medal.size() + 26, "0");  // columns 3..28
    medal.insert(medal.end(), {"0", "7", "end"});
    WriteLines("expinp.shp", medal);
    table.SetCell(kColRowNumber, 7, "7");
    result = table.ImportFromFile(PathOf("expinp.shp"));
    EXPECT_TRUE(result.ok) << rtl::Cp1251ToUtf8(result.message);
    EXPECT_EQ(table.Cell(kColRowNumber, 7), "7");
    EXPECT_EQ(table.Cell(kColName, 7), "Медаль");
}

TEST_F(DataTableFiles, LangFileGivesItsFirst33LinesAndTellsWhenShort) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 35; ++i) lines.push_back(i == 2 ? "" : "Подпись " + rtl::IntToStr(i));
    WriteLines("lang.dat", lines);
    LangCaptions captions = ReadLangFile(PathOf("lang.dat"));
    ASSERT_EQ(captions.lines.size(), 33u);
    EXPECT_EQ(captions.lines[0], "Подпись 1");
    EXPECT_EQ(captions.lines[1], "");  // an empty caption is a caption
    EXPECT_EQ(captions.lines[32], "Подпись 33");
    EXPECT_EQ(captions.message, "");

    lines.resize(10);
    WriteLines("lang.dat", lines);
    captions = ReadLangFile(PathOf("lang.dat"));
    EXPECT_EQ(captions.lines.size(), 10u);
    EXPECT_NE(captions.message.find("lang.dat"), std::string::npos);
    EXPECT_NE(captions.message.find("11"), std::string::npos) << rtl::Cp1251ToUtf8(captions.message);
    // One line short is short too.
    std::vector<std::string> oneShort(32, "Подпись");
    WriteLines("lang.dat", oneShort);
    const std::string shortMessage = ReadLangFile(PathOf("lang.dat")).message;
    EXPECT_NE(shortMessage.find("32 из 33. Подписи со строки 33 остались прежними."), std::string::npos)
        << rtl::Cp1251ToUtf8(shortMessage);

    // Bytes of a damaged file: no caption at all rather than garbage on the buttons.
    lines[4] = std::string("Под") + '\x01' + "пись" + '\0' + " 5";
    WriteLines("lang.dat", lines);
    captions = ReadLangFile(PathOf("lang.dat"));
    EXPECT_TRUE(captions.lines.empty());
    EXPECT_NE(captions.message.find("строке 5"), std::string::npos) << rtl::Cp1251ToUtf8(captions.message);
}

TEST_F(DataTableFiles, OptionsAndNameListsGiveWhatIsSoundAndTellTheRest) {
    // opt.dat: number lines must be whole numbers; any text checks no box.
    WriteLines("opt.dat", {"12", "1", "true", "x25", "0", "0", "1", "0", "1", "6", "49"});
    OptionsFile options = ReadOptionsFile(PathOf("opt.dat"));
    EXPECT_EQ(options.lines[0], "12");
    EXPECT_EQ(options.lines[2], "true");
    EXPECT_FALSE(options.lines[3].has_value());
    EXPECT_EQ(options.lines[10], "49");
    EXPECT_NE(options.message.find("строке 4 «x25», а нужно целое число"), std::string::npos)
        << rtl::Cp1251ToUtf8(options.message);
    WriteLines("opt.dat", {"8", "1"});
    options = ReadOptionsFile(PathOf("opt.dat"));
    EXPECT_EQ(options.lines[1], "1");
    EXPECT_FALSE(options.lines[2].has_value());
    EXPECT_NE(options.message.find("строк 2 из 11"), std::string::npos) << rtl::Cp1251ToUtf8(options.message);
    WriteLines("opt.dat", {"8", "1", "1", "1", "0", "0", "0", "0", "0", "6"});
    EXPECT_NE(ReadOptionsFile(PathOf("opt.dat")).message.find("строк 10 из 11"), std::string::npos);
    // Every number line must hold a whole number, the candidates' too.
    WriteLines("opt.dat", {"8", "1", "1", "1", "0", "0", "0", "0", "0", "6", "много"});
    options = ReadOptionsFile(PathOf("opt.dat"));
    EXPECT_FALSE(options.lines[10].has_value());
    EXPECT_NE(options.message.find("строке 11 «много», а нужно целое число"), std::string::npos)
        << rtl::Cp1251ToUtf8(options.message);
    // A bad line is quoted up to 40 characters.
    const std::string forty(40, 'x');
    WriteLines("opt.dat", {"8", "1", "1", forty});
    options = ReadOptionsFile(PathOf("opt.dat"));
    EXPECT_NE(options.message.find("строке 4 «" + forty + "», а нужно целое число"), std::string::npos)
        << rtl::Cp1251ToUtf8(options.message);
    // A damaged line and a short file are told in one message.
    WriteLines("opt.dat", {"\x02"});
    EXPECT_EQ(ReadOptionsFile(PathOf("opt.dat")).message, "Файл " + PathOf("opt.dat") + " поврежден: в строке 1 не текст. В файле " +
                                                              PathOf("opt.dat") + " строк 1 из 11.");
    WriteRaw("opt.dat", std::string("8\r\n\x02\x03\r\n", 7));
    options = ReadOptionsFile(PathOf("opt.dat"));
    EXPECT_FALSE(options.lines[1].has_value());
    EXPECT_NE(options.message.find("строке 2 не текст"), std::string::npos) << rtl::Cp1251ToUtf8(options.message);
    EXPECT_THROW(ReadOptionsFile(PathOf("missing.dat")), rtl::EInOutError);
    // Of several bad lines the first is named; a number must fit in 32 bits,
    // and one that does not is told as out of range, with the option's range.
    WriteLines("opt.dat", {"2147483648", "1", "1", "x", "0", "0", "0", "0", "0", "6", "49"});
    options = ReadOptionsFile(PathOf("opt.dat"));
    EXPECT_FALSE(options.lines[0].has_value());
    EXPECT_FALSE(options.lines[3].has_value());
    EXPECT_EQ(options.lines[10], "49");
    EXPECT_EQ(options.message, "Файл " + PathOf("opt.dat") + " поврежден: в строке 1 «2147483648» - число вне "
                               "допустимых пределов: «количество раундов» должно быть целым числом от 1 до 10000.");
    // More rounds than a battle fights still load: the run names the range.
    WriteLines("opt.dat", {"2147483647", "1", "1", "99999999999999999999", "0", "0", "0", "0", "0", "6", "49"});
    options = ReadOptionsFile(PathOf("opt.dat"));
    EXPECT_EQ(options.lines[0], "2147483647");
    EXPECT_NE(options.message.find("строке 4 «99999999999999999999» - число вне допустимых пределов: «количество "
                                   "боев для статистики» должно быть целым числом от 1 до 65534."),
              std::string::npos)
        << rtl::Cp1251ToUtf8(options.message);
    // The limits of the number lines, under the window's captions.
    struct Limit {
        int line;
        const char* caption;
        int64_t max;
    };
    for (const Limit& limit : {Limit{1, "количество раундов", 10'000}, {4, "количество боев для статистики", 65'534},
                               {10, "количество итераций при поборе", 65'535}, {11, "количество боев при подборе", 65'025}}) {
        const OptionNumber& option = OptionNumberAt(limit.line);
        EXPECT_EQ(std::string(option.caption), limit.caption);
        EXPECT_EQ(option.min, 1);
        EXPECT_EQ(option.max, limit.max) << limit.line;
    }
    for (int line : {0, 2, 3, 5, 9, 12}) EXPECT_THROW(OptionNumberAt(line), rtl::ERangeError) << line;

    // Name lists: a heading, then one name a line; a heading alone is one empty name.
    WriteLines("of.dat", {"Офицеры", "Адмирал", "Инженер\tII"});  // a tab is text
    EXPECT_EQ(ReadNameList(PathOf("of.dat")).names, (std::vector<std::string>{"Адмирал", "Инженер\tII"}));
    WriteLines("of.dat", {"Офицеры"});
    NameList list = ReadNameList(PathOf("of.dat"));
    EXPECT_EQ(list.names, std::vector<std::string>{""});
    EXPECT_EQ(list.message, "");
    // A heading and the most names a list may hold.
    std::vector<std::string> many(kMaxListNames + 1, "Имя");
    WriteLines("of.dat", many);
    EXPECT_EQ(ReadNameList(PathOf("of.dat")).names.size(), static_cast<size_t>(kMaxListNames));
    for (const std::string& damaged : {std::string(), std::string("Офицеры\r\nАд\x07мирал\r\n"),
                                       std::string("Офи\x07церы\r\nАдмирал\r\n")}) {
        WriteRaw("of.dat", damaged);
        list = ReadNameList(PathOf("of.dat"));
        EXPECT_TRUE(list.names.empty());
        EXPECT_NE(list.message.find("поврежден"), std::string::npos) << rtl::Cp1251ToUtf8(list.message);
    }
    many.push_back("Лишнее");
    WriteLines("of.dat", many);
    EXPECT_TRUE(ReadNameList(PathOf("of.dat")).names.empty());
}
