#include "settings/profile_values.h"

#include "base/int_convert.h"

namespace settings {
int ParseBound(const std::string& text) {
  if (base::HasHexPrefix(text)) {
    std::string hex(1, '$');
    hex.append(text, 2);
    return base::ParseInteger(hex).value_or(0);
  }
  return base::ParseInteger(text).value_or(0);
}

std::optional<std::string> PropertyToText(const base::PublishedProperty& property) {
  const base::PropertyValue v = property.get ? property.get() : base::PropertyValue{};
  switch (property.kind) {
    case base::PropertyKind::Integer:
      if (auto i = std::get_if<long long>(&v)) return std::to_string(*i);
      break;
    case base::PropertyKind::Char:
      if (auto c = std::get_if<char>(&v)) return std::string(1, *c);
      break;
    case base::PropertyKind::Boolean:
      if (auto b = std::get_if<bool>(&v)) return std::string(*b ? "TRUE" : "FALSE");
      break;
    case base::PropertyKind::ShortString:
    case base::PropertyKind::LongString:
      if (auto s = std::get_if<std::string>(&v)) return *s;
      break;
    default:
      break;
  }
  return std::nullopt;
}

bool ApplyPropertyText(const base::PublishedProperty& property, const std::string& text) {
  if (text.empty() || !property.set) return false;
  base::PropertyValue value;
  switch (property.kind) {
    case base::PropertyKind::Integer: {
      const auto i = base::ParseInteger(text);
      if (!i) return false;
      value = static_cast<long long>(*i);
      break;
    }
    case base::PropertyKind::Char:
      value = text[0];
      break;
    case base::PropertyKind::Boolean:
      if (text == "TRUE") {
        value = true;
      } else if (text == "FALSE") {
        value = false;
      } else {
        return false;
      }
      break;
    case base::PropertyKind::ShortString:
    case base::PropertyKind::LongString:
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
