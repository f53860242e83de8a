#!/usr/bin/env bash
# Wall time of a 12-page capture run against the run's own waits
# (11 x 3027 ms); prints the overhead per page. Needs the cross build.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/lib.sh"
start_xvfb
wine_env
SESSION_DIR="$BUILD/bench-capture"
rm -rf "$SESSION_DIR"; mkdir -p "$SESSION_DIR"
source "$ROOT/testsite/session.sh"
trap 'session_stop; stop_background' EXIT

session_start_site pages12
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
last="$RUN_DIR/pic/2024-Math高三数学期末考试试卷及/11.bmp"
for _ in $(seq 600); do [ -f "$last" ] && break; sleep 0.2; done
[ -f "$last" ] || { echo "no 11th picture"; exit 1; }
sleep 2   # the last write has finished
end=$(stat -c %.Y "$last")
# Waits of the run before the 11th file is written: 555 ms, ten full pages,
# and the first 1111 + 5 x 50 + 555 ms of the last one.
python3 - "$start" "$end" <<'PY'
import sys
start, end = float(sys.argv[1]), float(sys.argv[2])
waits = 0.555 + 10 * 3.027 + 1.111 + 0.250 + 0.555
wall = end - start + 1.111          # the run's last Delay(1111) follows the write
print("12-page run: %.2f s wall, %.2f s of waits (11 x 3027 ms = 33.30 s)" % (wall, waits + 1.111))
print("overhead per page: %.0f ms" % ((end - start - waits) * 1000 / 11))
PY
