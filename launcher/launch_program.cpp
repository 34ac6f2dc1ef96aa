#include "launcher/launch_program.h"

namespace launcher {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view WithoutOuterBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// Up to the last "\", which stays only where it is the root ("C:\", "\"):
// "C:" alone would be the drive's current folder, and "" none at all.
std::string FolderOf(std::string_view program) {
  const size_t slash = program.find_last_of('\\');
  if (slash == std::string_view::npos) return {};
  const std::string_view folder = program.substr(0, slash);
  const bool root = folder.empty() || (folder.size() == 2 && folder[1] == ':');
  return std::string(root ? program.substr(0, slash + 1) : folder);
}

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

ProgramParts SplitProgramField(std::string_view field) {
  ProgramParts parts;
  if (field.empty() || field.front() != '"') {
    parts.program = field;
    parts.exeName = FileNameOf(field);
    return parts;
  }
  parts.quoted = true;
  const size_t close = field.find('"', 1);
  if (close == std::string_view::npos) {
    parts.quoteMissing = true;
    return parts;
  }
  const std::string_view program = field.substr(1, close - 1);
  parts.program = program;
  parts.arguments = WithoutOuterBlanks(field.substr(close + 1));
  parts.folder = FolderOf(program);
  parts.exeName = FileNameOf(program);
  return parts;
}

}  // namespace launcher
