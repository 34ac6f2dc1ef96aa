#include "ui/paths_win.h"

#include <windows.h>

namespace ui {
namespace {

std::wstring WideExecutablePath() {
  // MAX_PATH is not a limit for the module name; grow until it fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

std::wstring WideFromAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const std::wstring& text, UINT codePage, DWORD flags, BOOL* lost) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int n =
      WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, lost);
  std::string narrow(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, flags, text.data(), length, narrow.data(), n, nullptr, nullptr);
  return narrow;
}

std::string AnsiFromWide(const std::wstring& text) {
  // The best fit the code page offers ("L" for "Ł") reads better than "?".
  return Narrow(text, CP_ACP);
}

namespace {

std::optional<std::string> Spelled(const std::wstring& text) {
  BOOL lost = FALSE;
  std::string ansi = Narrow(text, CP_ACP, WC_NO_BEST_FIT_CHARS, &lost);
  if (lost) return std::nullopt;
  return ansi;
}

}  // namespace

std::optional<std::string> AnsiPath(const std::wstring& path) {
  if (auto ansi = Spelled(path)) return ansi;
  std::wstring shortName(32768, L'\0');
  const DWORD n =
      GetShortPathNameW(path.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
  if (n == 0 || n >= shortName.size()) return std::nullopt;
  shortName.resize(n);
  return Spelled(shortName);
}

std::string ExecutablePath() { return AnsiFromWide(WideExecutablePath()); }

const std::wstring& WideProgramFolder() {
  static const std::wstring folder = [] {
    std::wstring path = WideExecutablePath();
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
  }();
  return folder;
}

std::string ProgramFolder() {
  static const std::string folder = AnsiFromWide(WideProgramFolder());
  return folder;
}

std::wstring FilePath(const std::string& path) {
  const std::string& folder = ProgramFolder();
  if (!folder.empty() && path.compare(0, folder.size(), folder) == 0) {
    return WideProgramFolder() + WideFromAnsi(path.substr(folder.size()));
  }
  return WideFromAnsi(path);
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(FilePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace ui
