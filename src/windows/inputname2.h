// The name prompt for a new side-2 participant; the side-1 prompt with its
// own button handler.
#pragma once
#include "windows/inputname1.h"

class TForm12 : public TForm11 {
public:
    explicit TForm12(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm12"; }

    // Enables the main window's addnew2 timer and closes.
    void Button1Click(vcl::TObject* Sender) override;
};

extern TForm12* Form12;
