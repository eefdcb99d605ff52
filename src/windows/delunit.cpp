#include "windows/delunit.h"

TForm21* Form21 = nullptr;

TForm21::TForm21(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("Form21");
    SetCaption("Удаление юнита");
    SetClientSize(420, 300);
}
