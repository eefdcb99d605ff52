#include "windows/oficers.h"

TForm27* Form27 = nullptr;

TForm27::TForm27(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("Form27");
    SetCaption("Редактор офицеров");
    SetClientSize(420, 300);
}
