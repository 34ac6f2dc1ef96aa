#include "app/xp_imports_win.h"

#include <windows.h>

namespace app {
namespace {

// Readings further ahead than this are taken for readings from just behind.
constexpr std::uint32_t kAheadLimit = 0xF0000000u;  // about 46.6 days in ms

using TickCount64Fn = ULONGLONG(WINAPI*)();

// Constant-initialised, with no guard: a guarded static would call back into
// the threads library, which is what calls TickCount64.
std::atomic<std::uint64_t> carried{0};
std::atomic<TickCount64Fn> own{nullptr};
std::atomic<bool> lookedUp{false};

// Windows' own where it has one (Vista and later), else the carried count.
ULONGLONG WINAPI TickCount64() {
  if (!lookedUp.load(std::memory_order_acquire)) {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    own.store(kernel ? reinterpret_cast<TickCount64Fn>(
                           reinterpret_cast<void*>(GetProcAddress(kernel, "GetTickCount64")))
                     : nullptr,
              std::memory_order_relaxed);
    lookedUp.store(true, std::memory_order_release);
  }
  if (const TickCount64Fn f = own.load(std::memory_order_relaxed)) return f();
  return CarryTickCount(carried, GetTickCount());
}

}  // namespace

std::uint64_t CarryTickCount(std::atomic<std::uint64_t>& last, std::uint32_t reading) {
  std::uint64_t seen = last.load();
  for (;;) {
    // Modulo 2^32, so a wrap between the two is simply a step ahead.
    const std::uint32_t ahead = reading - static_cast<std::uint32_t>(seen);
    // Nothing handed out yet (0): the first reading starts the count.
    if (seen != 0 && ahead >= kAheadLimit) return seen;
    const std::uint64_t now = seen + ahead;
    if (now == seen || last.compare_exchange_weak(seen, now)) return now;
  }
}

}  // namespace app

// The slot that the threads library (libwinpthread, pulled in by the C++
// runtime) calls GetTickCount64 through. Defined here, it is never taken
// from the import library, so the program imports no GetTickCount64 and
// starts on XP, which lacks it; the threads library times its waits with it.
extern "C" {
extern ULONGLONG(WINAPI* imp_GetTickCount64)() __asm__("__imp__GetTickCount64@0");
__attribute__((used)) ULONGLONG(WINAPI* imp_GetTickCount64)() = &app::TickCount64;
}
