// Memory of the layer's objects (every TObject) and of the skin engine's
// per-control skin data.
//
// Ordinarily it is the C++ heap's. With NORVIX_QUARANTINE_FREED=1 in the
// environment (the Win32 tests run so) every object gets whole pages of
// its own, and a freed object's pages are decommitted and never handed out
// again: whatever touches an object after it was freed faults at once, and
// the program ends with a line on standard error that says so, instead of
// reading memory that happens to be still there.
#pragma once
#include <cstddef>

namespace vcl {

void* AllocateObject(std::size_t size);
void ReleaseObject(void* memory, std::size_t size);

// Freed objects are kept out of reach (decided once, at the first object).
bool FreedObjectsQuarantined();

// Gives a class (and its descendants) this memory.
#define NORVIX_OBJECT_MEMORY                                                                     \
    static void* operator new(std::size_t size) { return ::vcl::AllocateObject(size); }         \
    static void operator delete(void* memory, std::size_t size) { ::vcl::ReleaseObject(memory, size); }

}  // namespace vcl
