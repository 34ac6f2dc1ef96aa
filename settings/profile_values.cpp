#include "settings/profile_values.h"

#include <cstdint>
#include <limits>

namespace settings {
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

bool HasHexPrefix(const std::string& s) {
  return s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
}

}  // namespace

int ParseBound(const std::string& text) {
  if (HasHexPrefix(text)) {
    const auto v = ParseDigits(text.substr(2), 16);
    return v ? static_cast<int>(*v) : 0;
  }
  return ParseInteger(text).value_or(0);
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

std::optional<std::string> PropertyToText(const ui::PublishedProperty& property) {
  const ui::PropertyValue v = property.get ? property.get() : ui::PropertyValue{};
  switch (property.kind) {
    case ui::PropertyKind::Integer:
      if (auto i = std::get_if<long long>(&v)) return std::to_string(*i);
      break;
    case ui::PropertyKind::Char:
      if (auto c = std::get_if<char>(&v)) return std::string(1, *c);
      break;
    case ui::PropertyKind::Boolean:
      if (auto b = std::get_if<bool>(&v)) return std::string(*b ? "TRUE" : "FALSE");
      break;
    case ui::PropertyKind::ShortString:
    case ui::PropertyKind::LongString:
      if (auto s = std::get_if<std::string>(&v)) return *s;
      break;
    default:
      break;
  }
  return std::nullopt;
}

bool ApplyPropertyText(const ui::PublishedProperty& property, const std::string& text) {
  if (text.empty() || !property.set) return false;
  ui::PropertyValue value;
  switch (property.kind) {
    case ui::PropertyKind::Integer: {
      const auto i = ParseInteger(text);
      if (!i) return false;
      value = static_cast<long long>(*i);
      break;
    }
    case ui::PropertyKind::Char:
      value = text[0];
      break;
    case ui::PropertyKind::Boolean:
      if (text == "TRUE") {
        value = true;
      } else if (text == "FALSE") {
        value = false;
      } else {
        return false;
      }
      break;
    case ui::PropertyKind::ShortString:
    case ui::PropertyKind::LongString:
      value = text;
      break;
    default:
      return false;
  }
  try {
    property.set(value);
  } catch (const std::exception&) {
    return false;  // a setter that refuses the value leaves it as it was
  }
  return true;
}

}  // namespace settings
