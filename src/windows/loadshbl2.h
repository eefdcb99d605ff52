// Picks a fleet template for side 2. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class TForm17 : public vcl::TForm {
public:
    explicit TForm17(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm17"; }
};

extern TForm17* Form17;
