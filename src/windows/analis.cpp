#include "windows/analis.h"

TForm18* Form18 = nullptr;

TForm18::TForm18(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("Form18");
    SetCaption("Анализ шпионского отчета");
    SetClientSize(420, 300);
}
