// The working tables of fleet selection: candidates and kept candidates,
// one column each, rows 0..599 unit counts by database row, row 600 the score.
#pragma once
#include "vcl/vcl.h"

class Tpodborform : public vcl::TForm {
public:
    explicit Tpodborform(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tpodborform"; }

    vcl::TStringGrid* StringGrid1;  // the candidates of a generation
    vcl::TStringGrid* StringGrid2;  // the kept candidates, best last
};

extern Tpodborform* podborform;
