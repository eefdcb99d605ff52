// Looks for a newer build. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class Tpoisk_obnov : public vcl::TForm {
public:
    explicit Tpoisk_obnov(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tpoisk_obnov"; }
};

extern Tpoisk_obnov* poisk_obnov;
