// The launch list editor: the launch list as one text, loaded from
// "proc.kvr" at start, written back by "OK" without the lines that hold no
// "[". Shown modally by the main window's "Processes"; the launch tick reads
// its lines as they stand, edits included.
#pragma once

#include <string>
#include <vector>

#include "base/text_files.h"
#include "launcher/launch_list.h"
#include "ui/controls_win.h"
#include "ui/form_win.h"

struct TForm3Services {
  base::TextFiles &files;
  // The main window: the editor stays above it and has no taskbar button.
  const ui::Form *owner = nullptr;
};

class TForm3 : public ui::Form, public launcher::LaunchListWindow {
 public:
  explicit TForm3(const TForm3Services &services);

  const std::vector<std::string> &LaunchLines() const override { return Memo3->Lines(); }
  void EditModal() override { ShowModal(); }

  // Layout names.
  ui::Label *Label1;              // the format heading
  ui::Memo *Memo3;                // the launch list, one entry a line
  ui::SpeedButton *SpeedButton2;  // "OK": clean the list, save it and close
  ui::SpeedButton *SpeedButton1;  // "Cancel": close, keeping the list as typed

 private:
  void FormCreate();
  void SpeedButton2Click();
  void SpeedButton1Click();

  base::TextFiles &files_;
  base::OwnFile file_;
};

// The one launch list editor of the program.
extern TForm3 *Form3;
