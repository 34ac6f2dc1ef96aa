#include "launcher/launch_days.h"

#include <algorithm>
#include <array>

#include "launcher/launch_list.h"

namespace launcher {
namespace {

constexpr size_t kFileFieldStart = 7;  // the 8th character
constexpr size_t kFileFieldLength = 200;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::string WithoutBrackets(std::string_view s) {
  std::string kept;
  kept.reserve(s.size());
  for (char c : s) {
    if (c != ']') kept += c;
  }
  return kept;
}

struct DayWord {
  const char* word;
  DaySet days;
  bool single;  // one day, which may end a range
};

constexpr DaySet Bit(Weekday d) { return DayBit(d); }
constexpr DaySet kWeekdays = kEveryDay & ~(Bit(Weekday::Saturday) | Bit(Weekday::Sunday));

constexpr DayWord kWords[] = {
    {"mon", Bit(Weekday::Monday), true},      {"monday", Bit(Weekday::Monday), true},
    {"tue", Bit(Weekday::Tuesday), true},     {"tues", Bit(Weekday::Tuesday), true},
    {"tuesday", Bit(Weekday::Tuesday), true}, {"wed", Bit(Weekday::Wednesday), true},
    {"weds", Bit(Weekday::Wednesday), true},  {"wednesday", Bit(Weekday::Wednesday), true},
    {"thu", Bit(Weekday::Thursday), true},    {"thur", Bit(Weekday::Thursday), true},
    {"thurs", Bit(Weekday::Thursday), true},  {"thursday", Bit(Weekday::Thursday), true},
    {"fri", Bit(Weekday::Friday), true},      {"friday", Bit(Weekday::Friday), true},
    {"sat", Bit(Weekday::Saturday), true},    {"saturday", Bit(Weekday::Saturday), true},
    {"sun", Bit(Weekday::Sunday), true},      {"sunday", Bit(Weekday::Sunday), true},
    {"weekdays", kWeekdays, false},           {"weekends", kEveryDay & ~kWeekdays, false},
};

const DayWord* FindWord(std::string_view word) {
  for (const DayWord& w : kWords) {
    const std::string_view known = w.word;
    if (known.size() != word.size()) continue;
    bool same = true;
    for (size_t i = 0; i < word.size() && same; ++i) same = LowerAscii(word[i]) == known[i];
    if (same) return &w;
  }
  return nullptr;
}

int DayIndex(DaySet single) {
  int i = 0;
  while (!(single & (1u << i))) ++i;
  return i;
}

}  // namespace

LineParts SplitLaunchLine(std::string_view line) {
  LineParts parts;
  size_t fieldEnd = std::string_view::npos;
  for (size_t i = kFileFieldStart; i < line.size(); ++i) {
    if (line[i] != ']') continue;
    size_t next = i + 1;
    while (next < line.size() && IsBlank(line[next])) ++next;
    if (next < line.size() && line[next] == '|') {
      fieldEnd = i;
      parts.dayText = WithoutBrackets(line.substr(next + 1));
      break;
    }
  }
  if (line.size() > kFileFieldStart) {
    const size_t length = fieldEnd == std::string_view::npos
                              ? kFileFieldLength
                              : std::min(kFileFieldLength, fieldEnd - kFileFieldStart);
    parts.path = WithoutBrackets(line.substr(kFileFieldStart, length));
  }
  return parts;
}

std::optional<DaySet> ParseDays(std::string_view text) {
  DaySet days = 0;
  size_t i = 0;
  const auto skip = [&](bool commas) {
    while (i < text.size() && (IsBlank(text[i]) || (commas && text[i] == ','))) ++i;
  };
  const auto word = [&]() -> const DayWord* {
    const size_t start = i;
    while (i < text.size() && IsLetter(text[i])) ++i;
    return FindWord(text.substr(start, i - start));
  };
  for (;;) {
    skip(true);
    if (i == text.size()) break;
    const DayWord* first = word();
    if (!first) return std::nullopt;
    const size_t afterFirst = i;
    skip(false);
    if (i < text.size() && text[i] == '-') {
      ++i;
      skip(false);
      const DayWord* last = word();
      if (!first->single || !last || !last->single) return std::nullopt;
      // Both ends count, and a range may run on over Sunday into Monday.
      int d = DayIndex(first->days);
      const int end = DayIndex(last->days);
      for (;;) {
        days |= static_cast<DaySet>(1u << d);
        if (d == end) break;
        d = (d + 1) % 7;
      }
    } else {
      i = afterFirst;
      days |= first->days;
    }
    // A name runs into the next only through a separator ("MonTue" is no
    // name, and "Mon|Tue" no list).
    if (i < text.size() && !IsBlank(text[i]) && text[i] != ',') return std::nullopt;
  }
  if (!days) return std::nullopt;
  return days;
}

Weekday WeekdayOf(const base::TimeOfDay& date) {
  // 1 January 1970 was a Thursday.
  const long long days = base::DaysSinceEpoch(date);
  return static_cast<Weekday>(((days % 7) + 7 + 3) % 7);
}

const char* WeekdayName(Weekday day) {
  static constexpr std::array<const char*, 7> kNames = {
      "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
  return kNames[static_cast<size_t>(day)];
}

std::string DayNames(DaySet days) {
  std::string names;
  for (int d = 0; d < 7; ++d) {
    if (!(days & (1u << d))) continue;
    if (!names.empty()) names += ", ";
    names += std::string_view(WeekdayName(static_cast<Weekday>(d))).substr(0, 3);
  }
  return names;
}

DayCheck CheckDay(const LaunchEntry& entry, const base::TimeOfDay& date) {
  if (!entry.days) return DayCheck::DaysNotRead;
  return *entry.days & DayBit(WeekdayOf(date)) ? DayCheck::Runs : DayCheck::NotItsDay;
}

}  // namespace launcher
