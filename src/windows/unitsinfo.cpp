#include "windows/unitsinfo.h"

#include <algorithm>
#include <limits>

#include "battle/datatable.h"
#include "rtl/convert.h"
#include "rtl/errors.h"
#include "windows/defteh.h"
#include "windows/editorfields.h"
#include "windows/entrylists.h"

using namespace vcl;
using namespace battle;

Tinfoform* infoform = nullptr;

namespace {

constexpr int kFixedTechs = 3, kFixedOfficers = 4;
enum GridRow { kStructureRow = 1, kShieldsRow = 2, kAttackRow = 3 };
constexpr int kBaseCol = 1, kActualCol = 2;

// A level list of the defaults window as the battle takes it (whole numbers
// that fit its arrays), entry by entry of this window's table. The entries
// are matched by row, so that a list built at another moment moves no level
// onto another row; an entry the defaults window lacks has level 0.
void ReadList(TValueListEditor* editor, const std::vector<uint16_t>& editorRows, const std::vector<uint16_t>& rows,
              size_t fixed, int64_t limit, const char* what, BonusLevels& list, FieldCheck& check) {
    list.rows = rows;
    const std::vector<int> match = MatchEntries(editorRows, fixed, rows, fixed);
    for (size_t k = 0; k < rows.size(); ++k) {
        int64_t level = 0;
        if (match[k] >= 0) {
            const int entry = match[k];
            const std::string text = EntryValue(editor, entry);
            const std::string key = entry + 1 <= editor->Count() ? editor->Keys(entry + 1) : std::string();
            const std::string stored = check.Cell({"", false, 0, limit}, text, std::string(what) + " " + key);
            if (!rtl::TryStrToInt64(stored, level)) level = 0;
        }
        list.levels.push_back(level);
    }
}

}  // namespace

Tinfoform::Tinfoform(TComponent* owner) : TForm(owner) {
    SetName("infoform");
    SetCaption("Характеристики юнитов");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu | biMinimize);
    SetClientSize(700, 440);
    SetBounds(220, 100, Width(), Height());

    ListBox1 = Declare<TListBox>(this, "ListBox1")
                   .Bounds(8, 8, 230, 424)
                   .OnClick(Bind(this, &Tinfoform::ListBox1Click));
    // Room for all its cells beside the grid's scroll bars.
    par = Declare<TStringGrid>(this, "par").Bounds(248, 8, 444, 120).With([](TStringGrid* grid) {
        grid->SetDefaultRowHeight(22);
        grid->SetColCount(3);
        grid->SetRowCount(4);
        grid->SetFixedCols(1);
        grid->SetFixedRows(1);
        grid->SetEditing(false);
        grid->SetColWidths(0, 120);
        grid->SetColWidths(1, 140);
        grid->SetColWidths(2, 140);
    });
    auto caption = [this](const char* name, int left, const char* text) {
        Declare<TLabel>(this, name)
            .With([](TLabel* label) { label->SetAutoSize(false); })
            .Bounds(left, 136, 216, 16)
            .Caption(text);
    };
    caption("Label1", 248, "скорострел по");
    caption("Label2", 476, "скорострел от");
    auto memo = [this](const char* name, int left) {
        return static_cast<TMemo*>(Declare<TMemo>(this, name).Bounds(left, 156, 216, 236).With([](TMemo* m) {
            m->SetReadOnly(true);
            m->SetScrollBars(ssVertical);
        }));
    };
    Memo1 = memo("Memo1", 248);
    Memo2 = memo("Memo2", 476);
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(592, 402, 100, 28)
                  .Caption("Закрыть")
                  .OnClick(Bind(this, &Tinfoform::Button1Click));
    Timer1 = DeclareTimer(this, "Timer1", 1000, true, Bind(this, &Tinfoform::Timer1Timer));
    OnCreate = Bind(this, &Tinfoform::FormCreate);
    OnShow = Bind(this, &Tinfoform::FormShow);
}

void Tinfoform::FormCreate(TObject*) {
    par->SetCells(kBaseCol, 0, "Базовое");
    par->SetCells(kActualCol, 0, "Фактическое");
    par->SetCells(0, kStructureRow, "Структура");
    par->SetCells(0, kShieldsRow, "Щиты");
    par->SetCells(0, kAttackRow, "Атака");
}

void Tinfoform::ListUnits() {
    const DataTable& table = GameTable();
    const int chosen = ListBox1->ItemIndex();
    const int chosenRow = chosen >= 0 && chosen < static_cast<int>(unitRows_.size()) ? unitRows_[chosen] : -1;
    unitRows_.clear();
    ListBox1->Items()->BeginUpdate();
    ListBox1->Items()->Clear();
    for (uint16_t row : RowsOfKind(table, 1, kLastRow, kKindUnit)) {
        if (table.Cell(kColPurpose, row) == kPurposeBuilding) continue;
        unitRows_.push_back(row);
        ListBox1->Items()->Add(table.Cell(kColName, row));
    }
    ListBox1->Items()->EndUpdate();
    // The unit shown before stays chosen, with its values as they are now.
    auto found = std::find(unitRows_.begin(), unitRows_.end(), chosenRow);
    if (found != unitRows_.end()) {
        ListBox1->SetItemIndex(static_cast<int>(found - unitRows_.begin()));
        ListBox1Click(nullptr);
    }
}

void Tinfoform::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    const DataTable& table = GameTable();
    ListUnits();
    // Index i of each table is entry i of the defaults window's list: the
    // fixed entries first.
    medalRows_ = RowsOfKind(table, kMedalFirstRow, kMedalLastRow, kKindMedal);
    techRows_.assign(kFixedTechs, 0);
    for (uint16_t row : RowsOfKind(table, kTechFirstRow, kTechLastRow, kKindTech)) techRows_.push_back(row);
    officerRows_.assign(kFixedOfficers, 0);
    for (uint16_t row : RowsOfKind(table, kOfficerFirstRow, kOfficerLastRow, kKindOfficer))
        officerRows_.push_back(row);
}

// Units made or renamed since the start are there when the window shows.
void Tinfoform::FormShow(TObject*) { ListUnits(); }

bool Tinfoform::ReadLevels(PlayerLevels& levels) {
    FieldCheck check;
    constexpr int64_t kLevelLimit = std::numeric_limits<uint16_t>::max();
    constexpr int64_t kMedalLimit = std::numeric_limits<uint8_t>::max();
    ReadList(Form14->ValueListEditor2, Form14->TechRows, techRows_, kFixedTechs, kLevelLimit, "Технология",
             levels.techs, check);
    ReadList(Form14->ValueListEditor3, Form14->OfficerRows, officerRows_, kFixedOfficers, kLevelLimit, "Офицер",
             levels.officers, check);
    ReadList(Form14->ValueListEditor7, Form14->MedalRows, medalRows_, 0, kMedalLimit, "Медаль", levels.medals, check);
    return check.Report(Caption(), "Фактические значения не посчитаны: в окне «Технологии по умолчанию»");
}

void Tinfoform::ListBox1Click(TObject*) {
    const int index = ListBox1->ItemIndex();
    if (index < 0 || index >= static_cast<int>(unitRows_.size())) return;
    const int unit = unitRows_[static_cast<size_t>(index)];
    const DataTable& table = GameTable();
    par->SetCells(kBaseCol, kStructureRow, table.Cell(kColStructure, unit));
    par->SetCells(kBaseCol, kShieldsRow, table.Cell(kColShields, unit));
    par->SetCells(kBaseCol, kAttackRow, table.Cell(kColAttack, unit));

    const RapidFireLines against = RapidFire(table, unit, true);
    const RapidFireLines from = RapidFire(table, unit, false);
    Memo1->Lines()->Clear();
    Memo1->Lines()->AddStrings(against.lines);
    Memo2->Lines()->Clear();
    Memo2->Lines()->AddStrings(from.lines);

    // Values of another unit never stand beside this one's.
    for (int row : {kStructureRow, kShieldsRow, kAttackRow}) par->SetCells(kActualCol, row, "");
    PlayerLevels levels;
    if (!ReadLevels(levels)) return;
    std::string problem;
    try {
        const UnitValues actual = ActualValues(table, unit, levels);
        par->SetCells(kActualCol, kStructureRow, rtl::IntToStr(actual.structure));
        par->SetCells(kActualCol, kShieldsRow, rtl::IntToStr(actual.shields));
        par->SetCells(kActualCol, kAttackRow, rtl::IntToStr(actual.attack));
    } catch (const rtl::ERuntimeError& error) {
        problem = std::string("Фактические значения не посчитаны: ") + error.what();
    }
    std::vector<std::string> broken = against.brokenCells;
    for (const std::string& cell : from.brokenCells) broken.push_back(cell);
    if (!broken.empty()) {
        if (!problem.empty()) problem += "\n";
        problem += "Скорострел не является целым числом (строка пропущена):";
        for (size_t i = 0; i < broken.size() && i < 12; ++i) problem += "\n" + broken[i];
    }
    if (!problem.empty()) Tell(problem, Caption());
}

void Tinfoform::Button1Click(TObject*) { Close(); }
