#!/usr/bin/env bash
# A browser given by an endpoint has a profile that is not the program's:
# the engine keeps the sign-in's cookie and local storage in the storage
# folder the application names, and puts them back into the next browser,
# even one started with a fresh profile. Unreadable files are no sign-in.
set -euo pipefail
E2E_NAME="view endpoint"
source "$(dirname "$0")/lib/e2e.sh"
source "$(dirname "$0")/lib/page_state.sh"
session_watchdog 500 "$E2E_NAME"
trap 'session_stop; stop_background' EXIT

session_start_site default
FORM_URL="${SITE_URL%%/q*}/form"
JAR=cookies.jsonl
STORE=localstorage.jsonl

# open_form: the sign-in page in the view, as its first report.
open_form() {
  view_place
  : > "$SESSION_DIR/site.log"
  session_type_address "$FORM_URL"
  session_click_button "前往首页"
}
sign_in() {   # sign_in NAME
  click 170 35
  xdotool type --delay 40 "$1"
  xdotool key Tab
  xdotool type --delay 40 pw1
  xdotool key Return
}
restart() { session_restart_program 120 "$1"; session_wait_laid_out; }   # restart LOG
# Ends the program and its browser; the next browser has a fresh profile.
end_both() {
  session_close_window
  session_wait_exit 60 || fail "the program ends when its window closes"
  kill "$CHROMIUM_PID" 2>/dev/null || true
  wait "$CHROMIUM_PID" 2>/dev/null || true
}
# kept FILE KEY: the value the engine keeps under KEY ("login"), or "".
kept() {
  python3 - "$RUN_DIR/pic/$1" "$2" <<'PY' || true
import json, sys
for line in open(sys.argv[1], encoding="utf-8"):
    o = json.loads(line)
    if o.get("name") == sys.argv[2]: print(o["value"])
    if sys.argv[2] in o.get("items", {}): print(o["items"][sys.argv[2]])
PY
}

session_start_chromium
session_start_program
session_wait_laid_out
open_form
expect "sign-in page loads through the given browser" why load
sign_in alice
expect "the page signs in" cookie alice
expect "the page stores the user" stored alice
end_both
[ "$(kept $JAR login)" = alice ] && pass "the cookie is kept in the storage folder" \
  || fail "the cookie is kept in the storage folder" "$(cat "$RUN_DIR/pic/$JAR" 2>&1)"
[ "$(kept $STORE login)" = alice ] && pass "local storage is kept in the storage folder" \
  || fail "local storage is kept in the storage folder" "$(cat "$RUN_DIR/pic/$STORE" 2>&1)"
ls "$RUN_DIR/pic/"*.tmp >/dev/null 2>&1 && fail "no half-written file is left" "$(ls "$RUN_DIR/pic")"

session_start_chromium
restart program2.log
open_form
expect "a fresh browser's page loads" why load
# The page reads both in its own start-up script.
[ "$(field cookie load)" = alice ] && pass "a fresh browser gets the cookie back before the page reads it" \
  || fail "a fresh browser gets the cookie back before the page reads it" "cookie '$(field cookie load)'"
[ "$(field stored load)" = alice ] && pass "a fresh browser gets local storage back before the page reads it" \
  || fail "a fresh browser gets local storage back before the page reads it" "stored '$(field stored load)'"
end_both

# Unreadable files: nothing comes back, nothing breaks, and the next
# sign-in is kept again.
printf '{"name":"login","value":"mallory","dom\n\x00\xff\xfe\n' > "$RUN_DIR/pic/$JAR"
head -c 3000 /dev/urandom > "$RUN_DIR/pic/$STORE"
session_start_chromium
restart program3.log
open_form
expect "with corrupt files the page loads" why load
expect "with corrupt files no cookie comes back" cookie ''
expect "with corrupt files no local storage comes back" stored ''
sign_in bob
expect "the page signs in again" stored bob
kill -0 "$PROGRAM_PID" 2>/dev/null && pass "the program lives through corrupt files" \
  || fail "the program lives through corrupt files"
end_both
[ "$(kept $JAR login)" = bob ] && [ "$(kept $STORE login)" = bob ] && pass "the next sign-in replaces the corrupt files" \
  || fail "the next sign-in replaces the corrupt files" "$(head -c 300 "$RUN_DIR/pic/$JAR" "$RUN_DIR/pic/$STORE" 2>&1)"
[ "$PROGRAM_EXIT" = 0 ] || fail "the program exits with 0" "exit $PROGRAM_EXIT"

exit $rc
