// The database window: the table loaded at creation and shown by the grid,
// the first-run check and the save a second after start, the captions of
// lang.dat on the main window, and damaged or missing files.
#include "support/database_window.h"

#include <sys/stat.h>

#include <cstdio>

using namespace vcl;
using dbtest::CellLine;
using vcltest::Advance;
using vcltest::Utf8;

namespace {

struct DatabaseStart {
    explicit DatabaseStart(const std::vector<std::string>& files = {"DataBase.dat", "lang.dat"}) : folder(files) {
        vcltest::Clock();
        main = NewForm<TFakeMainWindow>(nullptr);
        form = NewForm<TForm4>(nullptr);
    }
    ~DatabaseStart() {
        form->Free();
        main->Free();
    }
    std::vector<std::string> SavedLines() const { return scratch::Lines(folder.Read("DataBase.dat")); }

    scratch::Folder folder;
    vcltest::MessageBoxes boxes;
    TFakeMainWindow* main;
    TForm4* form;
};

const char* const kFirstRunStart = "Предупреждение: Вы используете это приложение на свой страх и риск";

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

}  // namespace

TEST(DatabaseWindow, FirstStartWarnsOnceAndMarksTheSavedDatabase) {
    dbtest::SetFirstRunValue(false);
    DatabaseStart start;
    TForm4* f = start.form;
    EXPECT_TRUE(start.boxes.Shown().empty());
    EXPECT_TRUE(f->LoadComplete());
    EXPECT_EQ(f->Caption(), "База данных");
    EXPECT_EQ(f->datatable->ColCount(), 630);
    EXPECT_EQ(f->datatable->RowCount(), 600);
    // The grid shows the table itself, the row and column beyond it included.
    EXPECT_FALSE(f->Table().Cell(2, 201).empty());
    EXPECT_EQ(f->datatable->Cells(2, 201), f->Table().Cell(2, 201));
    EXPECT_EQ(f->datatable->Cells(630, 600), f->Table().Cell(630, 600));
    EXPECT_EQ(f->datatable->Cells(631, 0), "");
    EXPECT_NE(f->Table().Cell(0, 0), "runbefore");

    Advance(999);
    EXPECT_TRUE(start.boxes.Shown().empty());
    Advance(1);
    ASSERT_EQ(start.boxes.Shown().size(), 1u);
    EXPECT_TRUE(StartsWith(start.boxes.Texts()[0], kFirstRunStart)) << Utf8(start.boxes.Texts()[0]);
    EXPECT_TRUE(dbtest::FirstRunValuePresent());
    std::vector<std::string> saved = start.SavedLines();
    ASSERT_EQ(saved.size(), battle::kDataBaseLines);
    EXPECT_EQ(saved[CellLine(0, 0)], "runbefore");

    // A millisecond later the table is saved once more.
    f->Table().SetCell(12, 201, "77");
    Advance(1);
    EXPECT_EQ(start.SavedLines()[CellLine(12, 201)], "77");
    Advance(5000);
    EXPECT_EQ(start.boxes.Shown().size(), 1u);
}

TEST(DatabaseWindow, SecondStartSavesWithoutAWord) {
    dbtest::SetFirstRunValue(true);
    DatabaseStart start;
    start.form->Table().SetCell(12, 202, "55");
    Advance(1001);
    EXPECT_TRUE(start.boxes.Shown().empty());
    EXPECT_EQ(start.SavedLines()[CellLine(12, 202)], "55");
}

TEST(DatabaseWindow, AShortDatabaseIsToldAndNeverSavedOverByTheStart) {
    for (bool firstRun : {false, true}) {
        dbtest::SetFirstRunValue(!firstRun);
        scratch::Folder source({"DataBase.dat"});
        std::vector<std::string> lines = scratch::Lines(source.Read("DataBase.dat"));
        lines.resize(1000);
        const std::string damaged = scratch::JoinCrLf(lines);

        DatabaseStart start({"lang.dat"});
        start.folder.Write("DataBase.dat", damaged);
        start.boxes.Clear();
        start.form->Button2Click(nullptr);
        ASSERT_EQ(start.boxes.Shown().size(), 1u);
        EXPECT_NE(start.boxes.Texts()[0].find("DataBase.dat"), std::string::npos) << Utf8(start.boxes.Texts()[0]);
        EXPECT_FALSE(start.form->LoadComplete());
        EXPECT_EQ(start.form->Table().Cell(0, 1), lines[battle::kColCount]);  // what was there is shown
        EXPECT_EQ(start.form->Table().Cell(5, 300), "");

        Advance(1001);
        EXPECT_EQ(start.folder.Read("DataBase.dat"), damaged);
        // The load's message was the one word on the file; the first run adds its notice.
        std::vector<std::string> texts = start.boxes.Texts();
        ASSERT_EQ(texts.size(), firstRun ? 2u : 1u);
        if (firstRun) EXPECT_TRUE(StartsWith(texts[1], kFirstRunStart));
        EXPECT_EQ(dbtest::FirstRunValuePresent(), true);
    }
}

TEST(DatabaseWindow, MissingFilesAreToldAndNothingIsWritten) {
    dbtest::SetFirstRunValue(true);
    DatabaseStart start(std::vector<std::string>{});
    std::vector<std::string> texts = start.boxes.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_NE(texts[0].find("DataBase.dat"), std::string::npos) << Utf8(texts[0]);
    EXPECT_NE(texts[1].find("lang.dat"), std::string::npos) << Utf8(texts[1]);
    EXPECT_FALSE(start.form->LoadComplete());
    Advance(2000);
    EXPECT_FALSE(start.folder.Exists("DataBase.dat"));
    EXPECT_EQ(start.boxes.Shown().size(), 2u);

    // Export and import of a file that is not there are told too.
    start.folder.Write("DataBase.dat", "");
    start.form->Timer6->SetEnabled(true);
    Advance(1000);
    EXPECT_EQ(start.boxes.Shown().size(), 3u);
    EXPECT_NE(start.boxes.Texts()[2].find("expinp.shp"), std::string::npos);
    EXPECT_FALSE(Application->Terminated());
}

TEST(DatabaseWindow, LangCaptionsGoToTheMainWindowInOrder) {
    DatabaseStart start;
    start.form->Timer3->SetEnabled(false);
    start.boxes.Clear();
    start.form->Button2Click(nullptr);  // the main window exists now
    std::vector<std::string> lang = scratch::Lines(start.folder.Read("lang.dat"));
    ASSERT_GE(lang.size(), 33u);
    TFakeMainWindow* m = start.main;
    EXPECT_EQ(m->Caption(), lang[0]);
    EXPECT_EQ(m->Item("N1")->Caption(), lang[1]);
    EXPECT_EQ(m->Item("N11")->Caption(), lang[7]);
    EXPECT_EQ(m->Item("O1")->Caption(), lang[13]);
    EXPECT_EQ(m->Item("N19")->Caption(), lang[18]);
    EXPECT_EQ(m->RadioGroup1->Caption(), lang[19]);
    EXPECT_EQ(m->RadioGroup1->Items()->Get(0), lang[20]);
    EXPECT_EQ(m->RadioGroup1->Items()->Get(1), lang[21]);
    EXPECT_EQ(m->Control("Button1")->Caption(), lang[22]);
    EXPECT_EQ(m->Control("Button3")->Caption(), lang[22]);
    EXPECT_EQ(m->Control("Button4")->Caption(), lang[23]);
    EXPECT_EQ(m->Control("Label3")->Caption(), lang[24]);
    EXPECT_EQ(m->Control("Label2")->Caption(), lang[25]);
    EXPECT_EQ(m->Control("Button5")->Caption(), lang[26]);
    EXPECT_EQ(m->Control("Button6")->Caption(), lang[27]);
    EXPECT_EQ(m->Item("N31")->Caption(), lang[30]);
    EXPECT_EQ(m->Item("N23")->Caption(), lang[32]);
    EXPECT_TRUE(start.boxes.Shown().empty());

    // A short file sets what it has and says so; the rest keep their captions.
    start.folder.Write("lang.dat", scratch::JoinCrLf({"Окно", "Файл"}));
    m->Item("N7")->SetCaption("Новый бой");
    start.form->Button2Click(nullptr);
    EXPECT_EQ(m->Caption(), "Окно");
    EXPECT_EQ(m->Item("N1")->Caption(), "Файл");
    EXPECT_EQ(m->Item("N7")->Caption(), "Новый бой");
    ASSERT_EQ(start.boxes.Shown().size(), 1u);
    EXPECT_NE(start.boxes.Texts()[0].find("lang.dat"), std::string::npos);
}

TEST(DatabaseWindow, AMainWindowWithFewControlsTakesTheCaptionsItHas) {
    scratch::Folder folder({"DataBase.dat", "lang.dat"});
    vcltest::MessageBoxes boxes;
    auto* main = NewForm<TForm>(nullptr);
    main->SetName("Form1");
    TButton* start = Declare<TButton>(main, "Button5");
    auto* form = NewForm<TForm4>(nullptr);
    form->Timer3->SetEnabled(false);
    std::vector<std::string> lang = scratch::Lines(folder.Read("lang.dat"));
    EXPECT_EQ(start->Caption(), lang[26]);
    EXPECT_TRUE(boxes.Shown().empty());
    form->Free();
    main->Free();
}

TEST(DatabaseWindow, ButtonsEditSaveReloadAndFillDefaults) {
    dbtest::SetFirstRunValue(true);
    DatabaseStart start;
    TForm4* f = start.form;
    f->Timer3->SetEnabled(false);
    const std::string original = start.folder.Read("DataBase.dat");
    const std::string name = f->Table().Cell(2, 201);
    ASSERT_FALSE(f->Table().Cell(30 + 202, 201).empty());

    // Fill defaults: kinds and names stay, values from column 12 on are "0"; nothing saved.
    f->Table().SetCell(40, 201, "5");
    vcltest::Click(f->Button3);
    EXPECT_EQ(f->Table().Cell(2, 201), name);
    EXPECT_EQ(f->Table().Cell(40, 201), "0");
    EXPECT_EQ(f->Table().Cell(0, 600), "600");
    EXPECT_EQ(f->datatable->Cells(40, 201), "0");
    EXPECT_EQ(start.folder.Read("DataBase.dat"), original);

    // "загрузить" gives the file back.
    vcltest::Click(f->Button2);
    EXPECT_EQ(start.folder.Read("DataBase.dat"), original);
    EXPECT_EQ(scratch::JoinCrLf(scratch::Lines(original)).size(), original.size());
    EXPECT_EQ(f->Table().Cell(40, 201), scratch::Lines(original)[CellLine(40, 201)]);

    // A cell edited in the grid is a cell of the table; "сохранит." writes it.
    f->datatable->SetCells(2, 201, "Крейсер-2");
    EXPECT_EQ(f->Table().Cell(2, 201), "Крейсер-2");
    vcltest::Click(f->Button1);
    EXPECT_EQ(start.SavedLines()[CellLine(2, 201)], "Крейсер-2");
    EXPECT_TRUE(start.boxes.Shown().empty());

    // Typed into a cell by the player, too.
    f->Show();
    f->datatable->SetFocus();
    f->datatable->SetCurrent(8, 203);
    f->datatable->ShowEditor();
    ASSERT_TRUE(f->datatable->EditorShowing());
    vcltest::TypeText(f->datatable->InplaceEditor(), "4321");
    vcltest::PressKey(f->datatable->InplaceEditor(), VK_RETURN);
    EXPECT_FALSE(f->datatable->EditorShowing());
    EXPECT_EQ(f->Table().Cell(8, 203), "4321");

    // A rapid fire no battle could bear is told and not taken; the bound itself is.
    const std::string rapidFire = f->Table().Cell(30 + 202, 201);
    f->datatable->SetCurrent(30 + 202, 201);
    f->datatable->ShowEditor();
    vcltest::TypeText(f->datatable->InplaceEditor(), "50000");
    vcltest::PressKey(f->datatable->InplaceEditor(), VK_RETURN);
    EXPECT_EQ(f->Table().Cell(30 + 202, 201), rapidFire);
    ASSERT_EQ(start.boxes.Shown().size(), 1u);
    EXPECT_NE(start.boxes.Texts()[0].find("Строка 201, столбец 232: «Скорострел по»: «50000» - должно быть целым "
                                          "числом от 0 до 10000. Значение не принято."),
              std::string::npos)
        << Utf8(start.boxes.Texts()[0]);
    f->datatable->SetCells(30 + 202, 201, "10000");
    EXPECT_EQ(f->Table().Cell(30 + 202, 201), "10000");
    EXPECT_EQ(start.boxes.Shown().size(), 1u);
    // Every other cell by its rule too: metal that is no number is told, a number is kept in one form.
    const std::string metal = f->Table().Cell(battle::kColMetal, 201);
    f->datatable->SetCells(battle::kColMetal, 201, "4OOO");
    EXPECT_EQ(f->Table().Cell(battle::kColMetal, 201), metal);
    EXPECT_EQ(start.boxes.Shown().size(), 2u);
    f->datatable->SetCells(battle::kColMetal, 201, " +05");
    EXPECT_EQ(f->Table().Cell(battle::kColMetal, 201), "5");
}

TEST(DatabaseWindow, AFailedSaveIsToldAndTheOldFileStays) {
    dbtest::SetFirstRunValue(true);
    DatabaseStart start;
    start.form->Timer3->SetEnabled(false);
    // A folder where the database should go cannot be replaced.
    std::remove(start.folder.Path("DataBase.dat").c_str());
    mkdir(start.folder.Path("DataBase.dat").c_str(), 0755);
    vcltest::Click(start.form->Button1);
    ASSERT_EQ(start.boxes.Shown().size(), 1u);
    EXPECT_NE(start.boxes.Texts()[0].find("DataBase.dat"), std::string::npos) << Utf8(start.boxes.Texts()[0]);
    struct stat info {};
    ASSERT_EQ(stat(start.folder.Path("DataBase.dat").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    rmdir(start.folder.Path("DataBase.dat").c_str());
}

TEST(DatabaseWindow, ExportThenAMalformedImportKeepsTheProgramAndTheFile) {
    dbtest::SetFirstRunValue(true);
    DatabaseStart start;
    TForm4* f = start.form;
    f->Timer3->SetEnabled(false);
    f->Timer5->SetEnabled(true);
    Advance(1000);
    EXPECT_FALSE(f->Timer5->Enabled());
    std::vector<std::string> exported = scratch::Lines(start.folder.Read("expinp.shp"));
    ASSERT_GT(exported.size(), 30u);
    EXPECT_EQ(exported[0], f->Table().Cell(1, 0));
    EXPECT_EQ(exported[1], "1");  // the first used row opens the first block

    // A row line that is not a number stops the import with its line number.
    const std::string before = start.folder.Read("DataBase.dat");
    std::vector<std::string> broken(exported.begin(), exported.begin() + 1);
    broken.push_back("первая");
    start.folder.Write("expinp.shp", scratch::JoinCrLf(broken));
    f->Timer6->SetEnabled(true);
    Advance(1000);
    EXPECT_FALSE(f->Timer6->Enabled());
    ASSERT_EQ(start.boxes.Shown().size(), 1u);
    EXPECT_NE(start.boxes.Texts()[0].find("2"), std::string::npos) << Utf8(start.boxes.Texts()[0]);
    EXPECT_EQ(start.folder.Read("DataBase.dat"), before);
    EXPECT_FALSE(Application->Terminated());
}
