# The browser view as a person's browser: the page's dialogs, the clipboard
# shared with other programs, history, the menu, hover and focus. Sourced by
# view_person.sh with the program running and the view placed.

UI_URL="${SITE_URL%%/q*}/ui"
ORIGIN="${SITE_URL%%/q*}"

# press_button "BOX LINES" N: clicks the box's Nth button (1 OK, 2 Cancel).
press_button() {
  local r; r=$(printf '%s\n' "$1" | awk -v n="$2" '$1 == "button" && ++i == n { print $2, $3, $4, $5 }')
  [ -n "$r" ] && click_at $r
}
# dialog CASE BUTTON X Y FIELD VALUE [TEXT]: clicks the page at X Y, waits for
# a box titled with the page's origin, checks its text, presses the button
# and expects the page to report VALUE.
dialog() {
  local box
  click "$3" "$4"
  if ! box=$(session_wait_box "$ORIGIN" 15); then fail "$1" "no box titled $ORIGIN"; return; fi
  if [ -n "${7:-}" ] && [ "$(box_text "$box")" != "$7" ]; then fail "$1" "box says '$(box_text "$box")'"; fi
  press_button "$box" "$2"
  expect "$1" "$5" "$6"
}

: > "$SESSION_DIR/site.log"
session_type_address "$UI_URL"
session_click_button "前往首页"
expect "the page of browser parts loads" why show

dialog "alert shows a box with the page's text" 1 60 35 alert shown '密码错误'
dialog "confirm answered OK" 1 60 75 confirm yes '确定删除吗？'
dialog "confirm answered Cancel" 2 60 75 confirm no
click 60 115
if box=$(session_wait_box "$ORIGIN" 15); then
  xdotool key ctrl+a; xdotool type --delay 40 'Li Lei'; xdotool key Return
  expect "prompt answered with typed text" prompt 'Li Lei'
else fail "prompt shows a box"; fi
dialog "prompt answered Cancel" 2 60 115 prompt null
