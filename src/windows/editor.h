// The unit editor. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class TForm2 : public vcl::TForm {
public:
    explicit TForm2(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm2"; }
};

extern TForm2* Form2;
