// The update search: a hidden window that loads the update site's version
// page, reads the marker line and offers what is newer than this program's
// build and database.
#pragma once
#include <string>

#include "vcl/vcl.h"
#include "vcl/webbrowser.h"

class Tpoisk_obnov : public vcl::TForm {
public:
    explicit Tpoisk_obnov(vcl::TComponent* owner);
    const char* ClassName() const override { return "Tpoisk_obnov"; }

    vcl::TMemo* Memo1;  // the version page's lines
    vcl::TMemo* Memo2;  // build, build link, database version, database link
    vcl::TTimer* Timer1;  // 10 s, from start: the automatic search, once the option is on
    vcl::TTimer* Timer2;  // 20 s: the page, once loaded, read and compared
    vcl::TTimer* Timer3;  // the search asked for from the menu
    vcl::TTimer* Timer4;  // reloads the site's root page, each time after twice as long
    vcl::TWebBrowser* WebBrowser1;

    void Timer1Timer(vcl::TObject* Sender);
    void Timer2Timer(vcl::TObject* Sender);
    void Timer3Timer(vcl::TObject* Sender);
    void Timer4Timer(vcl::TObject* Sender);

private:
    void Search(const char* page);
    // Every way a search ends: the player's request is answered, a failure
    // (`failure` not empty) told when the player asked for the search.
    void EndSearch(const std::string& failure = {});

    std::string address_;  // the page the search loads
};

extern Tpoisk_obnov* poisk_obnov;
