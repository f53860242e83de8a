#!/usr/bin/env bash
# Where one capture page's time goes, call by call and step by step (see
# bench/page_cost_win.cpp), on the sample pages of KIND: "scan" (pages that
# look like scanned paper, the default) or "pages" (flat colour). Builds
# what it runs.
#   bench/page_cost.sh [scan|pages] [pages]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/scripts/lib.sh"
build_bench page_cost node
wine_ready
SESSION_DIR="$BUILD/bench-page-cost"
rm -rf "$SESSION_DIR"; mkdir -p "$SESSION_DIR"
source "$ROOT/testsite/session.sh"
trap 'session_stop; stop_background' EXIT

session_start_site "${1:-scan}50"
session_start_chromium
PAGINET_ENGINE_DEVTOOLS="$DEVTOOLS" timeout 600 wine "$BUILD/win32/bench/page_cost.exe" \
  "$(winepath -w "$BUILD/win32/engine/node.dll" 2>/dev/null)" "$SITE_URL" "${2:-8}"
