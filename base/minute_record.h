// A dated minute as the initialization file keeps it, "2026-12-08 10:00":
// what an orderly end leaves for the next start to read.
#pragma once

#include <optional>
#include <string>

namespace base {

// Minutes since the clock's epoch, as "YYYY-MM-DD HH:MM".
std::string MinuteRecordText(long long minute);
// Only a text written exactly so reads back; anything else is none.
std::optional<long long> ParseMinuteRecord(const std::string& text);

}  // namespace base
