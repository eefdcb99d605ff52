#include "windows/defteh.h"

TForm14* Form14 = nullptr;

TForm14::TForm14(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("Form14");
    SetCaption("Технологии по умолчанию");
    SetClientSize(420, 300);

    Edit2 = vcl::Declare<vcl::TEdit>(this, "Edit2").Bounds(16, 16, 200, 21).Text("Я");
    Edit3 = vcl::Declare<vcl::TEdit>(this, "Edit3").Bounds(16, 48, 200, 21).Text("Враг");
}
