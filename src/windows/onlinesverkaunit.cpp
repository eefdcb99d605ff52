#include "windows/onlinesverkaunit.h"

Tonlinesverka* onlinesverka = nullptr;

Tonlinesverka::Tonlinesverka(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("onlinesverka");
    SetCaption("Сверка скорострелов");
    SetClientSize(420, 300);
}
