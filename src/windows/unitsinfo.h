// The unit information viewer. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class Tinfoform : public vcl::TForm {
public:
    explicit Tinfoform(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tinfoform"; }
};

extern Tinfoform* infoform;
