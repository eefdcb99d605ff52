// Picks a fleet template for side 1. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class TForm16 : public vcl::TForm {
public:
    explicit TForm16(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm16"; }
};

extern TForm16* Form16;
