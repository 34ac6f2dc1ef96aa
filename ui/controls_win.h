// The controls the program's windows are built from, each created at the
// pixel position its layout gives, in layout order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/component.h"
#include "ui/gdi_win.h"
#include "ui/window_win.h"

namespace ui {

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

// Owner: the window that owns the component (and saves its state); parent:
// the window or container it sits in.
class Control : public Component, public Window {
 public:
  Control(Component* owner, Window* parent, std::string name, std::string className);

  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  void SetFocus();
  std::string Caption() const;
  void SetCaption(const std::string& text);
  Rect Bounds() const { return bounds_; }

 protected:
  HWND ParentHandle() const { return parent_->Handle(); }
  void PublishCommon();
  void PublishCaption();
  Window* parent_;
  Rect bounds_;
};

class Label : public Control {
 public:
  // A zero width or height sizes the label to its text.
  Label(Component* owner, Window* parent, std::string name, Rect r, const std::string& caption);
  void SetFont(const FontSpec& f) override;

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
  CheckableButton(Component* owner, Window* parent, std::string name, std::string className, Rect r,
                  const std::string& caption, DWORD style, bool checked);
  // Sets the mark alone, raising nothing.
  void SetCheckMark(bool checked);
};

class CheckBox : public CheckableButton {
 public:
  CheckBox(Component* owner, Window* parent, std::string name, Rect r, const std::string& caption,
           bool checked, bool tabStop = true);
  void SetChecked(bool checked) override { SetCheckMark(checked); }

 protected:
  void Command(WORD code) override;
};

// Selecting a button unselects its siblings in the same parent and raises
// OnClick, whether the user or the program selects it; selecting the button
// already selected raises nothing.
class RadioButton : public CheckableButton {
 public:
  RadioButton(Component* owner, Window* parent, std::string name, Rect r,
              const std::string& caption, bool checked);
  void SetChecked(bool checked) override;

 protected:
  void Command(WORD code) override;
};

class GroupBox : public Control {
 public:
  GroupBox(Component* owner, Window* parent, std::string name, Rect r, const std::string& caption);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// A control the program draws itself: each paint starts from its whole client
// area filled with its colour, so nothing of an earlier picture shows.
class DrawnControl : public Control {
 protected:
  using Control::Control;
  virtual void Paint(HDC dc, RECT client) = 0;
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

enum class Bevel { None, Lowered, Raised };

class Panel : public DrawnControl {
 public:
  Panel(Component* owner, Window* parent, std::string name, Rect r, Bevel inner, Bevel outer);

 protected:
  void Paint(HDC dc, RECT client) override;
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  Bevel inner_, outer_;
};

// Shows an icon at its natural size in the top-left corner.
class Image : public DrawnControl {
 public:
  Image(Component* owner, Window* parent, std::string name, Rect r, HICON icon, bool visible);
  const Icon& Picture() const { return icon_; }

 protected:
  void Paint(HDC dc, RECT client) override;

 private:
  Icon icon_;
};

class Edit : public Control {
 public:
  Edit(Component* owner, Window* parent, std::string name, Rect r, const std::string& text,
       bool border = true);
  std::string Text() const { return Caption(); }
  void SetText(const std::string& text) { SetCaption(text); }
  std::function<void()> OnChange;

 protected:
  void Command(WORD code) override;
};

// Multi-line text without word wrap; its lines are its content, and it
// publishes no text property of its own.
class Memo : public Control {
 public:
  Memo(Component* owner, Window* parent, std::string name, Rect r, bool visible);
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);
};

// A flat button: a frame only under the pointer, grey text when disabled.
class SpeedButton : public DrawnControl {
 public:
  SpeedButton(Component* owner, Window* parent, std::string name, Rect r,
              const std::string& caption, bool visible);
  std::function<void()> OnClick;
  void Click();

 protected:
  void Paint(HDC dc, RECT client) override;
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  bool hot_ = false;
  bool down_ = false;
};

}  // namespace ui
