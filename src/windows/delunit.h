// Deletes a unit type: the list, button and timer of the open window (which
// lists the units alike), with its own caption and button.
#pragma once
#include "windows/open.h"

class TForm21 : public TForm3 {
public:
    explicit TForm21(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm21"; }

    // Frees the chosen row (its kind becomes "0") and saves.
    void Button1Click(vcl::TObject* Sender);
};

extern TForm21* Form21;
