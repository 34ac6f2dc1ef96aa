#include "ui/application_win.h"

#include "base/app_text.h"
#include "ui/form_win.h"
#include "ui/paths_win.h"
#include "ui/window_win.h"

namespace ui {
namespace {

constexpr const char* kInstanceClass = "TMarlinetInstance";
// Registered, so no other program's window mistakes it for one of its own.
UINT ShowYourselfMessage() {
  static const UINT message = RegisterWindowMessageA("Marlinet.ShowOptions");
  return message;
}

// A message-only window named after the program folder, which a second
// start finds and asks to show this copy's options.
class InstanceWindow final : public Window {
 public:
  explicit InstanceWindow(const std::string& name) {
    CreateOwn(WindowArgs{.className = kInstanceClass, .text = name, .parent = HWND_MESSAGE});
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == ShowYourselfMessage() && msg != 0) {
      Application& app = Application::Instance();
      if (app.onSecondStart && !app.Terminated()) Dispatch(app.onSecondStart);
      return 0;
    }
    return Window::HandleMessage(msg, wp, lp);
  }
};

// The same folder may be named in several ways; its long name, letters
// folded, is one of them. UTF-8 keeps every character of it.
std::string FolderKey() {
  std::wstring folder = WideProgramFolder();
  std::wstring longName(32768, L'\0');
  const DWORD n =
      GetLongPathNameW(folder.c_str(), longName.data(), static_cast<DWORD>(longName.size()));
  if (n > 0 && n < longName.size()) folder = longName.substr(0, n);
  if (!folder.empty()) CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
  return Narrow(folder, CP_UTF8);
}

// The running copy's window may not be made yet when both start at once.
void AskRunningCopyToShowItself(const std::string& name) {
  for (int tries = 0; tries < 40; ++tries) {
    if (HWND running = FindWindowExA(HWND_MESSAGE, nullptr, kInstanceClass, name.c_str())) {
      // This copy was started by the person and may take the foreground;
      // it hands that right to the running copy, which is in the
      // background and would otherwise only flash its taskbar button.
      DWORD process = 0;
      GetWindowThreadProcessId(running, &process);
      AllowSetForegroundWindow(process);
      PostMessageA(running, ShowYourselfMessage(), 0, 0);
      return;
    }
    Sleep(50);
  }
}

}  // namespace

Application::~Application() = default;

Application& Application::Instance() {
  static Application app;
  return app;
}

void Application::Initialize() {
  // The module name arrives in the OEM code page on old systems; the title
  // is always ANSI.
  std::string path = ExecutablePath();
  OemToCharBuffA(path.c_str(), path.data(), static_cast<DWORD>(path.size()));
  title_ = base::TitleFromExecutablePath(path);
}

bool Application::ClaimProgramFolder() {
  const std::string key = base::InstanceMutexName(FolderKey());
  folderMutex_ = CreateMutexA(nullptr, FALSE, ("Local\\" + key).c_str());
  // Without a mutex the program runs: a second copy is the lesser harm.
  if (folderMutex_ && GetLastError() == ERROR_ALREADY_EXISTS) {
    AskRunningCopyToShowItself(key);
    return false;
  }
  instanceWindow_ = std::make_unique<InstanceWindow>(key);
  return true;
}

int Application::RunGuarded(const std::function<int()>& body) noexcept {
  std::string failure;
  try {
    return body();
  } catch (const std::exception& e) {
    failure = e.what();
  } catch (...) {
    failure = "Unexpected error";
  }
  try {
    // Half-made windows go first, the tray icon with them, so the box's own
    // loop reaches none of them.
    forms_.clear();
    mainForm_ = nullptr;
    DiscardQuit();
    UnaskedBoxes unasked;
    ShowError(failure);
  } catch (...) {
  }
  return 1;
}

void Application::Adopt(std::unique_ptr<Form> form) {
  Form* raw = form.get();
  forms_.push_back(std::move(form));
  if (!mainForm_) mainForm_ = raw;
  raw->AfterConstruction();
}

Form* Application::ActiveForm() const {
  HWND active = GetActiveWindow();
  for (const auto& f : forms_) {
    if (f->Handle() && f->Handle() == active) return f.get();
  }
  return nullptr;
}

void Application::Run() {
  if (showMainForm && mainForm_) mainForm_->Show();
  MSG msg;
  while (!terminated_) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) break;
    DispatchOne(msg);
  }
  terminated_ = true;
  DiscardQuit();
}

void Application::DiscardQuit() {
  // A quit message still queued would end at once any box shown while the
  // windows are destroyed (a failed save of the form state, say).
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

void Application::DispatchOne(MSG& msg) {
  // The dialog keys are keyboard messages; any other message is dispatched
  // as the dialog manager would, without asking for the active window.
  if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
    HWND active = GetActiveWindow();
    if (active && dynamic_cast<Form*>(Window::FromHandle(active)) &&
        IsDialogMessageA(active, &msg)) {
      return;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

void Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    DispatchOne(msg);
  }
}

void Application::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

void Application::EndSession() noexcept {
  for (auto it = forms_.rbegin(); it != forms_.rend(); ++it) {
    try {
      (*it)->BeforeDestruction();
    } catch (...) {
      // Nobody is left to read a box.
    }
  }
}

void Application::DestroyForms() {
  // Nobody is looking at the program as it ends: a failed save's box must
  // still be seen.
  UnaskedBoxes unasked;
  while (!forms_.empty()) {
    std::unique_ptr<Form> form = std::move(forms_.back());
    forms_.pop_back();
    try {
      form->BeforeDestruction();
    } catch (const std::exception& e) {
      HandleException(e);
    }
    if (form.get() == mainForm_) mainForm_ = nullptr;
    form.reset();
  }
}

void Application::HandleException(const std::exception& e) { ShowError(e.what()); }

void Application::ShowError(const std::string& message) {
  const std::string text = base::WithFullStop(message);
  if (onException) {
    onException(text);
    return;
  }
  MessageDialog(text, title_, MB_ICONERROR | MB_OK);
}

int Application::MessageDialog(const std::string& text, const std::string& caption, UINT flags) {
  if (unasked_ > 0) {
    // Windows lets a program in the background only flash its taskbar
    // button; the box asks for the foreground and, while another program
    // has it, stays above that program's windows.
    flags |= MB_SETFOREGROUND;
    DWORD process = 0;
    HWND front = GetForegroundWindow();
    if (front) GetWindowThreadProcessId(front, &process);
    if (process != GetCurrentProcessId()) flags |= MB_TOPMOST;
  }
  if (onMessage) return onMessage(text, caption, flags);
  return MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), flags);
}

}  // namespace ui
