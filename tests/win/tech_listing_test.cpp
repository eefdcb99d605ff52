// The technology editor's listing a second after start saves the database
// and writes tihnics.dat, but never over a DataBase.dat that was not read
// whole: that file stays as the player had it.
#include "support/database_window.h"

#include "windows/tehno.h"

using namespace vcl;

TEST(TechnologyListing, AShortDatabaseIsNotWrittenOverButTheSpyNamesAre) {
    const std::vector<std::string> whole = scratch::Lines(scratch::ReadFile(scratch::SourceData("DataBase.dat")));
    // Rows 0..200 and the first cells of row 201: every technology.
    const std::vector<std::string> shortFile(whole.begin(), whole.begin() + 201 * battle::kColCount + 5);
    scratch::Folder folder({"lang.dat"});
    folder.Write("DataBase.dat", scratch::JoinCrLf(shortFile));
    vcltest::Clock();
    vcltest::MessageBoxes boxes;
    Form4 = NewForm<TForm4>(nullptr);
    Form4->Timer3->SetEnabled(false);  // the first-run check is the database window's own test
    ASSERT_FALSE(Form4->LoadComplete());
    Form26 = NewForm<TForm26>(nullptr);
    vcltest::Advance(1000);

    EXPECT_EQ(folder.Read("DataBase.dat"), scratch::JoinCrLf(shortFile));
    std::vector<std::string> names = {"Оружейная технология", "Технология брони", "Щитовая технология"};
    for (int row = battle::kTechFirstRow; row <= battle::kTechLastRow; ++row)
        if (Form4->Table().Cell(battle::kColKind, row) == battle::kKindTech)
            names.push_back(Form4->Table().Cell(battle::kColSpyName, row));
    ASSERT_GT(names.size(), 3u);
    EXPECT_EQ(scratch::Lines(folder.Read(kTechNamesFile)), names);
    Form26->Free();
    Form4->Free();
    Form26 = nullptr;
    Form4 = nullptr;
}
