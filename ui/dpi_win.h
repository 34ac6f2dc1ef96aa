// The display scale. Layouts, fonts and pictures are written in pixels at
// 96 DPI; the windowing layer scales them here, by the window's own DPI, so
// no window multiplies a number itself. The calls that tell a window's DPI
// exist only on newer systems and are found at run time: elsewhere the
// screen's DPI stands for every window's.
#pragma once

#include <windows.h>

namespace ui {

inline constexpr int kLayoutDpi = 96;
// Sent to a per-monitor aware window whose DPI changed; not in older headers.
inline constexpr UINT kDpiChangedMessage = 0x02E0;
// Asks a per-monitor v2 window its size at the DPI in wParam, into the SIZE
// at lParam; TRUE when it answered (Windows 10 1703 and later).
inline constexpr UINT kGetDpiScaledSizeMessage = 0x02E4;

// A 96-DPI length at `dpi`, rounded as MulDiv rounds (halves away from zero).
inline int Scale(int value, int dpi) { return MulDiv(value, dpi, kLayoutDpi); }

// The DPI the system's own parts (the taskbar among them) are drawn at.
int SystemDpi();
// The DPI of the monitor the window is on, as the window sees it.
int WindowDpi(HWND hwnd);
// The DPI of a monitor, as a per-monitor aware program sees it; the system
// DPI where the system cannot tell one monitor's from another's.
int MonitorDpi(HMONITOR monitor);
// The monitor the notification area is on: the taskbar's, which need not be
// the one the system DPI was taken from when the user logged on.
int TaskbarDpi();
// The monitor holding a point of the screen, or the nearest one.
int DpiAtPoint(POINT p);
// SM_CXSMICON or SM_CXICON at a DPI.
int IconSize(bool small, int dpi);
// The window rectangle around a client area, at a DPI.
RECT WindowRectForClient(int width, int height, DWORD style, DWORD exStyle, int dpi);

// An icon of this module at the size given, from the image drawn for that
// size when the icon holds one; null when there is no such icon.
HICON LoadIconAtSize(int id, int size);

}  // namespace ui
