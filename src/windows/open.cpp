#include "windows/open.h"

TForm3* Form3 = nullptr;

TForm3::TForm3(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("Form3");
    SetCaption("Открыть юнит");
    SetClientSize(420, 300);
}
