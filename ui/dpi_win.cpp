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
// Windows 8.1 and later, in shcore.dll; 0 is MDT_EFFECTIVE_DPI, the scale
// the user chose for the monitor.
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0;

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

int MonitorDpi(HMONITOR monitor) {
  static LazyLibrary shcore("shcore.dll");
  static const auto entry = shcore.Entry<GetDpiForMonitorFn>("GetDpiForMonitor");
  UINT x = 0, y = 0;
  if (entry && monitor && SUCCEEDED(entry(monitor, kEffectiveDpi, &x, &y)) && x > 0) {
    return static_cast<int>(x);
  }
  return SystemDpi();
}

int TaskbarDpi() {
  // The notification area lives in the main taskbar; the taskbars of other
  // monitors have none.
  if (HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr)) {
    return MonitorDpi(MonitorFromWindow(taskbar, MONITOR_DEFAULTTOPRIMARY));
  }
  return MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

int DpiAtPoint(POINT p) { return MonitorDpi(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST)); }

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
