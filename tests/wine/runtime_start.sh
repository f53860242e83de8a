#!/usr/bin/env bash
# Start-up, loading, events, properties and termination of a small program on
# the runtime (tests/runtime/runtime_probe_win.cpp), started from another
# directory.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/scripts/lib.sh"
wine_ready
exe="$BUILD/win32/tests/runtime/runtime_probe.exe"
work=$(mktemp -d)
trap 'rm -rf "$work"; stop_background' EXIT
fails=0
check() { if eval "$2"; then echo "PASS: $1"; else echo "FAIL: $1"; fails=$((fails + 1)); fi; }

run() {   # run MODE: sets rc and log
  rm -f "$work/log.txt"
  rc=0
  (cd "$work" && PROBE_MODE=$1 PROBE_LOG="Z:${work//\//\\}\\log.txt" timeout 240 wine "$exe") || rc=$?
  log=$(tr -d '\r' < "$work/log.txt" 2>/dev/null || true)
}

exedir=$(winepath -w "$(dirname "$exe")" 2>/dev/null | tr -d '\r')
run normal
check "exit code 0 when the last window closes" '[ "$rc" -eq 0 ]'
check "current directory is the program directory" 'grep -qixF "cwd=$exedir" <<<"$log"'
check "components created last record first with ids 100, 110, 120" \
  '[ "$(grep ^create <<<"$log" | tr "\n" ";")" = "create window 0 parent=0;create C 100 parent=1;create B 110 parent=1;create A 120 parent=1;" ]'
check "window events 0, 3, 4 in order before the window shows" \
  '[ "$(grep "^event [034]" <<<"$log" | tr "\n" ";")" = "event 0 visible=0;event 3;event 4;" ]'
check "left 40000 stores 32627, width -5 stores 0" 'grep -qx "left=32627 width=0" <<<"$log"'
check "a bound event runs with its arguments" 'grep -qx "event 5 ran 11 22" <<<"$log" && grep -qx "timer notify=1" <<<"$log"'
check "an idle handler that removes three handlers is the only one called, once" \
  '[ "$(grep ^idle <<<"$log" | tr "\n" ";")" = "idle 2;" ]'
check "exit routine registered twice runs once" '[ "$(grep -c "^exit routine main=1" <<<"$log")" -eq 1 ]'

run error
check "exit code -1 after a run-time error" '[ "$rc" -eq 255 ]'
check "report text for code 6" \
  'grep -qxF "box: 运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n\r\n67228418, 54\r\n" <<<"$log"'
check "no exit routine after a run-time error" '! grep -q "^exit routine" <<<"$log"'
check "an event raised while the box is open runs nothing" \
  'grep -qx "timer notify=0" <<<"$log" && ! grep -q "^event 5" <<<"$log"'

run thread
check "ExitProgram from another thread ends on the main thread" \
  '[ "$rc" -eq 7 ] && grep -qx "exit routine main=1" <<<"$log"'

[ "$fails" -eq 0 ]
