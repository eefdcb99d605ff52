#include "windows/shabln.h"

TForm15* Form15 = nullptr;

TForm15::TForm15(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("Form15");
    SetCaption("Редактор шаблонов");
    SetClientSize(420, 300);
}
