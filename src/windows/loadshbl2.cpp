#include "windows/loadshbl2.h"

TForm17* Form17 = nullptr;

TForm17::TForm17(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("Form17");
    SetCaption("Открыть шаблон");
    SetClientSize(420, 300);
}
