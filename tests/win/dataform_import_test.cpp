// A whole import: the rows are taken in, the database is saved, the player
// is told to start again, and the program ends. (Its own test program: the
// end of the program ends every message loop in it.)
#include "support/database_window.h"

using namespace vcl;
using dbtest::CellLine;

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
    for (int col = 1; col <= 28; ++col) file.push_back(col == 2 ? "Новый крейсер" : std::to_string(col));
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
