// The wait window shown while the start-up fills the windows.
#pragma once
#include "vcl/vcl.h"

class TForm20 : public vcl::TForm {
public:
    explicit TForm20(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm20"; }

    vcl::TLabel* Label1;
    vcl::TTimer* Timer1;  // 3 s, enabled at creation; closes the window

    void Timer1Timer(vcl::TObject* Sender);
};

extern TForm20* Form20;
