// System libraries and their entries found by name at run time: the program
// still starts where an entry is missing, and a library that only some
// commands need is not loaded before one of them runs.
#pragma once

#include <windows.h>
// After windows.h, which leaves COM out of a lean build.
#include <objbase.h>

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

// COM on the thread that first starts it, ended with this object on that
// thread: the shell may hand an open to handlers that need it.
class ComApartment {
 public:
  ComApartment() = default;
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    using EndFn = void(WINAPI*)();
    if (!started_) return;
    if (auto end = ole_.Entry<EndFn>("CoUninitialize")) end();
  }
  // One attempt; a thread whose COM is already set up some other way keeps it.
  void Start() {
    if (tried_) return;
    tried_ = true;
    using InitFn = HRESULT(WINAPI*)(void*, DWORD);
    if (auto init = ole_.Entry<InitFn>("CoInitializeEx")) {
      started_ = SUCCEEDED(init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
  }

 private:
  LazyLibrary ole_{"ole32.dll"};
  bool tried_ = false;
  bool started_ = false;
};

}  // namespace ui
