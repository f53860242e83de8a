# Helpers for a capture session under Wine + Xvfb: the sample site, headless
# Chromium, the program in a run folder, and driving its windows with
# xdotool. Sourced after scripts/lib.sh (start_xvfb and wine_env done).
# Everything started here is recorded and ended by session_stop.

SITE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
DRIVER_EXE="$BUILD/win32/tests/app/paginet_driver.exe"
SESSION_PIDS=()

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# url_answers URL TRIES PAUSE: polls until URL answers; false when it never did.
url_answers() {
  local i
  for i in $(seq "$2"); do
    curl -sf -o /dev/null "$1" && return 0
    sleep "$3"
  done
  return 1
}

# session_start_site VARIANT: serves the sample page; sets SITE_URL.
# The page's device reports go to $SESSION_DIR/site.log.
session_start_site() {
  local port; port=$(free_port)
  PAGINET_SITE_LOG="$SESSION_DIR/site.log" python3 "$SITE_DIR/serve.py" "$port" "$1" &
  SESSION_PIDS+=($!)
  SITE_URL="http://127.0.0.1:$port/q?c=120HYBKI30C"
  url_answers "$SITE_URL" 50 0.1 || { log "sample site did not start"; return 1; }
}

# Headless Chromium with a DevTools port; sets DEVTOOLS and CHROMIUM_PID.
session_start_chromium() {
  local port; port=$(free_port)
  rm -rf "$SESSION_DIR/chromium"
  chromium --headless=new --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --disable-extensions --mute-audio --disable-renderer-backgrounding \
    --disable-background-timer-throttling --user-data-dir="$SESSION_DIR/chromium" \
    --remote-debugging-port="$port" about:blank >"$SESSION_DIR/chromium.log" 2>&1 &
  CHROMIUM_PID=$!
  SESSION_PIDS+=($!)
  DEVTOOLS="127.0.0.1:$port"
  url_answers "http://$DEVTOOLS/json/version" 100 0.2 || { log "chromium did not open its DevTools port"; return 1; }
}

# session_start_program: the program and the engine in $SESSION_DIR/run,
# under Wine; returns once its window is up. Sets RUN_DIR and PROGRAM_PID.
session_start_program() {
  RUN_DIR="$SESSION_DIR/run"
  rm -rf "$RUN_DIR"; mkdir -p "$RUN_DIR"
  cp "$BUILD/win32/app/paginet.exe" "$BUILD/win32/engine/node.dll" "$RUN_DIR/"
  session_restart_program "${1:-120}" program.log
}

# session_restart_program [SECONDS [LOG]]: starts the program again in the
# same RUN_DIR (what it stored there stays), logging to LOG.
session_restart_program() {
  (cd "$RUN_DIR" && PAGINET_ENGINE_DEVTOOLS="$DEVTOOLS" exec wine paginet.exe \
    >"$SESSION_DIR/${2:-program.log}" 2>&1) &
  SESSION_PIDS+=($!)
  PROGRAM_PID=$!
  local deadline=$((SECONDS + ${1:-120}))
  while [ $SECONDS -lt $deadline ]; do
    session_controls >/dev/null 2>&1 && return 0
    sleep 1
  done
  log "the program's window did not appear"; return 1
}

# session_wait_laid_out [SECONDS]: until the first activation has run and
# the layout timer has put the window in its place, (10, 5), where nothing
# else puts it.
session_wait_laid_out() {
  local deadline=$((SECONDS + ${1:-60}))
  while [ $SECONDS -lt $deadline ]; do
    [ "$(session_control window "" | cut -d' ' -f1-2)" = "10 5" ] && return 0
    sleep 0.3
  done
  log "the window was never laid out"; return 1
}

# session_start_sound: a private PulseAudio playing into a null sink, whose
# monitor session_record_sound reads. PULSE_SERVER reaches the program and,
# through Wine, the host browser its engine starts.
session_start_sound() {
  local home="$SESSION_DIR/pulse-home" i
  PULSE_SOCKET="$SESSION_DIR/pulse.sock"
  mkdir -p "$home"
  # Its own home and runtime folder: no autospawn, no D-Bus session, nothing
  # shared with a desktop's server. As root it must be told not to be a
  # system server.
  HOME="$home" XDG_RUNTIME_DIR="$home" XDG_CONFIG_HOME="$home" DBUS_SESSION_BUS_ADDRESS=disabled: \
    pulseaudio --system=false -n --daemonize=no --disallow-exit --exit-idle-time=-1 \
    --use-pid-file=no --log-target=stderr \
    -L "module-null-sink sink_name=paginet" \
    -L "module-native-protocol-unix socket=$PULSE_SOCKET auth-anonymous=1" \
    >"$SESSION_DIR/pulse.log" 2>&1 &
  SESSION_PIDS+=($!)
  export PULSE_SERVER="unix:$PULSE_SOCKET"
  for i in $(seq 50); do
    pactl info >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  log "PulseAudio did not start: $(tail -n 3 "$SESSION_DIR/pulse.log")"; return 1
}

# session_record_sound FILE: records what reaches the null sink, as raw
# 16-bit mono samples at 8000 Hz, until session_stop_recording; returns once
# the server has the recording stream. A short latency: parec buffers
# seconds by default, and what it holds when stopped is lost.
session_record_sound() {
  timeout 60 parec --latency-msec=50 -d paginet.monitor --format=s16le --channels=1 --rate=8000 --raw \
    >"$1" 2>/dev/null &
  SOUND_RECORDER=$!
  SESSION_PIDS+=($!)
  local i
  for i in $(seq 50); do
    pactl list short source-outputs 2>/dev/null | grep -q . && return 0
    sleep 0.1
  done
  log "the recording did not start"; return 1
}
session_stop_recording() { kill "$SOUND_RECORDER" 2>/dev/null || true; wait "$SOUND_RECORDER" 2>/dev/null || true; }

# The program's window and controls, one line each (see the driver).
session_controls() { LC_ALL=C.UTF-8 wine "$DRIVER_EXE" controls 2>/dev/null | tr -d '\r'; }

# session_control KIND TEXT: "x y w h visible" of the first matching line.
# awk reads to the end: leaving early could break the pipe under the
# driver's output and fail the pipeline.
session_control() {
  session_controls | awk -v k="$1" -v t="$2" '!found && $1 == k && (t == "" || substr($0, index($0, $7)) == t) { print $2, $3, $4, $5, $6; found = 1 }'
}

click_at() {   # click_at X Y W H: the middle of the rectangle
  xdotool mousemove $(($1 + $3 / 2)) $(($2 + $4 / 2)) click 1
}

session_click_button() {   # session_click_button CAPTION
  local r; r=$(session_control button "$1")
  [ -n "$r" ] || { log "no button $1"; return 1; }
  click_at $r
}

session_type_address() {   # session_type_address URL: replaces the edit box text
  local r; r=$(session_control edit "")
  [ -n "$r" ] || { log "no edit box"; return 1; }
  click_at $r
  sleep 0.5
  xdotool key End shift+Home BackSpace
  xdotool type --delay 20 "$1"
}

# session_wait_box TITLE [SECONDS]: waits for a message box and prints its
# lines (the box, its text, its button).
session_wait_box() { session_wait_boxes "${2:-60}" "$1"; }

# session_wait_boxes SECONDS TITLE...: the same for the first box captioned
# with any of the titles (its line "box ... TITLE" tells which). Gives up at
# once when the program has ended: no box can come any more.
session_wait_boxes() {
  local deadline=$((SECONDS + $1)) out; shift
  while [ $SECONDS -lt $deadline ]; do
    if out=$(LC_ALL=C.UTF-8 wine "$DRIVER_EXE" box "$@" 2>/dev/null | tr -d '\r') && [ -n "$out" ]; then
      printf '%s\n' "$out"; return 0
    fi
    [ -z "${PROGRAM_PID:-}" ] || kill -0 "$PROGRAM_PID" 2>/dev/null || return 1
    sleep 0.5
  done
  return 1
}

# session_wait_box_gone TITLE [SECONDS]: waits until no box has that title,
# so that keys typed next reach the window under it.
session_wait_box_gone() {
  local deadline=$((SECONDS + ${2:-10}))
  while [ $SECONDS -lt $deadline ]; do
    [ -z "$(LC_ALL=C.UTF-8 wine "$DRIVER_EXE" box "$1" 2>/dev/null | tr -d '\r')" ] && return 0
    sleep 0.3
  done
  return 1
}

# box_field "BOX LINES" KIND: the text of the first line of that kind ("box"
# gives the title, "text" the message, "button" the caption).
box_field() { printf '%s\n' "$1" | awk -v k="$2" '$1 == k && !n++' | cut -d' ' -f7-; }

session_press_ok() {   # session_press_ok "BOX LINES" [N]: clicks the box's Nth button (1 OK, 2 Cancel)
  local r; r=$(printf '%s\n' "$1" | awk -v n="${2:-1}" '$1 == "button" && ++i == n { print $2, $3, $4, $5 }')
  [ -n "$r" ] || { log "the box has no button ${2:-1}"; return 1; }
  click_at $r
}

# Asks the program's window to close, as its close box does.
session_close_window() { wine "$DRIVER_EXE" close >/dev/null 2>&1; }

# session_wait_exit [SECONDS]: waits for the program to end and sets
# PROGRAM_EXIT to its exit code (255 for -1); fails when it is still running
# after SECONDS. Not in a subshell: only this shell can wait for it.
session_wait_exit() {
  local deadline=$((SECONDS + ${1:-60}))
  PROGRAM_EXIT=0
  while [ $SECONDS -lt $deadline ]; do
    if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
      wait "$PROGRAM_PID" || PROGRAM_EXIT=$?
      return 0
    fi
    sleep 0.5
  done
  return 1
}

# session_watchdog SECONDS NAME: ends the test if it runs too long. The sleep
# must not keep the test's output open after session_stop killed the watchdog.
session_watchdog() {
  ( sleep "$1" >/dev/null 2>&1; echo "FAIL: $2 timed out"; kill -TERM $$ ) &
  SESSION_PIDS+=($!)
}

session_stop() {
  local p
  for p in "${SESSION_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  wine_stop
  for p in "${SESSION_PIDS[@]}"; do wait "$p" 2>/dev/null || true; done
  SESSION_PIDS=()
}
