// The X desktop the windows are shown on (Wine's X11 driver): whether the
// desktop shows a window yet, and covers that keep what the screen shows of
// windows while they change. Wine hands a window to X when it is shown, but
// the desktop's window manager maps it when it gets round to it, and what
// the program drew before that is lost; a change drawn part by part reaches
// the screen part by part. Built without windows.h (X and Win32 name the
// same things); every X failure only means "not known" or "nothing held".
#pragma once
#include <vector>

namespace vcl::xdesktop {

using XWindowId = unsigned long;

enum class TShown { Yes, No, Unknown };

// Whether X shows the window now (mapped and viewable).
TShown Shown(XWindowId window);

struct TArea {
    int X, Y, Width, Height;  // on the root window
};

// Puts over each area a window of our own that shows what the screen shows
// there now, above everything; returns them (none at all without a display).
std::vector<XWindowId> Cover(const std::vector<TArea>& areas);
// Takes the covers away; the windows under them show their own pictures
// once those are put on the screen again.
void Uncover(const std::vector<XWindowId>& covers);

}  // namespace vcl::xdesktop
