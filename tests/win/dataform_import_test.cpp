// Imports of expinp.shp. A whole one: the rows are taken in, the database is
// saved, the player is told to start again, and the program ends (the last
// test here: the end of the program ends every message loop in it). One cut
// short: nothing is taken in, so no later save can write part of it.
#include "support/database_window.h"
#include "support/program_fixture.h"

#include <sys/stat.h>

#include "windows/editor.h"
#include "windows/medaleditor.h"
#include "windows/open.h"

using namespace vcl;
using dbtest::CellLine;

TEST(DatabaseImport, ACutShortFileTakesNothingInAndTheNextSavesWriteTheTableAsItWas) {
    programtest::StartProgram();
    const std::string database = programtest::InFolder("DataBase.dat");
    const std::string before = scratch::ReadFile(database);
    battle::DataTable& table = Form4->Table();
    const battle::DataTable kept = table;

    // An export of this very table with every name changed, cut short in the
    // middle of its last block: the blocks before the cut are whole.
    Form4->Table().ExportToFile(programtest::InFolder("expinp.shp"));
    std::vector<std::string> lines = scratch::Lines(scratch::ReadFile(programtest::InFolder("expinp.shp")));
    size_t blocks = 0;
    for (size_t i = 1; i < lines.size(); ++i)
        if (i == 1 || lines[i - 1] == "end") ++blocks, lines[i + 2] = "Чужой " + lines[i + 2];
    ASSERT_GT(blocks, 10u);
    lines.resize(lines.size() - 5);
    scratch::WriteFile(programtest::InFolder("expinp.shp"), scratch::JoinCrLf(lines));

    // The unit editor's "Импорт базы", as the player starts it.
    programtest::Boxes().Clear();
    Form2->N5Click(nullptr);
    vcltest::Advance(1000);
    const std::vector<std::string> told = programtest::Boxes().Texts();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("прочитанные до этого места (" + std::to_string(blocks - 1) +
                           "), в таблицу не взяты: таблица осталась как была; ничего не сохранено."),
              std::string::npos)
        << vcltest::Utf8(told[0]);
    EXPECT_FALSE(Application->Terminated());
    for (int row = 0; row <= battle::kLastRow; ++row)
        for (int col = 0; col <= battle::kLastCol; ++col)
            ASSERT_EQ(table.Cell(col, row), kept.Cell(col, row)) << "column " << col << ", row " << row;

    // The medal editor's save with no medal chosen, then an untouched unit's:
    // each writes the file anew (a new file renamed over it), with the same bytes.
    auto written = [&] {
        struct stat file {};
        stat(database.c_str(), &file);
        return file.st_ino;
    };
    const ino_t first = written();
    programtest::Boxes().Clear();
    form911->Show();
    vcltest::Click(form911->Button3);
    form911->Hide();
    const ino_t second = written();
    EXPECT_NE(second, first) << "the medal editor did not save";
    Form2->Show();
    Form3->Timer1Timer(nullptr);
    vcltest::SelectItem(Form3->ListBox1, 0);
    vcltest::Click(Form3->Button1);
    vcltest::Advance(1);
    vcltest::Click(Form2->Button1);
    Form2->Hide();
    EXPECT_NE(written(), second) << "the unit editor did not save";
    EXPECT_TRUE(programtest::Boxes().Texts().empty()) << vcltest::Utf8(programtest::Boxes().Texts()[0]);
    EXPECT_TRUE(scratch::ReadFile(database) == before) << "DataBase.dat changed";
}

TEST(DatabaseImport, SavesTellsAndEndsTheProgram) {
    dbtest::SetFirstRunValue(true);
    scratch::Folder folder({"DataBase.dat", "lang.dat"});
    vcltest::MessageBoxes boxes;
    vcltest::Clock();
    auto* form = NewForm<TForm4>(nullptr);
    form->Timer3->SetEnabled(false);
    battle::DataTable& table = form->Table();
    table.SetCell(29, 201, "свое");
    table.SetCell(30, 201, "9");

    std::vector<std::string> file = {"3.7", "201"};
    // A building of race and codes within their ranges; the other columns hold their own numbers.
    for (int col = 1; col <= 28; ++col)
        file.push_back(col == 2                                              ? "Новый крейсер"
                       : col == 10 || col == 11 || (col >= 18 && col <= 21) ? "2"
                                                                            : std::to_string(col));
    file.insert(file.end(), {"35", "4", "end"});
    folder.Write("expinp.shp", scratch::JoinCrLf(file));
    boxes.Clear();
    form->Timer6->SetEnabled(true);
    vcltest::Advance(1000);

    ASSERT_EQ(boxes.Texts(), (std::vector<std::string>{"Для сохранения части изменений нужно перезапустить программу"}));
    EXPECT_TRUE(Application->Terminated());
    std::vector<std::string> saved = scratch::Lines(folder.Read("DataBase.dat"));
    ASSERT_EQ(saved.size(), battle::kDataBaseLines);
    EXPECT_EQ(saved[CellLine(1, 0)], "3.7");
    EXPECT_EQ(saved[CellLine(0, 201)], "201");
    EXPECT_EQ(saved[CellLine(2, 201)], "Новый крейсер");
    EXPECT_EQ(saved[CellLine(28, 201)], "28");
    EXPECT_EQ(saved[CellLine(29, 201)], "свое");  // not in the exchange file: kept
    EXPECT_EQ(saved[CellLine(30, 201)], "0");     // rapid fire against row 0: reset
    EXPECT_EQ(saved[CellLine(35, 201)], "4");
    EXPECT_EQ(saved[CellLine(36, 201)], "0");
}
