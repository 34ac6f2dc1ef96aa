// The application object: title, forms, message loop and error report.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class Form;
class Window;

class Application {
 public:
  static Application& Instance();

  // Reads the title from the executable's name.
  void Initialize();
  const std::string& Title() const { return title_; }

  // False keeps the main form hidden when the loop starts.
  bool showMainForm = true;

  // The first form created is the main form; closing it ends the loop.
  template <class T, class... Args>
  T* CreateForm(Args&&... args) {
    auto form = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = form.get();
    Adopt(std::move(form));
    return raw;
  }
  Form* MainForm() const { return mainForm_; }
  Form* ActiveForm() const;

  // False when another copy of the program runs from the same folder: this
  // one must then end at once, showing and writing nothing, but first it
  // asks that copy to come forward (onSecondStart there). A copy that is
  // ending is waited for (about thirty seconds), and this one then runs.
  bool ClaimProgramFolder();
  // Run when a second start from this folder asks this copy to show itself.
  std::function<void()> onSecondStart;

  // Asks the copy running from this program's folder to end as "Quit" ends
  // it (onQuitRequest there), and waits until its process has gone. The
  // answer is the exit code of a start with the quit switch.
  enum QuitAnswer : int { kQuitDone = 0, kQuitRefused = 1, kQuitTimedOut = 2 };
  static QuitAnswer QuitRunningCopy();
  // Run when another start asks this copy to quit; refused (never run) while
  // a box or a modal window is open, since either holds the person's work.
  std::function<void()> onQuitRequest;
  // From the first step of an orderly end (a quit or a log-off): a second
  // start then waits for this copy to go instead of asking it to show
  // itself. False again when the end is called off (a failed save).
  void SetEnding(bool ending) { ending_ = ending; }
  bool Ending() const { return ending_ || terminated_; }
  // A message box or a modal window is open; each lives in one of these.
  class OpenDialog {
   public:
    OpenDialog() { ++Instance().dialogs_; }
    ~OpenDialog() { --Instance().dialogs_; }
    OpenDialog(const OpenDialog&) = delete;
    OpenDialog& operator=(const OpenDialog&) = delete;
  };
  bool DialogOpen() const { return dialogs_ > 0; }

  // Runs the program's start, loop and end; an error that escapes it (no
  // window could be made, a resource is missing) is shown and ends the
  // program with exit code 1.
  int RunGuarded(const std::function<int()>& body) noexcept;

  void Run();
  void ProcessMessages();
  // Translates and dispatches one message; Tab, arrows and Space move
  // between and press the controls of the program's active window.
  void DispatchOne(MSG& msg);
  void Terminate();
  bool Terminated() const { return terminated_; }

  // The session ends (log-off, shutdown, an installer closing the program):
  // every form keeps its state as at an orderly exit, and no box is shown,
  // since nobody would see it. The forms are not saved again as they go.
  void EndSession() noexcept;

  // Forms go last created first; a form's save that fails is reported once
  // and the shutdown goes on.
  void DestroyForms();

  // The error box: error icon, "OK", the title as caption.
  void HandleException(const std::exception& e);
  void ShowError(const std::string& message);
  // Replaces the error box (tests record the messages instead).
  std::function<void(const std::string&)> onException;

  // A message box owned by the active window: the text, a caption, and the
  // icon and buttons as MB_ flags; returns the button pressed (IDOK, ...).
  // An unasked box comes up in front of whatever program is active.
  int MessageDialog(const std::string& text, const std::string& caption, UINT flags);
  // Every box raised while one of these lives is unasked: it comes by itself
  // (a timer's tick, the start, the end), not in answer to a command, while
  // the person may be working in another program, where Windows would leave
  // it behind that program, unseen.
  class UnaskedBoxes {
   public:
    UnaskedBoxes() { ++Instance().unasked_; }
    ~UnaskedBoxes() { --Instance().unasked_; }
    UnaskedBoxes(const UnaskedBoxes&) = delete;
    UnaskedBoxes& operator=(const UnaskedBoxes&) = delete;
  };
  // Replaces the message box: it gets what the box would show (its flags as
  // they would go to the box) and answers for the user.
  std::function<int(const std::string& text, const std::string& caption, UINT flags)> onMessage;

 private:
  Application() = default;
  ~Application();
  void Adopt(std::unique_ptr<Form> form);
  void DiscardQuit();

  std::string title_;
  std::vector<std::unique_ptr<Form>> forms_;
  Form* mainForm_ = nullptr;
  bool terminated_ = false;
  bool ending_ = false;
  bool sessionEnded_ = false;
  int dialogs_ = 0;
  // Owned by this copy's thread until its process ends.
  HANDLE folderMutex_ = nullptr;
  // Found by a second start from the same folder.
  std::unique_ptr<Window> instanceWindow_;
  int unasked_ = 0;
};

}  // namespace ui
