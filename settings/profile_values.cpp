#include "settings/profile_values.h"

#include "ui/int_convert.h"

namespace settings {
int ParseBound(const std::string& text) {
  if (ui::HasHexPrefix(text)) {
    std::string hex(1, '$');
    hex.append(text, 2);
    return ui::ParseInteger(hex).value_or(0);
  }
  return ui::ParseInteger(text).value_or(0);
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
      const auto i = ui::ParseInteger(text);
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
