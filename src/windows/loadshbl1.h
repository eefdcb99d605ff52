// Picks a fleet template and loads it into the unit list of side 1; the
// picker of side 2 is its kind.
#pragma once
#include <string>

#include "vcl/vcl.h"

class TForm16 : public vcl::TForm {
public:
    explicit TForm16(vcl::TComponent* owner) : TForm16(owner, "Form16", "Открытие шблона") {}
    const char* ClassName() const override { return "TForm16"; }

    vcl::TListBox* ListBox1;  // the template names, as the template editor lists them
    vcl::TButton* Button1;    // "открыть"

    void Button1Click(vcl::TObject* Sender);

protected:
    TForm16(vcl::TComponent* owner, const std::string& name, const std::string& caption);
    // The chosen template into the unit list of `side`; the window closes
    // whether a template was chosen or not.
    void OpenInto(int side);
};

extern TForm16* Form16;
