#include "windows/wait.h"

using namespace vcl;

TForm20* Form20 = nullptr;

TForm20::TForm20(TComponent* owner) : TForm(owner) {
    SetName("Form20");
    SetCaption("пожалуйста подождите");
    SetBorderStyle(bsDialog);
    SetClientSize(420, 60);
    SetBounds(300, 300, Width(), Height());
    Label1 = Declare<TLabel>(this, "Label1")
                 .With([](TLabel* l) { l->SetAutoSize(false); })
                 .Bounds(16, 22, 388, 16)
                 .Caption("Выполняется загрузка данных пожалуйста подождите");
    Timer1 = DeclareTimer(this, "Timer1", 3000, true, Bind(this, &TForm20::Timer1Timer));
}

void TForm20::Timer1Timer(TObject*) {
    Timer1->SetEnabled(false);
    Close();
}
