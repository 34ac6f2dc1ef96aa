#include "ui/gdi_win.h"

#include "ui/dpi_win.h"

#include <cstring>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace ui {

Icon& Icon::operator=(const Icon& o) {
  if (this != &o) Reset(o.h_ ? CopyIcon(o.h_) : nullptr);
  return *this;
}

Icon& Icon::operator=(Icon&& o) noexcept {
  if (this != &o) Reset(std::exchange(o.h_, nullptr));
  return *this;
}

void Icon::Reset(HICON adopt) {
  if (h_) DestroyIcon(h_);
  h_ = adopt;
}

COLORREF ColorToRgb(base::Color c) {
  return (c & kSystemColorFlag) ? GetSysColor(static_cast<int>(c & 0xFF))
                                : static_cast<COLORREF>(c);
}

COLORREF TextColorOn(base::Color text, base::Color back) {
  if (!(text & kSystemColorFlag) || (back & kSystemColorFlag)) return ColorToRgb(text);
  switch (text & 0xFF) {
    case COLOR_GRAYTEXT:
    case COLOR_BTNSHADOW:
      return RGB(128, 128, 128);
    case COLOR_BTNHIGHLIGHT:
    case COLOR_HIGHLIGHTTEXT:
    case COLOR_CAPTIONTEXT:
      return RGB(255, 255, 255);
    default:
      return RGB(0, 0, 0);
  }
}

HFONT SharedFont(const FontSpec& font, int dpi) {
  static std::map<std::tuple<std::string, int, bool, int, int>, GdiObject<HFONT>> fonts;
  auto& slot = fonts[{font.face, font.points, font.bold, font.height, dpi}];
  if (!slot.Get()) {
    const int height = font.height != 0 ? Scale(font.height, dpi) : -MulDiv(font.points, dpi, 72);
    slot.Reset(CreateFontA(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.face.c_str()));
  }
  return slot.Get();
}

HBRUSH SharedBrush(base::Color color) {
  static std::map<base::Color, GdiObject<HBRUSH>> brushes;
  auto& slot = brushes[color];
  if (!slot.Get()) slot.Reset(CreateSolidBrush(ColorToRgb(color)));
  return slot.Get();
}

SIZE MeasureText(const FontSpec& font, int dpi, const std::string& text, UINT flags) {
  ClientDC screen(nullptr);
  Selected selected(screen.Get(), SharedFont(font, dpi));
  RECT r{0, 0, 0, 0};
  DrawTextA(screen.Get(), text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_LEFT | DT_EXPANDTABS | flags);
  return {r.right, r.bottom};
}

HBITMAP MenuPictureFromBmp(const void* data, size_t size, int dpi) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  if (size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return nullptr;
  BITMAPFILEHEADER file;
  BITMAPINFOHEADER info;
  std::memcpy(&file, bytes, sizeof file);
  std::memcpy(&info, bytes + sizeof file, sizeof info);
  const int w = info.biWidth;
  const int h = info.biHeight > 0 ? info.biHeight : -info.biHeight;
  const size_t stride = ((static_cast<size_t>(w) * 3 + 3) / 4) * 4;
  if (file.bfType != 0x4D42 || info.biBitCount != 24 || info.biCompression != BI_RGB || w <= 0 ||
      w > 256 || h <= 0 || h > 256 || file.bfOffBits + stride * h > size) {
    return nullptr;
  }
  auto pixel = [&](int x, int yFromTop) {
    const int row = info.biHeight > 0 ? h - 1 - yFromTop : yFromTop;
    const unsigned char* p = bytes + file.bfOffBits + stride * row + x * 3;
    return RGB(p[2], p[1], p[0]);
  };
  const COLORREF transparent = pixel(0, h - 1);

  // Wine draws item pictures without alpha, newer Windows blends them with
  // it: the transparent colour becomes the menu's own background and every
  // pixel is opaque, so both show the same picture.
  const COLORREF menu = GetSysColor(COLOR_MENU);
  const int outW = Scale(w, dpi), outH = Scale(h, dpi);
  if (outW <= 0 || outH <= 0) return nullptr;
  BITMAPINFO out{};
  out.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  out.bmiHeader.biWidth = outW;
  out.bmiHeader.biHeight = -outH;
  out.bmiHeader.biPlanes = 1;
  out.bmiHeader.biBitCount = 32;
  out.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &out, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp) return nullptr;
  auto* dst = static_cast<DWORD*>(bits);
  // Nearest pixel: the picture's hard edges stay hard.
  for (int y = 0; y < outH; ++y) {
    for (int x = 0; x < outW; ++x) {
      const COLORREF source = pixel(x * w / outW, y * h / outH);
      const COLORREF c = source == transparent ? menu : source;
      dst[y * outW + x] = 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  }
  return bmp;
}

std::string LoadRcData(int id) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!info) return {};
  HGLOBAL data = LoadResource(module, info);
  const void* p = data ? LockResource(data) : nullptr;
  if (!p) return {};
  return std::string(static_cast<const char*>(p), SizeofResource(module, info));
}

}  // namespace ui
