// Text as lines: the settings file and the multi-line edit share one rule.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace base {

// Lines end at CR LF, LF alone or CR alone; a final line break ends the last
// line rather than starting an empty one.
std::vector<std::string> SplitLines(std::string_view content);
// The text without the UTF-8 byte-order mark some editors put at its very
// start: read as text it would shift every position of the first line.
std::string_view WithoutByteOrderMark(std::string_view content);
// Every line ended by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace base
