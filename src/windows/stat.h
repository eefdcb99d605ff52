// The statistics window: the summary of a run of several battles.
#pragma once
#include "vcl/vcl.h"

class TForm10 : public vcl::TForm {
public:
    explicit TForm10(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm10"; }

    vcl::TMemo* Memo1;
    vcl::TButton* Button1;

    // "Стереть": clears the statistics.
    void Button1Click(vcl::TObject* Sender);
};

extern TForm10* Form10;
