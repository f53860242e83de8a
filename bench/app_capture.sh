#!/usr/bin/env bash
# A capture run of N pages (12 unless given; 12 or 50): wall time against the
# run's own waits (3027 ms a page), and the program's resident memory after
# the first picture and after the last, against one page's budget (three
# times the picture's pixel bytes), and the time the paper's PDF takes after
# the run's last wait, and the longest the window took to answer a message
# during the run. KIND picks the sample pages: "pages", flat colour (the
# default), "scan", pages that look like scanned paper, or "late", pages
# whose picture arrives late: their cost is also given beyond that lateness.
# Needs the cross build.
#   bench/app_capture.sh [12|50] [pages|scan|late]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/lib.sh"
pages=${1:-12}
kind=${2:-pages}
wine_ready
SESSION_DIR="$BUILD/bench-capture"
rm -rf "$SESSION_DIR"; mkdir -p "$SESSION_DIR"
source "$ROOT/testsite/session.sh"
trap 'session_stop; stop_background' EXIT

session_start_site "$kind$pages"
session_start_chromium
session_start_program
sleep 4
session_type_address "$SITE_URL"
session_click_button "前往首页"
sleep 5
session_click_button "采集"
box=$(session_wait_box "操作提示" 60)
session_press_ok "$box"
start=$(date +%s.%N)
# The window's answers, pinged from outside for the run's length.
wine "$DRIVER_EXE" ping $((pages * 3 + 2)) >"$SESSION_DIR/ping.txt" 2>/dev/null &
pinger=$!
dir="$RUN_DIR/pic/2024-Math高三数学期末考试试卷及"
last="$dir/$((pages - 1)).bmp"
# Resident kilobytes of the program (the emulated process, translation
# cache included); growth between the first and last picture is what counts.
rss() { awk '$1 == "VmRSS:" { print $2 }' "/proc/$PROGRAM_PID/status"; }
for _ in $(seq 300); do [ -f "$dir/1.bmp" ] && break; sleep 0.2; done
[ -f "$dir/1.bmp" ] || { echo "no first picture"; exit 1; }
sleep 1
first_kb=$(rss) peak_kb=$first_kb
for _ in $(seq $((pages * 50))); do
  [ -f "$last" ] && break
  kb=$(rss); [ "$kb" -gt "$peak_kb" ] && peak_kb=$kb
  sleep 0.2
done
[ -f "$last" ] || { echo "no picture $((pages - 1))"; exit 1; }
sleep 2   # the last write has finished
last_kb=$(rss)
end=$(stat -c %.Y "$last")
picture=$(stat -c %s "$dir/1.bmp")
# The paper's PDF follows the last picture's closing wait of 1111 ms.
pdf="$dir/2024-Math高三数学期末考试试卷及参考答案解析.pdf"
for _ in $(seq 100); do [ -f "$pdf" ] && break; sleep 0.2; done
[ -f "$pdf" ] || { echo "no PDF"; exit 1; }
pdf_ms=$(python3 -c "import sys; print(round((float(sys.argv[1]) - float(sys.argv[2]) - 1.111) * 1000))" \
  "$(stat -c %.Y "$pdf")" "$end")
echo "PDF of $((pages - 1)) pages: $(stat -c %s "$pdf") bytes, done ${pdf_ms} ms after the run's last wait"
wait "$pinger" || true
read -r _ pings longest slow <"$SESSION_DIR/ping.txt" || true
echo "window answered every message within ${longest:-?} ms (${pings:-0} messages during the run, ${slow:-?} over 50 ms)"
# A late page's picture comes LATE_SECONDS after its turn; the run waits 555 ms of it anyway.
late_ms=0
[ "$kind" != late ] || late_ms=$(cd "$ROOT/testsite" && python3 -c 'import serve; print(round(serve.LATE_SECONDS * 1000) - 555)')
# Waits before the last file is written: 555 ms, every full page but the
# last, and the first 1111 + 5 x 50 + 555 ms of the last one.
python3 - "$start" "$end" "$(stat -c %.Y "$dir/1.bmp")" "$pages" "$first_kb" "$last_kb" "$peak_kb" "$picture" "$late_ms" <<'PY'
import sys
start, end, first_picture = (float(a) for a in sys.argv[1:4])
pages, first, last, peak, picture, late = (int(a) for a in sys.argv[4:])
shots = pages - 1
waits = 0.555 + (shots - 1) * 3.027 + 1.111 + 0.250 + 0.555
print("%d-page run: %.2f s wall, %.2f s of waits (%d x 3027 ms)"
      % (pages, end - start + 1.111, waits + 1.111, shots))
print("overhead per page: %.0f ms" % ((end - start - waits) * 1000 / shots))
# From the first picture to the last the run only turns pages: the start's
# one-off work (the box, the page source, the folder) is left out.
if shots > 1:
    print("overhead per page from the first picture to the last: %.0f ms"
          % ((end - first_picture) * 1000 / (shots - 1) - 3027))
    if late:
        print("  of which beyond the pictures' lateness (%d ms a page): %.0f ms"
              % (late, (end - first_picture) * 1000 / (shots - 1) - 3027 - late))
budget = 3 * picture / 1024
print("resident after picture 1: %.1f MB, after picture %d: %.1f MB, peak %.1f MB"
      % (first / 1024, shots, last / 1024, peak / 1024))
print("growth %.1f MB against one page's budget of %.1f MB: %s"
      % ((last - first) / 1024, budget / 1024, "within" if last - first <= budget else "OVER"))
PY
