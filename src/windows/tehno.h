// The technology editor: technology rows 101..200 (kind "3"). Its listing
// and its save also write tihnics.dat, the names the spy-report analysis
// looks for.
#pragma once
#include "windows/bonuseditor.h"

inline constexpr const char* kTechNamesFile = "tihnics.dat";

class TForm26 : public TUnitBonusEditor {
public:
    explicit TForm26(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm26"; }

    // Stores the open row, saves DataBase.dat and rewrites tihnics.dat.
    void Button1Click(vcl::TObject* Sender) override;

protected:
    void Listed() override;

private:
    void WriteTechNames();
};

extern TForm26* Form26;
