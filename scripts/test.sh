#!/usr/bin/env bash
# Installs what is missing, builds both trees and runs every test: native
# (sanitizers), cross under Wine + Xvfb, then the scripted integration tests.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
timed() {          # timed COMMAND...: runs it and says how long it took
  local t0=$SECONDS rc=0
  "$@" || rc=$?
  log "time: $* took $((SECONDS - t0)) s"
  return $rc
}
timed install_deps
timed build_native
timed build_cross
timed build_fuzz
start_xvfb
timed wine_env
trap stop_background EXIT

passed=0 failed=0
run_suite() {      # run_suite NAME COMMAND...: counts one result per suite line
  local name=$1; shift
  log "suite: $name"
  # Output goes through a file, not a pipe: a process a suite leaves behind
  # (one serving the X clipboard, say) would hold a pipe open for ever.
  local out rc=0 t0=$SECONDS log=$BUILD/suite-$name.log
  "$@" >"$log" 2>&1 </dev/null || rc=$?
  out=$(cat "$log")
  log "time: suite $name took $((SECONDS - t0)) s"
  printf '%s\n' "$out" | tail -n 40
  local p f
  p=$(printf '%s\n' "$out" | sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2 \1/p' | tail -1)
  if [ -n "$p" ]; then
    f=${p#* }; p=$(( ${p% *} - f ))
  else
    p=$(printf '%s\n' "$out" | grep -c '^PASS:' || true); f=$(printf '%s\n' "$out" | grep -c '^FAIL:' || true)
  fi
  [ "$rc" -ne 0 ] && [ "$f" -eq 0 ] && f=1
  passed=$((passed + p)); failed=$((failed + f))
}

# Only files named *_win.* may see Windows headers, directly or through a
# *_win.h of ours: the rest builds natively.
windows_includes() {
  local bad
  bad=$(git -C "$ROOT" grep -lE '#include (<(windows|windowsx|win[a-z0-9]*|mmsystem|commctrl|commdlg|shlwapi|shellapi|shlobj|psapi|ole2|objbase|imm|bcrypt|ws2tcpip|tlhelp32)\.h>|"[^"]*_win\.h")' \
        -- '*.c' '*.cpp' '*.h' '*.inc' | grep -v '_win\.[a-z]*$' || true)
  if [ -z "$bad" ]; then echo "PASS: Windows headers only in *_win files"; return; fi
  printf 'FAIL: Windows headers included outside *_win files:\n%s\n' "$bad"
  return 1
}

# Each folder includes only itself and the folders it may stand on; the list
# is ordered bottom up, so folders cannot include one another in a loop.
folder_layers() {
  local rules="binding:
runtime:
sound:runtime
components:runtime sound
browser:runtime binding
engine:binding
data:runtime components browser
app:runtime components browser sound data
harness:runtime browser binding"
  local dir allowed used bad=""
  while IFS=: read -r dir allowed; do
    for used in $(git -C "$ROOT" grep -hoE '^\s*#\s*include\s*"[a-z_]+/' -- "$dir/" |
                  sed -E 's/.*"([a-z_]+)\/$/\1/' | sort -u); do
      [ "$used" = "$dir" ] || [[ " $allowed " == *" $used "* ]] || bad+="  $dir includes $used"$'\n'
    done
  done <<<"$rules"
  if [ -z "$bad" ]; then echo "PASS: each folder includes only the floors below it"; return; fi
  printf 'FAIL: folders include what stands above them or beside them:\n%s' "$bad"
  return 1
}

layout_checks() {
  local rc=0
  windows_includes || rc=1
  folder_layers || rc=1
  return $rc
}

run_suite layout layout_checks
run_suite native ctest --test-dir "$BUILD/native" --output-on-failure -j "$JOBS"
run_suite fuzz run_fuzzers
run_suite wine ctest --test-dir "$BUILD/win32" --output-on-failure -j "$JOBS"
for t in "$ROOT"/tests/wine/*.sh; do
  [ -e "$t" ] || continue
  run_suite "$(basename "$t")" bash "$t"
done
log "time: all took $SECONDS s"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
