// Compares the database's rapid fire with the game's unit pages. For now the window exists with its caption.
#pragma once
#include "vcl/vcl.h"

class Tonlinesverka : public vcl::TForm {
public:
    explicit Tonlinesverka(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tonlinesverka"; }
};

extern Tonlinesverka* onlinesverka;
