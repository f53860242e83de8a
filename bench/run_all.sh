#!/usr/bin/env bash
# Builds and runs every benchmark and prints its figures: the text commands
# and the PDF writer natively (an optimised build of their own, no
# sanitizers), the PDF writer again under Wine, the browser
# capture under Wine, and against headless Chromium the engine, where one
# capture page's time goes, and 12- and 50-page capture runs. A benchmark
# that cannot be built or fails is reported and the others still run; the
# exit status says whether all ran.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/lib.sh"
failed=()

# bench NAME COMMAND...: one benchmark, its figures under a heading. The
# commands run in a || context, where set -e is off: each step checks.
bench() {
  local name=$1 rc=0
  shift
  printf '\n== %s\n' "$name"
  "$@" || rc=$?
  if [ $rc -ne 0 ]; then echo "(did not run to its end: exit $rc)"; failed+=("$name"); fi
}

# Wine's emulator prints a harmless signal line at process exit.
quiet() { "$@" 2>&1 | grep -v '^qemu: uncaught target signal'; return "${PIPESTATUS[0]}"; }

# native TARGET ARGS...: one benchmark of the optimised native build.
native() {
  cmake -S "$ROOT" -B "$BUILD/bench-native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAGINET_BENCH=ON >/dev/null &&
    cmake --build "$BUILD/bench-native" -j "$JOBS" --target "$1" >/dev/null &&
    "$BUILD/bench-native/bench/$@"
}

# The PDF writer as the program runs it: 32-bit code under Wine.
paper_pdf() {
  build_bench pdf_bench || return
  quiet timeout 600 wine "$BUILD/win32/bench/pdf_bench.exe" 50 1866 930 "Z:$BUILD/win32/pdf_bench.pdf"
}

browser_capture() {
  build_bench browser_bench || return
  quiet timeout 600 wine "$BUILD/win32/bench/browser_bench.exe" 20
}

engine_frames() {
  build_bench engine_bench node || return
  quiet bash "$ROOT/tests/wine/engine_smoke.sh" --bench
}

capture_run() {
  build_bench paginet node paginet_driver || return
  quiet bash "$ROOT/bench/app_capture.sh" "$@"
}

page_cost() {   # it builds what it runs
  quiet bash "$ROOT/bench/page_cost.sh" "$1"
}

bench "text commands (native)" native text_bench
bench "paper PDF, 50 pages (native)" native pdf_bench 50 1866 930 "$BUILD/bench-native/pdf_bench.pdf"
start_xvfb
wine_env
trap stop_background EXIT
bench "paper PDF, 50 pages (Wine, 32-bit)" paper_pdf
bench "browser capture: CaptureViewBitmap + WriteToFile (Wine, engine double)" browser_capture
bench "engine: DOM change to view DC, view DC blit (Wine, Chromium)" engine_frames
bench "where a page's time goes, scan-like pages (Wine, Chromium)" page_cost scan
bench "where a page's time goes, flat pages (Wine, Chromium)" page_cost pages
bench "12-page capture run, flat pages (Wine, Chromium)" capture_run 12 pages
bench "12-page capture run, scan-like pages (Wine, Chromium)" capture_run 12 scan
bench "50-page capture run, scan-like pages: time and memory (Wine, Chromium)" capture_run 50 scan

echo
if [ ${#failed[@]} -eq 0 ]; then echo "all benchmarks ran"; exit 0; fi
printf 'did not run: %s\n' "${failed[@]}"
exit 1
