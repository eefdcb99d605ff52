#include "windows/analis.h"

#include <algorithm>
#include <string>

#include "battle/datatable.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"
#include "windows/core/spyreport.h"
#include "windows/dataform.h"
#include "windows/inputname2.h"
#include "windows/mainteme.h"
#include "windows/tehno.h"

using namespace vcl;

TForm18* Form18 = nullptr;

namespace {

// Row of the acid pool among the officer editor's fixed entries.
constexpr int kAcidPoolEditorRow = 4;

void Tell(const std::string& text) { Application->MessageBox(text, Application->Title(), MB_OK | MB_ICONSTOP); }

// False when the editor has no such row.
bool Enter(TValueListEditor* editor, int row, const std::string& value) {
    if (row < 1 || row > editor->Count()) return false;
    editor->SetValues(row, value);
    return true;
}

// The editor line (from 1) of a database row, 0 when the editor lists no such row.
int LineOfRow(const std::vector<uint16_t>& rows, int row) {
    const auto found = std::find(rows.begin(), rows.end(), row);
    return found == rows.end() ? 0 : static_cast<int>(found - rows.begin()) + 1;
}

// The technology editor's line of technology name `index` of tihnics.dat: the
// fixed ones by position, the database's by the row that has the name for
// the analyser, as the file may have been written since the editor was built.
int TechLine(const battle::DataTable& table, const std::vector<std::string>& names, int index) {
    if (index < battle::kFirstDatabaseTechLine) return index + 1;
    const std::string& name = names[static_cast<size_t>(index)];
    for (int row = battle::kTechFirstRow; row <= battle::kTechLastRow; ++row)
        if (table.Cell(battle::kColKind, row) == battle::kKindTech && table.Cell(battle::kColSpyName, row) == name)
            return LineOfRow(Form1->TechEntryRows(), row);
    return 0;
}

void SelectParticipant(int index) {
    Form1->ListBox2->SetItemIndex(index);
    Form1->ListBox2Click(Form1->ListBox2);
}

}  // namespace

TForm18::TForm18(TComponent* owner) : TForm(owner) {
    SetName("Form18");
    SetCaption("Анализ шпионского отчета");
    SetClientSize(460, 420);
    Memo1 = Declare<TMemo>(this, "Memo1")
                .Bounds(8, 8, 444, 368)
                .Anchors(akLeft | akTop | akRight | akBottom)
                .With([](TMemo* m) {
                    m->SetScrollBars(ssBoth);
                    m->SetWordWrap(false);
                });
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(352, 386, 100, 25)
                  .Anchors(akRight | akBottom)
                  .Caption("Анализ")
                  .OnClick(Bind(this, &TForm18::Button1Click));
    Timer1 = DeclareTimer(this, "Timer1", 4000, true, Bind(this, &TForm18::Timer1Timer));
}

void TForm18::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    UnitRows.clear();
    const battle::DataTable& table = Form4->Table();
    for (int row = 1; row <= battle::kLastRow; ++row)
        if (table.Cell(battle::kColKind, row) == battle::kKindUnit) UnitRows.push_back(static_cast<uint16_t>(row));
}

// The report goes into side 2's editors, which the battle reads: refused
// during a run, with the report kept here for after it.
void TForm18::Button1Click(TObject*) {
    if (RefuseWhileRunning()) return;
    const battle::DataTable& table = Form4->Table();
    std::vector<spy::ReportUnit> units;
    for (uint16_t row : UnitRows)
        units.push_back({table.Cell(battle::kColName, row), table.Cell(battle::kColPurpose, row) == battle::kPurposeBuilding});
    std::vector<std::string> techNames;
    std::string techError;
    try {
        techNames = rtl::ReadAllLines(kTechNamesFile);
    } catch (const rtl::EInOutError& e) {
        techError = e.what();
    }
    const std::vector<spy::Step> steps =
        spy::ReadReport(Memo1->Lines()->ToVector(), units, techError.empty() ? &techNames : nullptr);

    // The allied fleet goes to a participant of its own, and the defence back
    // to the participant whose fleet the report began with.
    const int ownParticipant = Form1->CurPart[2];
    bool alliedRefused = false;
    bool entered = false, told = false;
    for (const spy::Step& step : steps) {
        switch (step.kind) {
            case spy::Step::Unit:
                // By row: the editor is rebuilt on "Новый бой", the table here only at start.
                if (!alliedRefused)
                    entered |= Enter(Form1->ValueListEditor4,
                                     LineOfRow(Form1->ShipRows(), UnitRows[static_cast<size_t>(step.index)]), step.text);
                break;
            case spy::Step::AcidPool:
                entered |= Enter(Form1->ValueListEditor6, kAcidPoolEditorRow, step.text);
                break;
            case spy::Step::Research:
                entered |= Enter(Form1->ValueListEditor5, TechLine(table, techNames, step.index), step.text);
                break;
            case spy::Step::Unreadable:
                break;  // told together after the report
            case spy::Step::AlliedStart: {
                const int before = Form1->Input().PartCount[2];
                Form12->Edit1->SetText(spy::kAlliedFleetLine);
                Form1->addnew2Timer(Form1->addnew2);  // refuses a seventh participant with its message
                alliedRefused = Form1->Input().PartCount[2] != before + 1;
                if (!alliedRefused) SelectParticipant(before);
                entered |= !alliedRefused;
                told |= alliedRefused;
                break;
            }
            case spy::Step::AlliedEnd:
                if (!alliedRefused) SelectParticipant(ownParticipant);
                alliedRefused = false;
                break;
            case spy::Step::ResearchNoFile:
                Tell(techError);
                told = true;
                break;
        }
    }
    // However many lines could not be read, one message says so.
    if (const std::string unreadable = spy::UnreadableLinesMessage(steps); !unreadable.empty()) {
        Tell(unreadable);
        told = true;
    }
    // A report that gave nothing stays here to be mended or replaced.
    if (entered) {
        Close();
    } else if (!told) {
        Tell(spy::kNothingRecognised);
    }
}
