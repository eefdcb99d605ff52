// The progress of fleet selection.
#pragma once
#include "vcl/vcl.h"

class Tpodborpr : public vcl::TForm {
public:
    explicit Tpodborpr(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tpodborpr"; }

    vcl::TGauge* sGauge1;  // generations
    vcl::TGauge* sGauge2;  // candidates of the generation
    vcl::TGauge* sGauge3;  // battles of the candidate
    vcl::TLabel* Label1;   // "Бой ..."
    vcl::TLabel* Label2;   // time spent
    vcl::TLabel* Label3;   // estimated time
};

extern Tpodborpr* podborpr;
