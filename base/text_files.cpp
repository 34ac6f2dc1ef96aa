#include "base/text_files.h"

#include "base/error.h"

namespace base {

std::string OwnFile::Read() {
  auto content = files_.ReadAll(path_);
  if (!content) {
    keepUnread_ = files_.Exists(path_);
    throw FileOpenError(path_);
  }
  keepUnread_ = false;
  return std::move(*content);
}

void OwnFile::Replace(const std::string& content) {
  if (keepUnread_ && !files_.MoveAside(path_, path_ + kBackupSuffix)) throw FileCreateError(path_);
  keepUnread_ = false;
  if (!files_.ReplaceAll(path_, content)) throw FileCreateError(path_);
}

}  // namespace base
