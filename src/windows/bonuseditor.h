// The editors of the bonus rows of the game database: a list of the rows of
// one kind in their band, the fields of the open row, and new, delete and
// discard. Choosing another row stores the open one in the table; only a
// save writes DataBase.dat.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/vcl.h"
#include "windows/editorfields.h"

class TBonusEditor : public vcl::TForm {
public:
    vcl::TListBox* ListBox1;
    vcl::TEdit* Edit4;  // name (column 2)
    vcl::TEdit* Edit1;  // percent to attack (column 3)
    vcl::TEdit* Edit2;  // percent to shields (column 4)
    vcl::TEdit* Edit3;  // percent to structure (column 5)
    vcl::TTimer* Timer1;  // 1 s: lists the rows

    void Timer1Timer(vcl::TObject* Sender);
    void ListBox1Click(vcl::TObject* Sender);
    void Edit4Change(vcl::TObject* Sender);

    // The open row, -1 when none has been opened since the last listing.
    int CurrentRow() const { return current_; }
    // The rows behind the list items, in list order.
    const std::vector<uint16_t>& Rows() const { return rows_; }

protected:
    struct Band {
        int first, last;
        std::string_view kind;
        const char* newName;   // the name of a new row
        const char* fullText;  // when the band has no free row
    };
    struct Captions {
        const char* list;
        const char* name;
        const char* attack;
        const char* shields;
        const char* structure;
    };
    TBonusEditor(vcl::TComponent* owner, const Band& band, const Captions& captions);

    // Before the rows are listed, and after.
    virtual void ListExtra() {}
    virtual void Listed() {}
    // The fields besides the name and the three percentages.
    virtual void StoreFields(int row) {}
    virtual void OpenFields(int row) {}

    // Writes the open row into the table; false (after telling) when a value was refused.
    bool StoreOpenRow();
    // Stores the open row and saves DataBase.dat; false when nothing was saved.
    bool StoreAndSave();
    void NewRow();
    void DeleteChosen();
    // Reloads DataBase.dat and lists again; false when refused during a run.
    bool Discard();

    vcl::TLabel* NewLabel(const std::string& name, int left, int top, int width, const char* caption);

private:
    void Open(int row);
    int ListPosition(int row) const;

    Band band_;
    Captions captions_;
    int current_ = -1;
    std::vector<uint16_t> rows_;
};

// The technology and officer editors: besides the common fields the name a
// spy report gives the row, and the unit types that the bonus acts on.
class TUnitBonusEditor : public TBonusEditor {
public:
    vcl::TLabel* Label5;
    vcl::TEdit* Edit5;  // "Название для анализатора" (column 6)
    vcl::TCheckListBox* CheckListBox1;  // the unit rows; checked: the bonus acts on it
    vcl::TButton* Button1;  // save
    vcl::TButton* Button2;  // new
    vcl::TButton* Button3;  // delete
    vcl::TButton* Button4;  // discard
    vcl::TButton* Button5;  // discard and close

    virtual void Button1Click(vcl::TObject* Sender);
    void Button2Click(vcl::TObject* Sender);
    void Button3Click(vcl::TObject* Sender);
    void Button4Click(vcl::TObject* Sender);
    void Button5Click(vcl::TObject* Sender);

    // The unit rows behind the check list, in list order.
    const std::vector<uint16_t>& UnitRows() const { return unitRows_; }

protected:
    struct Texts {
        const char* newButton;
        const char* deleteButton;
    };
    TUnitBonusEditor(vcl::TComponent* owner, const Band& band, const Captions& captions, const Texts& texts);

    void ListExtra() override;
    void StoreFields(int row) override;
    void OpenFields(int row) override;

private:
    std::vector<uint16_t> unitRows_;
};
