// The program's own colours, as the windowing toolkit writes them (blue in
// the high byte). Portable: the rules name them too.
#pragma once

namespace base {

using Color = unsigned long;

// The background of the program's windows (red 224, green 208, blue 168)
// and the tan of its panels and edit boxes (192, 176, 144).
inline constexpr Color kWindowColour = 11063520;
inline constexpr Color kPanelColour = 9482432;
inline constexpr Color clRed = 0x0000FF;

}  // namespace base
