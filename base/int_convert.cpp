#include "base/int_convert.h"

#include <cstdint>
#include <limits>

#include "base/error.h"

namespace base {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Digits only, in the given base, at most 32 bits of magnitude.
std::optional<uint32_t> ParseDigits(const std::string& digits, int base) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0 || d >= base) return std::nullopt;
    value = value * base + d;
    if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

}  // namespace

bool HasHexPrefix(const std::string& s) {
  return s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
}

std::optional<int> ParseInteger(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::optional<uint32_t> magnitude;
  bool hex = false;
  if (i < text.size() && text[i] == '$') {
    hex = true;
    magnitude = ParseDigits(text.substr(i + 1), 16);
  } else if (HasHexPrefix(text.substr(i))) {
    hex = true;
    magnitude = ParseDigits(text.substr(i + 2), 16);
  } else {
    magnitude = ParseDigits(text.substr(i), 10);
  }
  if (!magnitude) return std::nullopt;
  // Hexadecimal covers the whole 32-bit pattern; decimal must fit the range.
  if (hex) {
    const auto bits = static_cast<int32_t>(*magnitude);
    return negative ? static_cast<int>(-static_cast<int64_t>(bits)) : bits;
  }
  const int64_t value = negative ? -static_cast<int64_t>(*magnitude) : *magnitude;
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

int StrToInt(const std::string& text) {
  const size_t start = text.find_first_not_of(' ');
  const auto value = ParseInteger(start == std::string::npos ? std::string() : text.substr(start));
  if (!value) throw ConvertError(text);
  return *value;
}

}  // namespace base
