#include "windows/podbor.h"

using namespace vcl;

Tpodborform* podborform = nullptr;

namespace {
constexpr int kSelectionRows = 601;  // rows 0..599 unit counts, row 600 the score
}

Tpodborform::Tpodborform(TComponent* owner) : TForm(owner) {
    SetName("podborform");
    SetCaption("podbor");
    SetClientSize(640, 400);
    auto table = [](TStringGrid* g) {
        g->SetRowCount(kSelectionRows);
        g->SetFixedRows(0);
        g->SetFixedCols(0);
    };
    StringGrid1 = Declare<TStringGrid>(this, "StringGrid1").Bounds(8, 8, 308, 384).With(table);
    StringGrid2 = Declare<TStringGrid>(this, "StringGrid2").Bounds(324, 8, 308, 384).With(table);
}
