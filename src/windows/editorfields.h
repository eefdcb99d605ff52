// What the database editors share: the rows of one kind in a band, the
// check of typed values before they reach the table, and the save.
#pragma once
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "battle/datatable.h"
#include "battle/inputcheck.h"
#include "vcl/vcl.h"

// The rows of `kind` (column 1) among first..last, ascending.
std::vector<uint16_t> RowsOfKind(const battle::DataTable& table, int first, int last, std::string_view kind);

// Collects the fields whose text the battle could not read as a number, so
// that one message names them all and nothing is stored until they are mended.
class FieldCheck {
public:
    void WholeNumber(const std::string& field, const std::string& text,
                     int64_t min = std::numeric_limits<int64_t>::min(),
                     int64_t max = std::numeric_limits<int64_t>::max());
    // A text that must hold something besides blanks.
    void NotBlank(const std::string& field, const std::string& text);
    // A value for a cell under its rule; the form to store (see battle::CellProblem).
    std::string Cell(const battle::CellRule& rule, const std::string& text, const std::string& field = {});
    bool Ok() const { return problems_.empty(); }
    // Tells the player in a box captioned `caption`, under `heading`; false
    // when there was anything to tell.
    bool Report(const std::string& caption,
                const std::string& heading = "Ничего не сохранено. Исправьте значения:") const;

private:
    std::vector<std::string> problems_;
};

// The edited table to DataBase.dat (and to the database window's grid);
// false (after telling the player) when the file could not be written.
bool SaveDataBase();
// The database table the editors change.
battle::DataTable& GameTable();
void Tell(const std::string& text, const std::string& caption);

// Holds the painting of controls while they are refilled item by item (each
// item would otherwise repaint the list and its scroll bar), and paints them
// once at the end.
class RedrawHeld {
public:
    explicit RedrawHeld(std::initializer_list<vcl::TWinControl*> controls);
    ~RedrawHeld();
    RedrawHeld(const RedrawHeld&) = delete;
    RedrawHeld& operator=(const RedrawHeld&) = delete;

private:
    std::vector<vcl::TWinControl*> controls_;
};
