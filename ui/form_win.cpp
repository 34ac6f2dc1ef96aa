#include "ui/form_win.h"

#include <vector>

#include "ui/application_win.h"
#include "ui/controls_win.h"
#include "ui/dpi_win.h"

namespace ui {
namespace {

constexpr DWORD kFormStyle = WS_CAPTION | WS_CLIPCHILDREN;

RECT WindowRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

BOOL CALLBACK CollectEnabledVisible(HWND hwnd, LPARAM param) {
  auto* list = reinterpret_cast<std::vector<HWND>*>(param);
  if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) list->push_back(hwnd);
  return TRUE;
}

}  // namespace

Form::Form(std::string name, std::string className, const Form* owner)
    : base::Component(nullptr, std::move(name), std::move(className)) {
  CreateOwn(
      WindowArgs{.className = "TMarlinetForm",
                 .exStyle = WS_EX_CONTROLPARENT,
                 .style = kFormStyle | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME,
                 .x = CW_USEDEFAULT,
                 .y = CW_USEDEFAULT,
                 .width = 320,
                 .height = 240,
                 .parent = owner ? owner->Handle() : nullptr});
  dpi_ = WindowDpi(Handle());
}

Form::~Form() {
  // Controls first, while the form's handle still parents them.
  DestroyComponents();
  DestroyHandle();
}

void Form::AfterConstruction() {
  for (base::Component* c : Components()) c->Loaded();
  RestoreState();
  // The start's boxes come while the person may be busy elsewhere.
  Application::UnaskedBoxes unasked;
  if (OnCreate) Dispatch(OnCreate);
}

void Form::SetCaption(const std::string& caption) { SetWindowTextA(Handle(), caption.c_str()); }

std::string Form::Caption() const {
  char text[256] = {};
  GetWindowTextA(Handle(), text, sizeof text);
  return text;
}

void Form::SetBorder(BorderStyle style, BorderIcons icons) {
  DWORD s = kFormStyle;
  DWORD ex = WS_EX_CONTROLPARENT;
  if (icons.systemMenu) s |= WS_SYSMENU;
  if (style == BorderStyle::Dialog) {
    s |= DS_MODALFRAME;
    ex |= WS_EX_DLGMODALFRAME;
  } else {
    if (icons.minimize) s |= WS_MINIMIZEBOX;
    if (icons.maximize) s |= WS_MAXIMIZEBOX;
    if (style == BorderStyle::Sizeable) s |= WS_THICKFRAME;
  }
  SetWindowLongPtrA(
      Handle(), GWL_STYLE,
      static_cast<LONG_PTR>(s | (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_VISIBLE)));
  SetWindowLongPtrA(Handle(), GWL_EXSTYLE, static_cast<LONG_PTR>(ex));
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void Form::SetClientSize(int width, int height) {
  layoutClient_ = {width, height};
  FitClient(0, 0, {Scaled(width), Scaled(height)}, SWP_NOMOVE);
}

bool Form::WindowSizeAt(int dpi, SIZE& size) const {
  if (layoutClient_.cx <= 0 || Sizeable()) return false;
  const RECT r =
      WindowRectForClient(Scale(layoutClient_.cx, dpi), Scale(layoutClient_.cy, dpi),
                          static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)),
                          static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)), dpi);
  size = {r.right - r.left, r.bottom - r.top};
  return true;
}

void Form::FitClient(int x, int y, SIZE client, UINT flags) {
  const RECT r = WindowRectForClient(
      client.cx, client.cy, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)),
      static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)), dpi_);
  flags |= SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(Handle(), nullptr, x, y, r.right - r.left, r.bottom - r.top, flags);
  // The frame's own answer: a per-monitor v1 window keeps the system DPI's
  // frame whatever its DPI, which no calculation of it knows.
  RECT now{}, window{};
  if (IsIconic(Handle()) || !GetClientRect(Handle(), &now) || !GetWindowRect(Handle(), &window)) {
    return;
  }
  const LONG dw = client.cx - now.right, dh = client.cy - now.bottom;
  if (dw == 0 && dh == 0) return;
  SetWindowPos(Handle(), nullptr, 0, 0, window.right - window.left + dw,
               window.bottom - window.top + dh, flags | SWP_NOMOVE);
}

void Form::SetIconResource(int id) {
  iconResource_ = id;
  // Each size from the image drawn for it: the switcher and the caption ask
  // for different ones, and a stretched small picture looks blurred.
  icon_.Reset(LoadIconAtSize(id, IconSize(true, dpi_)));
  bigIcon_.Reset(LoadIconAtSize(id, IconSize(false, dpi_)));
  SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.Handle()));
  SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.Handle()));
}

bool Form::Sizeable() const {
  return (GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_THICKFRAME) != 0;
}

void Form::DpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  for (base::Component* c : Components()) {
    if (auto* control = dynamic_cast<Control*>(c)) control->SetDpi(dpi);
  }
  if (iconResource_) SetIconResource(iconResource_);
  if (layoutClient_.cx > 0 && !Sizeable()) {
    // The suggestion scales the whole window linearly, but the frame does
    // not scale so: its client area may fall a pixel or two short and clip
    // the layout's last row. The place is the suggestion's; the size is the
    // layout's.
    FitClient(suggested.left, suggested.top, {Scaled(layoutClient_.cx), Scaled(layoutClient_.cy)},
              0);
  } else {
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(Handle(), nullptr, TRUE);
  ScaleChanged();
}

int Form::Top() const { return WindowRect(Handle()).top; }
int Form::Left() const { return WindowRect(Handle()).left; }
int Form::Width() const {
  const RECT r = WindowRect(Handle());
  return r.right - r.left;
}
int Form::Height() const {
  const RECT r = WindowRect(Handle());
  return r.bottom - r.top;
}
void Form::MoveTo(int x, int y, int w, int h) {
  SetWindowPos(Handle(), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}
void Form::SetTop(int v) { MoveTo(Left(), v, Width(), Height()); }
void Form::SetLeft(int v) { MoveTo(v, Top(), Width(), Height()); }
void Form::SetWidth(int v) { MoveTo(Left(), Top(), v, Height()); }
void Form::SetHeight(int v) { MoveTo(Left(), Top(), Width(), v); }

bool Form::Visible() const { return IsWindowVisible(Handle()) != FALSE; }

void Form::Show() {
  if (!shown_ && centreOnFirstShow) {
    const int x = (GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
    SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  shown_ = true;
  ShowWindow(Handle(), SW_SHOW);
  BringToFront();
}

void Form::Hide() { ShowWindow(Handle(), SW_HIDE); }

void Form::BringToFront() {
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetForegroundWindow(Handle());
  BringWindowToTop(Handle());
}

void Form::Close() {
  if (modal_) {
    modalResult = mrCancel;
    return;
  }
  if (Application::Instance().MainForm() == this) {
    Application::Instance().Terminate();
  } else {
    Hide();
  }
}

namespace {

// Disables the visible, enabled top-level windows of this thread but one for
// as long as it lives: the hidden ones (the tray icon's among them) keep
// working, and the disabled ones come back however the modal show ends.
class DisabledWindows {
 public:
  explicit DisabledWindows(HWND keep) {
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledVisible,
                      reinterpret_cast<LPARAM>(&windows_));
    std::erase(windows_, keep);
    for (HWND w : windows_) EnableWindow(w, FALSE);
  }
  ~DisabledWindows() { Enable(); }
  void Enable() {
    for (HWND w : windows_) {
      if (IsWindow(w)) EnableWindow(w, TRUE);
    }
    windows_.clear();
  }
  DisabledWindows(const DisabledWindows&) = delete;
  DisabledWindows& operator=(const DisabledWindows&) = delete;

 private:
  std::vector<HWND> windows_;
};

}  // namespace

int Form::ShowModal() {
  DisabledWindows disabled(Handle());
  Application::OpenDialog open;

  modal_ = true;
  modalResult = mrNone;
  Show();
  Application& app = Application::Instance();
  MSG msg;
  while (modalResult == mrNone && !app.Terminated()) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
      app.Terminate();  // hand the quit on to the main loop
      break;
    }
    app.DispatchOne(msg);
  }
  modal_ = false;
  // Enabled before the hide, so that Windows gives the activation back to
  // them rather than to another program.
  disabled.Enable();
  Hide();
  return modalResult;
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(Handle(), &r);
      FillRect(reinterpret_cast<HDC>(wp), &r, SharedBrush(color_));
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(Handle(), &ps);
      EndPaint(Handle(), &ps);
      if (OnPaint) Dispatch(OnPaint);
      return 0;
    }
    case WM_TIMECHANGE:
    case WM_SETTINGCHANGE:
    case WM_FONTCHANGE:
      // Sent to top-level windows only; the controls that care hear it here.
      Dispatch([&] { SystemChange(msg, wp, lp); });
      for (base::Component* c : Components()) {
        if (auto* control = dynamic_cast<Control*>(c)) {
          Dispatch([&] { control->SystemChange(msg, wp, lp); });
        }
      }
      break;
    case kGetDpiScaledSizeMessage: {
      // Asked before a move to a monitor of another scale (per-monitor v2):
      // the size that keeps the layout's client area, so the suggestion
      // that follows is already right.
      SIZE size{};
      if (!WindowSizeAt(static_cast<int>(wp), size)) return FALSE;
      *reinterpret_cast<SIZE*>(lp) = size;
      return TRUE;
    }
    case kDpiChangedMessage:
      // Moved to a monitor of another scale, or the scale changed: the
      // layout again at the new DPI, in the rectangle the system suggests.
      DpiChanged(LOWORD(wp), *reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The process may be ended at any moment after this returns.
      if (wp && Application::Instance().MainForm() == this) Application::Instance().EndSession();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        if (OnDeactivate) Dispatch(OnDeactivate);
      } else if (OnActivate) {
        Dispatch(OnActivate);
      }
      break;
    default:
      break;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace ui
