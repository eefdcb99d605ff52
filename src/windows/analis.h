// The spy-report analysis: a report pasted from the game becomes side 2's
// fleet, allied fleet, defence, buildings, acid pool and research in the main
// window's editors.
#pragma once
#include <cstdint>
#include <vector>

#include "vcl/vcl.h"

class TForm18 : public vcl::TForm {
public:
    explicit TForm18(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm18"; }

    vcl::TMemo* Memo1;      // the pasted report
    vcl::TButton* Button1;  // "Анализ"
    vcl::TTimer* Timer1;    // 4 s after start, once: the unit table

    // The database rows of the unit types, in the order of side 2's ship editor.
    std::vector<uint16_t> UnitRows;

    void Timer1Timer(vcl::TObject* Sender);
    // Enters the report into side 2 and closes the window; a report that
    // gives nothing is told and stays.
    void Button1Click(vcl::TObject* Sender);
};

extern TForm18* Form18;
