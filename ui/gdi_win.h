// GDI resources: owned handles, and fonts and brushes shared for the run.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "base/colours.h"

namespace ui {

// A GDI object handle deleted with the owner.
template <class H>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(H h) : h_(h) {}
  ~GdiObject() { Reset(); }
  GdiObject(GdiObject&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  GdiObject& operator=(GdiObject&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  H Get() const { return h_; }
  void Reset(H h = nullptr) {
    if (h_) DeleteObject(h_);
    h_ = h;
  }

 private:
  H h_ = nullptr;
};
using Bitmap = GdiObject<HBITMAP>;

// An icon the holder owns; assignment copies the picture.
class Icon {
 public:
  Icon() = default;
  explicit Icon(HICON adopt) : h_(adopt) {}
  Icon(const Icon& o) : h_(o.h_ ? CopyIcon(o.h_) : nullptr) {}
  Icon& operator=(const Icon& o);
  Icon(Icon&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  Icon& operator=(Icon&& o) noexcept;
  ~Icon() { Reset(); }
  HICON Handle() const { return h_; }
  bool Empty() const { return h_ == nullptr; }
  void Reset(HICON adopt = nullptr);

 private:
  HICON h_ = nullptr;
};

// Colours as the toolkit writes them: COLORREF layout (blue in the high byte),
// or a system colour index with the top bit set.
static_assert(sizeof(base::Color) == sizeof(DWORD));
inline constexpr base::Color kSystemColorFlag = 0x80000000;
inline constexpr base::Color clBtnFace = kSystemColorFlag | COLOR_BTNFACE;
inline constexpr base::Color clWindow = kSystemColorFlag | COLOR_WINDOW;
inline constexpr base::Color clWindowText = kSystemColorFlag | COLOR_WINDOWTEXT;
inline constexpr base::Color clBlack = 0x000000;
inline constexpr base::Color clNavy = 0x800000;
inline constexpr base::Color clYellow = 0x00FFFF;
inline constexpr base::Color clBlue = 0xFF0000;
inline constexpr base::Color clGrayText = kSystemColorFlag | COLOR_GRAYTEXT;
COLORREF ColorToRgb(base::Color c);
// The colour to write text of colour `text` in on a background `back`. On a
// background the layout fixes, a system text colour is taken as it is in
// the standard scheme: a high-contrast scheme's white text would vanish on
// tan.
COLORREF TextColorOn(base::Color text, base::Color back);

struct FontSpec {
  std::string face = "MS Sans Serif";
  int points = 8;
  base::Color color = clWindowText;
  bool bold = false;
  // Pixels, as the toolkit's font height: below zero the character height,
  // above it the cell height; 0 takes the size from `points`.
  int height = 0;
  bool operator==(const FontSpec&) const = default;
};

// Fonts and solid brushes live as long as the program: a handful are used.
// A font's size (points, or pixels at 96 DPI) is made for the DPI given.
HFONT SharedFont(const FontSpec& font, int dpi);
HBRUSH SharedBrush(base::Color color);

// A device context released (or ended) with its holder.
class ClientDC {
 public:
  explicit ClientDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~ClientDC() { ReleaseDC(hwnd_, dc_); }
  ClientDC(const ClientDC&) = delete;
  ClientDC& operator=(const ClientDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
  ~PaintDC() { EndPaint(hwnd_, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// A GDI object selected into a device context for the holder's lifetime.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, old_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The extent of a text in a font, as DrawText lays it out (line breaks and
// tabs included; "&" marks an accelerator unless `flags` holds DT_NOPREFIX).
SIZE MeasureText(const FontSpec& font, int dpi, const std::string& text, UINT flags = 0);

// A menu item picture from a whole 24-bit BMP file in memory; its bottom-left
// colour is transparent and shows the menu's background. Drawn for 96 DPI,
// it is enlarged pixel by pixel for another.
HBITMAP MenuPictureFromBmp(const void* data, size_t size, int dpi = 96);
// The bytes of an RCDATA resource of this module.
std::string LoadRcData(int id);

}  // namespace ui
