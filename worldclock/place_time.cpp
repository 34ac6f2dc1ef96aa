#include "worldclock/place_time.h"

#include <cstdio>

namespace worldclock {

int OffsetHours = kNoOffset;
std::string OffsetFraction;
int FractionError = 0;

namespace {

struct WholeHours {
  int value = 0;
  bool negative = false;  // "-0" counts
};

// Leading blanks, an optional sign, one or more decimal digits, nothing
// after: not even a blank.
std::optional<WholeHours> ParseWholeHours(const std::string& text) {
  size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return std::nullopt;
  WholeHours h;
  if (text[i] == '+' || text[i] == '-') h.negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  long long magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    // Far beyond any offset: out of range either way.
    if (magnitude < 1000) magnitude = magnitude * 10 + (text[i] - '0');
  }
  h.value = static_cast<int>(h.negative ? -magnitude : magnitude);
  return h;
}

std::optional<int> FractionMinutes(const std::string& fraction) {
  if (fraction.empty()) return 0;
  if (fraction == "25") return 15;
  if (fraction == "5") return 30;
  if (fraction == "75") return 45;
  return std::nullopt;
}

std::string Format(const char* pattern, int a, int b, const char* tail) {
  char text[32];
  std::snprintf(text, sizeof text, pattern, a, b, tail);
  return text;
}

// "h:mm" or "h: mm", a blank, the designator of the hour's half of the day,
// and the mark.
std::string TwelveHourText(const char* pattern, int hour, int minute,
                           const base::Designators& designators, const char* mark) {
  const int dial = hour % 12 == 0 ? 12 : hour % 12;
  return Format(pattern, dial, minute, "") + ' ' + (hour < 12 ? designators.am : designators.pm) +
         mark;
}

// The text between the first "[" and the first "]", split at its first ".".
struct OffsetText {
  std::string whole, fraction;
};
OffsetText SplitOffset(const std::string& boxText) {
  const size_t open = boxText.find('['), close = boxText.find(']');
  std::string offset;
  if (open != std::string::npos && close != std::string::npos && close > open) {
    offset = boxText.substr(open + 1, close - open - 1);
  }
  if (const size_t dot = offset.find('.'); dot != std::string::npos) {
    return {offset.substr(0, dot), offset.substr(dot + 1)};
  }
  return {offset, ""};
}

bool InRange(const WholeHours& h) { return h.value >= -11 && h.value <= 12; }

}  // namespace

std::optional<int> AcceptedOffset(const std::string& boxText) {
  if (boxText.find('[') == std::string::npos || boxText.find(']') == std::string::npos) {
    return std::nullopt;
  }
  const OffsetText text = SplitOffset(boxText);
  const auto hours = ParseWholeHours(text.whole);
  const auto fraction = FractionMinutes(text.fraction);
  if (!hours || !InRange(*hours) || !fraction) return std::nullopt;
  return hours->value * 60 + (hours->negative ? -*fraction : *fraction);
}

PlaceTime ShowPlaceTime(const std::string& boxText, int dstFlag, bool military, base::TimeOfDay utc,
                        const base::Designators& designators) {
  PlaceTime place;
  OffsetHours = kNoOffset;
  OffsetFraction.clear();
  const OffsetText text = SplitOffset(boxText);
  OffsetFraction = text.fraction;
  const auto hours = ParseWholeHours(text.whole);
  if (!hours || !InRange(*hours)) {
    place.boxColor = kInvalidBoxColour;
    place.panelText = kInvalidTime;
    return place;
  }
  OffsetHours = hours->value;
  const bool dst = dstFlag == 1;
  const int shifted = OffsetHours + (dst ? 1 : 0);
  const auto fraction = FractionMinutes(OffsetFraction);
  if (!fraction) {
    place.warning = "Decimal value must be .25, .5, or .75 in - '" + boxText + "'";
    FractionError = 1;
    return place;
  }
  const int offsetMinutes = shifted * 60 + (hours->negative ? -*fraction : *fraction);
  const int minutes =
      ((utc.hour * 60 + utc.minute + offsetMinutes) % base::kMinutesPerDay + base::kMinutesPerDay) %
      base::kMinutesPerDay;
  place.panelText = PlaceTimeText(minutes, military, dst, designators);
  place.homeClockMilitary = military;
  place.offsetMinutes = offsetMinutes;
  return place;
}

std::string PlaceTimeText(int minutes, bool military, bool dst,
                          const base::Designators& designators) {
  const int h = minutes / 60, m = minutes % 60;
  const char* mark = dst ? "*" : "";
  if (military) return Format("%.2d: %.2d%s", h, m, mark);
  return TwelveHourText("%d:%.2d%s", h, m, designators, mark);
}

std::string GmtText(base::TimeOfDay utc, bool military, const base::Designators& designators) {
  if (military) return Format("%.2d: %.2d%s", utc.hour, utc.minute, "");
  return TwelveHourText("%.1d: %.2d%s", utc.hour, utc.minute, designators, "");
}

}  // namespace worldclock
