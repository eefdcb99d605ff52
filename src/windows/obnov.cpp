#include "windows/obnov.h"

Tpoisk_obnov* poisk_obnov = nullptr;

Tpoisk_obnov::Tpoisk_obnov(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("poisk_obnov");
    SetCaption("poisk_obnov");
    SetClientSize(420, 300);
}
