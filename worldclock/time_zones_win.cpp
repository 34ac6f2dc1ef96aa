#include "worldclock/time_zones_win.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "ui/library_win.h"
#include "ui/paths_win.h"

namespace worldclock {
namespace {

const std::wstring kZonesKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones";

// DYNAMIC_TIME_ZONE_INFORMATION, which the headers give only to programs
// built for Vista and later.
struct DynamicZoneInfo {
  TIME_ZONE_INFORMATION tzi;
  WCHAR TimeZoneKeyName[128];
  BOOLEAN DynamicDaylightTimeDisabled;
};
// The registry's "TZI" value (and each year's under "Dynamic DST").
struct RegistryTzi {
  LONG Bias, StandardBias, DaylightBias;
  SYSTEMTIME StandardDate, DaylightDate;
};
static_assert(sizeof(RegistryTzi) == 44);

using EnumDynamicFn = DWORD(WINAPI*)(DWORD, DynamicZoneInfo*);
using ForYearFn = BOOL(WINAPI*)(USHORT, const DynamicZoneInfo*, TIME_ZONE_INFORMATION*);
using LoadMuiFn = LONG(WINAPI*)(HKEY, LPCWSTR, LPWSTR, DWORD, LPDWORD, DWORD, LPCWSTR);

class RegKey {
 public:
  RegKey(HKEY parent, const std::wstring& path) {
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  explicit operator bool() const { return key_ != nullptr; }
  HKEY Get() const { return key_; }

  // Exactly `size` bytes of binary data.
  bool Binary(const wchar_t* name, void* out, DWORD size) const {
    DWORD type = 0, got = size;
    return RegQueryValueExW(key_, name, nullptr, &type, static_cast<BYTE*>(out), &got) ==
               ERROR_SUCCESS &&
           type == REG_BINARY && got == size;
  }
  bool Dword(const wchar_t* name, DWORD& out) const {
    DWORD type = 0, size = sizeof out;
    return RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&out), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD;
  }
  // A string value; the registry does not promise its terminating null.
  std::wstring String(const wchar_t* name) const {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      return {};
    }
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS) {
      return {};
    }
    text.resize(std::wcslen(text.c_str()));
    return text;
  }

 private:
  HKEY key_ = nullptr;
};

std::wstring ZoneKeyPath(const std::wstring& key) { return kZonesKey + L"\\" + key; }

// The name in the user's language where Windows has one (Vista and later),
// else the one the key holds.
std::wstring DisplayName(const RegKey& zone) {
  if (auto load =
          ui::LibraryEntry<LoadMuiFn>(GetModuleHandleA("advapi32.dll"), "RegLoadMUIStringW")) {
    std::wstring text(256, L'\0');
    DWORD bytes = 0;
    LONG r = load(zone.Get(), L"MUI_Display", text.data(),
                  static_cast<DWORD>(text.size() * sizeof(wchar_t)), &bytes, 0, nullptr);
    if (r == ERROR_MORE_DATA) {
      text.assign(bytes / sizeof(wchar_t) + 1, L'\0');
      r = load(zone.Get(), L"MUI_Display", text.data(),
               static_cast<DWORD>(text.size() * sizeof(wchar_t)), &bytes, 0, nullptr);
    }
    if (r == ERROR_SUCCESS) {
      text.resize(wcsnlen(text.c_str(), text.size()));
      if (!text.empty()) return text;
    }
  }
  return zone.String(L"Display");
}

std::vector<std::wstring> ZoneKeys() {
  std::vector<std::wstring> keys;
  if (auto enumerate = ui::LibraryEntry<EnumDynamicFn>(GetModuleHandleA("advapi32.dll"),
                                                       "EnumDynamicTimeZoneInformation")) {
    // Bounded: an entry that fails is skipped, not taken for the end.
    for (DWORD i = 0; i < 4096; ++i) {
      DynamicZoneInfo info{};
      const DWORD r = enumerate(i, &info);
      if (r == ERROR_NO_MORE_ITEMS) break;
      if (r == ERROR_SUCCESS) {
        keys.emplace_back(info.TimeZoneKeyName, wcsnlen(info.TimeZoneKeyName, 128));
      }
    }
    return keys;
  }
  const RegKey zones(HKEY_LOCAL_MACHINE, kZonesKey);
  if (!zones) return keys;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    const LONG r = RegEnumKeyExW(zones.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r == ERROR_SUCCESS) keys.emplace_back(name, length);
  }
  return keys;
}

// Exactly, or not at all: a "?" in a key name would name no zone.
std::optional<std::string> Exact(const std::wstring& text) {
  BOOL lost = FALSE;
  std::string ansi = ui::Narrow(text, CP_ACP, WC_NO_BEST_FIT_CHARS, &lost);
  if (lost) return std::nullopt;
  return ansi;
}

ZoneDate DateOf(const SYSTEMTIME& t) {
  return {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

ZoneRule RuleOf(LONG bias, LONG standardBias, LONG daylightBias, const SYSTEMTIME& standardDate,
                const SYSTEMTIME& daylightDate) {
  return {static_cast<int>(bias), static_cast<int>(standardBias), static_cast<int>(daylightBias),
          DateOf(standardDate), DateOf(daylightDate)};
}

void CopyName(WCHAR (&to)[32], const std::wstring& from) {
  const size_t n = std::min<size_t>(from.size(), 31);
  std::copy_n(from.c_str(), n, to);
  to[n] = L'\0';
}

}  // namespace

std::vector<ZoneListing> WinTimeZones::Zones() {
  struct Named {
    std::wstring key, name;
  };
  std::vector<Named> named;
  for (const std::wstring& key : ZoneKeys()) {
    const RegKey zone(HKEY_LOCAL_MACHINE, ZoneKeyPath(key));
    if (!zone) continue;
    std::wstring name = DisplayName(zone);
    named.push_back({key, name.empty() ? key : name});
  }
  // As Windows' settings list them: by name, in the user's language's order.
  std::stable_sort(named.begin(), named.end(), [](const Named& a, const Named& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, 0, a.name.c_str(), -1, b.name.c_str(), -1) ==
           CSTR_LESS_THAN;
  });
  std::vector<ZoneListing> zones;
  for (const Named& z : named) {
    const auto key = Exact(z.key);
    if (!key) continue;
    // A name the ANSI code page cannot spell would show "?": the key's
    // name, in English, reads better.
    zones.push_back({*key, Exact(z.name).value_or(*key)});
  }
  return zones;
}

std::optional<ZoneRule> WinTimeZones::RuleForYear(const std::string& key, int year) {
  const std::wstring wide = ui::WideFromAnsi(key);
  if (wide.empty() || wide.size() >= 128 || year < 1601 || year > 30827) return std::nullopt;
  const RegKey zone(HKEY_LOCAL_MACHINE, ZoneKeyPath(wide));
  RegistryTzi tzi{};
  // A zone whose key has gone is one Windows no longer lists.
  if (!zone || !zone.Binary(L"TZI", &tzi, sizeof tzi)) return std::nullopt;
  if (auto forYear = ui::LibraryEntry<ForYearFn>(GetModuleHandleA("kernel32.dll"),
                                                 "GetTimeZoneInformationForYear")) {
    // The zone as the list gives it; the call looks up the year's rule by
    // the key's name.
    DynamicZoneInfo info{};
    info.tzi.Bias = tzi.Bias;
    info.tzi.StandardBias = tzi.StandardBias;
    info.tzi.DaylightBias = tzi.DaylightBias;
    info.tzi.StandardDate = tzi.StandardDate;
    info.tzi.DaylightDate = tzi.DaylightDate;
    CopyName(info.tzi.StandardName, zone.String(L"Std"));
    CopyName(info.tzi.DaylightName, zone.String(L"Dlt"));
    std::copy_n(wide.c_str(), wide.size() + 1, info.TimeZoneKeyName);
    TIME_ZONE_INFORMATION out{};
    if (forYear(static_cast<USHORT>(year), &info, &out)) {
      return RuleOf(out.Bias, out.StandardBias, out.DaylightBias, out.StandardDate,
                    out.DaylightDate);
    }
  }
  // Without it: the year's own record, where Windows keeps one per year.
  const RegKey dynamic(zone.Get(), L"Dynamic DST");
  DWORD first = 0, last = 0;
  if (dynamic && dynamic.Dword(L"FirstEntry", first) && dynamic.Dword(L"LastEntry", last) &&
      first <= last) {
    const DWORD y = std::clamp<DWORD>(static_cast<DWORD>(year), first, last);
    RegistryTzi yearly{};
    if (dynamic.Binary(std::to_wstring(y).c_str(), &yearly, sizeof yearly)) tzi = yearly;
  }
  return RuleOf(tzi.Bias, tzi.StandardBias, tzi.DaylightBias, tzi.StandardDate, tzi.DaylightDate);
}

std::string LocalZoneKey() {
  using DynamicFn = DWORD(WINAPI*)(DynamicZoneInfo*);
  const auto dynamic = ui::LibraryEntry<DynamicFn>(GetModuleHandleA("kernel32.dll"),
                                                   "GetDynamicTimeZoneInformation");
  DynamicZoneInfo info{};
  if (!dynamic || dynamic(&info) == TIME_ZONE_ID_INVALID || info.DynamicDaylightTimeDisabled) {
    return "";
  }
  info.TimeZoneKeyName[127] = L'\0';
  return Exact(info.TimeZoneKeyName).value_or("");
}

ZoneRule LocalZoneRule() {
  TIME_ZONE_INFORMATION tzi{};
  if (GetTimeZoneInformation(&tzi) == TIME_ZONE_ID_INVALID) return {};
  return RuleOf(tzi.Bias, tzi.StandardBias, tzi.DaylightBias, tzi.StandardDate, tzi.DaylightDate);
}

}  // namespace worldclock
