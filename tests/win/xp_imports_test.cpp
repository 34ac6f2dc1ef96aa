// The stand-ins for the runtime libraries' imports that Windows XP lacks.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "app/xp_imports_win.h"

// Declared here: the program's headers target XP, which has no such function.
extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64();

namespace {

struct CarryCase {
  const char* what;
  std::vector<std::uint32_t> readings;  // the 32-bit counts, in the order read
  std::vector<std::uint64_t> counts;    // what each one hands out
};

TEST(XpImports, TheRunningCountIsCarriedPastTheWrap) {
  const CarryCase cases[] = {
      {"wraps carried, twice",
       {0xFFFFFF00u, 0x00000100u, 0x80000000u, 0xFFFFFFFFu, 0x00000001u},
       {0xFFFFFF00ull, 0x100000100ull, 0x180000000ull, 0x1FFFFFFFFull, 0x200000001ull}},
      {"a reading from just behind leaves the count where it is",
       {5000, 4000, 5001},
       {5000, 5000, 5001}},
      {"a reading from before the wrap, late, is not a second wrap",
       {0xFFFFFFF0u, 0x20u, 0xFFFFFFF8u, 0x30u},
       {0xFFFFFFF0ull, 0x100000020ull, 0x100000020ull, 0x100000030ull}},
      {"46 days between readings, started 49 days after the boot",
       {0xFFFF0000u, 0xDFFF0000u},
       {0xFFFF0000ull, 0x1DFFF0000ull}},
      {"the same reading twice", {7, 7}, {7, 7}},
  };
  for (const CarryCase& c : cases) {
    std::atomic<std::uint64_t> last{0};
    std::vector<std::uint64_t> counts;
    for (std::uint32_t r : c.readings) counts.push_back(app::CarryTickCount(last, r));
    EXPECT_EQ(counts, c.counts) << c.what;
  }
}

TEST(XpImports, TheProgramsGetTickCount64IsWindowsOwnWhereItHasOne) {
  using Fn = ULONGLONG(WINAPI*)();
  const auto own = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
  ASSERT_NE(own, nullptr);
  // Called as the threads library calls it, through the import slot.
  const ULONGLONG before = own();
  const ULONGLONG through = GetTickCount64();
  const ULONGLONG after = own();
  EXPECT_LE(before, through);
  EXPECT_LE(through, after);
}

}  // namespace
