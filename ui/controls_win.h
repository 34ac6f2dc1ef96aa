// The controls the program's windows are built from, each created at the
// pixel position its layout gives, in layout order, from one argument struct
// with named fields, so a layout reads as a list.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/component.h"
#include "base/mouse.h"
#include "ui/gdi_win.h"
#include "ui/window_win.h"

namespace ui {

class PopupMenu;

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

enum class Bevel { None, Lowered, Raised };
enum class Align { Left, Center, Right };

// How a control is made. Each control reads the fields that concern it.
struct ControlArgs {
  Window* parent = nullptr;  // the window or container it sits in
  std::string name{};
  Rect rect{};  // in the parent's client area; a label of zero size fits its text
  std::string caption{};
  std::optional<FontSpec> font{};      // the parent's when not given
  std::optional<base::Color> color{};  // the parent's when not given
  bool visible = true;
  bool enabled = true;
  bool tabStop = true;
  bool border = true;    // edit boxes and memos
  bool checked = false;  // check boxes and radio buttons
  Align alignment = Align::Left;
  Bevel bevelInner = Bevel::None;  // panels
  Bevel bevelOuter = Bevel::None;
  int bevelWidth = 1;
  int borderWidth = 0;
  HICON icon = nullptr;  // images: copied
  int iconResource = 0;  // images: this module's icon, at the small-icon size
};

// Owner: the window that owns the component (and saves its state); parent:
// the window or container it sits in. The base carries what every control
// offers: visibility, enabling, caption as window text, the mouse, pointer
// enter and leave, a popup menu on the right button, and the system's change
// notices.
class Control : public base::Component, public Window {
 public:
  Control(base::Component* owner, const ControlArgs& args, std::string className);

  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  void SetFocus();
  // Over its siblings; the first created stand on top otherwise.
  void BringToFront();
  std::string Caption() const;
  // The same into a buffer kept by the caller.
  void ReadCaption(std::string& into) const;
  void SetCaption(const std::string& text);
  Rect Bounds() const { return bounds_; }
  Window* Parent() const { return parent_; }

  base::MouseEvent OnMouseDown, OnMouseUp;
  base::MouseMoveEvent OnMouseMove;
  base::NotifyEvent OnMouseEnter, OnMouseLeave;
  bool MouseInside() const { return inside_; }

  // Shown at the pointer on a right click, when OnContextPopup (if set)
  // agrees; the Menu key and Shift+F10 show it as a right click in the
  // control's middle would.
  PopupMenu* popupMenu = nullptr;
  std::function<bool()> OnContextPopup;

  // The time, the system settings or the installed fonts changed; the form
  // passes these on to every control.
  virtual void SystemChange(UINT msg, WPARAM wp, LPARAM lp);
  // Lays the control out again, and takes its font and pictures, for its
  // window's new DPI.
  void SetDpi(int dpi);

 protected:
  HWND ParentHandle() const { return parent_->Handle(); }
  void PublishCommon();
  void PublishCaption();
  // The control's window as its layout places it, at the window's scale.
  WindowArgs Made(const char* cls, DWORD exStyle, DWORD style) const;
  // Makes the window from the arguments it was given.
  void MakeSystem(const char* cls, DWORD exStyle, DWORD style);
  void MakeOwn(const char* cls, DWORD exStyle, DWORD style);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  virtual void MouseEnter();
  virtual void MouseLeave();
  // After a new DPI has placed the control at its scaled layout rectangle.
  virtual void Rescaled() {}

  Window* parent_;
  Rect bounds_;
  ControlArgs args_;

 private:
  bool MouseMessage(UINT msg, WPARAM wp, LPARAM lp);
  void OfferMenu(int x, int y);
  void KeyboardMenu();
  bool inside_ = false;
};

class Label : public Control {
 public:
  Label(base::Component* owner, const ControlArgs& args);
  void SetFont(const FontSpec& f) override;

 protected:
  void Rescaled() override;

 private:
  void AutoSize();
  bool autoSize_;
};

// A button with a check mark: the common part of check boxes and radio buttons.
class CheckableButton : public Control {
 public:
  bool Checked() const;
  virtual void SetChecked(bool checked) = 0;
  std::function<void()> OnClick;

 protected:
  CheckableButton(base::Component* owner, const ControlArgs& args, std::string className,
                  DWORD style);
  // Sets the mark alone, raising nothing.
  void SetCheckMark(bool checked);
};

class CheckBox : public CheckableButton {
 public:
  CheckBox(base::Component* owner, const ControlArgs& args);
  void SetChecked(bool checked) override { SetCheckMark(checked); }

 protected:
  void Command(WORD code) override;
};

// Selecting a button unselects its siblings in the same parent and raises
// OnClick, whether the user or the program selects it; selecting the button
// already selected raises nothing.
class RadioButton : public CheckableButton {
 public:
  RadioButton(base::Component* owner, const ControlArgs& args);
  void SetChecked(bool checked) override;

 protected:
  void Command(WORD code) override;
};

class GroupBox : public Control {
 public:
  GroupBox(base::Component* owner, const ControlArgs& args);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// A control the program draws itself: each paint starts from its whole client
// area filled with its colour, so nothing of an earlier picture shows. Its
// caption is its window text, and a new caption repaints it.
class DrawnControl : public Control {
 protected:
  using Control::Control;
  // Runs before the paint starts, outside it: the place to fetch fresh data,
  // even through a box that runs its own loop.
  virtual void BeforePaint() {}
  virtual void Paint(HDC dc, RECT client) = 0;
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  // False for a control whose text follows what it draws rather than
  // deciding it.
  bool repaintOnText_ = true;
  // A property setter's common step: a new value is stored and repaints;
  // the value it already has does nothing. True when it changed.
  template <class T>
  bool Change(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    InvalidateRect(Handle(), nullptr, FALSE);
    return true;
  }
};

// A panel with an outer and an inner bevel, a border between them, and a
// caption drawn in the middle of what is left.
class Panel : public DrawnControl {
 public:
  Panel(base::Component* owner, const ControlArgs& args);
  // The client area less the bevels and the border.
  RECT InnerRect() const;
  void SetAlignment(Align a);

 protected:
  void Paint(HDC dc, RECT client) override;
  // The bevels and the border, without the caption.
  void PaintFrame(HDC dc, RECT client);
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Shows an icon at its natural size in the top-left corner.
class Image : public DrawnControl {
 public:
  Image(base::Component* owner, const ControlArgs& args);
  const Icon& Picture() const { return icon_; }

 protected:
  void Paint(HDC dc, RECT client) override;
  void Rescaled() override;

 private:
  Icon icon_;
};

class Edit : public Control {
 public:
  Edit(base::Component* owner, const ControlArgs& args);
  std::string Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }
  std::function<void()> OnChange;

 protected:
  void Command(WORD code) override;
};

// Multi-line text without word wrap. It holds its text exactly as given
// (line breaks as they are, a final break or none) up to its capacity, and
// publishes no text property of its own.
class Memo : public Control {
 public:
  static constexpr size_t kDefaultCapacity = 1024 * 1024;

  Memo(base::Component* owner, const ControlArgs& args);
  std::string Text() const { return Caption(); }
  // Throws base::Error "Text exceeds memo capacity" for a text that does not
  // fit, and then keeps the text it had.
  void SetText(const std::string& text);
  size_t Capacity() const { return capacity_; }
  void SetCapacity(size_t capacity);
  // Split again only when the text has changed since the last call.
  const std::vector<std::string>& Lines() const;
  void SetLines(const std::vector<std::string>& lines);

 private:
  size_t capacity_ = kDefaultCapacity;
  mutable std::string scratch_, linesText_;
  mutable std::vector<std::string> lines_;
};

// A flat button: a frame only under the pointer, grey text when disabled.
class SpeedButton : public DrawnControl {
 public:
  SpeedButton(base::Component* owner, const ControlArgs& args);
  std::function<void()> OnClick;
  void Click();

 protected:
  void Paint(HDC dc, RECT client) override;
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void MouseEnter() override;
  void MouseLeave() override;

 private:
  bool down_ = false;
};

}  // namespace ui
