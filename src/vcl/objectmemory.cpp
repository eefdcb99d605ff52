#include "vcl/objectmemory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "vcl/win.h"

namespace vcl {

namespace {

constexpr std::size_t kPage = 4096;
// Address space is taken a gigabyte at a time; freed pages are never reused.
constexpr std::size_t kRegionBytes = std::size_t(1) << 30;

struct Quarantine {
    std::mutex lock;
    char* next = nullptr;
    char* end = nullptr;
    std::vector<char*> regions;  // read by the fault handler: only ever appended to
    PVOID handler = nullptr;
};

Quarantine& TheQuarantine() {
    // Never destroyed: objects are freed until the very end of the process.
    static Quarantine* q = new Quarantine;
    return *q;
}

bool InQuarantine(const void* address) {
    const char* p = static_cast<const char*>(address);
    for (char* base : TheQuarantine().regions)
        if (p >= base && p < base + kRegionBytes) return true;
    return false;
}

LONG CALLBACK ReportFreedObjectAccess(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record->NumberParameters < 2)
        return EXCEPTION_CONTINUE_SEARCH;
    const void* address = reinterpret_cast<const void*>(record->ExceptionInformation[1]);
    if (!InQuarantine(address)) return EXCEPTION_CONTINUE_SEARCH;
    std::fprintf(stderr, "NORVIX: an object was used after it had been freed (%s at %p, code at %p)\n",
                 record->ExceptionInformation[0] ? "write" : "read", address, record->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_CONTINUE_SEARCH;
}

std::size_t PagesOf(std::size_t size) { return (size == 0 ? 1 : size + kPage - 1) / kPage * kPage; }

}  // namespace

bool FreedObjectsQuarantined() {
    static const bool on = [] {
        const char* value = std::getenv("NORVIX_QUARANTINE_FREED");
        return value && std::strcmp(value, "1") == 0;
    }();
    return on;
}

void* AllocateObject(std::size_t size) {
    if (!FreedObjectsQuarantined()) return ::operator new(size);
    Quarantine& q = TheQuarantine();
    const std::size_t bytes = PagesOf(size);
    std::lock_guard<std::mutex> guard(q.lock);
    if (!q.handler) q.handler = AddVectoredExceptionHandler(1, ReportFreedObjectAccess);
    if (q.next == nullptr || static_cast<std::size_t>(q.end - q.next) < bytes) {
        if (bytes > kRegionBytes) throw std::bad_alloc();
        void* region = VirtualAlloc(nullptr, kRegionBytes, MEM_RESERVE, PAGE_NOACCESS);
        if (!region) throw std::bad_alloc();
        q.regions.push_back(static_cast<char*>(region));
        q.next = static_cast<char*>(region);
        q.end = q.next + kRegionBytes;
    }
    void* memory = VirtualAlloc(q.next, bytes, MEM_COMMIT, PAGE_READWRITE);
    if (!memory) throw std::bad_alloc();
    q.next += bytes;
    return memory;
}

void ReleaseObject(void* memory, std::size_t size) {
    if (!memory) return;
    if (!FreedObjectsQuarantined()) {
        ::operator delete(memory);
        return;
    }
    // Out of reach for good: the pages stay reserved and are never committed again.
    VirtualFree(memory, PagesOf(size), MEM_DECOMMIT);
}

}  // namespace vcl
