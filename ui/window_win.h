// The one window procedure every window of the program goes through. It finds
// the C++ object bound to the handle, forwards the message to its virtual
// handler, reflects child notifications (commands, colours) back to the child
// that sent them, and never lets an exception leave.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/gdi_win.h"

namespace ui {

// Answered by every window of the program with its colours, for another
// program that reads them: wParam 0 the background, 1 the text.
inline constexpr UINT kQueryColorMessage = WM_APP + 0x4D0;

// Runs an event handler; an exception from it goes to the application's error
// report and stops there.
void Dispatch(const std::function<void()>& handler) noexcept;

// Runs `call` as an event handler of one of the program's windows, once the
// handler now running has returned: from the window's message loop (or any
// box's), on the window's thread, with its boxes unasked. Safe from any
// thread; false when the window is gone, and the call is then dropped.
bool PostCall(HWND hwnd, std::function<void()> call);

// What a window is made from, as a control is made from its arguments.
struct WindowArgs {
  const char* className = "";
  DWORD exStyle = 0;
  DWORD style = 0;
  std::string text{};
  int x = 0, y = 0, width = 0, height = 0;  // in the parent's client pixels
  HWND parent = nullptr;                    // or HWND_MESSAGE
  UINT_PTR id = 0;
};

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return hwnd_; }

  // The DPI the window is laid out for; a 96-DPI length at it.
  int Dpi() const { return dpi_; }
  int Scaled(int value) const;

  base::Color BackColor() const { return color_; }
  const FontSpec& Font() const { return font_; }
  virtual void SetBackColor(base::Color c);
  virtual void SetFont(const FontSpec& f);

  // The object bound to one of the program's windows; null for any other.
  static Window* FromHandle(HWND hwnd);

 protected:
  // A window of the program's own class (registered on first use).
  void CreateOwn(const WindowArgs& args);
  // A window of a system class (BUTTON, STATIC, EDIT), subclassed.
  void CreateSystem(const WindowArgs& args);
  // Unbinds first, so no message reaches a half-destroyed object.
  void DestroyHandle();

  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp);

  // Notifications a parent reflects back to the child they concern.
  virtual void Command(WORD /*code*/) {}
  virtual HBRUSH CtlColor(HDC dc);

  // The window's font, made for its DPI.
  HFONT FontHandle() const { return SharedFont(font_, dpi_); }
  // Hands that font to the window.
  void SendFont(bool redraw);

  base::Color color_ = clBtnFace;
  FontSpec font_;
  int dpi_ = 96;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
  void Bind(HWND hwnd);

  HWND hwnd_ = nullptr;
  WNDPROC systemProc_ = nullptr;
};

}  // namespace ui
