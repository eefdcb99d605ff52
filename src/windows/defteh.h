// The player's default levels, medals, template and names. For now the
// window exists with its caption and what the main window reads of it.
#pragma once
#include "vcl/vcl.h"

class TForm14 : public vcl::TForm {
public:
    explicit TForm14(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm14"; }

    // The default names of the player and of the enemy ("Новый бой").
    vcl::TEdit *Edit2, *Edit3;
};

extern TForm14* Form14;
