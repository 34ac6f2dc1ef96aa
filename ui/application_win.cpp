#include "ui/application_win.h"

#include "base/app_text.h"
#include "ui/form_win.h"
#include "ui/paths_win.h"
#include "ui/window_win.h"

namespace ui {
namespace {

constexpr const char* kInstanceClass = "TMarlinetInstance";
// Registered, so no other program's window mistakes them for its own.
UINT ShowYourselfMessage() {
  static const UINT message = RegisterWindowMessageA("Marlinet.ShowOptions");
  return message;
}
UINT QuitMessage() {
  static const UINT message = RegisterWindowMessageA("Marlinet.Quit");
  return message;
}
// The quit itself runs after the answer has gone back: "Quit" may raise a
// box, which must not hold up the copy that asked.
constexpr UINT kQuitNow = WM_APP + 1;

// What the running copy answers; 0 means the message was not understood.
enum Answer : LRESULT { kShown = 1, kEnding = 2, kRefused = 3, kQuitting = 4 };

// A second start waits this long for an ending copy to go: as long as its
// slowest orderly end, ten seconds for a launch under way and then the
// saves. A quit request waits as long, since the copy may still be saving
// or showing a box.
constexpr DWORD kEndingCopyWaitMs = 30000;
constexpr DWORD kQuitWaitMs = 30000;
constexpr UINT kAnswerWaitMs = 5000;
// A strike plays for up to ten seconds, during which the copy reads no
// messages: it is asked again until it has had the time to finish one.
constexpr DWORD kBusyCopyWaitMs = 15000;

// A message-only window named after the program folder, which a second
// start finds and asks to show this copy's options, or to quit.
class InstanceWindow final : public Window {
 public:
  explicit InstanceWindow(const std::string& name) {
    CreateOwn(WindowArgs{.className = kInstanceClass, .text = name, .parent = HWND_MESSAGE});
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    Application& app = Application::Instance();
    if (msg == ShowYourselfMessage() && msg != 0) {
      if (app.Ending()) return kEnding;
      if (app.onSecondStart) Dispatch(app.onSecondStart);
      return kShown;
    }
    if (msg == QuitMessage() && msg != 0) {
      if (app.Ending()) return kEnding;
      if (app.DialogOpen() || !app.onQuitRequest) return kRefused;
      PostMessageA(Handle(), kQuitNow, 0, 0);
      return kQuitting;
    }
    if (msg == kQuitNow) {
      // A box may have come up since the answer: the quit is then dropped
      // and the asker's wait runs out.
      if (!app.Ending() && !app.DialogOpen() && app.onQuitRequest) Dispatch(app.onQuitRequest);
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
HWND FindRunningCopy(const std::string& name) {
  for (int tries = 0; tries < 40; ++tries) {
    if (HWND running = FindWindowExA(HWND_MESSAGE, nullptr, kInstanceClass, name.c_str())) {
      return running;
    }
    Sleep(50);
  }
  return nullptr;
}

// Zero when the copy did not answer (gone, hung, or out of this start's
// reach). Once a copy has read no message for five seconds, as while it
// strikes, Windows calls it hung and the send times out at once: only a
// send that timed out is tried again.
LRESULT Ask(HWND running, UINT message) {
  const DWORD start = GetTickCount();
  for (;;) {
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(running, message, 0, 0, SMTO_ABORTIFHUNG, kAnswerWaitMs, &answer)) {
      return static_cast<LRESULT>(answer);
    }
    if (GetLastError() != ERROR_TIMEOUT || GetTickCount() - start >= kBusyCopyWaitMs) return 0;
    Sleep(250);
  }
}

bool AskRunningCopyToShowItself(const std::string& name) {
  HWND running = FindRunningCopy(name);
  if (!running) return false;
  // This copy was started by the person and may take the foreground; it
  // hands that right to the running copy, which is in the background and
  // would otherwise only flash its taskbar button.
  DWORD process = 0;
  GetWindowThreadProcessId(running, &process);
  AllowSetForegroundWindow(process);
  return Ask(running, ShowYourselfMessage()) == kShown;
}

// The mutex is let go of (released or abandoned) only as its owner ends.
bool WaitForFolder(HANDLE mutex, DWORD ms) {
  const DWORD waited = WaitForSingleObject(mutex, ms);
  return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
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
  // Owned from the start, so that a later start can wait for this copy's end.
  folderMutex_ = CreateMutexA(nullptr, TRUE, ("Local\\" + key).c_str());
  // A copy started as an administrator holds a mutex this one may not
  // open; it runs, so this one ends as a second copy does. Without a mutex
  // for any other reason the program runs: a second copy is the lesser harm.
  if (!folderMutex_ && GetLastError() == ERROR_ACCESS_DENIED) {
    AskRunningCopyToShowItself(key);
    return false;
  }
  if (folderMutex_ && GetLastError() == ERROR_ALREADY_EXISTS) {
    // A copy that shows itself stays; one that is ending (or gives no
    // answer) is waited for, and if it does not go, this one ends as a
    // second copy does.
    if (AskRunningCopyToShowItself(key)) return false;
    if (!WaitForFolder(folderMutex_, kEndingCopyWaitMs)) return false;
  }
  instanceWindow_ = std::make_unique<InstanceWindow>(key);
  return true;
}

Application::QuitAnswer Application::QuitRunningCopy() {
  const std::string key = base::InstanceMutexName(FolderKey());
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, ("Local\\" + key).c_str());
  // Nothing runs from this folder, or a copy does that this start may not
  // reach (one started as an administrator).
  if (!mutex) return GetLastError() == ERROR_FILE_NOT_FOUND ? kQuitDone : kQuitTimedOut;
  QuitAnswer result = kQuitTimedOut;
  HWND running = FindRunningCopy(key);
  DWORD id = 0;
  if (running) GetWindowThreadProcessId(running, &id);
  // Opened before the request, so the process cannot go unseen in between.
  HANDLE process = id ? OpenProcess(SYNCHRONIZE, FALSE, id) : nullptr;
  const LRESULT answer = running ? Ask(running, QuitMessage()) : kEnding;
  if (answer == kRefused) {
    result = kQuitRefused;
  } else if (answer == kQuitting || answer == kEnding) {
    // The program file stays locked until the process has gone, which is
    // later than the mutex's release.
    bool gone = false;
    if (process) {
      gone = WaitForSingleObject(process, kQuitWaitMs) == WAIT_OBJECT_0;
    } else if (WaitForFolder(mutex, kQuitWaitMs)) {
      ReleaseMutex(mutex);  // a start that follows must not wait for this one
      gone = true;
    }
    if (gone) result = kQuitDone;
  }
  if (process) CloseHandle(process);
  CloseHandle(mutex);
  return result;
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
  ending_ = true;
  sessionEnded_ = true;
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
    // At the session's end every form has kept its state already, and no
    // box is shown.
    try {
      if (!sessionEnded_) form->BeforeDestruction();
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
  OpenDialog open;
  if (onMessage) return onMessage(text, caption, flags);
  return MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), flags);
}

}  // namespace ui
