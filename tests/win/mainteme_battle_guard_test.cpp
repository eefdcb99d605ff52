// A battle tick lets messages through to paint the log: what the player
// chooses meanwhile must leave the battle's database alone, and closing the
// main window waits for the battle. A program of its own, as the end is final.
#include "support/program_fixture.h"

#include "windows/dataform.h"
#include "windows/klan.h"
#include "windows/log.h"
#include "windows/opt.h"

using namespace vcl;
using programtest::Boxes;
using vcltest::Utf8;

namespace {

bool LogEnded() {
    const std::vector<std::string> log = vcltest::MemoLines(Form7->Memo1);
    return !log.empty() && log.back().rfind("Затрачено секунд", 0) == 0;
}

}  // namespace

TEST(BattleGuard, DatabaseCommandsWaitForTheRunAndClosingForTheBattle) {
    TForm1* form = programtest::StartProgram();
    programtest::NewBattle(form);
    Form13->Edit2->SetText("8");
    // Large enough fleets that the battle paints (and lets messages in) on its way.
    for (int row : {5, 6}) {
        form->ValueListEditor1->SetValues(row, "400000");
        form->ValueListEditor4->SetValues(row, "400000");
    }
    Form7->Hide();
    battle::DataTable& table = Form4->Table();
    const std::string name = table.Cell(battle::kColName, 201), value = table.Cell(12, 201);

    bool midBattle = false, closedAtOnce = true;
    std::vector<std::string> refused;
    // The log window is shown once the battle has begun; what follows runs
    // in the battle's first pause for painting.
    bool posted = false;
    Form7->OnShow = [&](TObject*) {
        if (posted) return;
        posted = true;
        vcltest::PostAction([&] {
            midBattle = form->RunGoing() && !LogEnded();
            Boxes().Clear();
            Form4->Button2Click(nullptr);  // "загрузить"
            Form4->Button3Click(nullptr);  // "заполнить по умолчанию"
            Form4->datatable->SetCells(battle::kColName, 201, "Подмена");
            form->N26Click(nullptr);       // "Импорт базы даннах"
            vcltest::Advance(1000);        // the import's tick
            refused = Boxes().Texts();
            form->Close();
            closedAtOnce = Fo8->Visible() || Application->Terminated();
        });
    };
    bool battleEndedFirst = false, noticeModal = false;
    Fo8->OnShow = [&](TObject*) {
        vcltest::PostAction([&] {
            battleEndedFirst = LogEnded() && !form->RunGoing();
            noticeModal = Fo8->Modal();
            vcltest::Advance(2000);
            vcltest::Click(Fo8->Button1);
        });
    };

    vcltest::Click(form->Button5);
    vcltest::Advance(1);

    ASSERT_TRUE(midBattle) << "the battle ended before it let a message in";
    EXPECT_EQ(refused.size(), 4u);
    for (const std::string& text : refused) EXPECT_EQ(text, "Идет расчет боя, дождитесь его окончания") << Utf8(text);
    EXPECT_EQ(table.Cell(battle::kColName, 201), name);
    EXPECT_EQ(table.Cell(12, 201), value);
    EXPECT_FALSE(Form4->Timer6->Enabled());
    EXPECT_FALSE(closedAtOnce);
    EXPECT_TRUE(battleEndedFirst);
    EXPECT_TRUE(noticeModal);
    EXPECT_TRUE(Application->Terminated());
}
