// Fleet entry: the eight editors, the per-participant arrays behind them
// and the participants of both sides.
#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>
#include <limits>

#include "battle/datatable.h"
#include "battle/inputcheck.h"
#include "rtl/convert.h"
#include "rtl/errors.h"
#include "windows/dataform.h"
#include "windows/inputname1.h"
#include "windows/inputname2.h"
#include "windows/mainteme.h"

using namespace vcl;
using battle::kParticipantSlots;

namespace {

constexpr int kMaxParticipants = 6;

const char* const kFixedTechs[] = {"Оружейная", "Структурная", "Шитовая"};
const char* const kFixedOfficers[] = {"Адмирал", "Боевой опыт", "Кристалы Хайдариана", "Кислотный баcсейн"};

const char* const kShipMessage = "количество кораблей должно быть целым числом";
const char* const kMedalMessage = "количество медалей должно быть целым числом";
const char* const kOfficerMessage = "Уровень офицеров быть целым числом";
const char* const kTechMessage = "Уровень технологий должен быть целым числом";

void Tell(const std::string& text) { Application->MessageBox(text, Application->Title(), MB_OK | MB_ICONSTOP); }

// The value of editor line `entry` as a whole number within 0..limit, read
// as every editor reads one; false when it is not one or the editor has no
// such line.
bool ReadValue(TValueListEditor* editor, int entry, int64_t limit, int64_t& value) {
    return entry + 1 <= editor->Count() && battle::ReadWholeNumber(editor->Values(entry + 1), 0, limit, value);
}

void WriteValue(TValueListEditor* editor, int entry, int64_t value) {
    if (entry + 1 <= editor->Count()) editor->SetValues(entry + 1, rtl::IntToStr(value));
}

// One side's editor of the participant being stored, for the messages.
struct SideEditor {
    int side;
    const std::string& participant;
    TValueListEditor* editor;
};

// The message names the side, the participant, the entry and what it holds.
void TellBadValue(const char* message, const SideEditor& where, int entry) {
    std::string text = std::string(message) + "\nСторона " + rtl::IntToStr(where.side) + ", участник «" +
                       where.participant + "», ";
    if (entry + 1 <= where.editor->Count())
        text += "«" + where.editor->Keys(entry + 1) + "»: «" + where.editor->Values(entry + 1) + "»";
    else
        text += "строки " + rtl::IntToStr(entry + 1) + " в списке нет";
    Tell(text);
}

// Stores one editor line of each side; a bad value is told and leaves
// its own side's array as it was (or 0, for the cleared unit counts).
template <class T>
void StoreEntry(const SideEditor& side1, const SideEditor& side2, int entry, T& value1, T& value2,
                const char* message, bool& told) {
    int64_t value = 0;
    if (ReadValue(side1.editor, entry, std::numeric_limits<T>::max(), value)) {
        value1 = static_cast<T>(value);
    } else {
        TellBadValue(message, side1, entry);
        told = true;
    }
    if (ReadValue(side2.editor, entry, std::numeric_limits<T>::max(), value)) {
        value2 = static_cast<T>(value);
    } else {
        TellBadValue(message, side2, entry);
        told = true;
    }
}

void CheckParticipant(uint8_t participant) {
    if (participant >= kParticipantSlots) throw rtl::ERangeError();
}

}  // namespace

namespace {

// Holds the painting of editors while they are refilled line by line, and
// paints them once at the end.
class EditorsFrozen {
public:
    explicit EditorsFrozen(std::initializer_list<TValueListEditor*> editors) : editors_(editors) {
        for (TValueListEditor* editor : editors_) SendMessageW(editor->Handle(), WM_SETREDRAW, FALSE, 0);
    }
    ~EditorsFrozen() {
        for (TValueListEditor* editor : editors_) {
            SendMessageW(editor->Handle(), WM_SETREDRAW, TRUE, 0);
            RedrawWindow(editor->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
        }
    }

private:
    std::vector<TValueListEditor*> editors_;
};

}  // namespace

void TForm1::loadships() {
    EditorsFrozen frozen{ValueListEditor1, ValueListEditor2, ValueListEditor3, ValueListEditor4,
                         ValueListEditor5, ValueListEditor6, ValueListEditor7, ValueListEditor8};
    for (TValueListEditor* editor : {ValueListEditor1, ValueListEditor2, ValueListEditor3, ValueListEditor4,
                                     ValueListEditor5, ValueListEditor6, ValueListEditor7, ValueListEditor8})
        editor->Clear();
    const battle::DataTable& table = Form4->Table();
    battle::BattleInput& in = *input_;
    auto add = [](TValueListEditor* side1, TValueListEditor* side2, const std::string& name) {
        side1->InsertRow(name, "0", true);
        side2->InsertRow(name, "0", true);
    };

    ShipRows_.clear();
    for (int row = battle::kUnitFirstRow; row <= battle::kUnitLastRow; ++row) {
        if (table.Cell(battle::kColKind, row) != battle::kKindUnit) continue;
        add(ValueListEditor1, ValueListEditor4, table.Cell(battle::kColName, row));
        ShipRows_.push_back(static_cast<uint16_t>(row));
    }

    in.MedalRowCount = 0;
    for (int row = battle::kMedalFirstRow; row <= battle::kMedalLastRow; ++row) {
        if (table.Cell(battle::kColKind, row) != battle::kKindMedal) continue;
        add(ValueListEditor7, ValueListEditor8, table.Cell(battle::kColName, row));
        in.MedalRows[in.MedalRowCount++] = static_cast<uint16_t>(row);
    }

    for (const char* name : kFixedTechs) add(ValueListEditor2, ValueListEditor5, name);
    in.TechRowCount = battle::kFirstDatabaseTechLine;
    for (int row = battle::kTechFirstRow; row <= battle::kTechLastRow; ++row) {
        if (table.Cell(battle::kColKind, row) != battle::kKindTech) continue;
        add(ValueListEditor2, ValueListEditor5, table.Cell(battle::kColName, row));
        in.TechRows[in.TechRowCount++] = static_cast<uint16_t>(row);
    }

    for (const char* name : kFixedOfficers) add(ValueListEditor3, ValueListEditor6, name);
    in.OfficerRowCount = battle::kFirstDatabaseOfficerLine;
    for (int row = battle::kOfficerFirstRow; row <= battle::kOfficerLastRow; ++row) {
        if (table.Cell(battle::kColKind, row) != battle::kKindOfficer) continue;
        add(ValueListEditor3, ValueListEditor6, table.Cell(battle::kColName, row));
        in.OfficerRows[in.OfficerRowCount++] = static_cast<uint16_t>(row);
    }
    TechRowCount = in.TechRowCount;
    OfficerRowCount = in.OfficerRowCount;
    ListBox1->SetItemIndex(0);
}

namespace {

template <class T, size_t N>
bool SameEntries(const T (&kept)[N], const T* now, int count) {
    return std::equal(kept, kept + count, now);
}

}  // namespace

std::array<TValueListEditor*, TForm1::kFleetEditors> TForm1::FleetEditors() const {
    return {ValueListEditor1, ValueListEditor2, ValueListEditor3, ValueListEditor4,
            ValueListEditor5, ValueListEditor6, ValueListEditor7, ValueListEditor8};
}

bool TForm1::StoredStillHolds(uint8_t part1, uint8_t part2) const {
    const StoredEditors& kept = *stored_;
    const battle::BattleInput& in = *input_;
    if (!kept.valid || kept.part1 != part1 || kept.part2 != part2 || kept.shipRows != ShipRows_ ||
        kept.medals != in.MedalRowCount || kept.officers != in.OfficerRowCount || kept.techs != in.TechRowCount)
        return false;
    const auto editors = FleetEditors();
    for (size_t i = 0; i < editors.size(); ++i)
        if (editors[i]->Changes() != kept.changes[i]) return false;
    const uint8_t parts[2] = {part1, part2};
    for (int s = 0; s < 2; ++s) {
        const int side = s + 1, part = parts[s];
        if (!SameEntries(kept.ships[s], in.ShipCount[side][part], battle::kRowCount) ||
            !SameEntries(kept.medalCounts[s], in.MedalCount[side][part], in.MedalRowCount) ||
            !SameEntries(kept.officerLevels[s], in.OfficerLevel[side][part], in.OfficerRowCount) ||
            !SameEntries(kept.techLevels[s], in.TechLevel[side][part], in.TechRowCount))
            return false;
    }
    return true;
}

void TForm1::RememberStored(uint8_t part1, uint8_t part2) {
    StoredEditors& kept = *stored_;
    const battle::BattleInput& in = *input_;
    kept.part1 = part1;
    kept.part2 = part2;
    const auto editors = FleetEditors();
    for (size_t i = 0; i < editors.size(); ++i) kept.changes[i] = editors[i]->Changes();
    kept.shipRows = ShipRows_;
    kept.medals = in.MedalRowCount;
    kept.officers = in.OfficerRowCount;
    kept.techs = in.TechRowCount;
    const uint8_t parts[2] = {part1, part2};
    for (int s = 0; s < 2; ++s) {
        const int side = s + 1, part = parts[s];
        std::copy_n(in.ShipCount[side][part], battle::kRowCount, kept.ships[s]);
        std::copy_n(in.MedalCount[side][part], in.MedalRowCount, kept.medalCounts[s]);
        std::copy_n(in.OfficerLevel[side][part], in.OfficerRowCount, kept.officerLevels[s]);
        std::copy_n(in.TechLevel[side][part], in.TechRowCount, kept.techLevels[s]);
    }
    kept.valid = true;
}

void TForm1::saveships(uint8_t part1, uint8_t part2) {
    CheckParticipant(part1);
    CheckParticipant(part2);
    if (StoredStillHolds(part1, part2)) return;
    stored_->valid = false;
    battle::BattleInput& in = *input_;
    uint32_t* ships1 = in.ShipCount[1][part1];
    uint32_t* ships2 = in.ShipCount[2][part2];
    std::fill(ships1, ships1 + battle::kRowCount, 0u);
    std::fill(ships2, ships2 + battle::kRowCount, 0u);
    auto name = [this](int side, uint8_t part) {
        TStrings* names = PartList(side)->Items();
        return part < names->Count() ? names->Get(part) : std::string();
    };
    const std::string name1 = name(1, part1), name2 = name(2, part2);
    auto sides = [&](TValueListEditor* editor1, TValueListEditor* editor2) {
        return std::pair<SideEditor, SideEditor>{{1, name1, editor1}, {2, name2, editor2}};
    };
    // A bad value is told at every store, as long as it stands.
    bool told = false;
    const auto ships = sides(ValueListEditor1, ValueListEditor4);
    for (int i = 0; i < ShipRowCount(); ++i) {
        const uint16_t row = ShipRows_[static_cast<size_t>(i)];
        StoreEntry(ships.first, ships.second, i, ships1[row], ships2[row], kShipMessage, told);
    }
    const auto medals = sides(ValueListEditor7, ValueListEditor8);
    for (int i = 0; i < in.MedalRowCount; ++i)
        StoreEntry(medals.first, medals.second, i, in.MedalCount[1][part1][i], in.MedalCount[2][part2][i],
                   kMedalMessage, told);
    const auto officers = sides(ValueListEditor3, ValueListEditor6);
    for (int i = 0; i < in.OfficerRowCount; ++i)
        StoreEntry(officers.first, officers.second, i, in.OfficerLevel[1][part1][i], in.OfficerLevel[2][part2][i],
                   kOfficerMessage, told);
    const auto techs = sides(ValueListEditor2, ValueListEditor5);
    for (int i = 0; i < in.TechRowCount; ++i)
        StoreEntry(techs.first, techs.second, i, in.TechLevel[1][part1][i], in.TechLevel[2][part2][i],
                   kTechMessage, told);
    if (!told) RememberStored(part1, part2);
}

void TForm1::loadship(uint8_t part1, uint8_t part2) {
    CheckParticipant(part1);
    CheckParticipant(part2);
    const battle::BattleInput& in = *input_;
    for (int i = 0; i < ShipRowCount(); ++i) {
        const uint16_t row = ShipRows_[static_cast<size_t>(i)];
        WriteValue(ValueListEditor1, i, in.ShipCount[1][part1][row]);
        WriteValue(ValueListEditor4, i, in.ShipCount[2][part2][row]);
    }
    for (int i = 0; i < in.MedalRowCount; ++i) {
        WriteValue(ValueListEditor7, i, in.MedalCount[1][part1][i]);
        WriteValue(ValueListEditor8, i, in.MedalCount[2][part2][i]);
    }
    for (int i = 0; i < in.OfficerRowCount; ++i) {
        WriteValue(ValueListEditor3, i, in.OfficerLevel[1][part1][i]);
        WriteValue(ValueListEditor6, i, in.OfficerLevel[2][part2][i]);
    }
    for (int i = 0; i < in.TechRowCount; ++i) {
        WriteValue(ValueListEditor2, i, in.TechLevel[1][part1][i]);
        WriteValue(ValueListEditor5, i, in.TechLevel[2][part2][i]);
    }
}

// ---- Participants.

bool TForm1::RefuseWhileRunning() {
    if (!runGoing_) return false;
    Application->MessageBox("Идет расчет боя, дождитесь его окончания", Application->Title(), MB_OK | MB_ICONSTOP);
    return true;
}

bool RefuseWhileRunning() { return Form1 && Form1->RefuseWhileRunning(); }

void TForm1::AskForParticipant(int side) {
    if (RefuseWhileRunning()) return;
    if (input_->PartCount[side] >= kMaxParticipants) {
        Tell("Достигнут предел количества участников САБ");
        return;
    }
    if (side == 1)
        Form11->Show();
    else
        Form12->Show();
}

void TForm1::Button1Click(TObject* Sender) { AskForParticipant(1); }
void TForm1::Button3Click(TObject* Sender) { AskForParticipant(2); }

void TForm1::addnew1Timer(TObject* Sender) {
    addnew1->SetEnabled(false);
    AddParticipant(1, Form11->Edit1->Text());
}

void TForm1::addnew2Timer(TObject* Sender) {
    addnew2->SetEnabled(false);
    AddParticipant(2, Form12->Edit1->Text());
}

namespace {

void ClearSlot(battle::BattleInput& in, int side, int participant) {
    std::fill(std::begin(in.ShipCount[side][participant]), std::end(in.ShipCount[side][participant]), 0u);
    std::fill(std::begin(in.TechLevel[side][participant]), std::end(in.TechLevel[side][participant]), 0);
    std::fill(std::begin(in.OfficerLevel[side][participant]), std::end(in.OfficerLevel[side][participant]), 0);
    std::fill(std::begin(in.MedalCount[side][participant]), std::end(in.MedalCount[side][participant]), 0);
}

void CopySlot(battle::BattleInput& in, int side, int from, int to) {
    std::memcpy(in.ShipCount[side][to], in.ShipCount[side][from], sizeof in.ShipCount[side][to]);
    std::memcpy(in.TechLevel[side][to], in.TechLevel[side][from], sizeof in.TechLevel[side][to]);
    std::memcpy(in.OfficerLevel[side][to], in.OfficerLevel[side][from], sizeof in.OfficerLevel[side][to]);
    std::memcpy(in.MedalCount[side][to], in.MedalCount[side][from], sizeof in.MedalCount[side][to]);
}

}  // namespace

// The limit is kept here, whoever asks for a participant (the prompts, the
// report analysis), and the new participant starts from an empty slot.
void TForm1::AddParticipant(int side, const std::string& name) {
    if (RefuseWhileRunning()) return;
    uint8_t& count = input_->PartCount[side];
    if (count >= kMaxParticipants) {
        Tell("Достигнут предел количества участников САБ");
        return;
    }
    saveships(CurPart[1], CurPart[2]);
    ClearSlot(*input_, side, count);
    ++count;
    TListBox* list = PartList(side);
    list->Items()->Add(name);
    list->SetItemIndex(count - 1);
    SwitchParticipant(side);
}

void TForm1::SwitchParticipant(int side) {
    TListBox* list = PartList(side);
    const int selected = list->ItemIndex();
    if (selected < 0 || selected >= input_->PartCount[side]) {
        list->SetItemIndex(CurPart[side]);
        return;
    }
    saveships(CurPart[1], CurPart[2]);
    CurPart[side] = static_cast<uint8_t>(selected);
    loadship(CurPart[1], CurPart[2]);
    NameField(side)->SetText(list->Items()->Get(selected));
}

void TForm1::ListBox1Click(TObject* Sender) {
    if (runGoing_) ListBox1->SetItemIndex(CurPart[1]);
    if (RefuseWhileRunning()) return;
    SwitchParticipant(1);
}

void TForm1::ListBox2Click(TObject* Sender) {
    if (runGoing_) ListBox2->SetItemIndex(CurPart[2]);
    if (RefuseWhileRunning()) return;
    SwitchParticipant(2);
}

void TForm1::Edit1Change(TObject* Sender) {
    if (CurPart[1] < ListBox1->Items()->Count()) ListBox1->Items()->Put(CurPart[1], Edit1->Text());
}

void TForm1::Edit2Change(TObject* Sender) {
    if (CurPart[2] < ListBox2->Items()->Count()) ListBox2->Items()->Put(CurPart[2], Edit2->Text());
}

// What the player typed for the current participants is kept before the
// arrays move; the freed slot is emptied; a side keeps at least one participant.
void TForm1::DeleteParticipant(int side) {
    if (RefuseWhileRunning()) return;
    uint8_t& count = input_->PartCount[side];
    if (count <= 1) {
        Tell("Нельзя удалить единственного участника стороны");
        return;
    }
    saveships(CurPart[1], CurPart[2]);
    const int deleted = CurPart[side];
    for (int j = deleted; j + 1 < kParticipantSlots; ++j) CopySlot(*input_, side, j + 1, j);
    --count;
    for (int j = count; j < kParticipantSlots; ++j) ClearSlot(*input_, side, j);
    CurPart[side] = 0;
    TListBox* list = PartList(side);
    list->Items()->Delete(deleted);
    list->SetItemIndex(0);
    loadship(CurPart[1], CurPart[2]);
    NameField(side)->SetText(list->Items()->Get(0));
}

void TForm1::Button2Click(TObject* Sender) { DeleteParticipant(1); }
void TForm1::Button4Click(TObject* Sender) { DeleteParticipant(2); }
