// The player's defaults and templates in the main window: the defaults copy
// into side 1 and "Сохранить в шаблон" of both sides.
#include "windows/defteh.h"
#include "windows/entrylists.h"
#include "windows/mainteme.h"
#include "windows/shabln.h"

using namespace vcl;

namespace {

std::vector<uint16_t> EntryRows(const uint16_t* rows, int count, int fixed) {
    std::vector<uint16_t> entries(static_cast<size_t>(fixed), 0);
    for (int k = fixed; k < count; ++k) entries.push_back(rows[k]);
    return entries;
}

}  // namespace

std::vector<uint16_t> TForm1::TechEntryRows() const {
    return EntryRows(input_->TechRows, input_->TechRowCount, battle::kFirstDatabaseTechLine);
}

std::vector<uint16_t> TForm1::OfficerEntryRows() const {
    return EntryRows(input_->OfficerRows, input_->OfficerRowCount, battle::kFirstDatabaseOfficerLine);
}

std::vector<uint16_t> TForm1::MedalEntryRows() const { return EntryRows(input_->MedalRows, input_->MedalRowCount, 0); }

// Entries go by database row, so a row added or deleted in an editor since
// the defaults window built its lists moves no level onto another entry. A
// default template that is no longer there loads nothing; the names follow
// in any case. A run started within the first seconds was started with
// what the player had entered, and reads the editors at every battle: the
// copy at start is then not made at all, neither during the run nor after
// it, when it would overwrite that input ("Загрузить по умолчанию" still
// makes it on request).
void TForm1::Timer7Timer(TObject* Sender) {
    Timer7->SetEnabled(false);
    if (runGoing_) return;
    if (!Form14) return;
    CopyEntries(Form14->ValueListEditor2, Form14->TechRows, battle::kFirstDatabaseTechLine, ValueListEditor2,
                TechEntryRows(), battle::kFirstDatabaseTechLine);
    CopyEntries(Form14->ValueListEditor3, Form14->OfficerRows, battle::kFirstDatabaseOfficerLine, ValueListEditor3,
                OfficerEntryRows(), battle::kFirstDatabaseOfficerLine);
    CopyEntries(Form14->ValueListEditor7, Form14->MedalRows, 0, ValueListEditor7, MedalEntryRows(), 0);
    if (Form15) {
        const int fleet = Form14->DefaultTemplate(Form15->TemplateTotal);
        if (fleet >= 0) Form15->OpenTemplate(fleet, ValueListEditor1, ShipRows_);
    }
    Edit1->SetText(Form14->Edit2->Text());
    Edit2->SetText(Form14->Edit3->Text());
}

// The battle reads the editors at every tick: a run keeps them as they are.
void TForm1::N24Click(TObject* Sender) {
    if (RefuseWhileRunning()) return;
    Timer7Timer(Sender);
}

void TForm1::N29Click(TObject* Sender) {
    if (Form15) Form15->SaveAsTemplate(ValueListEditor1, ShipRows_);
}

void TForm1::N31Click(TObject* Sender) {
    if (Form15) Form15->SaveAsTemplate(ValueListEditor4, ShipRows_);
}
