#include "windows/medaleditor.h"

Tform911* form911 = nullptr;

Tform911::Tform911(vcl::TComponent* owner) : vcl::TForm(owner) {
    SetName("form911");
    SetCaption("Редактор медалей");
    SetClientSize(420, 300);
}
