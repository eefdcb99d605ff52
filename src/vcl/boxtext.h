// The system's message box sizes its text by the letters' advance widths,
// but the letters of a long line are drawn up to a few pixels further to
// the right (their positions drift from the rounded advances): the last
// letter touched the box's edge or lost its last stroke. While alive, the
// box the thread shows has its text place widened to what the letters
// really cover, and a pixel of room.
#pragma once
#include "vcl/win.h"

namespace vcl {

class TBoxTextFit {
public:
    TBoxTextFit();
    ~TBoxTextFit();
    TBoxTextFit(const TBoxTextFit&) = delete;
    TBoxTextFit& operator=(const TBoxTextFit&) = delete;

private:
    HHOOK hook_;
};

// Widens the text place of a message box (and the box, the buttons kept in
// its middle) until its letters fit with a pixel of room.
void FitBoxText(HWND box);

}  // namespace vcl
