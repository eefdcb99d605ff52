#include "windows/editorfields.h"

#include "battle/inputcheck.h"
#include "rtl/convert.h"
#include "windows/dataform.h"

std::vector<uint16_t> RowsOfKind(const battle::DataTable& table, int first, int last, std::string_view kind) {
    std::vector<uint16_t> rows;
    for (int row = first; row <= last; ++row)
        if (table.Cell(battle::kColKind, row) == kind) rows.push_back(static_cast<uint16_t>(row));
    return rows;
}

void FieldCheck::WholeNumber(const std::string& field, const std::string& text, int64_t min, int64_t max) {
    std::string problem = battle::WholeNumberProblem(field, text, min, max);
    if (!problem.empty()) problems_.push_back(std::move(problem));
}

void FieldCheck::NotBlank(const std::string& field, const std::string& text) { Cell({"", true}, text, field); }

std::string FieldCheck::Cell(const battle::CellRule& rule, const std::string& text, const std::string& field) {
    std::string stored;
    std::string problem = battle::CellProblem(rule, text, stored, field);
    if (!problem.empty()) problems_.push_back(std::move(problem));
    return stored;
}

bool FieldCheck::Report(const std::string& caption, const std::string& heading) const {
    if (problems_.empty()) return true;
    // A long list is cut: the first lines say enough to find the rest.
    constexpr size_t kShown = 12;
    std::string text = heading;
    for (size_t i = 0; i < problems_.size() && i < kShown; ++i) text += "\n" + problems_[i];
    if (problems_.size() > kShown) text += "\n... и еще " + rtl::IntToStr(static_cast<int64_t>(problems_.size() - kShown));
    Tell(text, caption);
    return false;
}

bool SaveDataBase() {
    Form4->RefreshGrid();
    return Form4->Save();
}

battle::DataTable& GameTable() { return Form4->Table(); }

void Tell(const std::string& text, const std::string& caption) {
    vcl::Application->MessageBox(text, caption, MB_OK | MB_ICONWARNING);
}

RedrawHeld::RedrawHeld(std::initializer_list<vcl::TWinControl*> controls) : controls_(controls) {
    for (vcl::TWinControl* control : controls_) SendMessageW(control->Handle(), WM_SETREDRAW, FALSE, 0);
}

RedrawHeld::~RedrawHeld() {
    for (vcl::TWinControl* control : controls_) {
        SendMessageW(control->Handle(), WM_SETREDRAW, TRUE, 0);
        RedrawWindow(control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
    }
}
