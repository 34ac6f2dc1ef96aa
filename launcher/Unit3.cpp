#include "launcher/Unit3.h"

#include "base/error.h"
#include "ui/paths_win.h"

TForm3* Form3 = nullptr;

namespace {
using base::kPanelColour;
using base::kWindowColour;
const ui::FontSpec kSans{"MS Sans Serif", 8, ui::clWindowText};
const ui::FontSpec kHeading{"MS Sans Serif", 10, ui::clNavy};
}  // namespace

TForm3::TForm3(const TForm3Services& services)
    : Form("Form3", "TForm3", services.owner),
      files_(services.files),
      file_(services.files, ui::ProgramFolder() + launcher::kLaunchFileName) {
  Form3 = this;
  SetBackColor(kWindowColour);
  SetFont(kSans);
  SetCaption("Start Program");
  SetBorder(ui::BorderStyle::Dialog, {false, false, false});
  SetClientSize(410, 323);
  using A = ui::ControlArgs;
  Label1 = Create<ui::Label>(A{.parent = this,
                               .name = "Label1",
                               .rect = {10, 4, 157, 16},
                               .caption = "Format: [HHMM][filename]",
                               .font = kHeading});
  Memo3 = Create<ui::Memo>(A{.parent = this,
                             .name = "Memo3",
                             .rect = {8, 25, 393, 265},
                             .font = kSans,
                             .color = kPanelColour});
  SpeedButton2 = Create<ui::SpeedButton>(
      A{.parent = this, .name = "SpeedButton2", .rect = {127, 296, 76, 24}, .caption = "OK"});
  SpeedButton1 = Create<ui::SpeedButton>(
      A{.parent = this, .name = "SpeedButton1", .rect = {206, 296, 76, 24}, .caption = "Cancel"});
  SpeedButton2->OnClick = [this] { SpeedButton2Click(); };
  SpeedButton1->OnClick = [this] { SpeedButton1Click(); };
  OnCreate = [this] { FormCreate(); };
}

void TForm3::FormCreate() {
  // A list that cannot be read or taken in starts empty, once reported; the
  // first "OK" keeps the file aside rather than replace it blind.
  std::string content;
  try {
    content = file_.Read();
  } catch (const base::FileOpenError&) {
    const auto size = files_.SizeOf(file_.Path());
    if (size && *size > Memo3->Capacity()) throw base::CapacityError();
    throw;
  }
  try {
    Memo3->SetText(launcher::MemoTextFromFile(content));
  } catch (const base::CapacityError&) {
    file_.Refused();
    throw;
  }
}

void TForm3::SpeedButton2Click() {
  // The clean-up stays in the editor even when the file cannot be written.
  const std::string text = launcher::CleanLaunchText(Memo3->Text());
  Memo3->SetText(text);
  file_.Replace(text);
  modalResult = ui::mrOk;  // ends the modal show
}

void TForm3::SpeedButton1Click() { modalResult = ui::mrCancel; }
