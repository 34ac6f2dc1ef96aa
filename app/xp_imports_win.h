// What the statically linked runtime libraries import that Windows XP lacks,
// given here instead: the loader refuses to start a program with even one
// import its system does not export.
#pragma once

#include <atomic>
#include <cstdint>

namespace app {

// XP's stand-in for the 64-bit running count: the 32-bit count, which wraps
// after 49.7 days, carried on. `last` is the highest count handed out, shared
// by every thread. A reading ahead of it by less than 46 days moves it on
// (through a wrap too), so a wrap is counted as long as the count is read at
// least once in 46 days; a reading a little behind it (another thread's,
// which handed out a later one in between) gives it unchanged, so the count
// never goes back.
std::uint64_t CarryTickCount(std::atomic<std::uint64_t>& last, std::uint32_t reading);

}  // namespace app
