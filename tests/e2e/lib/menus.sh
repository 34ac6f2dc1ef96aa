# Menus found by their items' text, from Wine's menu trace, never by position.

# The last laid-out row of the menu item whose text begins so: "top bottom".
menu_item_rows() {  # menu_item_rows <text>
  tr -d '\r' <"$program_log" | awk -v text="Text=L\"$1" '
    want && /calc_menu_item_size \(/ {
      s = $0; sub(/.*calc_menu_item_size \(/, "", s); gsub(/[^0-9]+/, " ", s); split(s, n, " ")
      row = n[2] " " n[4]; want = 0 }
    index($0, text) && /calc_menu_item_size dc=/ { want = 1 }
    END { print row }'
}
item_laid_out() { [ -n "$(menu_item_rows "$1")" ]; }
menus_open() { [ "$(drv menus | wc -l)" = "$1" ]; }
# The menu opened last, then the point in the middle of its item's row (its
# text's start, clear of the check mark), once the item has been laid out:
# into item_x and item_y.
menu_item_point() {  # menu_item_point <text>
  local left top rows
  eventually 5 item_laid_out "$1" || fail "no menu item '$1' was laid out"
  read -r left top _ < <(drv menus | sort -n -r | head -1)
  [ -n "$left" ] || fail "no menu is open"
  read -r rows < <(menu_item_rows "$1")
  set -- $rows
  item_x=$((left + 30))
  item_y=$((top + 3 + ($1 + $2) / 2))
}
pick_menu_item() {  # pick_menu_item <text>: a real click on it
  menu_item_point "$1"
  xdotool mousemove "$item_x" "$item_y"
  sleep 0.3
  xdotool click 1
  sleep 0.3
}
open_place_menu() {  # open_place_menu <place>: a right click on its time
  local cx cy
  read -r cx cy _ < <(drv client TMarlinetForm Clocks)
  : >"$program_log"
  xdotool mousemove $((cx + 2 + 104 * (($1 - 1) % 4) + 49)) $((cy + 44 + 48 * (($1 - 1) / 4) + 11)) click 3
  eventually 5 menus_open 1 || {
    shot "$E2E_ARTEFACTS/zones-no-menu.png"
    fail "the place's menu did not open: $(drv menus | tr '\n' ';')"
  }
}
open_zone_menu() {  # open_zone_menu <place>: its time's menu, then the zones submenu
  open_place_menu "$1"
  menu_item_point "Follow Time Zone"
  xdotool mousemove "$item_x" "$item_y"
  eventually 5 menus_open 2 || fail "the zones submenu did not open"
}

# The tray menu's "Bell Options" and its "Volume" submenu, reached with the
# pointer as a person reaches them. Wine's menu trace in $program_log says
# where each item is laid out; the menu each one is in is the one that
# opened last (a submenu of the tray menu opens to its left, so it is told
# by its arrival, not its place).
menu_now=""
tray_menu_open() {
  : >"$program_log"
  open_menu
  eventually 5 menus_open 1 || fail "the tray menu did not open"
  menu_now=$(drv menus)
}
into_menu_item() {  # into_menu_item <text>: the pointer on it; its submenu opens
  local before left top rows
  before=$(drv menus | sort)
  eventually 5 item_laid_out "$1" || fail "no menu item '$1' was laid out"
  read -r left top _ <<<"$menu_now"
  read -r rows < <(menu_item_rows "$1")
  set -- $rows
  xdotool mousemove $((left + 30)) $((top + 3 + ($1 + $2) / 2))
  local t=50
  while [ $t -gt 0 ]; do
    menu_now=$(comm -13 <(echo "$before") <(drv menus | sort) | head -1)
    [ -n "$menu_now" ] && return 0
    sleep 0.1
    t=$((t - 1))
  done
  fail "no submenu opened from '$1'"
}
click_menu_item() {  # click_menu_item <text>: a real click on it, in the menu opened last
  local left top rows
  eventually 5 item_laid_out "$1" || fail "no menu item '$1' was laid out"
  read -r left top _ <<<"$menu_now"
  read -r rows < <(menu_item_rows "$1")
  set -- $rows
  xdotool mousemove $((left + 30)) $((top + 3 + ($1 + $2) / 2))
  sleep 0.3
  xdotool click 1
  sleep 0.3
}
