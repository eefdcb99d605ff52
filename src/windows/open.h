// Picks a unit for the unit editor. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class TForm3 : public vcl::TForm {
public:
    explicit TForm3(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm3"; }
};

extern TForm3* Form3;
