// The officer editor: officer rows 551..600 (kind "4"), the technology
// editor's design without the spy-report name.
#pragma once
#include "windows/bonuseditor.h"

class TForm27 : public TUnitBonusEditor {
public:
    explicit TForm27(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm27"; }
};

extern TForm27* Form27;
