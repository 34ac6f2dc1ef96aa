// System libraries and their entries found by name at run time: the program
// still starts where an entry is missing, and a library that only some
// commands need is not loaded before one of them runs.
#pragma once

#include <windows.h>

namespace ui {

// Null where the library or the entry is missing.
template <class F>
F LibraryEntry(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Loaded at the first entry asked of it (one attempt), freed with this object.
class LazyLibrary {
 public:
  explicit LazyLibrary(const char* fileName) : fileName_(fileName) {}
  LazyLibrary(const LazyLibrary&) = delete;
  LazyLibrary& operator=(const LazyLibrary&) = delete;
  ~LazyLibrary() {
    if (module_) FreeLibrary(module_);
  }

  template <class F>
  F Entry(const char* name) {
    if (!tried_) {
      tried_ = true;
      module_ = LoadLibraryA(fileName_);
    }
    return LibraryEntry<F>(module_, name);
  }

 private:
  const char* fileName_;
  HMODULE module_ = nullptr;
  bool tried_ = false;
};

}  // namespace ui
