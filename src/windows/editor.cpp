#include "windows/editor.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("Form2");
    SetCaption("Редктор юнитов");
    SetClientSize(420, 300);
}
