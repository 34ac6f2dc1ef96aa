// A kernel handle closed with its holder.
#pragma once

#include <windows.h>

namespace ui {

class KernelHandle {
 public:
  explicit KernelHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~KernelHandle() {
    if (Valid()) CloseHandle(h_);
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;
  // Both "no handle" values of the API count as none.
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE Get() const { return h_; }

 private:
  HANDLE h_;
};

}  // namespace ui
