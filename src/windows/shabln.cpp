#include "windows/shabln.h"

#include <algorithm>
#include <limits>

#include "battle/datatable.h"
#include "battle/inputcheck.h"
#include "rtl/convert.h"
#include "rtl/errors.h"
#include "rtl/textfile.h"
#include "windows/dataform.h"
#include "windows/defteh.h"
#include "windows/entrylists.h"
#include "windows/loadshbl1.h"
#include "windows/loadshbl2.h"

using namespace vcl;

TForm15* Form15 = nullptr;

namespace {

void Tell(const std::string& text, UINT icon = MB_ICONSTOP) {
    Application->MessageBox(text, "Редактор шаблонов", MB_OK | icon);
}

void CopyItems(TListBox* from, TListBox* to) {
    if (!to) return;
    to->Items()->Assign(*from->Items());
}

}  // namespace

TForm15::TForm15(TComponent* owner) : TForm(owner), Templates(battle::kTemplateSlots) {
    SetName("Form15");
    SetCaption("Редактор шаблонов");
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientSize(560, 440);
    SetBounds(240, 140, Width(), Height());

    ListBox1 = Declare<TListBox>(this, "ListBox1").Bounds(8, 8, 200, 386).OnClick(Bind(this, &TForm15::ListBox1Click));
    Edit1 = Declare<TEdit>(this, "Edit1")
                .Bounds(216, 8, 336, 21)
                .Text("Имя шаблона")
                .OnChange(Bind(this, &TForm15::Edit1Change));
    ValueListEditor1 = DeclareEditor(this, "ValueListEditor1", "Корабль", "Количество", 216, 36, 336, 358);
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(8, 402, 176, 28)
                  .Caption("Новый шаблон")
                  .OnClick(Bind(this, &TForm15::Button1Click));
    Button2 = Declare<TButton>(this, "Button2")
                  .Bounds(192, 402, 176, 28)
                  .Caption("Сохранить данные")
                  .OnClick(Bind(this, &TForm15::Button2Click));
    Button3 = Declare<TButton>(this, "Button3")
                  .Bounds(376, 402, 176, 28)
                  .Caption("Удалить шаблон")
                  .OnClick(Bind(this, &TForm15::Button3Click));
    Timer1 = DeclareTimer(this, "Timer1", 3000, true, Bind(this, &TForm15::Timer1Timer));
}

void TForm15::ListUnits() {
    ValueListEditor1->Clear();
    UnitRows.clear();
    const battle::DataTable& table = Form4->Table();
    for (int row = 1; row <= battle::kLastRow; ++row) {
        if (table.Cell(battle::kColKind, row) != battle::kKindUnit) continue;
        ValueListEditor1->InsertRow(table.Cell(battle::kColName, row), "0", true);
        UnitRows.push_back(static_cast<uint16_t>(row));
    }
}

// The list always names the templates there are: after the last one is
// deleted it is empty, not left with the deleted names.
void TForm15::ShowTemplateNames() {
    ListBox1->Items()->BeginUpdate();
    ListBox1->Items()->Clear();
    for (int i = 0; i < TemplateTotal; ++i) ListBox1->Items()->Add(Templates[static_cast<size_t>(i)].name);
    ListBox1->Items()->EndUpdate();
}

// The pickers and the defaults window follow every change of the names, so
// that a template saved from one side can be opened on the other at once.
void TForm15::CopyNamesToOtherWindows() {
    CopyItems(ListBox1, Form16 ? Form16->ListBox1 : nullptr);
    CopyItems(ListBox1, Form17 ? Form17->ListBox1 : nullptr);
    if (Form14) {
        CopyItems(ListBox1, Form14->ListBox1);
        Form14->ListBox1->SetItemIndex(Form14->DefaultTemplate(TemplateTotal));
    }
}

void TForm15::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    fileRead_ = true;
    ListUnits();
    battle::TemplateFileContents file;
    keepDamagedFile_ = false;
    try {
        file = battle::ReadTemplateFile(battle::kTemplateFile);
    } catch (const rtl::ERuntimeError& error) {
        file.damaged = rtl::FileExists(battle::kTemplateFile);
        file.message = error.what();
        if (!file.message.empty() && file.message.back() != '.') file.message += '.';
    }
    // What could not be read is kept in a copy before anything replaces it.
    if (file.damaged) {
        try {
            file.message += " Копия файла сохранена как " + rtl::KeepBackupCopy(battle::kTemplateFile) + ".";
        } catch (const rtl::EInOutError& error) {
            keepDamagedFile_ = true;
            file.message += std::string(" ") + error.what() + ". Файл " + battle::kTemplateFile +
                            " не будет перезаписан, пока его копия не сделана.";
        }
    }
    Templates.assign(battle::kTemplateSlots, battle::FleetTemplate{});
    TemplateTotal = static_cast<int>(file.templates.size());
    std::move(file.templates.begin(), file.templates.end(), Templates.begin());
    Current = 0;
    ShowTemplateNames();
    if (TemplateTotal > 0) {
        ListBox1->SetItemIndex(0);
        Edit1->SetText(Templates[0].name);
    }
    loadship();
    CopyNamesToOtherWindows();
    if (!file.message.empty()) Tell(file.message, MB_ICONWARNING);
}

int TForm15::ShownCounts(std::vector<uint32_t>& counts, std::string& bad) {
    constexpr int kNamed = 10;  // entries named in the message; the rest are counted
    counts.assign(battle::kRowCount, 0u);
    int badTotal = 0, firstBad = 0;
    for (size_t k = 0; k < UnitRows.size(); ++k) {
        const int entry = static_cast<int>(k);
        const std::string text = EntryValue(ValueListEditor1, entry);
        int64_t count = 0;
        if (battle::ReadWholeNumber(text, 0, std::numeric_limits<uint32_t>::max(), count)) {
            counts[UnitRows[k]] = static_cast<uint32_t>(count);
            continue;
        }
        if (badTotal == 0) firstBad = entry;
        if (++badTotal <= kNamed)
            bad += "\n«" + ValueListEditor1->Keys(entry + 1) + "»: " + battle::QuoteLine(text);
    }
    if (badTotal > kNamed) bad += "\nи еще " + rtl::IntToStr(badTotal - kNamed);
    if (badTotal > 0) ValueListEditor1->SetCurrent(1, firstBad + 1);  // the cell to mend
    return badTotal;
}

bool TForm15::saveships() {
    if (Current >= Templates.size()) return true;
    std::vector<uint32_t> counts;
    std::string bad;
    // A template stored without the rows the player sees would be saved
    // short while the grid still shows them.
    if (ShownCounts(counts, bad) > 0) {
        Tell("количество кораблей должно быть целым числом от 0 до " +
             rtl::IntToStr(std::numeric_limits<uint32_t>::max()) + ":" + bad + "\nШаблон \"" +
             Templates[Current].name + "\" не изменен и не сохранен: исправьте количество.");
        return false;
    }
    Templates[Current].counts = std::move(counts);
    return true;
}

void TForm15::loadship() {
    if (Current >= Templates.size()) return;
    const std::vector<uint32_t>& counts = Templates[Current].counts;
    for (size_t k = 0; k < UnitRows.size() && static_cast<int>(k) + 1 <= ValueListEditor1->Count(); ++k)
        ValueListEditor1->SetValues(static_cast<int>(k) + 1, rtl::IntToStr(counts[UnitRows[k]]));
}

void TForm15::p() { ListBox1->SetItemIndex(ListBox1->Items()->Count() - 1); }

void TForm15::ListBox1Click(TObject*) {
    const int chosen = ListBox1->ItemIndex();
    if (chosen < 0 || chosen >= TemplateTotal) return;
    if (!saveships()) {
        // The bad count stays in view, with its template chosen.
        ListBox1->SetItemIndex(Current < TemplateTotal ? Current : -1);
        return;
    }
    Current = static_cast<uint8_t>(chosen);
    loadship();
    Edit1->SetText(Templates[Current].name);
}

void TForm15::Edit1Change(TObject*) {
    if (Current >= TemplateTotal) return;
    Templates[Current].name = Edit1->Text();
    if (Current < ListBox1->Items()->Count()) ListBox1->Items()->Put(Current, Edit1->Text());
    CopyNamesToOtherWindows();
}

bool TForm15::AddTemplate(const std::string& name) {
    // Added before the file is read, a template would be lost to the read.
    if (!fileRead_) Timer1Timer(Timer1);
    if (TemplateTotal >= battle::kMaxNewTemplates) {
        Tell("Невозможно создать больше шаблонов, удалите лишние");
        return false;
    }
    Templates[static_cast<size_t>(TemplateTotal)].name = name;
    ++TemplateTotal;
    ListBox1->Items()->Add(name);
    CopyNamesToOtherWindows();
    return true;
}

void TForm15::Button1Click(TObject*) { AddTemplate(Edit1->Text()); }

bool TForm15::WriteTemplates(const std::vector<battle::FleetTemplate>& templates) {
    // Templates not yet read from the file would be lost with it: they are
    // read and shown now, and the player saves what he then sees.
    if (!fileRead_) {
        Timer1Timer(Timer1);
        return false;
    }
    if (keepDamagedFile_) {
        try {
            const std::string copy = rtl::KeepBackupCopy(battle::kTemplateFile);
            keepDamagedFile_ = false;
            Tell(std::string("Копия поврежденного файла ") + battle::kTemplateFile + " сохранена как " + copy + ".",
                 MB_ICONINFORMATION);
        } catch (const rtl::EInOutError& error) {
            Tell(std::string(error.what()) + ". Шаблоны не сохранены: поврежденный файл " + battle::kTemplateFile +
                     " остается как есть.",
                 MB_ICONERROR);
            return false;
        }
    }
    try {
        battle::WriteTemplateFile(battle::kTemplateFile, templates);
    } catch (const rtl::ERuntimeError& error) {
        Tell(std::string(error.what()) + "\nШаблоны остаются в силе до выхода из программы.", MB_ICONERROR);
        return false;
    }
    return true;
}

void TForm15::Button2Click(TObject*) {
    if (!saveships()) return;
    WriteTemplates(std::vector<battle::FleetTemplate>(Templates.begin(), Templates.begin() + TemplateTotal));
}

// The file is written before anything changes: a delete that cannot be
// saved deletes nothing.
void TForm15::Button3Click(TObject*) {
    const int chosen = ListBox1->ItemIndex();
    if (chosen < 0 || chosen >= TemplateTotal) return;
    const int byDefault = Form14 ? Form14->DefaultTemplate(TemplateTotal) : -1;
    if (byDefault == chosen) {
        Tell("невозможно удалить шаблон т.к. он загружается по умолчанию");
        return;
    }
    // The counts shown belong to a template that is kept unless it is the one deleted.
    if (chosen != Current && !saveships()) return;
    std::vector<battle::FleetTemplate> kept(Templates.begin(), Templates.begin() + TemplateTotal);
    kept.erase(kept.begin() + chosen);
    if (!WriteTemplates(kept)) return;
    if (byDefault > chosen && Form14) {
        Form14->Edit1->SetText(rtl::IntToStr(byDefault - 1));
        Form14->SaveDefaults();
    }
    Timer1Timer(this);
}

bool TForm15::OpenTemplate(int index, TValueListEditor* target, const std::vector<uint16_t>& targetRows) {
    if (index < 0 || index >= TemplateTotal) return false;
    // A closed editor keeps a count it could not store, and its template,
    // for the player to mend when he opens it again; the template asked for
    // loads as it is stored.
    std::vector<uint32_t> shown;
    std::string bad;
    if (!Visible() && ShownCounts(shown, bad) > 0) {
        const std::vector<uint32_t>& counts = Templates[static_cast<size_t>(index)].counts;
        const std::vector<int> match = battle::MatchEntries(UnitRows, 0, targetRows, 0);
        for (size_t k = 0; k < match.size() && static_cast<int>(k) + 1 <= target->Count(); ++k)
            target->SetValues(static_cast<int>(k) + 1,
                              match[k] < 0 ? "0" : rtl::IntToStr(counts[UnitRows[static_cast<size_t>(match[k])]]));
        return true;
    }
    ListBox1->SetItemIndex(index);
    ListBox1Click(this);
    if (Current != index) {  // the shown template holds a bad count: it stays, in front
        Show();
        return false;
    }
    CopyEntries(ValueListEditor1, UnitRows, 0, target, targetRows, 0);
    return true;
}

void TForm15::SaveAsTemplate(TValueListEditor* source, const std::vector<uint16_t>& sourceRows) {
    // The shown template is stored before the new one is shown; a bad count
    // in it is mended here first.
    if (!saveships()) {
        Show();
        return;
    }
    if (!AddTemplate(Edit1->Text())) return;
    p();
    ListBox1Click(this);
    CopyEntries(source, sourceRows, 0, ValueListEditor1, UnitRows, 0);
    Show();
}
