#include "windows/loadshbl1.h"

TForm16* Form16 = nullptr;

TForm16::TForm16(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("Form16");
    SetCaption("Открытие шблона");
    SetClientSize(420, 300);
}
