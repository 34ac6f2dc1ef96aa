// Texts of the initialization file and the property values they stand for.
#pragma once

#include <optional>
#include <string>

#include "base/component.h"
#include "base/int_convert.h"

namespace settings {

// A window bound as stored: "0x.." (longer than two characters) is
// hexadecimal, anything else must be a decimal integer; what is not a number
// reads as 0, which means "absent".
int ParseBound(const std::string& text);

using base::ParseInteger;

// The text a property is saved as; none for kinds that are not saved.
std::optional<std::string> PropertyToText(const base::PublishedProperty& property);

// Converts and sets; false (and the property left as it was) when the text
// does not convert or the kind is never restored. Empty texts are not applied.
bool ApplyPropertyText(const base::PublishedProperty& property, const std::string& text);

}  // namespace settings
