#include "ui/dpi_win.h"

#include "ui/gdi_win.h"
#include "ui/library_win.h"

namespace ui {
namespace {

// Windows 10 version 1607 and later; absent from Wine before 4 and older
// systems.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

HMODULE User32() { return GetModuleHandleA("user32.dll"); }

int ScreenDpi() {
  const ClientDC screen(nullptr);
  const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSX);
  return dpi > 0 ? dpi : kLayoutDpi;
}

}  // namespace

int SystemDpi() {
  static const auto entry = LibraryEntry<GetDpiForSystemFn>(User32(), "GetDpiForSystem");
  if (entry) {
    if (const UINT dpi = entry(); dpi > 0) return static_cast<int>(dpi);
  }
  return ScreenDpi();
}

int WindowDpi(HWND hwnd) {
  static const auto entry = LibraryEntry<GetDpiForWindowFn>(User32(), "GetDpiForWindow");
  if (entry && hwnd) {
    if (const UINT dpi = entry(hwnd); dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int IconSize(bool small, int dpi) {
  static const auto entry =
      LibraryEntry<GetSystemMetricsForDpiFn>(User32(), "GetSystemMetricsForDpi");
  const int metric = small ? SM_CXSMICON : SM_CXICON;
  if (entry) {
    if (const int size = entry(metric, static_cast<UINT>(dpi)); size > 0) return size;
  }
  // Older systems scale the metric by the system DPI, the only one there is.
  if (const int size = GetSystemMetrics(metric); size > 0 && dpi == SystemDpi()) return size;
  return Scale(small ? 16 : 32, dpi);
}

RECT WindowRectForClient(int width, int height, DWORD style, DWORD exStyle, int dpi) {
  static const auto entry =
      LibraryEntry<AdjustWindowRectExForDpiFn>(User32(), "AdjustWindowRectExForDpi");
  RECT r{0, 0, width, height};
  if (!entry || !entry(&r, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    r = {0, 0, width, height};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
  }
  return r;
}

HICON LoadIconAtSize(int id, int size) {
  return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON,
                                       size, size, LR_DEFAULTCOLOR));
}

}  // namespace ui
