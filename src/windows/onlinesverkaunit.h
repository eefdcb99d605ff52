// The online rapid-fire comparison: walks the unit rows, loads each unit's
// page from the game's site, logs and queues every rapid-fire value that
// differs from the database, and applies the queue on request.
#pragma once
#include <cstdint>

#include "vcl/vcl.h"
#include "vcl/webbrowser.h"
#include "windows/core/rapidfirepage.h"

class Tonlinesverka : public vcl::TForm {
public:
    explicit Tonlinesverka(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tonlinesverka"; }

    vcl::TLabel* Label1;      // "Лог изменений"
    vcl::TMemo* Memo2;        // the change log
    vcl::TMemo* Memo1;        // hidden: the page's lines, letters converted
    vcl::TMemo* Memo4;        // hidden: the entries of the page's rapid-fire block
    vcl::TMemo* Memo3;        // hidden: the queue, three lines a change (row, target, value)
    vcl::TGauge* G23;         // the walk, rows 200..500
    vcl::TButton* Button1;    // "Запустить сверку"
    vcl::TButton* Button2;    // "применить изменения"
    vcl::TButton* Button3;    // "закрыть окно"
    vcl::TButton* Button4;    // hidden: loads the current page again
    vcl::TTimer* Timer1;      // 1 s: the next unit's page
    vcl::TTimer* Timer2;      // 5 s: the page, once loaded, read and compared
    vcl::TWebBrowser* WebBrowser1;

    int32_t CheckRow = online::kWalkStart;

    // Starts the walk from its beginning, also when one is going.
    void Button1Click(vcl::TObject* Sender);
    // Writes the queued values into the database and saves it.
    void Button2Click(vcl::TObject* Sender);
    void Button3Click(vcl::TObject* Sender);
    void Button4Click(vcl::TObject* Sender);
    void Timer1Timer(vcl::TObject* Sender);
    void Timer2Timer(vcl::TObject* Sender);

private:
    void Compare(const std::vector<std::string>& entries);
    // The page came but says nothing sure of the unit's rapid fire: told, and counted.
    void NotCompared(const std::string& why);
    // The unit being compared, as the log and the messages name it.
    std::string CurrentUnit() const;
    // The site gave no answer at all, or one that cannot be trusted (its
    // certificate refused): the walk stops here, and says so.
    void StopWalk(const std::string& failure, rtl::HttpFailure kind);
    // The walk has passed the last unit row: what it did is told.
    void AnnounceEnd();

    online::LetterTables letters_;
    // What the walk going has done, for its closing message.
    struct WalkCounts {
        int pages = 0, changes = 0, failedPages = 0, unreadEntries = 0;
        int uncompared = 0;  // pages that came but told nothing of the unit's rapid fire
    } walk_;
};

extern Tonlinesverka* onlinesverka;
