#include "base/app_text.h"

namespace base {
namespace {

unsigned char LowerAnsi(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  // Windows-1252 capitals with a small letter 0x20 above them, and the three
  // whose small letters sit elsewhere.
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 16);
  if (c == 0x9F) return 0xFF;
  return c;
}

}  // namespace

std::string TitleFromExecutablePath(const std::string& path) {
  const auto slash = path.find_last_of("\\/:");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  name = name.substr(0, name.find('.'));
  for (size_t i = 1; i < name.size(); ++i) {
    name[i] = static_cast<char>(LowerAnsi(static_cast<unsigned char>(name[i])));
  }
  return name;
}

std::string InstanceMutexName(const std::string& folder) {
  std::string key;
  for (unsigned char c : folder) {
    if (c == '/') c = '\\';
    // Letter case as the file system ignores it: the lower case of the
    // title rule, applied to every character.
    key += static_cast<char>(LowerAnsi(c));
  }
  while (!key.empty() && key.back() == '\\') key.pop_back();
  // FNV-1a: a path can be longer than a kernel object's name may be.
  unsigned long long hash = 14695981039346656037ull;
  for (unsigned char c : key) hash = (hash ^ c) * 1099511628211ull;
  static const char* const kDigits = "0123456789abcdef";
  std::string name = "Marlinet-";
  for (int shift = 60; shift >= 0; shift -= 4) name += kDigits[(hash >> shift) & 15];
  return name;
}

std::string WithFullStop(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

bool AsksToQuit(const std::string& commandLine) {
  std::string word;
  auto isQuit = [&word] {
    std::string lower;
    for (unsigned char c : word) lower += static_cast<char>(LowerAnsi(c));
    return lower == "/quit" || lower == "-quit";
  };
  for (char c : commandLine + " ") {
    if (c == ' ' || c == '\t') {
      if (isQuit()) return true;
      word.clear();
    } else if (c != '"') {
      word += c;
    }
  }
  return false;
}

}  // namespace base
