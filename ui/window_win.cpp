#include "ui/window_win.h"

#include <memory>
#include <set>

#include "ui/application_win.h"
#include "ui/dpi_win.h"

namespace ui {
namespace {

constexpr UINT kPostedCallMessage = WM_APP + 0x4D1;

void RegisterOwnClass(const char* name, WNDPROC procedure) {
  static std::set<std::string> registered;
  if (registered.contains(name)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
  registered.insert(name);
}

}  // namespace

void Dispatch(const std::function<void()>& handler) noexcept {
  try {
    handler();
  } catch (const std::exception& e) {
    Application::Instance().HandleException(e);
  } catch (...) {
    Application::Instance().HandleException(std::runtime_error("Unexpected error"));
  }
}

bool PostCall(HWND hwnd, std::function<void()> call) {
  auto held = std::make_unique<std::function<void()>>(std::move(call));
  if (!PostMessageA(hwnd, kPostedCallMessage, 0, reinterpret_cast<LPARAM>(held.get()))) {
    return false;
  }
  held.release();  // the window's message owns it now
  return true;
}

Window::~Window() { DestroyHandle(); }

int Window::Scaled(int value) const { return Scale(value, dpi_); }

Window* Window::FromHandle(HWND hwnd) {
  // The object rides in the user data of the windows whose procedure is the
  // program's own; a box's dialog or another program's window keeps its own
  // user data. (A window property would cost a trip to the window server
  // on every message.)
  if (!hwnd ||
      GetWindowLongPtrA(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&Window::Procedure)) {
    return nullptr;
  }
  return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void Window::SetBackColor(base::Color c) {
  // The clocks window sets every box's colour each minute: the same colour
  // again repaints nothing.
  if (c == color_) return;
  color_ = c;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Window::SetFont(const FontSpec& f) {
  font_ = f;
  if (hwnd_) SendFont(true);
}

void Window::SendFont(bool redraw) {
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), redraw);
}

void Window::Bind(HWND hwnd) {
  hwnd_ = hwnd;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

namespace {

HWND CreateFrom(const WindowArgs& a, void* param) {
  HWND hwnd =
      CreateWindowExA(a.exStyle, a.className, a.text.c_str(), a.style, a.x, a.y, a.width, a.height,
                      a.parent, reinterpret_cast<HMENU>(a.id), GetModuleHandleA(nullptr), param);
  if (!hwnd) throw std::runtime_error("Cannot create window " + std::string(a.className));
  return hwnd;
}

}  // namespace

void Window::CreateOwn(const WindowArgs& args) {
  RegisterOwnClass(args.className, &Window::Procedure);
  // Binds at WM_NCCREATE, from the creation parameter.
  CreateFrom(args, this);
  SendFont(false);
}

void Window::CreateSystem(const WindowArgs& args) {
  HWND hwnd = CreateFrom(args, nullptr);
  Bind(hwnd);
  systemProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::Procedure)));
  SendFont(false);
}

void Window::DestroyHandle() {
  HWND hwnd = hwnd_;
  if (!hwnd) return;
  hwnd_ = nullptr;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  if (systemProc_) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProc_));
  DestroyWindow(hwnd);
}

LRESULT Window::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) {
  return systemProc_ ? CallWindowProcA(systemProc_, hwnd_, msg, wp, lp)
                     : DefWindowProcA(hwnd_, msg, wp, lp);
}

HBRUSH Window::CtlColor(HDC dc) {
  SetTextColor(dc, TextColorOn(font_.color, color_));
  SetBkColor(dc, ColorToRgb(color_));
  return SharedBrush(color_);
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case kPostedCallMessage: {
      const std::unique_ptr<std::function<void()>> call(
          reinterpret_cast<std::function<void()>*>(lp));
      // Nobody clicked for it: a box it raises must come up in front.
      Application::UnaskedBoxes unasked;
      Dispatch(*call);
      return 0;
    }
    case kQueryColorMessage:
      // What a screen reader or a test cannot read from the text: the
      // background (0) and the text colour (1), as the toolkit writes them.
      return static_cast<LRESULT>(wp == 0 ? color_ : font_.color);
    case WM_COMMAND:
      if (Window* child = FromHandle(reinterpret_cast<HWND>(lp))) {
        const WORD code = HIWORD(wp);
        Dispatch([&] { child->Command(code); });
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      if (Window* child = FromHandle(reinterpret_cast<HWND>(lp))) {
        if (HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wp))) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    default:
      break;
  }
  return DefaultHandler(msg, wp, lp);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lp);
    if (auto* owner = static_cast<Window*>(create->lpCreateParams)) owner->Bind(hwnd);
  }
  Window* self = FromHandle(hwnd);
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    // The handle goes away without DestroyHandle (its parent was destroyed).
    const WNDPROC system = self->systemProc_;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->systemProc_ = nullptr;
    if (!system) return DefWindowProcA(hwnd, msg, wp, lp);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(system));
    return CallWindowProcA(system, hwnd, msg, wp, lp);
  }
  LRESULT result = 0;
  try {
    result = self->HandleMessage(msg, wp, lp);
  } catch (const std::exception& e) {
    Application::Instance().HandleException(e);
  } catch (...) {
    Application::Instance().HandleException(std::runtime_error("Unexpected error"));
  }
  return result;
}

}  // namespace ui
