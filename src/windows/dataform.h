// The database window: the one game database table of the program, the grid
// that shows it, and its files (DataBase.dat, lang.dat, expinp.shp).
#pragma once
#include <string>

#include "battle/datatable.h"
#include "vcl/vcl.h"

// A string grid whose cells are those of a database table: nothing is
// copied, the grid paints and edits the table itself.
class TDataGrid : public vcl::TStringGrid {
public:
    TDataGrid(vcl::TComponent* owner, battle::DataTable& table);
    const char* ClassName() const override { return "TStringGrid"; }

    // Outside the table a cell reads "" and takes no text. A text the
    // table refuses (a rapid fire beyond its bound), or any change while a
    // battle is fought, is told and leaves the cell as it was.
    std::string Cells(int col, int row) const override;
    void SetCells(int col, int row, const std::string& text) override;

private:
    battle::DataTable& table_;
};

class TForm4 : public vcl::TForm {
public:
    explicit TForm4(vcl::TComponent* owner);
    const char* ClassName() const override { return "TForm4"; }

    // The game database. Code that changes it calls Button1Click to save
    // and RefreshGrid when the window may be showing.
    battle::DataTable& Table() { return table_; }
    const battle::DataTable& Table() const { return table_; }
    // False after a load that failed or found the file short.
    bool LoadComplete() const { return loadComplete_; }
    void RefreshGrid();

    TDataGrid* datatable;
    vcl::TLabel* LoadState;  // what went wrong when DataBase.dat was read; empty when nothing did
    vcl::TButton* Button1;  // "сохранит."
    vcl::TButton* Button2;  // "загрузить"
    vcl::TButton* Button3;  // "заполнить по умолчанию"
    vcl::TTimer* Timer2;    // 1 ms: saves once
    vcl::TTimer* Timer3;    // 1 s after start: the first-run check
    vcl::TTimer* Timer5;    // export to expinp.shp when enabled
    vcl::TTimer* Timer6;    // import from expinp.shp when enabled

    void FormCreate(vcl::TObject* Sender);
    // Save DataBase.dat.
    void Button1Click(vcl::TObject* Sender);
    // The same; false (after telling the player) when the file was not written.
    bool Save();
    // Load DataBase.dat, then the main window's captions from lang.dat.
    void Button2Click(vcl::TObject* Sender);
    // Fill defaults: column 0 the row number, columns 12..630 "0".
    void Button3Click(vcl::TObject* Sender);
    void Timer2Timer(vcl::TObject* Sender);
    void Timer3Timer(vcl::TObject* Sender);
    void Timer5Timer(vcl::TObject* Sender);
    void Timer6Timer(vcl::TObject* Sender);

private:
    void LoadDataBase();
    void ShowLoadProblem(const std::string& text);
    void ApplyLanguage();
    // Saves; false (after telling the player) when the save failed.
    bool SaveDataBase();

    battle::DataTable table_;
    bool loadComplete_ = false;
};

extern TForm4* Form4;
