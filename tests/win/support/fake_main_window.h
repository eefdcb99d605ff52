// A stand-in for the main window in tests of the windows that reach it by
// name: the menu items, buttons, labels and radio group that lang.dat
// captions, and the timers that the prompts enable. Only the names matter.
#pragma once
#include <string>
#include <vector>

#include "vcl/vcl.h"

class TFakeMainWindow : public vcl::TForm {
public:
    explicit TFakeMainWindow(vcl::TComponent* owner, bool withTimers = true) : TForm(owner) {
        using namespace vcl;
        SetName("Form1");
        SetCaption("Симулятор V3.6");
        auto* menu = new TMainMenu(this);
        for (const char* name : {"N1", "N7", "N8", "N9", "N26", "N33", "N11", "N2", "N3", "N4", "N27", "N28", "O1",
                                 "N6", "N12", "N13", "N17", "N19", "N20", "N24", "N29", "N31", "N21", "N23"})
            DeclareMenuItem(this, menu->Items(), name, "?");
        SetMenu(menu);
        int top = 8;
        for (const char* name : {"Button1", "Button2", "Button3", "Button4", "Button5", "Button6"}) {
            Declare<TButton>(this, name).Bounds(8, top, 200, 24).Caption("?");
            top += 28;
        }
        for (const char* name : {"Label1", "Label2", "Label3", "Label4"}) {
            Declare<TLabel>(this, name).Bounds(220, top, 200, 16).Caption("?").FontColor(clRed);
            top += 20;
        }
        RadioGroup1 = Declare<TRadioGroup>(this, "RadioGroup1").Bounds(8, top, 200, 70).Caption("?").Items({"?", "?"});
        if (withTimers) {
            for (const char* name : {"addnew1", "addnew2", "podbor1"}) {
                TTimer* timer = DeclareTimer(this, name, 1, false, nullptr);
                timer->OnTimer = [this, timer, name = std::string(name)](TObject*) {
                    timer->SetEnabled(false);
                    ticks.push_back(name);
                };
            }
        }
    }
    vcl::TControl* Control(const std::string& name) const { return dynamic_cast<vcl::TControl*>(FindComponent(name)); }
    vcl::TMenuItem* Item(const std::string& name) const { return dynamic_cast<vcl::TMenuItem*>(FindComponent(name)); }
    vcl::TTimer* Timer(const std::string& name) const { return dynamic_cast<vcl::TTimer*>(FindComponent(name)); }

    vcl::TRadioGroup* RadioGroup1;
    std::vector<std::string> ticks;  // timers that fired, in order
};
