// The warning shown before fleet selection.
#pragma once
#include "vcl/vcl.h"

class TForm22 : public vcl::TForm {
public:
    explicit TForm22(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm22"; }

    vcl::TLabel* Label1;
    vcl::TLabel* Label2;
    vcl::TButton* Button1;  // "Подобрать флот"
    vcl::TButton* Button2;  // "Вернуться в редактор"

    // Enables the main window's podbor1 timer (the start of fleet selection) and closes.
    void Button1Click(vcl::TObject* Sender);
    void Button2Click(vcl::TObject* Sender);
};

extern TForm22* Form22;
