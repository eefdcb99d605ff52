// Reads a pasted spy report into a participant. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class TForm18 : public vcl::TForm {
public:
    explicit TForm18(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm18"; }
};

extern TForm18* Form18;
