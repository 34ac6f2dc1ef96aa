// The digital clock drawn into a memory bitmap with a time the test sets.
#include "widgets/digital_clock_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/form_win.h"
#include "win_test_util.h"
#include "worldclock/Unit2.h"

namespace widgets {
namespace {

struct Host : ui::Form {
  Host() : Form("Host", "THost") {}
};

struct SetClock : base::LocalClock {
  base::TimeOfDay now{12, 10, 5};
  int forgotten = 0;
  base::TimeOfDay Now() override { return now; }
  void TimeSettingsChanged() override { ++forgotten; }
};

class DigitalClockTest : public testing::Test {
 protected:
  void SetUp() override {
    host.SetClientSize(200, 60);
    host.Show();
    clock = host.Create<TDigitalClock>(
        ui::ControlArgs{.parent = &host,
                        .name = "DigitalClock2",
                        .rect = {10, 10, 120, 30},
                        .font = ui::FontSpec{"MS Sans Serif", 8, 0x00FFFF, false, -11},
                        .color = ui::clBlue});
    clock->SetClock(&time);
    clock->OnGetTime = [this](TDigitalClock&, base::TimeOfDay&) { ++asked; };
    memory = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 120, -30, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(memory, bitmap);
  }
  void TearDown() override {
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
  }
  std::vector<DWORD> Pixels() {
    GdiFlush();
    const auto* p = static_cast<const DWORD*>(bits);
    return std::vector<DWORD>(p, p + 120 * 30);
  }
  // The picture a full drawing gives at the current time.
  std::vector<DWORD> FullPicture() {
    clock->DrawFace(memory, true);
    return Pixels();
  }
  bool RepaintAsked() { return GetUpdateRect(clock->Handle(), nullptr, FALSE) != FALSE; }

  Host host;
  SetClock time;
  TDigitalClock* clock = nullptr;
  int asked = 0;
  HDC memory = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  void* bits = nullptr;
};

TEST_F(DigitalClockTest, ATickRedrawsOnlyTheChangedCellsAndANewHourRepaintsAll) {
  clock->SetShowSeconds(true);
  struct Step {
    base::TimeOfDay to;
    unsigned long cells;  // drawn by the tick
  } steps[] = {
      {{12, 10, 6}, 2},  // a new second: its two cells
      {{12, 10, 6}, 0},  // nothing new
      {{12, 11, 0}, 4},  // a new minute: minutes and seconds
      {{13, 0, 0}, 0},   // a new hour: the whole face, by a repaint
  };
  clock->DrawFace(memory, true);
  for (const auto& s : steps) {
    SCOPED_TRACE(s.to.hour * 10000 + s.to.minute * 100 + s.to.second);
    ValidateRect(clock->Handle(), nullptr);
    time.now = s.to;
    const unsigned long before = clock->CellsDrawn();
    clock->DrawFace(memory, false);
    const std::vector<DWORD> partial = Pixels();
    EXPECT_EQ(clock->CellsDrawn() - before, s.cells);
    EXPECT_EQ(RepaintAsked(), s.cells == 0 && s.to.hour == 13);
    if (s.to.hour != 13) {
      // What the tick left is what a full drawing shows.
      EXPECT_EQ(partial, FullPicture());
    }
  }
}

TEST_F(DigitalClockTest, AsksForTheTimeAsOftenAsItDrawsAndShowsItAsText) {
  clock->SetShowSeconds(false);
  clock->DrawFace(memory, true);
  asked = 0;
  time.now = {12, 10, 6};
  clock->Tick();  // the same hour: two readings and the alarm's
  EXPECT_EQ(asked, 3);
  asked = 0;
  time.now = {13, 0, 0};
  clock->Tick();  // a new hour: one reading, the repaint asked for, and the alarm's
  EXPECT_EQ(asked, 2);
  testutil::PumpFor(50);
  char text[32] = {};
  SendMessageA(clock->Handle(), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "13:00");
  // The clock set (or the zone changed): the local clock forgets its zone
  // and the face shows the new time before the message returns.
  time.now = {15, 20, 0};
  SendMessageA(host.Handle(), WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(time.forgotten, 1);
  SendMessageA(clock->Handle(), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "15:20");
}

// Run under the default English locale and again under Greek (ctest sets
// LC_ALL for that run; Wine takes the user's locale from it).
TEST_F(DigitalClockTest, TwelveHourTextUsesTheUsersDesignators) {
  const LCID user = GetUserDefaultLCID();
  const char* evening = user == MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT)
                            ? "9:05 PM"
                        : user == MAKELCID(MAKELANGID(LANG_GREEK, SUBLANG_DEFAULT), SORT_DEFAULT)
                            ? "9:05 \xec.\xec."  // "μ.μ." in the Greek code page
                            : nullptr;
  if (!evening) GTEST_SKIP() << "no expected designators for locale " << user;
  clock->SetShowSeconds(false);
  clock->SetTwelveHour(true);
  clock->SetLeadingZero(false);
  time.now = {21, 5, 0};
  clock->DrawFace(memory, true);
  char text[32] = {};
  SendMessageA(clock->Handle(), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, evening);
}

// The user's own designators (as the regional settings let one type them),
// on the home clock, the GMT panel and a place alike; "AM" and "PM" on all
// three where the program's code page cannot write them or a time panel
// could not show them whole. Run in the default (Western) code page.
TEST_F(DigitalClockTest, EveryClockOfTheClocksWindowWritesOnePairOfDesignators) {
  if (GetACP() != 1252) GTEST_SKIP() << "the rows are for the Western code page";
  struct Utc : base::UtcClock {
    base::TimeOfDay NowUtc() override { return {21, 5}; }
  } utc;
  struct Settings : settings::SettingsHost {
    std::vector<std::string> text{"flags", "Here [0]"};
    settings::FlagsLine flags;
    const std::vector<std::string>& SettingsText() const override { return text; }
    settings::FlagsLine& Flags() override { return flags; }
    void SaveParameters() override {}
  } saved;
  // The prefix's own designators come back however the test ends.
  struct Restore {
    wchar_t am[64] = {}, pm[64] = {};
    Restore() {
      GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S1159, am, 64);
      GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S2359, pm, 64);
    }
    ~Restore() {
      SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S1159, am);
      SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S2359, pm);
    }
  } restore;
  struct Case {
    const wchar_t *am, *pm;
    const char* shown;  // after 9:05 in the evening
  } cases[] = {
      {L"AM", L"PM", "PM"},
      {L"vm.", L"nm.", "nm."},
      {L"\x03c0.\x03bc.", L"\x03bc.\x03bc.", "PM"},  // Greek: no Western form
      {L"\xc624\xc804", L"\xc624\xd6c4", "PM"},      // Korean
      {L"vm.", L"\x03bc.\x03bc.", "PM"},             // half a pair is none
      {L"in the morning", L"at night", "PM"},        // "12:59 in the morning*" is clipped
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S1159, c.am));
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S2359, c.pm));
    // Made anew with the settings in force, and told of a change while it runs.
    for (bool told : {false, true}) {
      if (told) SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S2359, L"xx");
      TForm2 clocks(TForm2Services{utc, saved});
      clocks.AfterConstruction();
      if (told) {
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_S2359, c.pm);
        SendMessageA(clocks.Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
      }
      clocks.DigitalClock2->SetClock(&time);
      time.now = {21, 5, 0};
      clocks.DigitalClock2->Tick();
      clocks.DigitalClock2->DrawFace(memory, true);
      char home[32] = {};
      SendMessageA(clocks.DigitalClock2->Handle(), WM_GETTEXT, sizeof home,
                   reinterpret_cast<LPARAM>(home));
      const std::string shown = c.shown;
      EXPECT_EQ(std::vector<std::string>(
                    {home, clocks.Panel25->Caption(), clocks.TimePanels[0]->Caption()}),
                std::vector<std::string>({"9:05 " + shown, "9: 05 " + shown, "9:05 " + shown}))
          << told;
    }
  }
}

TEST_F(DigitalClockTest, OnlyANewValueRepaints) {
  testutil::PumpFor(50);
  struct Change {
    void (*apply)(TDigitalClock&);
    bool repaints;
  } changes[] = {
      {[](TDigitalClock& c) { c.SetShowSeconds(true); }, false},  // the default
      {[](TDigitalClock& c) { c.SetLeadingZero(true); }, false},
      {[](TDigitalClock& c) { c.SetBackColor(ui::clBlue); }, false},
      {[](TDigitalClock& c) { c.SetTwelveHour(true); }, true},
      {[](TDigitalClock& c) { c.SetLeadingZero(false); }, true},
      {[](TDigitalClock& c) { c.SetShowSeconds(false); }, true},
  };
  for (const auto& change : changes) {
    ValidateRect(clock->Handle(), nullptr);
    change.apply(*clock);
    EXPECT_EQ(RepaintAsked(), change.repaints);
  }
}

}  // namespace
}  // namespace widgets
