// The credits window. It closes five seconds after the first attempt to close it.
#pragma once
#include "vcl/vcl.h"

class Tformcreators : public vcl::TForm {
public:
    explicit Tformcreators(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tformcreators"; }

    vcl::TLabel* Label1;
    vcl::TMemo* Memo1;
    vcl::TTimer* Timer1;  // 5 s, disabled at first

    void FormCloseQuery(vcl::TObject* Sender, bool& CanClose);
    void Timer1Timer(vcl::TObject* Sender);

private:
    bool closing_ = false;
};

extern Tformcreators* formcreators;
