#!/usr/bin/env bash
# The startup window's records on the real components
# (tests/components/startup_demo_win.cpp), one demo process per case: a
# maximised window's position, Escape, Return and Tab pressed with xdotool
# as a person would, and a screenshot in which the caption, the edit box
# with the start address and both buttons are drawn (its window then shut
# with Escape).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/scripts/lib.sh"
wine_ready
demo="$BUILD/win32/tests/components/components_startup_demo.exe"
driver="$BUILD/win32/tests/app/paginet_driver.exe"
work=$(mktemp -d)
demo_pid=""
# Run alone, the display and Wine started here end with the script.
trap '[ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null; rm -rf "$work"; stop_background' EXIT
fails=0
check() { if eval "$2"; then echo "PASS: $1"; else echo "FAIL: $1"; fails=$((fails + 1)); fi; }

caption="Brenmoor Paginet试卷下载器 V3.0 -By:tn462917"
address="https://reader.example.cn/q?c=120HYBKI30C"

controls() { LC_ALL=C.UTF-8 wine "$driver" controls 2>/dev/null | tr -d '\r'; }
# rect KIND TEXT: "x y w h visible" of the control line with exactly that text.
rect() { controls | awk -v k="$1" -v t="$2" '!n && $1 == k && substr($0, index($0, $7)) == t { print $2, $3, $4, $5, $6; n = 1 }'; }
click_middle() { xdotool mousemove $(($1 + $3 / 2)) $(($2 + $4 / 2)) click 1; }

# start_demo [default]: the startup window, up until closed or 90 s pass;
# returns once the driver sees it.
start_demo() {
  : >"$work/out"
  (cd "$work" && exec timeout 150 wine "$demo" show 90 "$@" >"$work/out" 2>/dev/null) &
  demo_pid=$!
  local deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    grep -q '^shown' "$work/out" && [ -n "$(rect edit "$address")" ] && return 0
    sleep 0.5
  done
  return 1
}
# finish_demo: waits for the demo to end; sets result to its last line.
finish_demo() {
  wait "$demo_pid" || true
  demo_pid=""
  result=$(tr -d '\r' <"$work/out" | grep -E '^(closed|timeout)' || true)
}
# focus_edit: a click on the edit box activates the window and focuses it.
focus_edit() { click_middle $(rect edit "$address"); sleep 1; }

out=$(cd "$work" && timeout 120 wine "$demo" max 2>/dev/null | tr -d '\r') || true
check "a window stored as centred reads 0, maximised 3" '[ "$out" = "normal=0 zoomed=1 position=3" ]'

# press FOCUS KEY [default]: KEY once the window is active, with the focus
# in the edit box ("edit") or where activation puts it ("window": a click
# on the bare client area; the focus choice then takes 采集), then Escape;
# sets result.
press() {
  local where=$1 key=$2; shift 2
  result="not shown"
  start_demo "$@" || { finish_demo; return; }
  if [ "$where" = edit ]; then
    focus_edit
  else
    read -r x y _ <<<"$(rect window "$caption")"
    xdotool mousemove $((x + 100)) $((y + 500)) click 1
    sleep 1
  fi
  xdotool key "$key"
  sleep 1.5
  local still; still=$(rect window "$caption")
  xdotool key Escape
  finish_demo
  [ -n "$still" ] || result="closed by $key: $result"
}
press edit Return
check "Return in the edit box clicks neither button" \
  '[ "$result" = "closed events12=1 events1=1 capture=0 home=0 focus=edit" ]'
press window Return
check "Return with the focus on 采集, not a default button, clicks neither" \
  '[ "$result" = "closed events12=1 events1=1 capture=0 home=0 focus=capture" ]'
# The same window with "前往首页" as default button: Return clicks it.
press edit Return default
check "Return clicks the default push button once" \
  '[ "$result" = "closed events12=1 events1=1 capture=0 home=1 focus=edit" ]'
# Tab order is creation order: 采集, 前往首页, then the edit box.
press edit Tab
check "Tab from the edit box wraps to 采集" '[ "$result" = "closed events12=1 events1=1 capture=0 home=0 focus=capture" ]'
press edit shift+Tab
check "Shift+Tab from the edit box goes back to 前往首页" \
  '[ "$result" = "closed events12=1 events1=1 capture=0 home=0 focus=home" ]'

# ink PNG X Y W H [glyphs]: succeeds when the rectangle holds drawing that
# differs from its background colour; with "glyphs", also when the ink
# splits into at least two shapes that are not all alike, which empty boxes
# drawn for missing Chinese glyphs are.
ink() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -compress none ppm:- | python3 -c '
import sys
from collections import Counter
v = sys.stdin.read().split()
w, h = int(v[1]), int(v[2])
px = [tuple(map(int, v[4 + 3 * i:7 + 3 * i])) for i in range(w * h)]
bg = Counter(px).most_common(1)[0][0]
on = [max(abs(a - b) for a, b in zip(p, bg)) > 80 for p in px]
if sum(on) < max(8, w * h // 400):
    sys.exit(1)
if len(sys.argv) > 1:
    cols = [any(on[y * w + x] for y in range(h)) for x in range(w)]
    shapes, x = [], 0
    while x < w:
        if not cols[x]:
            x += 1
            continue
        s = x
        while x < w and cols[x]:
            x += 1
        shapes.append(tuple(tuple(on[y * w + c] for c in range(s, x)) for y in range(h)))
    sys.exit(0 if len(shapes) >= 2 and len(set(shapes)) > 1 else 1)
' ${6:-}
}

shot="$BUILD/components-startup.png"
if start_demo; then
  sleep 2   # first paint
  import -window root "$shot"
  win=$(rect window "$caption")
  edit=$(rect edit "$address")
  capture=$(rect button "采集")
  home=$(rect button "前往首页")
  focus_edit
  xdotool key Escape
  finish_demo
  check "Escape closes the startup window, asking events 12 and 1 once" \
    '[ "$result" = "closed events12=1 events1=1 capture=0 home=0 focus=edit" ]'
  read -r wx wy ww wh wv <<<"${win:-0 0 0 0 0}"
  check "the caption is the window text and the window is on screen" \
    '[ "$wv" = 1 ] && [ "$wx" -ge 0 ] && [ "$wy" -ge 0 ] && [ $((wx + ww)) -le 1920 ] && [ $((wy + wh)) -le 1080 ]'
  # The title bar: below the top frame, right of the icon.
  check "the caption is drawn in the title bar" 'ink "$shot" $((wx + 24)) $((wy + 4)) 360 16'
  for c in edit capture home; do
    read -r x y w h v <<<"${!c:-0 0 0 0 0}"
    check "the $c control is shown with its text" '[ "$v" = 1 ] && ink "$shot" $((x + 4)) $((y + 4)) $((w - 8)) $((h - 8))'
  done
  read -r x y w h v <<<"${home:-0 0 0 0 0}"
  check "the Chinese button caption is drawn as distinct glyphs" \
    'ink "$shot" $((x + 4)) $((y + 4)) $((w - 8)) $((h - 8)) glyphs'
  echo "screenshot: $shot" >&2
else
  finish_demo
  check "the startup window is shown for the screenshot and Escape" false
fi

[ "$fails" -eq 0 ]
