// The name prompt for a new side-1 participant.
#pragma once
#include <string>

#include "vcl/vcl.h"

class TForm11 : public vcl::TForm {
public:
    explicit TForm11(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm11"; }

    vcl::TEdit* Edit1;
    vcl::TButton* Button1;  // "подтвердить"

    // The hidden access code opens the database window; any other name
    // enables the main window's addnew1 timer. Closes the prompt.
    virtual void Button1Click(vcl::TObject* Sender);

protected:
    // Enables a timer of the main window by its name.
    static void EnableMainWindowTimer(const std::string& name);
};

extern TForm11* Form11;
