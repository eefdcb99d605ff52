// The spy-report analysis, the online rapid-fire comparison and the update
// search in the running program's windows, against an HTTPS server on
// 127.0.0.1 that the test starts with a certificate made for it.
#include "support/program_fixture.h"
#include "support/http_server.h"
#include "support/scratch_folder.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "battle/datatable.h"
#include "rtl/encoding.h"
#include "rtl/weblink.h"
#include "windows/analis.h"
#include "windows/tehno.h"
#include "windows/core/spyreport.h"
#include "windows/core/websites.h"
#include "windows/dataform.h"
#include "windows/inputname2.h"
#include "windows/obno.h"
#include "windows/obnov.h"
#include "windows/onlinesverkaunit.h"
#include "windows/opt.h"

using namespace vcl;
using programtest::Boxes;
using vcltest::Advance;
using vcltest::MemoLines;
using vcltest::Utf8;

namespace {

// Waits (in real time, bounded) until the browser has its page.
void WaitForPage(TWebBrowser* browser) {
    for (int i = 0; i < 1000 && browser->Busy(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_FALSE(browser->Busy()) << "the page did not come";
}

class Windows : public ::testing::Test {
protected:
    void SetUp() override {
        form = programtest::StartProgram();
        programtest::NewBattle(form);
        Advance(2000);  // the report analyser's unit table, 4 s after start
    }
    battle::DataTable& Table() { return Form4->Table(); }
    const std::string& Name(int row) { return Table().Cell(battle::kColName, row); }
    std::vector<std::string> Texts() const { return Boxes().Texts(); }
    // The side-2 ship editor's row of a unit.
    int ShipLine(const std::string& name) const {
        for (int row = 1; row <= form->ValueListEditor4->Count(); ++row)
            if (form->ValueListEditor4->Keys(row) == name) return row;
        ADD_FAILURE() << Utf8(name);
        return 1;
    }
    int UnitRow(const std::string& name) { return form->ShipRows()[static_cast<size_t>(ShipLine(name) - 1)]; }
    // tihnics.dat as the technology editor writes it.
    void WriteTechNames() {
        std::string text = "Оружейная технология\r\nТехнология брони\r\nЩитовая технология\r\n";
        for (int row = battle::kTechFirstRow; row <= battle::kTechLastRow; ++row)
            if (Table().Cell(battle::kColKind, row) == battle::kKindTech)
                text += Table().Cell(battle::kColSpyName, row) + "\r\n";
        scratch::WriteFile(programtest::InFolder(kTechNamesFile), text);
    }
    void Analyse(const std::vector<std::string>& report) {
        Form18->Show();
        Form18->Memo1->Lines()->Clear();
        Form18->Memo1->Lines()->AddStrings(report);
        vcltest::Click(Form18->Button1);
    }

    TForm1* form = nullptr;
};

const std::vector<std::string> kHeading = {"Шпионский доклад с планеты Тест [1:2:3]", "на 12.05 10:00:00",
                                           "Металл: 10000 Минералы: 5000", "Ресурсы"};

std::vector<std::string> WithHeading(std::vector<std::string> body) {
    body.insert(body.begin(), kHeading.begin(), kHeading.end());
    return body;
}

}  // namespace

TEST_F(Windows, ASpyReportBecomesSideTwoWithItsAlliedFleetAsANewParticipant) {
    WriteTechNames();
    Analyse(WithHeading({"Флот", "Штурмовик Гадюка 100", "Крейсер Минотавр 5", "Муталиск 65536",
                         "Обороняющий флот", "Муталиск 30", "Оборона", "Ракетная установка 50",
                         "Лазерная турель 20", "Постройки", "Бункер 3", "Кислотный бассейн 5", "Исследования",
                         "Оружие терранов 8", "Технология брони 4"}));

    EXPECT_FALSE(Form18->Visible());
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Невозможно обработать строку: Муталиск 65536"}));
    ASSERT_EQ(form->ListBox2->Items()->Count(), 2);
    EXPECT_EQ(form->ListBox2->Items()->Get(1), "Обороняющий флот");
    EXPECT_EQ(form->CurPart[2], 0);
    auto* ships = form->ValueListEditor4;
    EXPECT_EQ(ships->Values(ShipLine("Штурмовик Гадюка")), "100");
    EXPECT_EQ(ships->Values(ShipLine("Крейсер Минотавр")), "5");
    EXPECT_EQ(ships->Values(ShipLine("Муталиск")), "0");
    EXPECT_EQ(ships->Values(ShipLine("Ракетная установка")), "50");
    EXPECT_EQ(ships->Values(ShipLine("Лазерная турель")), "20");
    EXPECT_EQ(ships->Values(ShipLine("Бункер")), "3");
    EXPECT_EQ(form->ValueListEditor6->Values(4), "5");  // the acid pool
    EXPECT_EQ(form->ValueListEditor5->Values(2), "4");  // armour, the second of the fixed three
    int terran = 0;
    for (int row = 1; row <= form->ValueListEditor5->Count(); ++row)
        if (form->ValueListEditor5->Keys(row) == "Оружие терранов") terran = row;
    ASSERT_GT(terran, 0);
    EXPECT_EQ(form->ValueListEditor5->Values(terran), "8");

    // The allied fleet went to the new participant's arrays only.
    form->saveships(form->CurPart[1], form->CurPart[2]);
    EXPECT_EQ(form->Input().ShipCount[2][1][UnitRow("Муталиск")], 30u);
    EXPECT_EQ(form->Input().ShipCount[2][1][UnitRow("Штурмовик Гадюка")], 0u);
    EXPECT_EQ(form->Input().ShipCount[2][0][UnitRow("Штурмовик Гадюка")], 100u);
}

TEST_F(Windows, ASeventhParticipantIsRefusedAndTheAlliedFleetOverwritesNoOne) {
    WriteTechNames();
    for (int i = 0; i < 5; ++i) {
        Form12->Edit1->SetText("Союзник " + std::to_string(i));
        form->addnew2Timer(nullptr);
    }
    ASSERT_EQ(form->Input().PartCount[2], 6);
    vcltest::SelectItem(form->ListBox2, 0);
    Boxes().Clear();
    Analyse(WithHeading({"Штурмовик Гадюка 7", "Обороняющий флот", "Муталиск 30", "Оборона"}));

    EXPECT_EQ(Texts(), (std::vector<std::string>{"Достигнут предел количества участников САБ"}));
    EXPECT_EQ(form->ListBox2->Items()->Count(), 6);
    EXPECT_EQ(form->CurPart[2], 0);
    EXPECT_EQ(form->ValueListEditor4->Values(ShipLine("Штурмовик Гадюка")), "7");
    EXPECT_EQ(form->ValueListEditor4->Values(ShipLine("Муталиск")), "0");
    form->saveships(form->CurPart[1], form->CurPart[2]);
    for (int part = 1; part < 6; ++part) EXPECT_EQ(form->Input().ShipCount[2][part][UnitRow("Муталиск")], 0u);
}

TEST_F(Windows, WithoutTheTechnologyNamesTheAnalysisStopsAtResearchKeepingWhatCameBefore) {
    unlink(programtest::InFolder(kTechNamesFile).c_str());
    Analyse(WithHeading({"Оборона", "Ракетная установка 12", "Постройки", "Исследования", "Оружие терранов 8"}));
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find(kTechNamesFile), std::string::npos) << Utf8(Texts()[0]);
    EXPECT_EQ(form->ValueListEditor4->Values(ShipLine("Ракетная установка")), "12");
    EXPECT_FALSE(Form18->Visible());
}

// Headings copied with a blank after them still end their sections; a report
// that gives nothing is told and stays in the window; any number of unreadable
// lines is one message.
TEST_F(Windows, TheReportIsReadWithBlankedHeadingsAndWhatCannotBeReadIsTold) {
    WriteTechNames();
    Analyse(WithHeading({"Штурмовик Гадюка 4", "Оборона ", "Ракетная установка 6", "Постройки ", "Кислотный бассейн 3",
                         "Исследования ", "Оружие терранов 9"}));
    EXPECT_TRUE(Texts().empty()) << Utf8(Texts()[0]);
    EXPECT_FALSE(Form18->Visible());
    EXPECT_EQ(form->ValueListEditor4->Values(ShipLine("Ракетная установка")), "6");
    EXPECT_EQ(form->ValueListEditor6->Values(4), "3");  // the acid pool
    int terran = 0;
    for (int row = 1; row <= form->ValueListEditor5->Count(); ++row)
        if (form->ValueListEditor5->Keys(row) == "Оружие терранов") terran = row;
    ASSERT_GT(terran, 0);
    EXPECT_EQ(form->ValueListEditor5->Values(terran), "9");

    programtest::NewBattle(form);
    for (const std::vector<std::string>& report :
         {std::vector<std::string>{"Espionage report", "Planet Test [1:2:3]", "Fleet", "Light Fighter 5", "Defense",
                                   "Rocket Launcher 3"},
          std::vector<std::string>{"Шпионский доклад", "Флот", "Штурмовик Гадюка 4"},
          std::vector<std::string>{"qwe", "asd", "zxc", "rty", "fgh", "vbn"}}) {
        Boxes().Clear();
        Analyse(report);
        EXPECT_EQ(Texts(), std::vector<std::string>{spy::kNothingRecognised}) << Utf8(report[0]);
        EXPECT_TRUE(Form18->Visible());
        EXPECT_EQ(MemoLines(Form18->Memo1), report);
        EXPECT_EQ(form->ValueListEditor4->Values(ShipLine("Штурмовик Гадюка")), "0");
    }

    std::vector<std::string> unreadable = {"Штурмовик Гадюка 2"};
    for (int i = 0; i < 300; ++i) unreadable.push_back("Ракетная установка x" + std::to_string(i));
    Boxes().Clear();
    Analyse(WithHeading(unreadable));
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].rfind("Невозможно обработать строк: 300.\n", 0), 0u) << Utf8(Texts()[0]);
    EXPECT_NE(Texts()[0].find("\nРакетная установка x0\n"), std::string::npos) << Utf8(Texts()[0]);
    EXPECT_EQ(form->ValueListEditor4->Values(ShipLine("Штурмовик Гадюка")), "2");
    EXPECT_FALSE(Form18->Visible());

    // Nothing but unreadable lines: told, and the report stays to be mended.
    Boxes().Clear();
    Analyse(WithHeading({"Ракетная установка x", "Ракетная установка 70000"}));
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].rfind("Невозможно обработать строк: 2.\n", 0), 0u) << Utf8(Texts()[0]);
    EXPECT_TRUE(Form18->Visible());
}

// The analyser's unit table is built once at start, the side-2 editors on
// every "Новый бой", and tihnics.dat on every listing of the technology
// editor: a unit or technology deleted since puts the lists apart, and each
// value still goes to its own unit and technology.
TEST_F(Windows, AfterDeletionsAReportsValuesGoToTheirOwnUnitAndTechnology) {
    const std::vector<uint16_t> ships = form->ShipRows();
    const int deletedUnit = ships[1], unit = ships[2];
    std::vector<int> techs;
    for (int row = battle::kTechFirstRow; row <= battle::kTechLastRow; ++row)
        if (Table().Cell(battle::kColKind, row) == battle::kKindTech && !Table().Cell(battle::kColSpyName, row).empty())
            techs.push_back(row);
    ASSERT_GE(techs.size(), 2u);
    const int deletedTech = techs[0], tech = techs[1];

    Table().SetCell(battle::kColKind, deletedUnit, battle::kKindFree);
    programtest::NewBattle(form);
    Form26->Timer1Timer(nullptr);
    vcltest::SelectItem(Form26->ListBox1, static_cast<int>(std::find(Form26->Rows().begin(), Form26->Rows().end(),
                                                                     deletedTech) - Form26->Rows().begin()));
    vcltest::Click(Form26->Button3);
    Advance(1000);  // listed again: tihnics.dat no longer names it
    ASSERT_EQ(std::find(Form26->Rows().begin(), Form26->Rows().end(), deletedTech), Form26->Rows().end());
    Boxes().Clear();

    Analyse(WithHeading({Name(unit) + " 11", "Оборона", "Постройки", "Исследования",
                         Table().Cell(battle::kColSpyName, tech) + " 6"}));
    EXPECT_TRUE(Texts().empty()) << Utf8(Texts()[0]);
    const std::vector<uint16_t> shown = form->ShipRows();
    for (size_t k = 0; k < shown.size(); ++k)
        EXPECT_EQ(form->ValueListEditor4->Values(static_cast<int>(k) + 1), shown[k] == unit ? "11" : "0")
            << Utf8(Name(shown[k]));
    const std::vector<uint16_t> techLines = form->TechEntryRows();
    for (size_t k = 0; k < techLines.size(); ++k)
        EXPECT_EQ(form->ValueListEditor5->Values(static_cast<int>(k) + 1), techLines[k] == tech ? "6" : "0") << k;

    Table().SetCell(battle::kColKind, deletedUnit, battle::kKindUnit);
    Table().SetCell(battle::kColKind, deletedTech, battle::kKindTech);
    Form26->Timer1Timer(nullptr);
}

namespace {

// A unit page as the game's site writes it, its letters as character references.
std::string UnitPage(const std::string& title, const std::vector<std::string>& entries, bool late = false) {
    std::string page = "<html><head><title>" + title + "</title></head><body>\n<h1>" + title + "</h1>\n";
    std::string marker;
    for (char16_t c : rtl::Cp1251ToUtf16("Скорострел")) marker += "&#" + std::to_string(c) + ";";
    page += "<table><tr><th>" + marker + "</th></tr></table>\n";
    if (late) page += "<p>&nbsp;</p>\n";
    page += "<div class=\"rf\">";
    for (const std::string& e : entries) page += e + "<br>\n";
    return rtl::Cp1251ToUtf8(page + "</div>\n</body></html>\n");
}

std::string Entry(int target, const std::string& name, int value) {
    return "по <a href=\"infos.php?gid=" + std::to_string(target) + "&notopnav=true\">" + name + "</a> <b>" +
           std::to_string(value) + "</b>";
}

std::string UnitPath(int row) { return "/infos.php?gid=" + std::to_string(row) + "&notopnav=true"; }

class Comparison : public Windows {
protected:
    void SetUp() override {
        Windows::SetUp();
        for (const char* file : {"Ansi.dat", "unicode.dat"})
            scratch::WriteFile(programtest::InFolder(file), scratch::ReadFile(scratch::SourceData(file)));
        web::SetGameSite(server.Address());
        w = onlinesverka;
        w->Show();
        w->Memo2->Lines()->Clear();
        w->Memo3->Lines()->Clear();
    }
    void TearDown() override {
        w->Timer1->SetEnabled(false);
        w->Timer2->SetEnabled(false);
        w->WebBrowser1->SetLimits({});
    }
    // Rapid fire of `row` only against the targets given.
    void SetRapidFire(int row, const std::vector<std::pair<int, const char*>>& values) {
        for (int target = battle::kUnitFirstRow; target <= battle::kUnitLastRow; ++target)
            Table().SetCell(battle::kColRapidFire + target, row, "0");
        for (const auto& [target, value] : values) Table().SetCell(battle::kColRapidFire + target, row, value);
    }
    // One unit of the walk: its page requested, loaded and compared.
    void NextUnit() {
        Advance(1000);
        WaitForPage(w->WebBrowser1);
        Advance(5000);
    }
    testhttp::TestAuthority authority;
    testhttp::Server server{authority.Issue("127.0.0.1")};
    Tonlinesverka* w = nullptr;
};

}  // namespace

TEST_F(Comparison, TheWalkLogsAndQueuesTheDifferencesAndApplyingSavesThem) {
    const int first = form->ShipRows()[0], second = form->ShipRows()[1], third = form->ShipRows()[2];
    const int viper = UnitRow("Штурмовик Гадюка"), rocket = UnitRow("Ракетная установка");
    SetRapidFire(first, {{viper, "3"}, {rocket, "5"}});
    SetRapidFire(second, {{viper, "2"}});
    server.Set(UnitPath(first), {UnitPage(Name(first), {Entry(viper, "Гадюка", 3), Entry(third, Name(third), 4)})});
    // A rapid fire beyond what a battle can bear or below 0 is logged and queued, but not applied.
    testhttp::Page slow{UnitPage(Name(second), {Entry(first, Name(first), 20000), Entry(third, Name(third), -3)})};
    slow.delayMs = 1500;
    server.Set(UnitPath(second), slow);
    testhttp::Page failing;
    failing.status = 500;
    server.Set(UnitPath(third), failing);

    vcltest::Click(w->Button1);
    NextUnit();
    const std::string unit = Name(first);
    EXPECT_EQ(MemoLines(w->Memo2),
              (std::vector<std::string>{Name(viper) + "-->Гадюка", unit + " по " + Name(third) + "  0-->4",
                                        unit + " по " + Name(rocket) + "  5--> 0"}));
    EXPECT_EQ(MemoLines(w->Memo3), (std::vector<std::string>{std::to_string(first), std::to_string(third), "4",
                                                             std::to_string(first), std::to_string(rocket), "0"}));

    // The slow page: the ticks while it loads do nothing.
    Advance(1000);
    EXPECT_EQ(w->CheckRow, second);
    EXPECT_TRUE(w->WebBrowser1->Busy());
    Advance(5000);
    EXPECT_TRUE(w->Timer2->Enabled());
    WaitForPage(w->WebBrowser1);
    Advance(5000);
    EXPECT_FALSE(w->Timer2->Enabled());
    EXPECT_EQ(MemoLines(w->Memo2).back(), Name(second) + " по " + Name(viper) + "  2--> 0");
    EXPECT_EQ(MemoLines(w->Memo2).size(), 6u);

    // A page the site answers with an error (500 here, 404 for the other
    // units) is never taken for one that matches: it is logged, and the walk
    // goes on to its end, which it announces.
    while (w->CheckRow < online::kWalkEnd && (w->Timer1->Enabled() || w->Timer2->Enabled())) NextUnit();
    EXPECT_EQ(w->CheckRow, online::kWalkEnd);
    EXPECT_EQ(w->G23->Progress(), online::kWalkEnd);
    const size_t failed = form->ShipRows().size() - 2;
    ASSERT_EQ(MemoLines(w->Memo2).size(), 6u + failed);
    EXPECT_EQ(MemoLines(w->Memo2)[6],
              "«" + Name(third) + "» (" + server.Address() + UnitPath(third).substr(1) +
                  "): страница не загружена: ответ сервера 500");
    EXPECT_NE(MemoLines(w->Memo2).back().find("ответ сервера 404"), std::string::npos);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Сверка скорострелов окончена. Сверено страниц: 2, изменений найдено: 5."
                                                "\nНе загружено страниц: " +
                                                std::to_string(failed) +
                                                ".\nКакие именно, сказано в логе изменений."});
    Boxes().Clear();
    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), form->ShipRows().size());
    EXPECT_EQ(requests[0], UnitPath(first));
    EXPECT_EQ(requests.back(), UnitPath(form->ShipRows().back()));

    const std::string rapidFireOfSecond = Table().Cell(battle::kColRapidFire + first, second);
    vcltest::Click(w->Button2);
    EXPECT_TRUE(MemoLines(w->Memo3).empty());
    ASSERT_EQ(MemoLines(w->Memo2).size(), 8u + failed);
    EXPECT_EQ(MemoLines(w->Memo2).back(),
              Name(second) + " по " + Name(third) +
                  "  -3 не применено: «Скорострел по»: «-3» - должно быть целым числом от 0 до 10000");
    const std::string refusal = MemoLines(w->Memo2)[6u + failed];
    EXPECT_EQ(refusal.rfind(Name(second) + " по " + Name(first) + "  20000 не применено: ", 0), 0u) << Utf8(refusal);
    EXPECT_NE(refusal.find(std::to_string(battle::kMaxRapidFire)), std::string::npos) << Utf8(refusal);
    EXPECT_EQ(Table().Cell(battle::kColRapidFire + first, second), rapidFireOfSecond);
    EXPECT_EQ(Table().Cell(battle::kColRapidFire + third, first), "4");
    EXPECT_EQ(Table().Cell(battle::kColRapidFire + rocket, first), "0");
    EXPECT_EQ(Table().Cell(battle::kColRapidFire + viper, second), "0");
    const std::vector<std::string> saved = scratch::Lines(scratch::ReadFile(programtest::InFolder("DataBase.dat")));
    ASSERT_EQ(saved.size(), static_cast<size_t>(battle::kRowCount * battle::kColCount));
    EXPECT_EQ(saved[static_cast<size_t>(first) * battle::kColCount + battle::kColRapidFire + third], "4");
    EXPECT_EQ(saved[static_cast<size_t>(second) * battle::kColCount + battle::kColRapidFire + viper], "0");
    EXPECT_EQ(saved[static_cast<size_t>(second) * battle::kColCount + battle::kColRapidFire + first], rapidFireOfSecond);
}

TEST_F(Comparison, StartingAgainRestartsAnUnsavedPageIsSkippedAndBadEntriesAreToldWithTheirUnit) {
    const int first = form->ShipRows()[0], second = form->ShipRows()[1], third = form->ShipRows()[2];
    SetRapidFire(first, {});
    SetRapidFire(second, {});
    server.Set(UnitPath(first), {UnitPage(Name(first), {Entry(second, Name(second), 6)})});
    // A target that is no row of the database, a value that is no number,
    // and a sound entry after them on the same page.
    std::string many = Entry(first, Name(first), 1);
    many.replace(many.rfind("<b>1</b>"), 8, "<b>много</b>");
    server.Set(UnitPath(second), {UnitPage(Name(second), {Entry(700, "x", 1), many, Entry(third, Name(third), 2)})});

    vcltest::Click(w->Button1);
    Advance(1000);
    vcltest::Click(w->Button1);  // while the first page is waited for
    EXPECT_FALSE(w->Timer2->Enabled());
    EXPECT_EQ(w->CheckRow, online::kWalkStart);

    // The scratch file cannot be written: the unit is skipped, not read from an older file.
    unlink(programtest::InFolder(online::kPageFile).c_str());
    mkdir(programtest::InFolder(online::kPageFile).c_str(), 0755);
    w->Memo1->Lines()->Clear();
    NextUnit();
    rmdir(programtest::InFolder(online::kPageFile).c_str());
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Fail to save HTML source"}));
    EXPECT_TRUE(MemoLines(w->Memo1).empty());
    EXPECT_TRUE(MemoLines(w->Memo2).empty());
    EXPECT_TRUE(w->Timer1->Enabled());

    Boxes().Clear();
    NextUnit();  // the second unit: the sound entry is compared, the walk goes on
    EXPECT_TRUE(Texts().empty()) << Utf8(Texts()[0]);
    const std::string page = "«" + Name(second) + "» (infos.php?gid=" + std::to_string(second) + "&notopnav=true): ";
    const std::vector<std::string> log = MemoLines(w->Memo2);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], Name(second) + " по " + Name(third) + "  0-->2");
    EXPECT_EQ(log[1].rfind(page, 0), 0u) << Utf8(log[1]);
    EXPECT_NE(log[1].find("gid=700"), std::string::npos) << Utf8(log[1]);
    EXPECT_EQ(log[2], page + "'много' не является целым числом");
    EXPECT_EQ(MemoLines(w->Memo3),
              (std::vector<std::string>{std::to_string(second), std::to_string(third), "2"}));
    EXPECT_TRUE(w->Timer1->Enabled());
    EXPECT_EQ(w->CheckRow, second);

    // The hidden button loads the current page again.
    server.Set(UnitPath(second), {UnitPage(Name(second), {Entry(first, Name(first), 1)})});
    w->Memo2->Lines()->Clear();
    vcltest::Click(w->Button4);
    NextUnit();
    EXPECT_EQ(MemoLines(w->Memo2), (std::vector<std::string>{Name(second) + " по " + Name(first) + "  0-->1"}));
    EXPECT_TRUE(w->Timer1->Enabled());
}

// A page the site answered but could not give whole (cut short, too large,
// redirected in a loop) is logged with its unit and skipped like an error
// page: the walk goes on to the units after it.
TEST_F(Comparison, APageCutShortTooLargeOrRedirectedInALoopIsSkippedAndTheWalkGoesOn) {
    const std::vector<int> rows(form->ShipRows().begin(), form->ShipRows().begin() + 4);
    for (int row : rows) SetRapidFire(row, {});
    testhttp::Page cut{UnitPage(Name(rows[0]), {Entry(rows[1], Name(rows[1]), 3)})};
    cut.cutAfter = cut.body.size() / 2;
    server.Set(UnitPath(rows[0]), cut);
    testhttp::Page loop{"", "text/html", 302};
    loop.location = UnitPath(rows[1]);
    server.Set(UnitPath(rows[1]), loop);
    server.Set(UnitPath(rows[2]), {UnitPage(Name(rows[2]), {Entry(rows[1], Name(rows[1]), 3)}) + std::string(8000, ' ')});
    server.Set(UnitPath(rows[3]), {UnitPage(Name(rows[3]), {Entry(rows[0], Name(rows[0]), 7)})});
    rtl::HttpLimits limits;
    limits.maxBytes = 8000;
    w->WebBrowser1->SetLimits(limits);

    vcltest::Click(w->Button1);
    for (int k = 0; k < 4; ++k) NextUnit();
    EXPECT_TRUE(Texts().empty()) << Utf8(Texts()[0]);
    auto failed = [&](int row, const std::string& why) {
        return "«" + Name(row) + "» (" + server.Address() + UnitPath(row).substr(1) + "): страница не загружена: " + why;
    };
    EXPECT_EQ(MemoLines(w->Memo2),
              (std::vector<std::string>{failed(rows[0], "страница пришла не вся: сервер оборвал соединение"),
                                        failed(rows[1], "перенаправления по кругу (больше 5)"),
                                        failed(rows[2], "страница слишком велика"),
                                        Name(rows[3]) + " по " + Name(rows[0]) + "  0-->7"}));
    EXPECT_EQ(MemoLines(w->Memo3), (std::vector<std::string>{std::to_string(rows[3]), std::to_string(rows[0]), "7"}));
    EXPECT_TRUE(w->Timer1->Enabled());
    EXPECT_EQ(w->CheckRow, rows[3]);
}

// A site that gives no answer at all (down, or closing the connection) or
// shows a certificate made for another name stops the walk at once with a
// message: nothing after it was compared.
TEST_F(Comparison, AStoppedSiteIsToldAndEndsTheWalk) {
    const int first = form->ShipRows()[0], second = form->ShipRows()[1];
    std::string stopped;
    {
        testhttp::Server gone;
        stopped = gone.Address();
    }
    web::SetGameSite(stopped);
    vcltest::Click(w->Button1);
    NextUnit();
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].rfind("Сверка скорострелов остановлена: сайт игры не отвечает (", 0), 0u) << Utf8(Texts()[0]);
    EXPECT_NE(Texts()[0].find(").\nСтраница юнита «" + Name(first) + "» (" + stopped + UnitPath(first).substr(1) +
                              ") не загружена.\n"),
              std::string::npos)
        << Utf8(Texts()[0]);
    EXPECT_FALSE(w->Timer1->Enabled());
    EXPECT_FALSE(w->Timer2->Enabled());
    EXPECT_EQ(w->CheckRow, first);
    ASSERT_EQ(MemoLines(w->Memo2).size(), 1u);
    EXPECT_EQ(MemoLines(w->Memo2)[0].rfind("Сверка остановлена, сайт игры не отвечает: «" + Name(first) + "»", 0), 0u);
    Advance(20000);
    EXPECT_EQ(w->CheckRow, first);

    // The same when the site closes the connection without an answer.
    Boxes().Clear();
    web::SetGameSite(server.Address());
    testhttp::Page closed;
    closed.closeAtOnce = true;
    server.Set(UnitPath(first), {UnitPage(Name(first), {})});
    server.Set(UnitPath(second), closed);
    vcltest::Click(w->Button1);
    NextUnit();
    NextUnit();
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find("«" + Name(second) + "»"), std::string::npos) << Utf8(Texts()[0]);
    EXPECT_FALSE(w->Timer1->Enabled());
    EXPECT_EQ(w->CheckRow, second);

    Boxes().Clear();
    testhttp::Server impostor(authority.Issue("game.example"));
    web::SetGameSite(impostor.Address());
    vcltest::Click(w->Button1);
    NextUnit();
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].rfind("Сверка скорострелов остановлена: сертификат сайта игры " + impostor.Address() +
                                   " не принят (сертификат сайта 127.0.0.1 не принят: сертификат выдан другому имени (",
                               0),
              0u)
        << Utf8(Texts()[0]);
    EXPECT_EQ(MemoLines(w->Memo2).back().rfind("Сверка остановлена, сертификат сайта игры " + impostor.Address() +
                                                   " не принят: «" + Name(first) + "»",
                                               0),
              0u)
        << Utf8(MemoLines(w->Memo2).back());
    EXPECT_FALSE(w->Timer1->Enabled());
    EXPECT_EQ(w->CheckRow, first);
    EXPECT_TRUE(impostor.Requests().empty());

    // A site with a login is asked nothing, and its password shows nowhere.
    Boxes().Clear();
    web::SetGameSite("https://player:secret@" + server.Address().substr(8));
    const size_t asked = server.Requests().size();
    vcltest::Click(w->Button1);
    NextUnit();
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].rfind("Сверка скорострелов остановлена: страницы сайта игры не загружаются (адрес https://player:***@", 0), 0u)
        << Utf8(Texts()[0]);
    EXPECT_NE(Texts()[0].find(" не загружен: загрузчик страниц не принимает логины)"), std::string::npos);
    ASSERT_FALSE(MemoLines(w->Memo2).empty());
    for (const auto& lines : {MemoLines(w->Memo2), Texts()})
        for (const std::string& text : lines) EXPECT_EQ(text.find("secret"), std::string::npos) << Utf8(text);
    EXPECT_EQ(server.Requests().size(), asked);
}

// The unit's page as the site would give it for the database as it stands,
// its block on the line after the marker or, with `lower`, one line lower.
std::string PageFromTable(battle::DataTable& table, int row, bool lower) {
    std::vector<std::string> entries;
    for (int target = online::kWalkStart; target <= online::kWalkEnd; ++target) {
        const std::string& value = table.Cell(battle::kColRapidFire + target, row);
        if (table.Cell(battle::kColKind, target) == battle::kKindUnit && value != "0")
            entries.push_back(Entry(target, table.Cell(battle::kColName, target), std::stoi(value)));
    }
    return UnitPage(table.Cell(battle::kColName, row), entries, lower);
}

// A page the cut cannot read, or one without the marker or with an empty
// block for a unit that has rapid fire, is told and queues nothing; a new walk forgets the last one's
// queue and log. Two walks that find nothing to change leave the saved
// database as it was, byte for byte.
TEST_F(Comparison, AnUnreadPageIsToldQueuesNothingAndEachWalkStartsEmpty) {
    std::vector<int> withRapidFire;
    for (uint16_t row : form->ShipRows())
        if (row <= online::kLateBlockRow && online::HasRapidFire(Table(), row)) withRapidFire.push_back(row);
    ASSERT_GE(withRapidFire.size(), 6u);
    const int lower = withRapidFire[0], plain = withRapidFire[1], changed = withRapidFire[2],
              emptied = withRapidFire[3], cut = withRapidFire[4], nested = withRapidFire[5];
    Form4->Button1Click(nullptr);
    const std::string saved = scratch::ReadFile(programtest::InFolder("DataBase.dat"));

    for (uint16_t row : form->ShipRows()) server.Set(UnitPath(row), {PageFromTable(Table(), row, false)});
    server.Set(UnitPath(lower), {PageFromTable(Table(), lower, true)});
    server.Set(UnitPath(plain), {"<html><body>\n<p>Технические работы</p>\n</body></html>\n"});
    server.Set(UnitPath(emptied), {UnitPage(Name(emptied), {})});
    // The page ends inside its block; the entries stand in divs of their own.
    const std::string whole = PageFromTable(Table(), cut, false);
    server.Set(UnitPath(cut), {whole.substr(0, whole.find("<br>") + 4)});
    std::string divs = PageFromTable(Table(), nested, false);
    size_t entriesOfNested = 0;
    for (size_t at = divs.find("<br>\n"); at != std::string::npos; at = divs.find("<br>\n", at + 5), ++entriesOfNested)
        divs.replace(at, 5, "<br></div>\n<div>");
    divs.insert(divs.find("<div class=\"rf\">") + 16, "\n<div>");
    server.Set(UnitPath(nested), {divs});
    const std::string old = Table().Cell(battle::kColRapidFire + lower, changed);
    Table().SetCell(battle::kColRapidFire + lower, changed, "1");
    server.Set(UnitPath(changed), {PageFromTable(Table(), changed, false)});
    Table().SetCell(battle::kColRapidFire + lower, changed, old);

    vcltest::Click(w->Button1);
    while (w->CheckRow < online::kWalkEnd && (w->Timer1->Enabled() || w->Timer2->Enabled())) NextUnit();
    const std::string address = server.Address() + "infos.php?gid=";
    EXPECT_EQ(MemoLines(w->Memo2),
              (std::vector<std::string>{
                  "«" + Name(lower) + "» (" + address + std::to_string(lower) +
                      "&notopnav=true): страница не прочитана: после «Скорострел» нет блока скорострела, юнит не сверен",
                  "«" + Name(plain) + "» (" + address + std::to_string(plain) +
                      "&notopnav=true): на странице нет «Скорострел», а в базе у юнита есть скорострел; юнит не сверен",
                  Name(changed) + " по " + Name(lower) + "  " + old + "-->1",
                  "«" + Name(emptied) + "» (" + address + std::to_string(emptied) +
                      "&notopnav=true): блок скорострела на странице пуст, а в базе у юнита есть скорострел; юнит не "
                      "сверен",
                  "«" + Name(cut) + "» (" + address + std::to_string(cut) +
                      "&notopnav=true): страница не прочитана: блок скорострела не закрыт: страница кончается внутри "
                      "него, юнит не сверен",
                  "«" + Name(nested) + "» (" + address + std::to_string(nested) +
                      "&notopnav=true): страница не прочитана: записей скорострела на странице после «Скорострел» " +
                      std::to_string(entriesOfNested) + ", в прочитанном блоке 1, юнит не сверен"}));
    EXPECT_EQ(MemoLines(w->Memo3), (std::vector<std::string>{std::to_string(changed), std::to_string(lower), "1"}));
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_NE(Texts()[0].find("изменений найдено: 1.\nНе сверено юнитов: 5.\nКакие именно, сказано в логе изменений."),
              std::string::npos)
        << Utf8(Texts()[0]);
    Boxes().Clear();

    // The site mended: the new walk starts with nothing queued or logged and finds nothing.
    for (uint16_t row : form->ShipRows()) server.Set(UnitPath(row), {PageFromTable(Table(), row, false)});
    vcltest::Click(w->Button1);
    EXPECT_TRUE(MemoLines(w->Memo2).empty());
    EXPECT_TRUE(MemoLines(w->Memo3).empty());
    while (w->CheckRow <= emptied) NextUnit();
    EXPECT_TRUE(MemoLines(w->Memo2).empty()) << Utf8(MemoLines(w->Memo2)[0]);
    vcltest::Click(w->Button2);
    EXPECT_TRUE(scratch::ReadFile(programtest::InFolder("DataBase.dat")) == saved);
}

namespace {

class UpdateSearch : public Windows {
protected:
    void SetUp() override {
        Windows::SetUp();
        web::SetUpdateSite(server.Address());
        if (!form->FindComponent("Edit3")) Declare<TEdit>(form, "Edit3").Text("36").Visible(false);
        build = dynamic_cast<TEdit*>(form->FindComponent("Edit3"))->Text();
        version = Table().Cell(battle::kVersionCol, 0);
        p = poisk_obnov;
    }
    void SetPage(const char* path, const std::string& newBuild, const std::string& newVersion) {
        server.Set(path, {"<html><body>\n<p>Версия: DelvoSim<br><br>" + newBuild + " <br>http://h/build" + newBuild +
                          ".zip <br><br>" + newVersion + " <br>https://h/db" + newVersion + ".zip</p>\n</body></html>",
                          "text/html; charset=windows-1251"});
    }
    // The menu's search; answers what the update window shows, "" when it did not show.
    std::string ManualSearch() {
        form->N33Click(nullptr);
        EXPECT_TRUE(form->CheckBox1->Checked());
        Boxes().Clear();  // the menu's notice
        return Finish(1000);
    }
    // Runs the search to its end: the page loaded, then read 20 s after the
    // search began. Answers what the update window showed, "" when it did not show.
    std::string Finish(uint64_t untilLoad) {
        Advance(untilLoad);
        WaitForPage(p->WebBrowser1);
        std::string shown;
        int opened = 0;
        obnovl->OnShow = [&](TObject*) {
            ++opened;
            // Runs in the update window's own modal loop.
            vcltest::PostAction([&] {
                shown = std::string(obnovl->Edit1->Enabled() ? "build " + obnovl->Edit1->Text() : "no build") +
                        "; " + (obnovl->Edit2->Enabled() ? "db " + obnovl->Edit2->Text() : "no db");
                obnovl->Close();
            });
        };
        Advance(20000);
        obnovl->OnShow = nullptr;
        EXPECT_LE(opened, 1) << "the update window opened more than once";
        return shown;
    }
    void ResetUpdateWindow() {
        for (TEdit* e : {obnovl->Edit1, obnovl->Edit2}) {
            e->SetText(kNoLink);
            e->SetEnabled(false);
        }
        obnovl->Button2->SetEnabled(false);
        obnovl->Button3->SetEnabled(false);
    }

    testhttp::TestAuthority authority;
    testhttp::Server server{authority.Issue("127.0.0.1")};
    Tpoisk_obnov* p = nullptr;
    std::string build, version;
};

}  // namespace

TEST_F(UpdateSearch, TheSearchOffersWhatIsNewerAndTellsThePlayerWhenNothingIs) {
    // Automatic, nothing new: nothing is shown.
    SetPage("/index/versioninfo/0-6", build, version);
    Form13->CheckBox7->SetChecked(true);
    p->Timer1->SetEnabled(false);
    p->Timer1->SetEnabled(true);
    EXPECT_EQ(Finish(10000), "");
    EXPECT_FALSE(p->Timer1->Enabled());
    EXPECT_TRUE(Texts().empty());
    EXPECT_EQ(MemoLines(p->Memo2), (std::vector<std::string>{build, "http://h/build" + build + ".zip", version,
                                                             "https://h/db" + version + ".zip"}));
    EXPECT_TRUE(p->Timer4->Enabled());

    SetPage("/kemru/verinfo.htm", build + "1", version);
    ResetUpdateWindow();
    EXPECT_EQ(ManualSearch(), "build http://h/build" + build + "1.zip; no db");
    EXPECT_EQ(obnovl->Edit2->Text(), kNoLink);
    EXPECT_FALSE(obnovl->Button3->Enabled());
    EXPECT_FALSE(form->CheckBox1->Checked());

    SetPage("/kemru/verinfo.htm", build, version + "1");
    ResetUpdateWindow();
    EXPECT_EQ(ManualSearch(), "no build; db https://h/db" + version + "1.zip");

    SetPage("/kemru/verinfo.htm", build + "1", version + "1");
    ResetUpdateWindow();
    EXPECT_EQ(ManualSearch(), "build http://h/build" + build + "1.zip; db https://h/db" + version + "1.zip");

    Boxes().Clear();
    SetPage("/kemru/verinfo.htm", build, version);
    EXPECT_EQ(ManualSearch(), "");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Обновлений не обнаружено"}));
    EXPECT_FALSE(form->CheckBox1->Checked());

    // A search the player asked for that fails says so, whatever failed: no
    // marker, links that are no web addresses, an error page, a site that is down.
    const std::string manualPage = server.Address() + "kemru/verinfo.htm";
    const std::string noFields = "Поиск обновлений не удался: на странице " + manualPage +
                                 " нет сведений о версии программы и базы данных.";
    Boxes().Clear();
    server.Set("/kemru/verinfo.htm", {"<html>nothing here</html>"});
    EXPECT_EQ(ManualSearch(), "");
    EXPECT_EQ(Texts(), std::vector<std::string>{noFields});
    Boxes().Clear();
    server.Set("/kemru/verinfo.htm", {"DelvoSim<br><br>99 <br>file:///etc/passwd <br><br>1 <br>http://h/x<"});
    EXPECT_EQ(ManualSearch(), "");
    EXPECT_EQ(Texts(), std::vector<std::string>{noFields});
    EXPECT_TRUE(MemoLines(p->Memo2).empty());
    EXPECT_FALSE(form->CheckBox1->Checked());
    Boxes().Clear();
    testhttp::Page failing;
    failing.status = 500;
    server.Set("/kemru/verinfo.htm", failing);
    EXPECT_EQ(ManualSearch(), "");
    EXPECT_EQ(Texts(), std::vector<std::string>{"Поиск обновлений не удался: страница " + manualPage +
                                                " не загружена (ответ сервера 500)."});
    testhttp::Server impostor(authority.Issue("game.example"));
    web::SetUpdateSite(impostor.Address());
    Boxes().Clear();
    EXPECT_EQ(ManualSearch(), "");
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].rfind("Поиск обновлений не удался: страница " + impostor.Address() +
                                   "kemru/verinfo.htm не загружена (сертификат сайта 127.0.0.1 не принят: сертификат "
                                   "выдан другому имени (",
                               0),
              0u)
        << Utf8(Texts()[0]);
    const std::string masked = "https://player:***@" + server.Address().substr(8) + "kemru/verinfo.htm";
    web::SetUpdateSite("https://player:secret@" + server.Address().substr(8));
    Boxes().Clear();
    const size_t asked = server.Requests().size();
    EXPECT_EQ(ManualSearch(), "");
    EXPECT_EQ(Texts(), std::vector<std::string>{"Поиск обновлений не удался: страница " + masked + " не загружена (адрес " +
                                                masked + " не загружен: загрузчик страниц не принимает логины)."});
    EXPECT_EQ(server.Requests().size(), asked);
    std::string stopped;
    {
        testhttp::Server gone;
        stopped = gone.Address();
    }
    web::SetUpdateSite(stopped);
    Boxes().Clear();
    EXPECT_EQ(ManualSearch(), "");
    ASSERT_EQ(Texts().size(), 1u);
    EXPECT_EQ(Texts()[0].rfind("Поиск обновлений не удался: страница " + stopped + "kemru/verinfo.htm не загружена (", 0),
              0u)
        << Utf8(Texts()[0]);
    EXPECT_FALSE(form->CheckBox1->Checked());

    // The automatic search fails quietly.
    Boxes().Clear();
    p->Timer1->SetEnabled(true);
    EXPECT_EQ(Finish(10000), "");
    EXPECT_FALSE(p->Timer1->Enabled());
    EXPECT_TRUE(Texts().empty()) << Utf8(Texts()[0]);
    web::SetUpdateSite(server.Address());
}

TEST_F(UpdateSearch, TheRootPageIsReloadedAfterEverDoublingTimesThatStopBeforeOverflowing) {
    // As a completed search leaves it the first time.
    p->Timer4->SetEnabled(false);
    p->Timer4->SetInterval(60000);
    p->Timer4->SetEnabled(true);
    const size_t before = server.Requests().size();
    Advance(60000);
    WaitForPage(p->WebBrowser1);
    EXPECT_EQ(p->Timer4->Interval(), 120000u);
    ASSERT_EQ(server.Requests().size(), before + 1);
    EXPECT_EQ(server.Requests().back(), "/");
    Advance(119999);
    EXPECT_EQ(server.Requests().size(), before + 1);

    p->Timer4->SetInterval(0x70000000u);
    p->Timer4Timer(nullptr);
    EXPECT_EQ(p->Timer4->Interval(), 0x70000000u);
    WaitForPage(p->WebBrowser1);
    p->Timer4->SetInterval(0x20000000u);
    p->Timer4Timer(nullptr);
    EXPECT_EQ(p->Timer4->Interval(), 0x40000000u);
    p->Timer4->SetEnabled(false);
}

TEST_F(UpdateSearch, DownloadLinksOpenInTheBrowserAsOneArgumentAndOnlyForTheWeb) {
    const std::string args = programtest::InFolder("browser_args.txt");
    const std::string script = programtest::InFolder("browser.sh");
    scratch::WriteFile(script, "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > '" + args + "'\n");
    chmod(script.c_str(), 0755);
    rtl::SetWebBrowserProgram(script);

    obnovl->Edit1->SetText("http://h/build 37.zip?a=1&b=$(x)");
    obnovl->Button2->SetEnabled(true);
    obnovl->Button2Click(nullptr);
    for (int i = 0; i < 500 && scratch::ReadFile(args).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // A link with a blank is no web address: it is refused, with a message.
    EXPECT_TRUE(scratch::ReadFile(args).empty());
    ASSERT_EQ(Texts().size(), 2u);
    EXPECT_NE(Texts()[1].find("http://h/build 37.zip"), std::string::npos);

    Boxes().Clear();
    obnovl->Edit2->SetText("https://h/db.zip?a=1&b=$(x);rm");
    obnovl->Button3Click(nullptr);
    for (int i = 0; i < 500 && scratch::ReadFile(args).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(scratch::ReadFile(args), "1\nhttps://h/db.zip?a=1&b=$(x);rm\n");
    ASSERT_EQ(Texts().size(), 1u);  // the advice before the download
    EXPECT_NE(Texts()[0].find("Импорт"), std::string::npos);
    rtl::SetWebBrowserProgram("");
}
