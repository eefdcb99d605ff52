// The result of fleet selection.
#pragma once
#include "vcl/vcl.h"

class Tpodborres : public vcl::TForm {
public:
    explicit Tpodborres(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tpodborres"; }

    vcl::TMemo* Memo1;
    vcl::TButton* Button1;  // "Закрыть"
    vcl::TButton* Button2;  // "Отправить данные на симуляцию", disabled at first

    void Button1Click(vcl::TObject* Sender);
};

extern Tpodborres* podborres;
