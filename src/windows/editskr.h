// The rapid fire of every unit type against the unit in the editor: the
// column of that unit, listed, edited and written back where it came from.
#pragma once
#include <cstdint>
#include <vector>

#include "vcl/vcl.h"

class TForm5 : public vcl::TForm {
public:
    explicit TForm5(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm5"; }

    vcl::TValueListEditor* ValueListEditor1;
    vcl::TButton* Button1;  // "сохранить и закрыть"
    vcl::TButton* Button2;  // "Закрыть"
    vcl::TTimer* Timer1;    // 100 ms, once per enabling: lists the column

    void Timer1Timer(vcl::TObject* Sender);
    void Button1Click(vcl::TObject* Sender);
    void Button2Click(vcl::TObject* Sender);

    // The unit whose column is listed; -1 before the first listing.
    int ListedUnit() const { return listedUnit_; }

private:
    int listedUnit_ = -1;
    std::vector<uint16_t> rows_;
};

extern TForm5* Form5;
