// The medal editor. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class Tform911 : public vcl::TForm {
public:
    explicit Tform911(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tform911"; }
};

extern Tform911* form911;
