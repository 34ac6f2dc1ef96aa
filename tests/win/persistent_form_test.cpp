// A small window built on the windowing layer, saved to a real
// initialization file and restored by a second window of the same kind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/error.h"
#include "settings/persistent_form_win.h"
#include "ui/controls_win.h"
#include "ui/menu_win.h"
#include "win_test_util.h"

namespace {

class DemoForm : public settings::TPersistentForm {
 public:
  explicit DemoForm(const std::string& iniPath) : TPersistentForm("Demo", "TDemo") {
    SetFilePath(iniPath);
    SetCaption("Demo");
    SetBorder(ui::BorderStyle::Single, {true, false, false});
    SetClientSize(200, 150);
    group = Create<ui::GroupBox>(ui::ControlArgs{
        .parent = this, .name = "GroupBox1", .rect = {4, 4, 190, 80}, .caption = " Options "});
    first = Create<ui::CheckBox>(ui::ControlArgs{.parent = group,
                                                 .name = "CheckBox1",
                                                 .rect = {8, 16, 80, 17},
                                                 .caption = "First",
                                                 .checked = true});
    second = Create<ui::CheckBox>(ui::ControlArgs{
        .parent = group, .name = "CheckBox2", .rect = {8, 36, 80, 17}, .caption = "Second"});
    small = Create<ui::RadioButton>(ui::ControlArgs{.parent = this,
                                                    .name = "RadioButton1",
                                                    .rect = {8, 90, 80, 17},
                                                    .caption = "Small",
                                                    .checked = true});
    large = Create<ui::RadioButton>(ui::ControlArgs{
        .parent = this, .name = "RadioButton2", .rect = {100, 90, 80, 17}, .caption = "Large"});
    menu = Create<ui::PopupMenu>("PopupMenu1");
    item = Create<ui::MenuItem>(menu, "Item1", "Item");
    large->OnClick = [this] { ++largeClicks; };
  }
  ui::GroupBox* group;
  ui::CheckBox *first, *second;
  ui::RadioButton *small, *large;
  ui::PopupMenu* menu;
  ui::MenuItem* item;
  int largeClicks = 0;
};

std::vector<std::string> KeysInOrder(const std::string& text) {
  std::vector<std::string> keys;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) keys.push_back(line);
    start = end + 1;
  }
  return keys;
}

TEST(PersistentForm, SavesToARealFileAndASecondWindowRestoresIt) {
  testutil::TempFolder folder;
  const std::string ini = folder.Path() + "Demo.ini";
  {
    DemoForm form(ini);
    form.AfterConstruction();
    form.second->SetChecked(true);
    form.first->SetChecked(false);
    form.large->SetChecked(true);
    form.item->SetChecked(true);
    form.SetTop(40);
    form.SetLeft(30);
    form.BeforeDestruction();
  }
  const auto lines = KeysInOrder(testutil::ReadFile(ini));
  ASSERT_GE(lines.size(), 10u);
  EXPECT_EQ(lines[0], "[Demo]");
  EXPECT_EQ(lines[1], "Top=40");
  EXPECT_EQ(lines[2], "Left=30");
  EXPECT_EQ(lines[3].rfind("Width=", 0), 0u);
  EXPECT_EQ(lines[4].rfind("Height=", 0), 0u);
  const std::vector<std::string> marks(lines.begin() + 5, lines.end());
  EXPECT_EQ(marks, (std::vector<std::string>{"CheckBox1.Checked=FALSE", "CheckBox2.Checked=TRUE",
                                             "RadioButton1.Checked=FALSE",
                                             "RadioButton2.Checked=TRUE", "Item1.Checked=TRUE"}));

  DemoForm restored(ini);
  restored.AfterConstruction();
  EXPECT_FALSE(restored.first->Checked());
  EXPECT_TRUE(restored.second->Checked());
  EXPECT_FALSE(restored.small->Checked());
  EXPECT_TRUE(restored.large->Checked());
  EXPECT_EQ(restored.largeClicks, 1);  // selected while restoring: its click ran
  EXPECT_TRUE(restored.item->Checked());
  EXPECT_EQ(restored.Top(), 40);
  EXPECT_EQ(restored.Left(), 30);
}

TEST(PersistentForm, OnlyExactValuesAndNonZeroBoundsAreApplied) {
  testutil::TempFolder folder;
  const std::string ini = folder.Path() + "Demo.ini";
  testutil::WriteFile(ini,
                      "[Demo]\r\nTop=0x20\r\nLeft=0\r\nWidth=junk\r\n"
                      "CheckBox1.Checked=true\r\nCheckBox2.Checked=\r\n"
                      "RadioButton2.Checked=TRUE\r\nItem1.Checked=TRUE\r\n"
                      "[Other]\r\nCheckBox2.Checked=TRUE\r\n");
  DemoForm form(ini);
  const int designedLeft = form.Left();
  const int designedWidth = form.Width();
  form.AfterConstruction();
  EXPECT_EQ(form.Top(), 32);
  EXPECT_EQ(form.Left(), designedLeft);
  EXPECT_EQ(form.Width(), designedWidth);
  EXPECT_TRUE(form.first->Checked());    // lower-case "true" ignored
  EXPECT_FALSE(form.second->Checked());  // empty value ignored, other section unread
  EXPECT_TRUE(form.large->Checked());
  EXPECT_FALSE(form.small->Checked());
  EXPECT_TRUE(form.item->Checked());
}

// A size written at another display scale would cut a fixed-size window
// short or leave it gaping: it keeps the size its layout gives here.
TEST(PersistentForm, AFixedSizeWindowKeepsItsLayoutSize) {
  testutil::TempFolder folder;
  const std::string ini = folder.Path() + "Demo.ini";
  testutil::WriteFile(ini, "[Demo]\r\nTop=40\r\nLeft=30\r\nWidth=312\r\nHeight=262\r\n");
  DemoForm form(ini);
  const int designedWidth = form.Width(), designedHeight = form.Height();
  form.AfterConstruction();
  EXPECT_EQ(form.Left(), 30);
  EXPECT_EQ(form.Width(), designedWidth);
  EXPECT_EQ(form.Height(), designedHeight);
}

TEST(PersistentForm, AFileThatCannotBeWrittenReportsUnableToWrite) {
  testutil::TempFolder folder;
  // A folder where the file should be: every write fails.
  const std::string ini = folder.Path() + "Demo.ini";
  CreateDirectoryA(ini.c_str(), nullptr);
  DemoForm form(ini);
  form.AfterConstruction();
  try {
    form.BeforeDestruction();
    FAIL() << "expected a write error";
  } catch (const base::WriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + ini);
  }
}

}  // namespace

namespace {

TEST(IniProfileStore, AValueIsReadUpToTheBufferOf2048) {
  testutil::TempFolder folder;
  const std::string path = folder.Path() + "bounds.ini";
  settings::IniProfileStore store(path);
  const std::string at(2047, 'a'), past(3000, 'b');
  ASSERT_TRUE(store.WriteString("Form1", "At", at));
  ASSERT_TRUE(store.WriteString("Form1", "Past", past));
  EXPECT_EQ(store.ReadString("Form1", "At", ""), at);
  EXPECT_EQ(store.ReadString("Form1", "Past", ""), past.substr(0, 2047));
}

}  // namespace
