// The rapid fire of other units against the edited one. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class TForm5 : public vcl::TForm {
public:
    explicit TForm5(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm5"; }
};

extern TForm5* Form5;
