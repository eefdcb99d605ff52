// The closing notice: shown modally when the main window closes; only its
// button, usable two seconds after the notice appears, ends the program.
#pragma once
#include "vcl/vcl.h"

class TFo8 : public vcl::TForm {
public:
    explicit TFo8(vcl::TComponent* owner);
    const char* ClassName() const override { return "TFo8"; }

    vcl::TLabel* Label1;
    vcl::TButton* Button1;  // "закрыть", disabled until Timer1 fires
    vcl::TTimer* Timer1;    // 2 s, disabled at first; the main window enables it

    void Timer1Timer(vcl::TObject* Sender);
    void Button1Click(vcl::TObject* Sender);
    void FormCloseQuery(vcl::TObject* Sender, bool& CanClose);

private:
    bool closing_ = false;
};

extern TFo8* Fo8;
