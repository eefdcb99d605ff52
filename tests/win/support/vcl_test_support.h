// Driving forms of the component layer from tests: finding forms and
// controls, typing, clicking, selecting, pumping messages, moving the test
// clock, answering message boxes and saving screenshots.
#pragma once
#include "vcl/vcl.h"
#include "vcl/stdctrls.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vcltest {

// Installs a manual clock for every timer (once); the clock then moves only
// through Advance.
vcl::TManualClock& Clock();

// Handles every waiting message.
void Pump();
// Moves the test clock by `ms`, stopping at each moment a timer is due,
// running it and handling the messages in between.
void Advance(uint64_t ms);

// Runs `action` from inside the next message loop (a modal form or a
// message box waits in one).
void PostAction(std::function<void()> action);

// A form among all forms, by name; nullptr when none.
vcl::TForm* FindForm(const std::string& name);
// A component owned by `root` or by anything it owns, by name.
vcl::TComponent* FindComponent(vcl::TComponent* root, const std::string& name);
template <class T>
T* Find(vcl::TComponent* root, const std::string& name) {
    return dynamic_cast<T*>(FindComponent(root, name));
}

// Replaces the text as the user would (select all, type), one keystroke at a time.
void TypeText(vcl::TWinControl* control, const std::string& text);
// Presses a key on a control through the application's message loop.
void PressKey(vcl::TWinControl* control, WPARAM key);
// Clicks a control with the mouse (a button, a check box, a radio button,
// a label through its parent).
void Click(vcl::TControl* control);
// Clicks the list item at `index`, as the user selects it.
void SelectItem(vcl::TListBox* list, int index);
// Chooses a menu item of a form's main menu as the user does.
void ChooseMenuItem(vcl::TForm* form, vcl::TMenuItem* item);

std::vector<std::string> MemoLines(vcl::TMemo* memo);

// The thread's visible system dialog or message box ("#32770"), or nullptr.
HWND VisibleDialog();

// Saves what the screen shows of the form (frame included) as a 24-bit BMP.
bool SaveScreenshot(vcl::TForm* form, const std::string& path);

// What the screen (X, not the windows' own pictures) shows at a grid of
// points over each window.
std::vector<COLORREF> ScreenProbes(const std::vector<HWND>& windows);
// How many of those points where one of the windows is on top show on the
// screen another colour than that window's own picture.
int ScreenDiffers(const std::vector<HWND>& windows);

// Answers every message box while alive; remembers what each showed.
class MessageBoxes {
public:
    struct Box {
        std::string text, caption;
        UINT flags;
    };
    MessageBoxes();
    ~MessageBoxes();
    // Answers for the next boxes; when none is left a box is answered with
    // its first button (IDOK, IDYES, ...).
    void Answer(int button) { answers_.push_back(button); }
    const std::vector<Box>& Shown() const { return shown_; }
    std::vector<std::string> Texts() const;
    void Clear() { shown_.clear(); }
    // Real boxes show until Resume; whoever presses their buttons answers them.
    void Pause();
    void Resume();

private:
    std::vector<Box> shown_;
    std::deque<int> answers_;
};

// Text of code page 1251 as UTF-8, for readable assertion messages.
std::string Utf8(const std::string& text);

}  // namespace vcltest
