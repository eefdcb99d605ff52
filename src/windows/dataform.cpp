#include "windows/dataform.h"

#include <utility>
#include <vector>

#include "battle/inputcheck.h"
#include "battle/langfile.h"
#include "rtl/convert.h"
#include "rtl/errors.h"
#include "windows/mainteme.h"

using namespace vcl;

TForm4* Form4 = nullptr;

namespace {

constexpr const char* kCaption = "База данных";
constexpr const char* kRegistryValue = "rb";
constexpr const char* kFirstRunText =
    "Предупреждение: Вы используете это приложение на свой страх и риск, разаработчки не несут ответственности за "
    "неисправности в вашей системе в ходе эксплуатации программы, в случае несогласия с данным условием немедленно "
    "закройте программу";
constexpr const char* kImportDoneText = "Для сохранения части изменений нужно перезапустить программу";
constexpr const char* kKeptText =
    "Файл остается как есть, пока вы сами не сохраните базу: сохраняйте, только если уверены в ее содержимом.";

// Where each line of lang.dat goes on the main window, in file order.
// "" is the window's own caption; "#0" and "#1" are the radio group's items.
const std::vector<std::vector<const char*>> kLangTargets = {
    {""},        {"N1"},  {"N7"},  {"N8"},  {"N9"},  {"N26"},  {"N33"},
    {"N11"},     {"N2"},  {"N3"},  {"N4"},  {"N27"}, {"N28"},  {"O1"},
    {"N6"},      {"N12"}, {"N13"}, {"N17"}, {"N19"}, {"RadioGroup1"},
    {"RadioGroup1#0"},    {"RadioGroup1#1"},         {"Button1", "Button3"},
    {"Button2", "Button4"},         {"Label3", "Label4"},         {"Label1", "Label2"},
    {"Button5"}, {"Button6"},       {"N20"}, {"N24"}, {"N29", "N31"}, {"N21"}, {"N23"},
};

void ShowProblem(const std::string& text) { Application->MessageBox(text, kCaption, MB_OK | MB_ICONWARNING); }

void SetMainWindowCaption(TForm* main, const std::string& target, const std::string& text) {
    if (target.empty()) {
        main->SetCaption(text);
        return;
    }
    size_t hash = target.find('#');
    TComponent* component = main->FindComponent(target.substr(0, hash));
    if (hash != std::string::npos) {
        int item = target[hash + 1] - '0';
        if (auto* group = dynamic_cast<TRadioGroup*>(component); group && item < group->Items()->Count())
            group->Items()->Put(item, text);
    } else if (auto* menuItem = dynamic_cast<TMenuItem*>(component)) {
        menuItem->SetCaption(text);
    } else if (auto* control = dynamic_cast<TControl*>(component)) {
        control->SetCaption(text);
    }
}

}  // namespace

// ---- TDataGrid

TDataGrid::TDataGrid(TComponent* owner, battle::DataTable& table) : TStringGrid(owner), table_(table) {}

std::string TDataGrid::Cells(int col, int row) const {
    if (col < 0 || col > battle::kLastCol || row < 0 || row > battle::kLastRow) return {};
    return table_.Cell(col, row);
}

void TDataGrid::SetCells(int col, int row, const std::string& text) {
    if (col < 0 || col > battle::kLastCol || row < 0 || row > battle::kLastRow) return;
    if (text == table_.Cell(col, row)) return;
    if (RefuseWhileRunning()) return;
    // Typed here as in the editors: by the rule of the cell, kept in their form.
    std::string stored;
    if (const std::string problem = battle::TableCellProblem(table_, col, row, text, stored); !problem.empty()) {
        ShowProblem("Строка " + rtl::IntToStr(row) + ", столбец " + rtl::IntToStr(col) + ": " + problem +
                    ". Значение не принято.");
        return;
    }
    table_.SetCell(col, row, stored);
    Invalidate();
}

// ---- TForm4

TForm4::TForm4(TComponent* owner) : TForm(owner) {
    SetName("Form4");
    SetCaption(kCaption);
    SetClientSize(780, 520);
    SetBounds(120, 80, Width(), Height());

    datatable = new TDataGrid(this, table_);
    datatable->SetName("datatable");
    datatable->SetParent(this);
    datatable->SetBounds(8, 8, 764, 426);
    datatable->SetAnchors(akLeft | akTop | akRight | akBottom);
    datatable->SetFixedCols(0);
    datatable->SetFixedRows(0);
    datatable->SetColCount(battle::kShownCols);
    datatable->SetRowCount(battle::kShownRows);
    datatable->SetEditing(true);

    LoadState = Declare<TLabel>(this, "LoadState")
                    .Bounds(8, 438, 744, 42)
                    .Anchors(akLeft | akBottom | akRight)
                    .With([](TLabel* label) {
                        label->SetAutoSize(false);
                        label->SetWordWrap(true);
                        label->Font()->SetColor(clMaroon);
                    });

    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(8, 484, 120, 27)
                  .Anchors(akLeft | akBottom)
                  .Caption("сохранит.")
                  .OnClick(Bind(this, &TForm4::Button1Click));
    Button2 = Declare<TButton>(this, "Button2")
                  .Bounds(136, 484, 120, 27)
                  .Anchors(akLeft | akBottom)
                  .Caption("загрузить")
                  .OnClick(Bind(this, &TForm4::Button2Click));
    Button3 = Declare<TButton>(this, "Button3")
                  .Bounds(264, 484, 180, 27)
                  .Anchors(akLeft | akBottom)
                  .Caption("заполнить по умолчанию")
                  .OnClick(Bind(this, &TForm4::Button3Click));

    Timer2 = DeclareTimer(this, "Timer2", 1, false, Bind(this, &TForm4::Timer2Timer));
    Timer3 = DeclareTimer(this, "Timer3", 1000, true, Bind(this, &TForm4::Timer3Timer));
    Timer5 = DeclareTimer(this, "Timer5", 1000, false, Bind(this, &TForm4::Timer5Timer));
    Timer6 = DeclareTimer(this, "Timer6", 1000, false, Bind(this, &TForm4::Timer6Timer));
    OnCreate = Bind(this, &TForm4::FormCreate);
}

void TForm4::RefreshGrid() { datatable->Invalidate(); }

void TForm4::FormCreate(TObject* Sender) { Button2Click(Sender); }

void TForm4::Button1Click(TObject*) { Save(); }

bool TForm4::Save() {
    Timer2->SetEnabled(false);
    return SaveDataBase();
}

void TForm4::Button2Click(TObject*) {
    if (RefuseWhileRunning()) return;
    LoadDataBase();
    ApplyLanguage();
}

void TForm4::Button3Click(TObject*) {
    if (RefuseWhileRunning()) return;
    table_.FillDefaults();
    RefreshGrid();
}

void TForm4::Timer2Timer(TObject* Sender) { Button1Click(Sender); }

void TForm4::Timer3Timer(TObject*) {
    Timer3->SetEnabled(false);
    bool firstRun = false;
    try {
        TRegistry registry;
        registry.SetRootKey(HKEY_CURRENT_USER);
        if (registry.OpenKey("software", true) && registry.OpenKey("NorvixSim", true) &&
            !registry.ValueExists(kRegistryValue)) {
            firstRun = true;
            table_.SetCell(battle::kFirstRunMarkerCol, 0, battle::kFirstRunMarker);
            RefreshGrid();
            if (loadComplete_) SaveDataBase();
            registry.WriteInteger(kRegistryValue, 0);
        }
    } catch (const ERegistryException& error) {
        // Without the registry the check simply runs again at the next start.
        ShowProblem(error.what());
    }
    if (firstRun) Application->MessageBox(kFirstRunText, kCaption, MB_OK | MB_ICONWARNING);
    // The save after start would replace a damaged database with what little
    // was read of it; the load has told the player so.
    if (loadComplete_) Timer2->SetEnabled(true);
}

void TForm4::Timer5Timer(TObject*) {
    Timer5->SetEnabled(false);
    try {
        table_.ExportToFile(battle::kExchangeFile);
    } catch (const rtl::EInOutError& error) {
        ShowProblem(error.what());
    }
}

void TForm4::Timer6Timer(TObject*) {
    Timer6->SetEnabled(false);
    if (RefuseWhileRunning()) return;
    battle::DataTable::ImportResult result;
    try {
        result = table_.ImportFromFile(battle::kExchangeFile);
    } catch (const rtl::EInOutError& error) {
        ShowProblem(error.what());
        return;
    }
    RefreshGrid();
    if (!result.ok) {
        // The table is as it was; nothing is saved and the program goes on.
        ShowProblem(result.message);
        return;
    }
    // Ending the program after a failed save would lose the imported rows.
    if (!SaveDataBase()) return;
    Application->MessageBox(kImportDoneText, kCaption, MB_OK);
    Application->Terminate();
}

void TForm4::LoadDataBase() {
    std::string problem;
    try {
        battle::DataTable::LoadResult result = table_.LoadFromFile(battle::kDataBaseFile);
        loadComplete_ = result.complete;
        if (!result.complete) problem = result.message;
    } catch (const rtl::EInOutError& error) {
        // Nothing was read; the table keeps what it holds (at start: nothing).
        loadComplete_ = false;
        problem = std::string(error.what()) + " Таблица не загружена.";
    }
    ShowLoadProblem(problem);
    RefreshGrid();
    if (!problem.empty()) ShowProblem(problem + " " + kKeptText);
}

void TForm4::ShowLoadProblem(const std::string& text) { LoadState->SetCaption(text); }

void TForm4::ApplyLanguage() {
    battle::LangCaptions captions;
    try {
        captions = battle::ReadLangFile(battle::kLangFile);
    } catch (const rtl::EInOutError& error) {
        ShowProblem(error.what());
        return;
    }
    if (TForm* main = Screen->FindForm("Form1")) {
        for (size_t line = 0; line < captions.lines.size() && line < kLangTargets.size(); ++line)
            for (const char* target : kLangTargets[line]) SetMainWindowCaption(main, target, captions.lines[line]);
    }
    if (!captions.message.empty()) ShowProblem(captions.message);
}

bool TForm4::SaveDataBase() {
    try {
        table_.SaveToFile(battle::kDataBaseFile);
        return true;
    } catch (const rtl::EInOutError& error) {
        ShowProblem(error.what());
        return false;
    }
}
