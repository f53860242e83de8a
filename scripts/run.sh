#!/usr/bin/env bash
# The main job: a capture run against the bundled sample page. Builds what
# it needs, serves the page, starts headless Chromium and the program under
# Wine + Xvfb, types the address, presses "前往首页" and "采集", answers the
# message boxes, then lists the BMP files and makes a contact sheet.
#   scripts/run.sh [variant]      (variants: see testsite/serve.py)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
install_deps
build_cross
wine_ready
SESSION_DIR="$BUILD/capture"
mkdir -p "$SESSION_DIR"
source "$ROOT/testsite/session.sh"
trap 'session_stop; stop_background' EXIT

session_start_site "${1:-default}"
session_start_chromium
log "starting the program"
session_start_program
sleep 3   # first activation and the layout snap
log "loading $SITE_URL"
session_type_address "$SITE_URL"
session_click_button "前往首页"
sleep 5
session_click_button "采集"
box=$(session_wait_box "操作提示" 60) || { log "no start box"; exit 1; }
session_press_ok "$box"
log "capturing; every page takes about 3 s"
# The end box is "提示：" after a run, "提示" when the page count was 0.
deadline=$((SECONDS + 1800)) box=""
while [ -z "$box" ]; do
  [ $SECONDS -lt $deadline ] || { log "no end box after 30 minutes"; exit 1; }
  box=$(session_wait_box "提示：" 10) || box=$(session_wait_box "提示" 1) || box=""
done
log "$(printf '%s\n' "$box" | awk '$1 == "text"' | cut -d' ' -f7-)"
session_press_ok "$box"
sleep 1

mapfile -t files < <(find "$RUN_DIR/pic" -name '*.bmp' 2>/dev/null | sort -V)
log "BMP files written: ${#files[@]}"
printf '%s\n' "${files[@]}"
if [ ${#files[@]} -gt 0 ]; then
  montage -label '%f' "${files[@]}" -tile 4x -geometry 320x+4+4 "$SESSION_DIR/contact-sheet.png"
  log "contact sheet: $SESSION_DIR/contact-sheet.png"
fi
