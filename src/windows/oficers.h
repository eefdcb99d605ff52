// The officer editor. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class TForm27 : public vcl::TForm {
public:
    explicit TForm27(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm27"; }
};

extern TForm27* Form27;
