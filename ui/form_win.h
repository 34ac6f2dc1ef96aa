// A top-level window that owns its components and raises the form events.
#pragma once

#include <functional>
#include <string>

#include "base/component.h"
#include "ui/window_win.h"

namespace ui {

enum class BorderStyle { Single, Sizeable, Dialog };

struct BorderIcons {
  bool systemMenu = true;
  bool minimize = true;
  bool maximize = true;
};

enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

class Form : public base::Component, public Window {
 public:
  // An owned form stays above its owner, goes with it, and has no taskbar
  // button of its own.
  Form(std::string name, std::string className, const Form* owner = nullptr);
  ~Form() override;

  // Called once the derived window has built its layout: components are told
  // they are loaded, the stored state is restored, then OnCreate runs.
  virtual void AfterConstruction();
  // Called before the window is destroyed, while every control still exists.
  virtual void BeforeDestruction() {}

  void SetCaption(const std::string& caption);
  std::string Caption() const;
  void SetBorder(BorderStyle style, BorderIcons icons);
  // In 96-DPI pixels, as the layout gives it. A window the user cannot size
  // keeps this client area at every DPI, to the pixel.
  void SetClientSize(int width, int height);
  // This module's icon, in the small and the large size of the window's DPI.
  void SetIconResource(int id);
  // Whether the user may change the window's size.
  bool Sizeable() const;
  // Centre on the desktop the first time the window is shown.
  bool centreOnFirstShow = true;

  int Top() const;
  int Left() const;
  int Width() const;
  int Height() const;
  void SetTop(int v);
  void SetLeft(int v);
  void SetWidth(int v);
  void SetHeight(int v);

  bool Visible() const;
  void Show();
  void Hide();
  // The main form's close ends the program; any other form's only hides it
  // (and ends a modal show with mrCancel).
  void Close();
  void BringToFront();
  int ShowModal();
  int modalResult = mrNone;

  std::function<void()> OnCreate, OnActivate, OnDeactivate, OnPaint;

 protected:
  virtual void RestoreState() {}
  // The time, the system settings or the installed fonts changed; the form
  // hears it before its controls do.
  virtual void SystemChange(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/) {}
  // The window has been laid out again at a new DPI.
  virtual void ScaleChanged() {}
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void MoveTo(int x, int y, int w, int h);
  // The whole window around the layout's client area at a DPI; false for a
  // window without a layout size or one the user sizes.
  bool WindowSizeAt(int dpi, SIZE& size) const;
  // Sizes the window at (x, y) so that its client area is `client` exactly,
  // whatever the frame turns out to be.
  void FitClient(int x, int y, SIZE client, UINT flags);
  void DpiChanged(int dpi, const RECT& suggested);
  SIZE layoutClient_{};  // 96-DPI pixels; 0 x 0 until SetClientSize
  Icon icon_, bigIcon_;
  int iconResource_ = 0;
  bool shown_ = false;
  bool modal_ = false;
};

}  // namespace ui
