#include "launcher/launch_list.h"

#include "base/text_lines.h"

namespace launcher {
namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
  return s;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

}  // namespace

std::string MemoTextFromFile(std::string_view content) {
  content = base::WithoutByteOrderMark(content);
  content = content.substr(0, content.find('\0'));
  const std::vector<std::string> lines = base::SplitLines(content);
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  if (!content.empty() && IsBreak(content.back())) text += "\r\n";
  return text;
}

std::string CleanLaunchText(std::string_view text) {
  std::string kept;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    const size_t lineEnd = end == std::string_view::npos ? text.size() : end;
    if (end != std::string_view::npos) {
      end += (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
    } else {
      end = text.size();
    }
    if (text.substr(start, lineEnd - start).find('[') != std::string_view::npos) {
      kept += text.substr(start, end - start);
    }
    start = end;
  }
  return kept;
}

LaunchEntry ParseLaunchLine(const std::string& line) {
  LaunchEntry e;
  e.disabled = IsDisabledLine(line);
  e.timeField = TimeField(line);
  LineParts parts = SplitLaunchLine(line);
  e.file = std::move(parts.path);
  if (parts.dayText) {
    e.days = ParseDays(*parts.dayText);
    e.dayText = std::move(parts.dayText);
  }
  ProgramParts opens = SplitProgramField(e.file);
  e.exeName = std::move(opens.exeName);
  e.program = std::move(opens.program);
  e.arguments = std::move(opens.arguments);
  e.folder = std::move(opens.folder);
  e.quoted = opens.quoted;
  e.quoteMissing = opens.quoteMissing;
  return e;
}

bool SameExeName(std::string_view a, std::string_view b) {
  a = Trimmed(a);
  b = Trimmed(b);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

}  // namespace launcher
