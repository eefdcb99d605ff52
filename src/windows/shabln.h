// The fleet template editor. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class TForm15 : public vcl::TForm {
public:
    explicit TForm15(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm15"; }
};

extern TForm15* Form15;
