// Picks a fleet template and loads it into the unit list of side 2.
#pragma once
#include "windows/loadshbl1.h"

class TForm17 : public TForm16 {
public:
    explicit TForm17(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm17"; }

    void Button1Click(vcl::TObject* Sender);
};

extern TForm17* Form17;
