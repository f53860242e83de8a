#!/usr/bin/env bash
# DLL command failures and sound playback, each in its own probe process:
# the failures end the process through the run-time error report.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/scripts/lib.sh"
wine_ready
trap stop_background EXIT
PROBE_DIR="$BUILD/win32/tests/runtime"
failed=0
# A crash must fail its case, not wait for a debugger.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winedbg.exe=d"

gbk_hex() { printf '%s' "$1" | iconv -f UTF-8 -t GBK | od -An -tx1 | tr -d ' \n' | tr a-f A-F; }

# run_case NAME MODE EXPECTED-EXIT GREP-PATTERN...: every pattern must appear.
run_case() {
  local name=$1 mode=$2 want_rc=$3; shift 3
  local out rc=0
  out=$(cd "$PROBE_DIR" && timeout 120 wine ./commands_probe.exe "$mode" 2>/dev/null | tr -d '\r') || rc=$?
  local ok=1
  [ "$rc" -eq "$want_rc" ] || ok=0
  for p in "$@"; do grep -qF -- "$p" <<<"$out" || ok=0; done
  if [ $ok -eq 1 ]; then echo "PASS: $name"; else
    echo "FAIL: $name (exit $rc)"; printf '%s\n' "$out" | head -5; failed=1
  fi
}

run_case "missing export releases the DLL, then reports" missing-export 255 \
  "loaded=0" "REPORT code=0 w=0,0 message=$(gbk_hex '无法找到指定DLL库文件“commands_test_dll.dll”中的输出命令“NoSuchExport”')"
run_case "missing DLL reports file and function" missing-dll 255 \
  "REPORT code=0 w=0,0 message=$(gbk_hex '无法找到指定DLL库文件“no_such_library.dll”中的输出命令“Add2”')"
run_case "no DLL file names only the function" no-file 255 \
  "REPORT code=0 w=0,0 message=$(gbk_hex '无法找到指定DLL库文件中的输出命令“NoSuchFunction”')"
run_case "missing ordinal" ordinal-missing 255 \
  "loaded=0" "message=$(gbk_hex '无法找到指定DLL库文件“commands_test_dll.dll”中的输出命令“#18”')"
run_case "wrong declaration reports code 6" stack 255 "REPORT code=6 w=67228418,54"
run_case "PlayMusic plays a wave byte-set" play 0 "play=1"
run_case "PlayMusic plays a wave file named in Chinese, read whole at the call" play-file 0 \
  "play=1 deleted=1" "device-bytes=120000 match=1"
run_case "PlayMusic hands a MIDI file to the MIDI player" play-midi-file 0 "play=1"
exit $failed
