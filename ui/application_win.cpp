#include "ui/application_win.h"

#include "ui/app_text.h"
#include "ui/form_win.h"
#include "ui/paths_win.h"

namespace ui {

Application& Application::Instance() {
  static Application app;
  return app;
}

void Application::Initialize() {
  // The module name arrives in the OEM code page on old systems; the title
  // is always ANSI.
  std::string path = ExecutablePath();
  OemToCharBuffA(path.c_str(), path.data(), static_cast<DWORD>(path.size()));
  title_ = TitleFromExecutablePath(path);
}

bool Application::ClaimProgramFolder() {
  // One folder can be named in several ways; its long name is one of them.
  std::string folder = ProgramFolder();
  std::string longName(MAX_PATH, '\0');
  const DWORD n = GetLongPathNameA(folder.c_str(), longName.data(), MAX_PATH);
  if (n > 0 && n < MAX_PATH) folder = longName.substr(0, n);
  const std::string name = "Local\\" + InstanceMutexName(folder);
  folderMutex_ = CreateMutexA(nullptr, FALSE, name.c_str());
  // Without a mutex the program runs: a second copy is the lesser harm.
  return !(folderMutex_ && GetLastError() == ERROR_ALREADY_EXISTS);
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
  const std::string text = WithFullStop(message);
  if (onException) {
    onException(text);
    return;
  }
  MessageDialog(text, title_, MB_ICONERROR | MB_OK);
}

int Application::MessageDialog(const std::string& text, const std::string& caption, UINT flags) {
  if (onMessage) return onMessage(text, caption, flags);
  return MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), flags);
}

}  // namespace ui
