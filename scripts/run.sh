#!/usr/bin/env bash
# The main job: a capture run against the bundled sample page. Builds what
# it needs, serves the page, starts headless Chromium and the program under
# Wine + Xvfb, types the address, presses "前往首页" and "采集", answers the
# message boxes, then lists the BMP files, makes a contact sheet and names the
# paper's PDF with its size. It always ends: with the pictures, or with a
# one-line reason and the program's log.
#   scripts/run.sh [variant]      (variants: see testsite/serve.py)
set -Eeuo pipefail
source "$(dirname "$0")/lib.sh"
install_deps
build_for_run
wine_ready
SESSION_DIR="$BUILD/capture"
mkdir -p "$SESSION_DIR"
source "$ROOT/testsite/session.sh"
trap 'session_stop; stop_background' EXIT

give_up() {   # give_up REASON: the reason, then the tail of the program's log
  log "capture run failed: $1"
  if [ -s "$SESSION_DIR/program.log" ]; then
    log "last lines of $SESSION_DIR/program.log:"
    tail -n 15 "$SESSION_DIR/program.log" >&2
  fi
  exit 1
}
# Any other step that fails, in a function too (-E), says which it was.
trap 'give_up "\"$BASH_COMMAND\" ended with status $?"' ERR

session_start_site "${1:-default}"
session_start_chromium
log "starting the program"
session_start_program || give_up "the program's window did not appear"
sleep 3   # first activation and the layout snap
log "loading $SITE_URL"
session_type_address "$SITE_URL"
session_click_button "前往首页"
sleep 5
session_click_button "采集"
box=$(session_wait_box "操作提示" 60) || give_up "no start box after pressing 采集"
session_press_ok "$box"
log "capturing; every page takes about 3 s"
# The run ends in the end box ("提示："), the page-count box ("提示") or a
# failure box; a run-time error shows "错误". The sample pages are few.
box=$(session_wait_boxes 900 "提示：" "提示" "保存失败" "错误") ||
  give_up "no end box within 15 minutes, or the program ended without one"
title=$(box_field "$box" box) text=$(box_field "$box" text)
# The PDF's failure box comes before the end box: the pictures are saved.
if [ "$title" = "保存失败" ] && [ "${text#图片已保存}" != "$text" ]; then
  log "$text"
  session_press_ok "$box"
  box=$(session_wait_boxes 60 "提示：" "错误") || give_up "no end box after the PDF's failure"
  title=$(box_field "$box" box) text=$(box_field "$box" text)
fi
session_press_ok "$box"
[ "$title" = "提示：" ] || give_up "$title: $text"
log "$text"
sleep 1

mapfile -t files < <(find "$RUN_DIR/pic" -name '*.bmp' 2>/dev/null | sort -V)
log "BMP files written: ${#files[@]}"
printf '%s\n' "${files[@]}"
[ ${#files[@]} -gt 0 ] || give_up "the end box came, but no picture was written"
# A font by path: ImageMagick's default (Helvetica) needs Ghostscript's
# fonts, which a bare machine does not have.
montage -font /usr/share/fonts/truetype/wqy/wqy-microhei.ttc -label '%f' "${files[@]}" \
  -tile 4x -geometry 320x+4+4 "$SESSION_DIR/contact-sheet.png"
log "contact sheet: $SESSION_DIR/contact-sheet.png"
while IFS= read -r pdf; do
  log "the paper as one PDF: $pdf ($(stat -c %s "$pdf") bytes)"
done < <(find "$RUN_DIR/pic" -name '*.pdf' 2>/dev/null | sort)
