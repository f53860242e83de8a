#!/usr/bin/env bash
# The capture run against pages and faults it must survive: page counts no
# paper has, titles that would leave pic\ or fail as folder names, pages
# that are not the reader or never finish loading, a full or read-only pic
# folder, and the window closed in the middle of a run. One site, one
# Chromium and one program serve every case; the page behind the address
# is switched between cases.
set -euo pipefail
E2E_NAME="e2e hostile"
source "$(dirname "$0")/lib/e2e.sh"
MOUNTED=""
cleanup() {
  session_stop
  if [ -n "$MOUNTED" ]; then umount -l "$MOUNTED" 2>/dev/null || true; fi
  stop_background
}
trap cleanup EXIT
# Nothing here may outlive the test.
session_watchdog 900 "$E2E_NAME"

# Every file and folder under pic, one a line.
pic_tree() { (cd "$RUN_DIR" && find pic -mindepth 1 2>/dev/null | sort) || true; }

export PAGINET_SITE_VARIANT="$SESSION_DIR/variant"
echo default > "$PAGINET_SITE_VARIANT"
session_start_site default
session_start_chromium
session_start_program
session_wait_laid_out
session_type_address "$SITE_URL"
home=$(session_control button "前往首页")
start=$(session_control button "采集")
view=$(session_controls | awk '$1 == "child" && $4 * $5 > best { best = $4 * $5; v = $4 " " $5 } END { print v }')
vw=${view% *}; vh=${view#* }
[ -n "$home" ] && [ -n "$start" ] && [ -n "$vw" ] || { fail "e2e hostile setup" "no controls"; exit 1; }
prefix="2024-Math高三数学期末考试试卷及"   # the sample title's first 20 characters
marker="$SESSION_DIR/marker"

# show VARIANT: puts the variant behind the address and presses 前往首页.
show() {
  echo "$1" > "$PAGINET_SITE_VARIANT"
  : > "$SESSION_DIR/site.log"
  click_at $home
  local i
  for i in $(seq 60); do [ -s "$SESSION_DIR/site.log" ] && break; sleep 0.5; done
  sleep 1
}
# capture TITLE [SECONDS]: presses 采集, answers the start box and prints
# the box captioned TITLE that ends the run. The wave output and the marker
# are reset first, so a case can tell whether the prompt played and which
# files the run made.
capture() {
  : > "$PAGINET_WAVE_OUT"
  touch "$marker"
  click_at $start
  local box; box=$(session_wait_box "操作提示" 60) || return 1
  session_press_ok "$box"
  session_wait_box "$1" "${2:-120}"
}
prompt_played() { [ -s "$PAGINET_WAVE_OUT" ]; }
# Files the run made outside pic, anywhere in this build.
strays() {
  find "$BUILD" -newer "$marker" -type f \( -name '*.bmp' -o -name '*.part' \) \
    -not -path "$RUN_DIR/pic/*" 2>/dev/null || true
}
# bmp_ok FILE [PAGE]: a complete picture of the view, less 15 pixels.
bmp_ok() { python3 "$SITE_DIR/check_bmp.py" "$1" $((vw - 15)) "$vh" ${2:+"$2"}; }
idle_again() {
  local controls visible caption
  controls=$(session_controls)
  visible=$(printf '%s\n' "$controls" | awk '($1 == "edit" || $1 == "button") && $6 == 1' | wc -l)
  caption=$(printf '%s\n' "$controls" | awk '$1 == "button" && $2 < 400' | cut -d' ' -f7-)
  [ "$visible" -eq 3 ] && [ "$caption" = "采集" ]
}

# Page counts: refused above the bound and below 1, before any folder is
# made, any page is turned or the prompt plays.
for c in "pagesmax|获取页数为2147483647，不在1到1000之间，请到封面页再获取！" \
         "pages1001|获取页数为1001，不在1到1000之间，请到封面页再获取！" \
         "pagesneg|获取页数为-5，不在1到1000之间，请到封面页再获取！" \
         "pagesnan|获取页数为0，请到封面页再获取！"; do
  v=${c%%|*}; want=${c#*|}
  before=$(pic_tree)
  show "$v"
  if box=$(capture "提示" 60); then
    got=$(box_text "$box")
    session_press_ok "$box"
    if [ "$got" = "$want" ] && ! prompt_played && [ "$(pic_tree)" = "$before" ]; then
      pass "page count $v: '$want', nothing written"
    else fail "page count $v" "box '$got', prompt $(stat -c %s "$PAGINET_WAVE_OUT") bytes"; fi
  else fail "page count $v" "no box"; fi
done
sleep 1
idle_again && pass "controls back after refused page counts" \
  || fail "controls back after refused page counts"

# Titles: the folder name keeps to pic\ and can be created; the PDF is
# named after the whole title, cut to 64 characters, under the same rules.
site_title() {
  python3 -c 'import sys; sys.path.insert(0, sys.argv[1]); from serve import VARIANTS; print(VARIANTS[sys.argv[2]][1])' \
    "$SITE_DIR" "$1"
}
for c in "escape|.._.._.._考试_期中_试卷___|.._.._.._考试_期中_试卷_.._答案解析" \
         "longtitle|____________________|........................长标题_很长__..长标题_很长__..长标题_很长__..长标题_很长____" \
         "notitle||试卷"; do
  v=${c%%|*}; rest=${c#*|}; want=${rest%%|*}; name=${rest#*|}
  show "$v"
  if box=$(capture "提示：" 120); then
    got=$(box_text "$box")
    session_press_ok "$box"
    s=$(strays)
    pdf="$RUN_DIR/pic/$want/$name.pdf"
    if [ "$got" = "下载完成！" ] && [ -z "$s" ] && bmp_ok "$RUN_DIR/pic/$want/1.bmp" 2 &&
       why=$(python3 "$SITE_DIR/check_pdf.py" "$pdf" "$(site_title "$v")" "$RUN_DIR/pic/$want/1.bmp" 2>&1); then
      pass "title $v: pictures in pic/$want, PDF $name.pdf"
    else fail "title $v" "box '$got', strays '$s', PDF: ${why:-}, pic: $(pic_tree | tr '\n' ' ')"; fi
  else fail "title $v" "no end box; pic: $(pic_tree | tr '\n' ' ')"; fi
done
rm -f "$RUN_DIR/pic/1.bmp" "$RUN_DIR/pic/试卷.pdf"

# Pages that are not the reader or never finish loading. One whose turn
# control is missing never turns: the run clicks a few times, saves nothing
# and says where it stopped, with the prompt. One whose hidden picture never
# arrives is saved as it stands once the page's bound has passed, with the
# PDF, and the closing message names it as saved unfinished.
title=$(site_title default)
stopped="试卷翻页没有反应，采集停在第 1 张图片。"
for c in "noselectors|$stopped|" "neverloads|以下图片保存时页面仍未加载完成：1.bmp|2" "stalled|$stopped|"; do
  IFS='|' read -r v want page <<<"$c"
  rm -rf "$RUN_DIR/pic/$prefix"
  show "$v"
  if box=$(capture "提示：" 90); then
    got=$(box_text "$box")
    session_press_ok "$box"
    files=$(ls -A "$RUN_DIR/pic/$prefix" 2>/dev/null | tr '\n' ' ')
    if [ -n "$page" ]; then
      [ "$files" = "1.bmp $title.pdf " ] && bmp_ok "$RUN_DIR/pic/$prefix/1.bmp" $page || files="bad: $files"
    else
      [ -z "$files" ] || files="bad: $files"
    fi
    if [ "$got" = "$want" ] && [ "${files#bad}" = "$files" ] && prompt_played; then
      pass "page $v: '$got'"
    else fail "page $v" "box '$got', files: $files"; fi
  else fail "page $v" "no end box within the run's waits"; fi
done

# A full disk and a read-only folder: the run stops with a box naming the
# file or folder, leaves no half-written or temporary file, plays nothing.
mkdir -p "$RUN_DIR/pic"
if mount -t tmpfs -o size=2m paginet-full "$RUN_DIR/pic" 2>/dev/null; then
  MOUNTED="$RUN_DIR/pic"
  # fault MOUNT-OPTIONS WANT-TEXT-START NAME: one failing run.
  fault() {
    mount -o "remount,$1" "$MOUNTED"
    show pages3
    if box=$(capture "保存失败" 60); then
      got=$(box_text "$box")
      session_press_ok "$box"
      left=$(cd "$MOUNTED" && find . -type f | tr '\n' ' ')
      if [ "${got#"$2"}" != "$got" ] && [ -z "$left" ] && ! prompt_played; then
        pass "$3: '$got'"
      else fail "$3" "box '$got', files left: $left"; fi
    else fail "$3" "no failure box"; fi
  }
  fault rw "无法保存图片：" "full disk stops the run"
  rm -rf "${MOUNTED:?}/$prefix"
  fault ro "无法创建保存图片的文件夹：" "read-only pic stops the run"
  mount -o remount,rw "$MOUNTED"; mkdir -p "$MOUNTED/$prefix"
  fault ro "无法保存图片：" "read-only capture folder stops the run"
  # Room for the two pictures and not for the PDF: the pictures stay, the
  # PDF's failure is told, no part of it is left, and the run still ends.
  # Sample pages compress to little, so that PDF fails at its end; a scan's
  # first page fills part of the room before picture 2, which takes it back.
  mount -o remount,rw "$MOUNTED"
  mount -o "remount,size=$(( ((vw - 15) * vh * 4 + 54 + 4095) / 4096 * 2 * 4096 ))" "$MOUNTED"
  for c in "pages3|2|3" "scan3||"; do
    v=${c%%|*}; rest=${c#*|}; p1=${rest%%|*}; p2=${rest#*|}
    rm -rf "${MOUNTED:?}/$prefix"
    show "$v"
    if box=$(capture "保存失败" 60); then
      got=$(box_text "$box")
      session_press_ok "$box"
      end=$(session_wait_box "提示：" 30 || true)
      left=$(cd "$MOUNTED/$prefix" && ls -A | tr '\n' ' ')
      if [ "${got#图片已保存，但无法保存整份试卷的 PDF：}" != "$got" ] && [ "$left" = "1.bmp 2.bmp " ] &&
         bmp_ok "$MOUNTED/$prefix/1.bmp" $p1 && bmp_ok "$MOUNTED/$prefix/2.bmp" $p2 && prompt_played &&
         [ "$(box_text "$end")" = "下载完成！" ]; then
        pass "no room for the PDF ($v): '$got', pictures kept"
      else fail "no room for the PDF ($v)" "box '$got', files left: $left, end '$(box_text "$end")'"; fi
      [ -n "$end" ] && session_press_ok "$end"
    else fail "no room for the PDF ($v)" "no failure box; files: $(ls -A "$MOUNTED/$prefix" | tr '\n' ' ')"; fi
  done
  sleep 1
  idle_again && pass "controls back after failed saves" || fail "controls back after failed saves"
  umount "$MOUNTED" && MOUNTED=""
else
  echo "SKIP: full and read-only pic (cannot mount a tmpfs here)"
fi

# long_run: a 12-page run, on past its first picture; false without the
# start box.
long_run() {
  rm -rf "$RUN_DIR/pic/$prefix"
  show pages12
  : > "$PAGINET_WAVE_OUT"
  click_at $start
  local box _
  box=$(session_wait_box "操作提示" 60) || return 1
  session_press_ok "$box"
  for _ in $(seq 120); do [ -f "$RUN_DIR/pic/$prefix/1.bmp" ] && break; sleep 0.5; done
}
# pictures_ok: every picture the run left is complete and shows its page;
# sets n to their count.
pictures_ok() {
  local f ok=0
  n=0
  for f in "$RUN_DIR/pic/$prefix"/*.bmp; do
    n=$((n + 1))
    bmp_ok "$f" $(($(basename "$f" .bmp) + 1)) || ok=1
  done
  return $ok
}

# The window closed in the middle of a run: the program ends with code 0,
# and every picture it left is complete.
if long_run; then
  session_close_window
  if session_wait_exit 90; then
    code=$PROGRAM_EXIT
    ok=1; pictures_ok || ok=0
    partial=$(find "$RUN_DIR/pic" -name '*.part')
    shots=()
    for i in $(seq "$n"); do shots+=("$RUN_DIR/pic/$prefix/$i.bmp"); done
    why=$(python3 "$SITE_DIR/check_pdf.py" "$RUN_DIR/pic/$prefix/$title.pdf" "$title" "${shots[@]}" 2>&1) || ok=0
    if [ "$code" -eq 0 ] && [ $ok -eq 1 ] && [ "$n" -ge 1 ] && [ -z "$partial" ]; then
      pass "closing mid-run exits with 0, $n complete pictures and the PDF of them"
    else fail "closing mid-run" "exit code $code, $n pictures, complete $ok, partial '$partial', PDF: $why"; fi
  else
    err=$(session_wait_box "错误" 5 || true)
    fail "closing mid-run" "still running; error box: $(box_text "$err")"
  fi
else fail "closing mid-run" "no start box"; fi

# Chromium gone in the middle of a run: the next snapshot fails, the run
# stops saying so, and no "下载完成！" claims pages it did not take.
session_start_chromium
session_start_program
session_wait_laid_out
session_type_address "$SITE_URL"
if long_run; then
  kill "$CHROMIUM_PID"
  if box=$(session_wait_box "保存失败" 60); then
    got=$(box_text "$box")
    session_press_ok "$box"
    ok=1; pictures_ok || ok=0
    if [ "${got#截图失败，未能保存：}" != "$got" ] && [ $ok -eq 1 ] && [ "$n" -ge 1 ] && ! prompt_played &&
       ! session_wait_box "提示：" 2 >/dev/null; then
      pass "Chromium killed mid-run: '$got', $n earlier pictures complete"
    else fail "Chromium killed mid-run" "box '$got', $n pictures, complete $ok"; fi
  else fail "Chromium killed mid-run" "no failure box"; fi
else fail "Chromium killed mid-run" "no start box"; fi

exit $rc
