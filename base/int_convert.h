// Whole numbers from texts, as the toolkit reads them.
#pragma once

#include <optional>
#include <string>

namespace base {

// "0x" followed by at least one more character.
bool HasHexPrefix(const std::string& s);

// An optional sign, then decimal digits or "$"/"0x" hexadecimal, fitting in
// 32 bits. Nothing else: no blanks, nothing after.
std::optional<int> ParseInteger(const std::string& text);

// The same after any leading blanks; anything else throws base::ConvertError
// ("'%s' is not a valid integer value", the text as given).
int StrToInt(const std::string& text);

}  // namespace base
