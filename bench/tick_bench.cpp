// What one tick of each of Marlinet's timers costs in the core, repeated a
// given number of times so that an instruction counter can take the
// difference between a run of N ticks and a run of none:
//
//   tick_bench bell <times>            the bell tick in a minute with no strike
//   tick_bench launch <times>          the launch tick at a new minute over 50
//                                      entries, none due
//   tick_bench clocks <times>          the clocks window's home clock tick
//                                      within a minute (its face and the rules)
//   tick_bench clocks-minute <times>   the rules' tick at a new minute, 24 places
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bells/bell_tick.h"
#include "launcher/launch_tick.h"
#include "widgets/digital_clock_core.h"
#include "worldclock/clocks_logic.h"

namespace {

struct FixedClock : base::LocalClock, base::UtcClock {
  base::TimeOfDay now{10, 12, 7};
  base::TimeOfDay Now() override { return now; }
  base::TimeOfDay NowUtc() override { return now; }
};

struct NoSound : bells::SoundPlayer {
  void Play(const std::string&) override { std::abort(); }
};

struct AllHours : bells::BellOptionsSource {
  bells::BellOptions CurrentBellOptions() const override {
    bells::BellOptions o;
    o.hourBoxes.fill(true);
    return o;
  }
};

struct NoLaunches : launcher::LaunchRunner {
  void Start(std::vector<launcher::DueLaunch>) override { std::abort(); }
};

// A new minute at every reading: each launch tick goes through the list.
struct MinuteClock : base::LocalClock {
  int minute = 0;
  base::TimeOfDay Now() override {
    minute = (minute + 1) % (20 * 60);
    return {minute / 60, minute % 60, 0};
  }
};

// The clocks window's controls as plain values.
struct Grid : worldclock::ClocksView {
  std::string boxes[worldclock::kPlaceCount], panels[worldclock::kPlaceCount], gmt;
  std::string BoxText(int box) const override { return boxes[box - 1]; }
  void SetBoxText(int box, const std::string& t) override { boxes[box - 1] = t; }
  void SetBoxColor(int, unsigned long) override {}
  std::string PanelText(int panel) const override { return panels[panel - 1]; }
  void SetPanelText(int panel, const std::string& t) override {
    if (panels[panel - 1] != t) panels[panel - 1] = t;
  }
  void SetGmtText(const std::string& t) override {
    if (gmt != t) gmt = t;
  }
  bool Military() const override { return false; }
  void SetHomeClockMilitary(bool) override {}
  void SetButtons(bool, bool) override {}
  void FractionWarning(const std::string&) override { std::abort(); }
  void SaveSettings() override {}
};

// 24 places of whole, half and quarter hours, as the benchmark's settings hold.
std::vector<std::string> Settings() {
  std::vector<std::string> text{std::string(54, '0')};
  const char* offsets[] = {"-11", "-9", "-7", "-5",  "-3.5", "-2",  "0",    "1",
                           "2",   "3",  "4",  "4.5", "5",    "5.5", "5.75", "6",
                           "7",   "8",  "9",  "9.5", "10",   "11",  "12",   "-1"};
  for (int n = 1; n <= worldclock::kPlaceCount; ++n) {
    text.push_back("Place " + std::to_string(n) + "   [" + offsets[n - 1] + "]");
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  const long times = argc > 2 ? std::atol(argv[2]) : 0;
  FixedClock clock;
  if (what == "bell") {
    NoSound sound;
    AllHours options;
    bells::BellTick tick(clock, sound, options);
    for (long i = 0; i < times; ++i) tick.Tick();
    return 0;
  }
  if (what == "launch") {
    NoLaunches runner;
    MinuteClock minutes;
    launcher::LaunchTick tick(minutes, runner);
    std::vector<std::string> lines;
    for (int n = 0; n < 50; ++n) {
      char line[64];
      std::snprintf(line, sizeof line, "[%02d%02d][C:\\Tools\\Tool%02d.exe]", 22, n, n);
      lines.push_back(line);
    }
    for (long i = 0; i < times; ++i) tick.Tick(true, lines);
    return 0;
  }
  if (what == "clocks" || what == "clocks-minute") {
    Grid grid;
    worldclock::ClocksLogic logic(grid);
    logic.Create(settings::FlagsLine(std::string(54, '0')), Settings(), clock.now);
    const widgets::ClockOptions face{false, true, false};
    widgets::LastDrawn last{clock.now.hour % 12, clock.now.minute, 0};
    for (long i = 0; i < times; ++i) {
      if (what == "clocks-minute") {
        clock.now.minute = static_cast<int>(i % 60);
        logic.Tick(clock.now);
        continue;
      }
      // As the home clock ticks: the time twice for its face, once for the
      // alarm, each request also the window's own tick.
      clock.now.second = static_cast<int>(i % 60);
      logic.Tick(clock.now);
      if (widgets::NeedsFullRepaint(clock.now, last)) std::abort();
      logic.Tick(clock.now);
      const widgets::ClockFace f = widgets::FormatClock(clock.now, face);
      if (!widgets::CellsToRedraw(f, face, clock.now, last, false).empty()) std::abort();
      logic.Tick(clock.now);
      widgets::Alarm alarm;
      widgets::CheckAlarm(alarm, clock.now);
      last.second = clock.now.second;
    }
    return 0;
  }
  std::fprintf(stderr, "usage: tick_bench bell|launch|clocks|clocks-minute <times>\n");
  return 2;
}
