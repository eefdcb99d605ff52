#include "windows/editskr.h"

TForm5* Form5 = nullptr;

TForm5::TForm5(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("Form5");
    SetCaption("Скорострел от");
    SetClientSize(420, 300);
}
