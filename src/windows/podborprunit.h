// The progress of fleet selection.
#pragma once
#include "skin/windows/gauge.h"
#include "vcl/vcl.h"

class Tpodborpr : public vcl::TForm {
public:
    explicit Tpodborpr(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tpodborpr"; }

    skin::TsGauge* sGauge1;  // generations
    skin::TsGauge* sGauge2;  // candidates of the generation
    skin::TsGauge* sGauge3;  // battles of the candidate
    vcl::TLabel* Label1;   // "Бой ..."
    vcl::TLabel* Label2;   // time spent
    vcl::TLabel* Label3;   // estimated time
};

extern Tpodborpr* podborpr;
