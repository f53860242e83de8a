# The browser view as a person's browser: the page's dialogs, the clipboard
# shared with other programs, history, the menu, hover and focus. Sourced by
# view_as_user.sh with the program running and the view placed.

UI_URL="${SITE_URL%%/q*}/ui"
ORIGIN="${SITE_URL%%/q*}"

# dialog CASE BUTTON X Y FIELD VALUE [TEXT]: clicks the page at X Y, waits for
# a box titled with the page's origin, checks its text, presses the button
# and expects the page to report VALUE.
dialog() {
  local box
  click "$3" "$4"
  if ! box=$(session_wait_box "$ORIGIN" 15); then fail "$1" "no box titled $ORIGIN"; return; fi
  if [ -n "${7:-}" ] && [ "$(box_text "$box")" != "$7" ]; then fail "$1" "box says '$(box_text "$box")'"; fi
  session_press_ok "$box" "$2"
  expect "$1" "$5" "$6"
}
# menu X Y KEY: right-clicks the page at X Y and chooses by the item's letter.
menu() { at "$1" "$2"; xdotool click 3; sleep 1; xdotool key "$3"; }
# x_clipboard TEXT: another program puts TEXT on the X clipboard; Wine takes
# it in on its own time, and a copy made before that would be overwritten.
# xclip stays to serve the selection: kept in the foreground of a job of
# ours, away from our output, so it neither holds a caller's pipe open nor
# outlives the test.
XCLIP_PIDS=()
x_clipboard() {
  printf '%s' "$1" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
  XCLIP_PIDS+=($!)
  sleep 1
}
# clipboard_is CASE TEXT: the X clipboard, as other programs see it, comes
# to hold TEXT within 5 s.
clipboard_is() {
  local clip i
  for i in $(seq 20); do
    clip=$(timeout 5 xclip -selection clipboard -o 2>/dev/null || true)
    [ "$clip" = "$2" ] && { pass "$1"; return; }
    sleep 0.25
  done
  fail "$1" "clipboard '$clip'"
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

# History: a link, the mouse's back and forward buttons, Alt+Left.
click 40 250
expect "a link leads to the next page" page 2 show
at 300 400; xdotool click 8
expect "the mouse's back button goes back" page 1 show
at 300 400; xdotool click 9
expect "the mouse's forward button goes forward" page 2 show
click 300 400; xdotool key alt+Left
expect "Alt+Left goes back" page 1 show

# The clipboard is the one other programs use, both ways, with Chinese.
x_clipboard '粘贴张三'
click 200 165
xdotool key ctrl+v
expect "Ctrl+V pastes another program's text" field '粘贴张三'
x_clipboard ' 李四'
xdotool key End shift+Insert
expect "Shift+Insert pastes too" field '粘贴张三 李四'
xdotool key ctrl+a ctrl+c
clipboard_is "Ctrl+C copies the selection out" '粘贴张三 李四'
xdotool key End; xdotool type --delay 40 '!'
xdotool key ctrl+a ctrl+x
expect "Ctrl+X cuts the selection" field ''
clipboard_is "Ctrl+X puts the cut text out" '粘贴张三 李四!'

# The context menu: mnemonics choose; greyed items do nothing.
x_clipboard '菜单'
menu 200 165 p
expect "the menu's paste pastes into the field" field '菜单'
xdotool type --delay 40 '!'
menu 200 165 a; sleep 0.3
menu 200 165 c
clipboard_is "the menu's select all and copy copy the field" '菜单!'
click 200 165; xdotool key End; xdotool type --delay 40 '?'
menu 200 165 c; xdotool key Escape
expect "the menu closes on Escape, leaving the field" field '菜单!?'
clipboard_is "copy is greyed without a selection" '菜单!'
menu 300 400 f
expect "the menu's forward goes forward" page 2 show

# Hover ends when the pointer leaves the view.
at 100 330
expect "the pointer over the box hovers it" hover in
xdotool mousemove $((VX + VW + 5)) $((VY + 330))
expect "the pointer leaving the view ends the hover" hover out

# Focus follows the view's: the address box takes it from the page, and a
# click gives it back.
click 200 165
click_at $(session_control edit "")
expect "the page hears the view lose focus" focus blur
expect "the page has no focus while the view has none" has no
expect "the field lost its focus with the view" active ''
click 300 400
expect "the page hears the view get focus back" focus focus
expect "the page has focus again" has yes

# Zoom with Ctrl and plus, minus, 0 and the wheel; input lands where the
# zoomed page shows it.
click 300 400
xdotool key ctrl+equal
expect "Ctrl+plus zooms in" zoom 110
xdotool key ctrl+minus
expect "Ctrl+minus zooms out" zoom 100
at 300 400; sleep 0.3; xdotool keydown ctrl; sleep 0.3; xdotool click 4; sleep 0.3; xdotool keyup ctrl
expect "Ctrl+wheel zooms" zoom 110
click 62 53   # between two buttons unzoomed, on the first at 110 %
if box=$(session_wait_box "$ORIGIN" 15); then
  session_press_ok "$box" 1; session_wait_box_gone "$ORIGIN"; sleep 0.3
  pass "a click on the zoomed page reaches what it shows there"
else fail "a click on the zoomed page reaches what it shows there" "no confirm box"; fi
xdotool key ctrl+0
expect "Ctrl+0 zooms back" zoom 100
