// Freeing the skin engine's objects outside their own messages.
//
// Window adapters, a form's control adapter and the hook's providers run
// code inside window messages, and what frees them is often set off by one
// of those very messages: unticking the skin in a check box removes the
// skin from the check box's own form, adapter included, while the check
// box's click is still being handled; a dialog's child that destroys
// another window in its own WM_DESTROY lets the hook free the dialog's
// adapters under it. Such an object therefore lets its window go at once
// (its owner forgets it), and its memory is freed once the outermost
// message handler of the skin engine has returned.
//
// Every entry point of the skin engine's message handling (an adapter's
// window procedure, a provider's form procedure, the window hook) holds a
// TSkinMessageScope while it runs; the deferred frees run when the last one
// ends, as its final act, so the handler that holds it must touch nothing
// of its object afterwards.
#pragma once

#include <functional>
#include <memory>

namespace skin {

class TSkinMessageScope {
public:
    TSkinMessageScope();
    ~TSkinMessageScope();
    TSkinMessageScope(const TSkinMessageScope&) = delete;
    TSkinMessageScope& operator=(const TSkinMessageScope&) = delete;
};

// A message handler of the skin engine is running.
bool InSkinMessage();

// Runs `free` now outside every skin message handler, else when the
// outermost has returned.
void FreeAfterMessages(std::function<void()> free);

template <class T>
void FreeAfterMessages(std::unique_ptr<T> object) {
    if (!object) return;
    T* raw = object.release();
    FreeAfterMessages(std::function<void()>([raw] { delete raw; }));
}

}  // namespace skin
