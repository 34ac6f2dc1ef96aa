// "Plan a Time..." from a place's menu: the window it opens, its grid and
// its "Copy", against the real controls and the real clipboard.
#include <windows.h>
// After windows.h.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>

#include "tests/common/zone_fakes.h"
#include "tests/win/win_test_util.h"
#include "worldclock/Unit2.h"

namespace {

struct Utc : base::UtcClock {
  // 14:23 UTC on Tuesday 10 March 2026: New York on summer time since the
  // 8th, London not until the 29th.
  base::TimeOfDay NowUtc() override { return {14, 23, 0, 0, 2026, 3, 10}; }
};

struct Settings : settings::SettingsHost {
  std::vector<std::string> text{"flags", "London [0]", "New York [-5]", "Tokyo [9]", "Nowhere [x]"};
  settings::FlagsLine flags;
  const std::vector<std::string>& SettingsText() const override { return text; }
  settings::FlagsLine& Flags() override { return flags; }
  void SaveParameters() override {}
};

struct Store : settings::ProfileStore {
  std::map<std::string, std::string> values{{"Time Zones/Box1", "GMT Standard Time"},
                                            {"Time Zones/Box2", "Eastern Standard Time"},
                                            {"Time Zones/Box3", "Tokyo Standard Time"}};
  std::string ReadString(const std::string& s, const std::string& k,
                         const std::string& fallback) override {
    const auto found = values.find(s + "/" + k);
    return found == values.end() ? fallback : found->second;
  }
  bool WriteString(const std::string& s, const std::string& k, const std::string& v) override {
    values[s + "/" + k] = v;
    return true;
  }
  std::string Path() const override { return "Marlinet.ini"; }
};

std::string ItemText(HWND grid, int row, int column) {
  char text[128] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(grid, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "(clipboard not opened)";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

TEST(PlanTime, OpensFromThePlaceMenuWithTheDayAndCopiesTheChosenRow) {
  Utc utc;
  Settings saved;
  Store store;
  testutil::FakeZones zones;
  TForm2 clocks(TForm2Services{utc, saved, &zones, &store});
  clocks.AfterConstruction();
  ASSERT_EQ(clocks.TimePanels[3]->Caption(), "00: 00");  // a red box

  const auto press = [&](int panel) {
    SendMessageA(clocks.TimePanels[panel - 1]->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    SendMessageA(clocks.TimePanels[panel - 1]->Handle(), WM_LBUTTONUP, 0, 0);
  };
  press(4);
  EXPECT_FALSE(clocks.PlanATime1->Enabled());
  press(1);
  ASSERT_TRUE(clocks.PlanATime1->Enabled());
  clocks.PlanATime1->Click();

  const HWND plan = FindWindowExA(nullptr, nullptr, "TMarlinetForm", "Plan a Time");
  ASSERT_NE(plan, nullptr);
  EXPECT_TRUE(IsWindowVisible(plan));
  EXPECT_EQ(GetWindow(plan, GW_OWNER), clocks.Handle());
  EXPECT_NE(FindWindowExA(plan, nullptr, "STATIC", "London"), nullptr);
  const HWND grid = FindWindowExA(plan, nullptr, WC_LISTVIEWA, nullptr);
  ASSERT_NE(grid, nullptr);

  // Here, GMT, the three places that show a time, and the mark.
  const auto headings = [grid] {
    std::vector<std::string> texts;
    const HWND header = reinterpret_cast<HWND>(SendMessageA(grid, LVM_GETHEADER, 0, 0));
    for (int c = 0; c < SendMessageA(header, HDM_GETITEMCOUNT, 0, 0); ++c) {
      char text[64] = {};
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT;
      column.pszText = text;
      column.cchTextMax = sizeof text;
      SendMessageA(grid, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
      texts.push_back(text);
    }
    return texts;
  };
  EXPECT_EQ(headings(), (std::vector<std::string>{"Here", "GMT", "London", "New York", "Tokyo",
                                                  "All at work"}));
  EXPECT_EQ(SendMessageA(grid, LVM_GETITEMCOUNT, 0, 0), 24);
  // London's next whole hour, on twelve-hour clocks ("Military" is off).
  const int row = static_cast<int>(SendMessageA(grid, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
  ASSERT_EQ(row, 15);
  EXPECT_EQ((std::vector<std::string>{ItemText(grid, row, 1), ItemText(grid, row, 2),
                                      ItemText(grid, row, 3), ItemText(grid, row, 4)}),
            (std::vector<std::string>{"3:00 PM", "3:00 PM", "11:00 AM", "12:00 AM +1"}));
  // New York and London both at work from 12:00 to 16:00 London time.
  EXPECT_EQ(ItemText(grid, 11, 5), "");
  EXPECT_EQ(ItemText(grid, 12, 3), "8:00 AM");

  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  SendMessageA(FindWindowExA(plan, nullptr, "BUTTON", "Copy"), BM_CLICK, 0, 0);
  const std::string copied = ClipboardText();
  EXPECT_EQ(copied, "Tue 10 Mar 2026 3:00 PM London = 11:00 AM New York = 12:00 AM +1 Tokyo");

  // Ctrl+C in the grid does the same.
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  SetForegroundWindow(plan);
  SetFocus(grid);
  INPUT keys[4] = {};
  const WORD vk[4] = {VK_CONTROL, 'C', 'C', VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = vk[i];
    keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(4, keys, sizeof(INPUT));
  EXPECT_TRUE(testutil::PumpUntil([&] { return ClipboardText() == copied; }, 2000))
      << ClipboardText();

  // Another date in the picker, as a person sets it: London's spring change.
  const HWND date = FindWindowExA(plan, nullptr, DATETIMEPICK_CLASSA, nullptr);
  SYSTEMTIME spring{};
  SendMessageA(date, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&spring));
  spring.wMonth = 3, spring.wDay = 29, spring.wDayOfWeek = 0;
  SendMessageA(date, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&spring));
  NMDATETIMECHANGE change{
      {date, static_cast<UINT_PTR>(GetDlgCtrlID(date)), DTN_DATETIMECHANGE}, GDT_VALID, spring};
  SendMessageA(plan, WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
  EXPECT_EQ(SendMessageA(grid, LVM_GETITEMCOUNT, 0, 0), 23);
  EXPECT_EQ(ItemText(grid, 1, 2), "2:00 AM");
  spring.wDay = 10, spring.wDayOfWeek = 2;
  SendMessageA(date, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&spring));
  change.st = spring;
  SendMessageA(plan, WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
  ASSERT_EQ(SendMessageA(grid, LVM_GETITEMCOUNT, 0, 0), 24);

  // "Military" clicked: 24 hours at once.
  SendMessageA(clocks.CheckBox1->Handle(), BM_CLICK, 0, 0);
  ASSERT_TRUE(clocks.CheckBox1->Checked());
  EXPECT_EQ(ItemText(grid, row, 3), "11:00");
  // London's box emptied and "Reset": its column goes, and the computer's
  // clock becomes the reference.
  clocks.PlaceBoxes[0]->SetText("");
  clocks.SpeedButton2->OnClick();
  EXPECT_EQ(headings(),
            (std::vector<std::string>{"Here", "GMT", "New York", "Tokyo", "All at work"}));
  EXPECT_NE(FindWindowExA(plan, nullptr, "STATIC", "Here"), nullptr);

  // Moved or sized: its bounds in a section of its own.
  SendMessageA(plan, WM_EXITSIZEMOVE, 0, 0);
  RECT r{};
  GetWindowRect(plan, &r);
  EXPECT_EQ(store.values["Plan a Time/Width"], std::to_string(r.right - r.left));
}

}  // namespace
