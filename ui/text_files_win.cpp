#include "ui/text_files_win.h"

#include <windows.h>

#include "ui/handle_win.h"

namespace ui {
namespace {

// Settings files are small; anything larger than this is not one of ours.
constexpr DWORD kLargestFile = 16 * 1024 * 1024;

}  // namespace

std::optional<std::string> WinTextFiles::ReadAll(const std::string& path) {
  KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return std::nullopt;
  DWORD high = 0;
  const DWORD size = GetFileSize(file.Get(), &high);
  if (size == INVALID_FILE_SIZE || high != 0 || size > kLargestFile) return std::nullopt;
  std::string content(size, '\0');
  DWORD read = 0;
  if (size && !ReadFile(file.Get(), content.data(), size, &read, nullptr)) return std::nullopt;
  content.resize(read);
  return content;
}

bool WinTextFiles::Exists(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

std::optional<unsigned long long> WinTextFiles::SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool WinTextFiles::MoveAside(const std::string& path, const std::string& to) {
  if (MoveFileExA(path.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  return GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool ReplaceThroughTemp(const std::string& path,
                        const std::function<bool(const std::string& temp)>& write) {
  const auto slash = path.find_last_of("\\/");
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  char temp[MAX_PATH];
  if (!GetTempFileNameA(folder.c_str(), "mrl", 0, temp)) return false;
  struct Remove {
    const char* path;
    ~Remove() { DeleteFileA(path); }  // nothing left there once it has moved
  } remove{temp};
  return write(temp) &&
         MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool WinTextFiles::ReplaceAll(const std::string& path, const std::string& content) {
  return ReplaceThroughTemp(path, [&content](const std::string& temp) {
    KernelHandle file(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    return file.Valid() &&
           WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &done,
                     nullptr) &&
           done == content.size() && FlushFileBuffers(file.Get());
  });
}

}  // namespace ui
