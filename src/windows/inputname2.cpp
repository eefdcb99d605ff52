#include "windows/inputname2.h"

using namespace vcl;

TForm12* Form12 = nullptr;

TForm12::TForm12(TComponent* owner) : TForm11(owner) { SetName("Form12"); }

void TForm12::Button1Click(TObject*) {
    EnableMainWindowTimer("addnew2");
    Close();
}
