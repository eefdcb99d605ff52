// The technology editor. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class TForm26 : public vcl::TForm {
public:
    explicit TForm26(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm26"; }
};

extern TForm26* Form26;
