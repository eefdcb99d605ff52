#include "windows/obno.h"

Tobnovl* obnovl = nullptr;

Tobnovl::Tobnovl(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("obnovl");
    SetCaption("Обнаружен обновления");
    SetClientSize(420, 300);
}
