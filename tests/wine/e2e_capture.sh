#!/usr/bin/env bash
# End to end: the program, the stand-in engine, headless Chromium and the
# sample page, driven through the program's windows only.
set -euo pipefail
E2E_NAME="e2e capture"
source "$(dirname "$0")/lib/e2e.sh"
trap 'session_stop; stop_background' EXIT
# Nothing here may outlive the test.
session_watchdog 900 "$E2E_NAME"

bmps() { (cd "$RUN_DIR" && find pic -name '*.bmp' 2>/dev/null | sort) || true; }

session_start_site default
session_start_chromium
session_start_program
session_wait_laid_out

win=$(session_control window "")
if [ "$(echo "$win" | cut -d' ' -f1-4)" = "10 5 1900 1000" ]; then pass "window snaps to 1900 x 1000 at (10, 5)"
else fail "window snaps to 1900 x 1000 at (10, 5)" "window at $win"; fi

# load VARIANT: types the variant's address and presses 前往首页.
load() {
  : > "$SESSION_DIR/site.log"
  session_type_address "$SITE_URL&v=$1"
  session_click_button "前往首页"
  local i
  for i in $(seq 60); do [ -s "$SESSION_DIR/site.log" ] && break; sleep 0.5; done
  sleep 1
}
# capture TITLE: presses 采集, answers the start box, returns the end box.
capture() {
  session_click_button "采集" || return 1
  local box; box=$(session_wait_box "操作提示" 60) || return 1
  session_press_ok "$box"
  session_wait_box "$1" 240
}

load pages3
seen=$(tail -1 "$SESSION_DIR/site.log")
if grep -q 'screen=1820x980' <<<"$seen" && grep -q 'avail=1820x980' <<<"$seen" &&
   grep -q 'touch=5' <<<"$seen" && grep -q 'platform=QD-Mini' <<<"$seen"; then
  pass "page sees the tablet: screen.width 1820"
else fail "page sees the tablet: screen.width 1820" "$seen"; fi

view=$(session_controls | awk '$1 == "child" && $4 * $5 > best { best = $4 * $5; v = $4 " " $5 } END { print v }')
vw=${view% *}; vh=${view#* }
prefix="2024-Math高三数学期末考试试卷及"   # first 20 characters of the title
title="2024-Math高三数学期末考试试卷及参考答案解析"
: > "$PAGINET_WAVE_OUT"
if box=$(capture "提示："); then
  played=$(stat -c %s "$PAGINET_WAVE_OUT")
  if [ "$(box_text "$box")" = "下载完成！" ] && [ "$played" -gt 0 ]; then
    pass "下载完成！ while the voice prompt plays"
  else fail "下载完成！ while the voice prompt plays" "text '$(box_text "$box")', $played bytes played"; fi
  session_press_ok "$box"
  sleep 1
  got=$(bmps | tr '\n' ' ')
  if [ "$got" = "pic/$prefix/1.bmp pic/$prefix/2.bmp " ]; then pass "page count 3 makes 1.bmp and 2.bmp"
  else fail "page count 3 makes 1.bmp and 2.bmp" "got: $got"; fi
  if [ "$(printf '%s' "$prefix" | iconv -f UTF-8 -t GBK | wc -c)" -eq 31 ] && [ -d "$RUN_DIR/pic/$prefix" ]; then
    pass "26-character title gives a 31-byte folder name"
  else fail "26-character title gives a 31-byte folder name"; fi
  ok=1
  for n in 1 2; do
    python3 "$SITE_DIR/check_bmp.py" "$RUN_DIR/pic/$prefix/$n.bmp" $((vw - 15)) "$vh" $((n + 1)) || ok=0
  done
  [ $ok -eq 1 ] && pass "pictures show pages 2 and 3 at view width - 15" \
    || fail "pictures show pages 2 and 3 at view width - 15" "view ${vw}x${vh}"
  pdf="$RUN_DIR/pic/$prefix/$title.pdf"
  if why=$(python3 "$SITE_DIR/check_pdf.py" "$pdf" "$title" \
             "$RUN_DIR/pic/$prefix/1.bmp" "$RUN_DIR/pic/$prefix/2.bmp" 2>&1) &&
     [ -z "$(find "$RUN_DIR/pic" -name '*.part')" ]; then
    pass "the paper's PDF: 2 pages, each at 96 dpi equal to its picture"
  else fail "the paper's PDF: 2 pages, each at 96 dpi equal to its picture" "$why"; fi
else
  fail "page count 3 capture run" "no end box"
fi

# A reader on a slow network that ignores "next" for a while after each page
# shows, and turns to its third page of the 4 it declares, whose picture
# never comes: the page before is saved finished, the third as it stands
# after the bound; the caption counts the pictures; the closing message
# names the picture where the paper stopped and the one saved unfinished;
# the PDF holds both.
# An earlier PDF that cannot be replaced (here a folder of that name) leaves
# the new one beside it under another name, and a box says which.
rm -rf "$RUN_DIR/pic/$prefix"
mkdir -p "$RUN_DIR/pic/$prefix/$title.pdf/held"
load slow4
caption() { box_field "$(session_controls)" window; }
own=$(caption)
: > "$PAGINET_WAVE_OUT"   # this run's prompt, not the last run's
session_click_button "采集"
seen="" held="" end=""
if box=$(session_wait_box "操作提示" 60); then
  session_press_ok "$box"
  for _ in $(seq 200); do
    now=$(caption)
    case "$now" in "$own - 采集 "*) seen="$seen ${now##* }" ;; esac
    held=$(LC_ALL=C.UTF-8 wine "$DRIVER_EXE" box "保存失败" 2>/dev/null | tr -d '\r') && break
    sleep 0.3
  done
  if [ -n "$held" ]; then
    played=$(stat -c %s "$PAGINET_WAVE_OUT")
    session_press_ok "$held"
    end=$(session_wait_box "提示：" 30)
  fi
fi
aside="$RUN_DIR/pic/$prefix/$title(2).pdf"
if [ -n "$end" ]; then
  got=$(box_text "$end")
  session_press_ok "$end"
  sleep 1
  [ "$got" = "试卷翻页没有反应，采集停在第 3 张图片。此前的图片和 PDF 已保存。" ] && [ "$played" -gt 0 ] &&
    grep -qxF "以下图片保存时页面仍未加载完成：2.bmp" <<<"$end" \
    && pass "a reader that stops turning: the message names pictures 3 and 2, the prompt plays" \
    || fail "a reader that stops turning: the message names pictures 3 and 2, the prompt plays" "'$end', $played bytes played"
  seen=$(tr ' ' '\n' <<<"$seen" | sort -u | tr '\n' ' ')
  after=$(caption)
  [ "$seen" = " 1/3 2/3 3/3 " ] && [ "$after" = "$own" ] && pass "the caption counts the pictures, then is the program's again" \
    || fail "the caption counts the pictures, then is the program's again" "seen '$seen', after '$after'"
  ok=1
  python3 "$SITE_DIR/check_bmp.py" "$RUN_DIR/pic/$prefix/1.bmp" $((vw - 15)) "$vh" 2 || ok=0
  python3 "$SITE_DIR/check_bmp.py" "$RUN_DIR/pic/$prefix/2.bmp" $((vw - 15)) "$vh" || ok=0
  files=$(LC_ALL=C ls -A "$RUN_DIR/pic/$prefix" | tr '\n' ' ')
  # A click before page 3 was ignored (usually one on each page; how many
  # depends on the run's pace), and clicked again.
  ignored=$(grep -o 'ignored=[12]$' "$SESSION_DIR/site.log" | sort -u | tr '\n' ' ')
  [ $ok -eq 1 ] && [ "$files" = "1.bmp 2.bmp $title(2).pdf $title.pdf " ] && [ -n "$ignored" ] \
    && pass "late pictures and ignored clicks: 1.bmp shows page 2 finished, 2.bmp is complete" \
    || fail "late pictures and ignored clicks: 1.bmp shows page 2 finished, 2.bmp is complete" "files $files, $ignored"
  why=$(python3 "$SITE_DIR/check_pdf.py" "$aside" "$title" \
          "$RUN_DIR/pic/$prefix/1.bmp" "$RUN_DIR/pic/$prefix/2.bmp" 2>&1) &&
    grep -qF "\\$title(2).pdf" <<<"$held" \
    && pass "the stopped run's PDF, kept beside the one it could not replace, holds the 2 pictures" \
    || fail "the stopped run's PDF, kept beside the one it could not replace, holds the 2 pictures" "box '$held', $why"
else
  fail "a reader that stops turning" "no end box; captions seen: $seen; box: $(box_text "$held")"
fi

rm -rf "$RUN_DIR/pic/$prefix"
load pages0
before=$(bmps)
if box=$(capture "提示"); then
  [ "$(box_text "$box")" = "获取页数为0，请到封面页再获取！" ] && pass "page count 0 message" \
    || fail "page count 0 message" "$(box_text "$box")"
  session_press_ok "$box"
  sleep 2
  controls=$(session_controls)
  visible=$(printf '%s\n' "$controls" | awk '($1 == "edit" || $1 == "button") && $6 == 1' | wc -l)
  caption=$(printf '%s\n' "$controls" | awk '$1 == "button" && $2 < 400' | cut -d' ' -f7-)
  if [ "$visible" -eq 3 ] && [ "$caption" = "采集" ] && [ "$(bmps)" = "$before" ] && \
     [ ! -d "$RUN_DIR/pic/$prefix" ]; then
    pass "page count 0 writes nothing and restores the controls"
  else fail "page count 0 writes nothing and restores the controls" "visible $visible, caption '$caption'"; fi
else fail "page count 0 message" "no box"; fi

load pages1
if box=$(capture "提示："); then
  session_press_ok "$box"
  sleep 1
  if [ -d "$RUN_DIR/pic/$prefix" ] && [ -z "$(ls -A "$RUN_DIR/pic/$prefix")" ]; then
    pass "page count 1 makes the folder and no file"
  else fail "page count 1 makes the folder and no file"; fi
else fail "page count 1 makes the folder and no file" "no end box"; fi

exit $rc
