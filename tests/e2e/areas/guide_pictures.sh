# --- The guide's pictures -----------------------------------------------------------

# The README's pictures as a user of the package has them: its places, and a
# few launch entries a person might keep (none due while the pictures are
# taken). They land in the artefacts under guide-*.png.
case_guide_pictures() {
  new_folder
  (cd "$work" && cmake -E tar xf "$E2E_PACKAGE" Marlinet/prefs.kvr) || fail "cannot unpack the places"
  mv "$work/Marlinet/prefs.kvr" "$work/prefs.kvr"
  printf '%s\r\n' '[0730][C:\Windows\notepad.exe]' \
    '[1200][C:\Users\Public\Documents\Noon watch.txt]' \
    '[1745][C:\Program Files\Mail\Mail.exe]~' >"$work/proc.kvr"
  printf '[Options]\r\nTellLaunchFailures=1\r\n' >"$work/Marlinet.ini"
  printf '2026-12-07 07:30:01  [0730][C:\\Windows\\notepad.exe]  none running; opened\r\n' \
    >"$work/launch.log"
  start_time=14:05:10
  program_log=$work/program.log  # the menu's items, for the zones picture
  start_at $start_time WINEDEBUG=+menu
  wait_tray bell 15 || fail "no tray icon"
  show_options
  sleep 0.5
  window_shot Marlinet guide-main-window.png
  drv press Marlinet Processes
  check "Processes opens the editor" drv wait TMarlinetForm "Start Program" 5000
  sleep 0.5
  window_shot "Start Program" guide-editor-window.png
  drv press "Start Program" Cancel
  check "Cancel closes the editor" eventually 5 not drv visible TMarlinetForm "Start Program"
  # Out of the way of the zones submenu, which reaches past the clocks.
  drv press Marlinet OK
  show_clocks
  local cx cy
  read -r cx cy _ < <(drv client TMarlinetForm Clocks)
  # The pointer on the window's own background, over no button.
  xdotool mousemove $((cx + 100)) $((cy + 340))
  sleep 0.5
  window_shot Clocks guide-clocks-window.png
  xdotool mousemove $((cx + 398)) $((cy + 5))
  check "the help shows over Help" eventually 3 help_shown 1
  sleep 0.3
  window_shot Clocks guide-clocks-help.png
  # New York follows its zone: the submenu with it checked and the next change.
  xdotool mousemove $((cx + 100)) $((cy + 340))
  open_zone_menu 2
  pick_menu_item "(UTC-05:00) Eastern Time (US && Canada)"  # the menu's own "&"
  drv press Clocks Reset
  open_zone_menu 2
  sleep 0.5
  clocks_shot_with_menus guide-clocks-zones.png
  xdotool key Escape Escape
  # The bells on ship's time: the first place's panel marked, its item checked.
  sleep 0.5
  open_place_menu 1
  pick_menu_item "Ship's Time: Strike Bells Here"
  open_place_menu 1
  sleep 0.5
  clocks_shot_with_menus guide-clocks-ships-time.png
  xdotool key Escape
  # Plan a Time from New York's menu: the day at a glance, its next hour chosen.
  sleep 0.5
  open_place_menu 2
  pick_menu_item "Plan a Time..."
  check "Plan a Time opens" drv wait TMarlinetForm "Plan a Time" 5000
  sleep 0.5
  window_shot "Plan a Time" guide-plan-time.png
  drv close "Plan a Time"
  check "Plan a Time closes" eventually 5 not drv visible TMarlinetForm "Plan a Time"
  # The three places in the tray icon's tip, seen as the pointer rests on it.
  local place
  for place in 1 2 3; do
    sleep 0.5
    open_place_menu $place
    pick_menu_item "Show in Tray Tip"
  done
  tr -d '\r' <"$work/Marlinet.ini" | grep -qx 'Box3=1' || fail "the third place's choice was not kept"
  drv press Clocks OK
  xdotool mousemove $((TRAY_X - 40)) $((TRAY_Y - 40))
  sleep 0.5
  xdotool mousemove $TRAY_X $TRAY_Y
  check "the tip shows over the icon" eventually 8 drv shown-tip
  local tip x y w h
  tip=$(drv shown-tip | tail -n +2 | tr -d '\r')
  read -r x y w h < <(drv shown-tip | head -1)
  case $tip in
    $'Greenwich 2:05 PM\nNew York '*$' AM'*$'\nTokyo 11:05 PM') ;;
    *) fail "the tip reads: $(printf '%s' "$tip" | tr '\n' '|')" ;;
  esac
  # The tip and the icon under it, with a little of the desktop around them.
  local left=$((x < TRAY_X - 20 ? x - 8 : TRAY_X - 28)) top=$((y - 8))
  import -window root -crop "$((1024 - left))x$((768 - top))+${left}+${top}" +repage \
    "$E2E_ARTEFACTS/guide-tray-tip.png"
  # The tray menu with "Launch Options" open: one of them ticked, and a log
  # for "Open Launch Log" to open.
  sleep 0.5
  : >"$program_log"
  tray_click 3
  eventually 5 menus_open 1 || fail "the tray menu did not open"
  menu_item_point "Launch Options"
  xdotool mousemove "$item_x" "$item_y"
  eventually 5 menus_open 2 || fail "the Launch Options submenu did not open"
  sleep 0.5
  menus_shot guide-launch-options.png
  # Closed by a click beside it: after menus closed with keys, Wine's
  # desktop lets the next right click on the icon go by.
  xdotool mousemove 400 300 click 1
  eventually 5 menus_open 0 || fail "the Launch Options menus did not close"
  sleep 1
  # The tray menu with "Bell Options" and its "Volume" open.
  tray_menu_open
  into_menu_item "Bell Options"
  into_menu_item "Volume"
  sleep 0.5
  menus_shot guide-bell-options.png
  xdotool key Escape Escape Escape
}
menus_shot() {  # the open menus, with a margin of the desktop around them, into the artefacts
  local left=100000 top=100000 right=0 bottom=0
  while read -r mx my mw mh; do
    [ "$mx" -lt $left ] && left=$mx
    [ "$my" -lt $top ] && top=$my
    [ $((mx + mw)) -gt $right ] && right=$((mx + mw))
    [ $((my + mh)) -gt $bottom ] && bottom=$((my + mh))
  done < <(drv menus)
  [ $right -gt 0 ] || fail "no menu is open for the picture"
  left=$((left - 8))
  top=$((top - 8))
  right=$((right + 8))
  bottom=$((bottom + 8))
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$E2E_ARTEFACTS/$1"
}
clocks_shot_with_menus() {  # the clocks window and the menus open over it, into the artefacts
  local x y w h right bottom
  read -r x y w h < <(drv rect TMarlinetForm Clocks)
  right=$((x + w))
  bottom=$((y + h))
  while read -r mx my mw mh; do
    [ $((mx + mw)) -gt $right ] && right=$((mx + mw))
    [ $((my + mh)) -gt $bottom ] && bottom=$((my + mh))
  done < <(drv menus)
  import -window root -crop "$((right - x))x$((bottom - y))+$x+$y" +repage "$E2E_ARTEFACTS/$1"
}
