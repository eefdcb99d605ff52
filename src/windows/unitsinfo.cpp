#include "windows/unitsinfo.h"

Tinfoform* infoform = nullptr;

Tinfoform::Tinfoform(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("infoform");
    SetCaption("Характеристики юнитов");
    SetClientSize(420, 300);
}
