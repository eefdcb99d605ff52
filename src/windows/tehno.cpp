#include "windows/tehno.h"

TForm26* Form26 = nullptr;

TForm26::TForm26(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("Form26");
    SetCaption("Редактор технологий");
    SetClientSize(420, 300);
}
