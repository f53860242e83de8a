#!/usr/bin/env bash
# Screenshot of the startup window under Xvfb:  scripts/screenshot.sh [OUT.png]
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build_cross
start_xvfb
wine_env
SESSION_DIR="$BUILD/screenshot"
mkdir -p "$SESSION_DIR"
source "$ROOT/testsite/session.sh"
trap 'session_stop; stop_background' EXIT
out=${1:-$SESSION_DIR/startup-window.png}
session_start_site default
session_start_chromium
session_start_program
sleep 5   # first activation, layout and the first frame
import -window root "$out"
log "screenshot: $out"
