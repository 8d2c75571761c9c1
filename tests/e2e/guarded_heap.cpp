// Linked into Nimbrel_checked.exe in place of the C++ heap: every block on pages of its own in one
// reserved arena, a page of nothing after it, its pages decommitted when it is deleted and never handed
// out again. A read or write of a deleted object (or past the end of a block) then faults at once, and
// the fault ends the program with exit code 173, which the end-to-end tests tell from a clean exit.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

constexpr SIZE_T kArenaBytes = SIZE_T{32} << 30;
constexpr SIZE_T kPage = 4096;
constexpr SIZE_T kHeader = 16;  // the block's size, keeping the object 16-byte aligned
constexpr UINT kFreedMemoryTouched = 173;

std::atomic<char*> g_arena{nullptr};
std::atomic<SIZE_T> g_next{0};

LONG CALLBACK OnFault(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  char* arena = g_arena.load();
  if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2 && arena) {
    const auto* at = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    if (at >= arena && at < arena + kArenaBytes)
      ::TerminateProcess(::GetCurrentProcess(), kFreedMemoryTouched);
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

char* Arena() {
  static char* const arena = [] {
    auto* reserved = static_cast<char*>(::VirtualAlloc(nullptr, kArenaBytes, MEM_RESERVE, PAGE_NOACCESS));
    if (!reserved) std::abort();
    g_arena = reserved;
    ::AddVectoredExceptionHandler(1, &OnFault);
    return reserved;
  }();
  return arena;
}

void* Allocate(std::size_t n) {
  const SIZE_T bytes = (n + kHeader + kPage - 1) / kPage * kPage;
  const SIZE_T at = g_next.fetch_add(bytes + kPage);
  if (at + bytes > kArenaBytes) std::abort();
  char* block = Arena() + at;
  if (!::VirtualAlloc(block, bytes, MEM_COMMIT, PAGE_READWRITE)) std::abort();
  *reinterpret_cast<SIZE_T*>(block) = bytes;
  return block + kHeader;
}

void Release(void* p) noexcept {
  if (!p) return;
  char* block = static_cast<char*>(p) - kHeader;
  ::VirtualFree(block, *reinterpret_cast<SIZE_T*>(block), MEM_DECOMMIT);
}

}  // namespace

void* operator new(std::size_t n) { return Allocate(n); }
void* operator new[](std::size_t n) { return Allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
