#include "windows/loadshbl1.h"

#include "windows/mainteme.h"
#include "windows/shabln.h"

using namespace vcl;

TForm16* Form16 = nullptr;

TForm16::TForm16(TComponent* owner, const std::string& name, const std::string& caption) : TForm(owner) {
    SetName(name);
    SetCaption(caption);
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetClientSize(260, 320);
    SetBounds(320, 200, Width(), Height());
    ListBox1 = Declare<TListBox>(this, "ListBox1").Bounds(8, 8, 244, 264);
    Button1 = Declare<TButton>(this, "Button1")
                  .Bounds(8, 282, 244, 30)
                  .Caption("открыть")
                  .OnClick(Bind(this, &TForm16::Button1Click))
                  .With([](TButton* b) { b->SetDefault(true); });
}

// Refused during a run, the picker stays open with the template chosen.
void TForm16::OpenInto(int side) {
    const int chosen = ListBox1->ItemIndex();
    if (chosen >= 0 && Form1 && Form15) {
        if (Form1->RefuseWhileRunning()) return;
        Form15->OpenTemplate(chosen, side == 1 ? Form1->ValueListEditor1 : Form1->ValueListEditor4,
                             Form1->ShipRows());
    }
    Close();
}

void TForm16::Button1Click(TObject*) { OpenInto(1); }
