// Tells the player that a newer build exists. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class Tobnovl : public vcl::TForm {
public:
    explicit Tobnovl(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tobnovl"; }
};

extern Tobnovl* obnovl;
