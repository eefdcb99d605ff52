#include "windows/loadshbl2.h"

using namespace vcl;

TForm17* Form17 = nullptr;

TForm17::TForm17(TComponent* owner) : TForm16(owner, "Form17", "Открыть шаблон") {
    Button1->OnClick = Bind(this, &TForm17::Button1Click);
}

void TForm17::Button1Click(TObject*) { OpenInto(2); }
