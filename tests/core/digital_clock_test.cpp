#include <gtest/gtest.h>

#include <vector>

#include "widgets/digital_clock_core.h"

namespace widgets {
namespace {

using Cells = std::vector<int>;

TEST(DigitalClock, FacesCellsAndWhatATickRedraws) {
  const ClockOptions military{false, false, true}, twelve{false, true, false},
      seconds{true, false, true}, twelveSeconds{true, true, false};
  // The user's locale: Greek in its code page, and one without designators.
  ClockOptions greek = twelve, none = twelve;
  UseDesignators(greek, "\xf0.\xec.", "\xec.\xec.");
  UseDesignators(none, "", "");
  struct Case {
    ClockOptions o;
    base::TimeOfDay before, now;
    const char* text;
    int cells;
    const char* suffix;
    bool full;     // the partial drawing gives way to a full repaint
    Cells redraw;  // otherwise
  } cases[] = {
      {military, {9, 5, 0}, {9, 5, 40}, "09:05", 5, "", false, {}},  // same minute: nothing
      {military, {9, 5, 59}, {9, 6, 0}, "09:06", 5, "", false, {4, 5}},
      {military, {12, 59, 59}, {13, 0, 0}, "13:00", 5, "", true, {}},
      {military, {23, 59, 59}, {0, 0, 0}, "00:00", 5, "", true, {}},
      {twelve, {21, 4, 0}, {21, 5, 0}, "9:05 PM", 4, " PM", false, {3, 4}},
      {twelve, {11, 4, 0}, {11, 5, 0}, "11:05 AM", 5, " AM", false, {4, 5}},
      {twelve, {0, 29, 0}, {0, 30, 0}, "12:30 AM", 5, " AM", false, {4, 5}},
      {twelve, {12, 59, 0}, {13, 0, 0}, "1:00 PM", 4, " PM", true, {}},
      {seconds, {9, 5, 1}, {9, 5, 2}, "09:05:02", 8, "", false, {7, 8}},
      {seconds, {9, 5, 59}, {9, 6, 0}, "09:06:00", 8, "", false, {4, 5, 7, 8}},
      {twelveSeconds, {21, 5, 1}, {21, 5, 2}, "9:05:02 PM", 7, " PM", false, {6, 7}},
      {greek, {21, 4, 0}, {21, 5, 0}, "9:05 \xec.\xec.", 4, " \xec.\xec.", false, {3, 4}},
      {greek, {0, 29, 0}, {0, 30, 0}, "12:30 \xf0.\xec.", 5, " \xf0.\xec.", false, {4, 5}},
      {none, {11, 4, 0}, {11, 5, 0}, "11:05 AM", 5, " AM", false, {4, 5}},
      {none, {13, 4, 0}, {13, 5, 0}, "1:05 PM", 4, " PM", false, {3, 4}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ClockFace face = FormatClock(c.now, c.o);
    EXPECT_EQ(face.text, c.text);
    EXPECT_EQ(face.cells, c.cells);
    EXPECT_EQ(face.suffix, c.suffix);
    const LastDrawn last{c.before.hour % 12, c.before.minute, c.before.second};
    EXPECT_EQ(NeedsFullRepaint(c.now, last), c.full);
    if (!c.full) {
      EXPECT_EQ(CellsToRedraw(face, c.o, c.now, last, false), c.redraw);
    }
    EXPECT_EQ(CellsToRedraw(face, c.o, c.now, last, true).size(), static_cast<size_t>(c.cells));
  }
}

TEST(DigitalClock, TheBlockIsCentredWithItsSuffix) {
  // Four cells of 7 and a suffix of 20 in an area 2..98 by 2..22.
  const CellBlock b = LayoutCells(2, 2, 98, 22, 4, 7, 13, 20);
  EXPECT_EQ(b.left, (2 + 98 - 48) / 2);
  EXPECT_EQ(b.top, (2 + 22 - 13) / 2);
  EXPECT_EQ(LayoutCells(0, 0, 5, 5, 5, 8, 13, 0).left, (5 - 40) / 2);  // toward zero
}

}  // namespace
}  // namespace widgets
