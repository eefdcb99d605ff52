// Removes a unit type from the database. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class TForm21 : public vcl::TForm {
public:
    explicit TForm21(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm21"; }
};

extern TForm21* Form21;
