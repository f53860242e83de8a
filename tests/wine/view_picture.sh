#!/usr/bin/env bash
# The program window's view area shows what Chromium itself renders for the
# page at the view's size: after the layout snap and after a page turn.
set -euo pipefail
E2E_NAME="view picture"
source "$(dirname "$0")/lib/e2e.sh"
trap 'session_stop; stop_background' EXIT
session_watchdog 600 "$E2E_NAME"

session_start_site default
session_start_chromium
session_start_program
session_wait_laid_out

session_type_address "$SITE_URL&v=pages3"
session_click_button "前往首页"
sleep 3
read -r VX VY VW VH < <(session_controls | awk '$1 == "child" && $4 * $5 > best { best = $4 * $5; v = $2 " " $3 " " $4 " " $5 } END { print v }')

# same LABEL: the view area on screen against Chromium's screenshot of the
# page; the view shows JPEG frames, so each pixel may be a little off. The
# program's buttons and edit box lie over the view's top, and the window
# ends above the view's bottom: those parts are left out.
same() {
  local screen="$SESSION_DIR/$1-screen.png" own="$SESSION_DIR/$1-chromium.png" size diff
  import -window root -crop "${VW}x${VH}+${VX}+${VY}" +repage "$screen"
  python3 "$SITE_DIR/page_shot.py" "$DEVTOOLS" /q "$own" || { fail "$1" "no screenshot from Chromium"; return; }
  size=$(identify -format '%wx%h' "$own")
  if [ "$size" != "${VW}x${VH}" ]; then fail "$1" "Chromium's page is $size, the view ${VW}x${VH}"; return; fi
  local part="$((VW - 20))x$((VH - 260))+0+160"
  diff=$(compare -metric AE -fuzz 12% "$screen[$part]" "$own[$part]" null: 2>&1 || true)
  diff=${diff%% *}
  if [ "${diff%.*}" -le $((VW * VH / 200)) ] 2>/dev/null; then pass "$1"
  else fail "$1" "$diff of $((VW * VH)) pixels differ; see $screen and $own"; fi
}

same "the view shows the page at its size after the layout snap"
# The page-turn control: the third box of the bottom-right row of the reader page.
xdotool mousemove $((VX + VW - 20 - 40)) $((VY + VH - 100 - 45)) click 1   # its ">" line
sleep 1.5
same "the view shows the turned page"
# Only a real turn makes the second comparison tell anything.
turned=$(compare -metric AE -fuzz 12% "$SESSION_DIR/the view shows the page at its size after the layout snap-chromium.png" \
  "$SESSION_DIR/the view shows the turned page-chromium.png" null: 2>&1 || true)
[ "${turned%%[. ]*}" -gt $((VW * 100)) ] 2>/dev/null && pass "the page turned between the two pictures" \
  || fail "the page turned between the two pictures" "$turned pixels changed"
exit $rc
