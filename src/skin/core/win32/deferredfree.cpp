#include "skin/core/win32/deferredfree.h"

#include <vector>

namespace skin {

namespace {

int Depth = 0;

// Never destroyed: a handler may end during the program's own teardown.
std::vector<std::function<void()>>& Pending() {
    static auto* pending = new std::vector<std::function<void()>>;
    return *pending;
}

void FreePending() {
    // What the frees set off (a window given back hears messages) waits
    // for this round rather than starting one of its own.
    ++Depth;
    std::vector<std::function<void()>>& pending = Pending();
    while (!pending.empty()) {
        std::vector<std::function<void()>> round;
        round.swap(pending);
        for (std::function<void()>& free : round) free();
    }
    --Depth;
}

}  // namespace

TSkinMessageScope::TSkinMessageScope() { ++Depth; }

TSkinMessageScope::~TSkinMessageScope() {
    if (--Depth == 0 && !Pending().empty()) FreePending();
}

bool InSkinMessage() { return Depth > 0; }

void FreeAfterMessages(std::function<void()> free) {
    if (!free) return;
    Pending().push_back(std::move(free));
    if (Depth == 0) FreePending();
}

}  // namespace skin
