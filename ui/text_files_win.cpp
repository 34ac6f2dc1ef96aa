#include "ui/text_files_win.h"

#include <windows.h>

#include "base/busy_file.h"
#include "ui/handle_win.h"
#include "ui/paths_win.h"

namespace ui {
namespace {

// Settings files are small; anything larger than this is not one of ours.
constexpr DWORD kLargestFile = 16 * 1024 * 1024;

}  // namespace

std::optional<std::string> WinTextFiles::ReadAll(const std::string& path) {
  KernelHandle file(CreateFileW(FilePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
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
  if (GetFileAttributesW(FilePath(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

std::optional<unsigned long long> WinTextFiles::SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(FilePath(path).c_str(), GetFileExInfoStandard, &data))
    return std::nullopt;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool WinTextFiles::Append(const std::string& path, const std::string& text) {
  // Append access alone: the system puts every write at the end of the file,
  // whatever the file pointer says, so nothing already written is touched.
  KernelHandle file(CreateFileW(FilePath(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  DWORD done = 0;
  return file.Valid() &&
         WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
         done == text.size();
}

bool WinTextFiles::MoveAside(const std::string& path, const std::string& to) {
  if (MoveFileExW(FilePath(path).c_str(), FilePath(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  return GetLastError() == ERROR_FILE_NOT_FOUND;
}

namespace {

// The move of the written copy over the file, tried again while another
// program holds the file.
class MoveOverPort final : public base::ReplacePort {
 public:
  MoveOverPort(std::wstring from, std::wstring to) : from_(std::move(from)), to_(std::move(to)) {}
  base::ReplaceOutcome Replace() override {
    if (MoveFileExW(from_.c_str(), to_.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return base::ReplaceOutcome::kDone;
    }
    // A file held open without delete sharing refuses the rename over it
    // with "access denied", not only with a sharing violation; a file that
    // is read-only for good says the same and costs the wait.
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
                   error == ERROR_ACCESS_DENIED
               ? base::ReplaceOutcome::kBusy
               : base::ReplaceOutcome::kFailed;
  }
  void Pause(unsigned milliseconds) override { Sleep(milliseconds); }

 private:
  std::wstring from_;
  std::wstring to_;
};

}  // namespace

bool ReplaceThroughTemp(const std::string& path,
                        const std::function<bool(const std::wstring& temp)>& write) {
  const std::wstring target = FilePath(path);
  const auto slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash + 1);
  wchar_t temp[MAX_PATH];
  if (!GetTempFileNameW(folder.c_str(), L"mrl", 0, temp)) return false;
  struct Remove {
    const wchar_t* path;
    ~Remove() { DeleteFileW(path); }  // nothing left there once it has moved
  } remove{temp};
  if (!write(temp)) return false;
  MoveOverPort port(temp, target);
  return base::ReplaceWhenFree(port);
}

bool WinTextFiles::ReplaceAll(const std::string& path, const std::string& content) {
  return ReplaceThroughTemp(path, [&content](const std::wstring& temp) {
    KernelHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    return file.Valid() &&
           WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &done,
                     nullptr) &&
           done == content.size() && FlushFileBuffers(file.Get());
  });
}

}  // namespace ui
