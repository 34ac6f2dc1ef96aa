#include "launcher/system_folder.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace launcher {
namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           if (IsSlash(a) && IsSlash(b)) return true;
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         });
}

}  // namespace

std::string ThroughSysnative(const std::string& file, const std::string& windowsFolder,
                             FileProbe& probe) {
  std::string_view folder = windowsFolder;
  while (!folder.empty() && IsSlash(folder.back())) folder.remove_suffix(1);
  for (std::string_view root :
       {folder, std::string_view("%windir%"), std::string_view("%SystemRoot%")}) {
    if (root.empty() || !StartsWithNoCase(file, root)) continue;
    const std::string_view rest = std::string_view(file).substr(root.size());
    constexpr std::string_view kSystem = "\\System32\\";
    // Something must follow the folder: a bare "System32\" is the folder.
    if (rest.size() <= kSystem.size() || !StartsWithNoCase(rest, kSystem)) continue;
    // Looked for where the shell will look: a variable stands for the
    // Windows folder, which must then be known.
    if (folder.empty()) return file;
    const std::string inside = "Sysnative" + file.substr(root.size() + kSystem.size() - 1);
    if (!probe.FileExists(std::string(folder) + "\\" + inside)) return file;
    return file.substr(0, root.size() + 1) + inside;
  }
  return file;
}

}  // namespace launcher
