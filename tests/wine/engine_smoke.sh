#!/usr/bin/env bash
# node.dll against headless Linux Chromium and a page on 127.0.0.1, through
# the engine_probe program under Wine. With --bench runs the benchmark instead.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/scripts/lib.sh"
wine_ready
WIN=$BUILD/win32
WORK=$BUILD/engine-smoke
rm -rf "$WORK"
mkdir -p "$WORK/site" "$WORK/profile"

cat > "$WORK/site/index.html" <<'HTML'
<!doctype html>
<html><head><title>Engine Probe</title>
<style>html, body { margin: 0; height: 100%; background: #fff; }</style></head>
<body><button id="b" onclick="document.body.style.background = '#ff0000'">go</button>
<a href="next.html" style="position: absolute; left: 0; top: 100px; width: 200px; height: 50px">next</a>
<a id="d" href="file.bin" download style="position: absolute; left: 0; top: 200px">file</a></body></html>
HTML
cat > "$WORK/site/popup.html" <<'HTML'
<!doctype html><html><head><title>Popup</title></head><body>popup</body></html>
HTML
# The frame comes from the same server under another name: another origin.
cat > "$WORK/site/framed.html" <<'HTML'
<!doctype html><html><head><title>Framed</title></head><body>
<iframe id="f"></iframe>
<script>
f.src = location.href.replace('127.0.0.1', 'localhost').replace('framed.html', 'frame.html');
f.onload = () => setTimeout(() => { document.title = 'Framed Later'; }, 400);
</script></body></html>
HTML
cat > "$WORK/site/frame.html" <<'HTML'
<!doctype html><html><head><title>Frame</title></head><body>
<script>setTimeout(() => { document.title = 'Frame Changed'; }, 100);</script></body></html>
HTML
head -c 4096 /dev/zero > "$WORK/site/file.bin"
python3 - "$WORK/site/dot.png" <<'PY'  # a 1 x 1 PNG
import struct, sys, zlib
def chunk(t, d): return struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(b"\0\xff\0\0")) + chunk(b"IEND", b"")
open(sys.argv[1], "wb").write(png)
PY
cp "$WORK/site/dot.png" "$WORK/site/taken.png"

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

PIDS=()
cleanup() {
  for p in "${PIDS[@]}"; do kill -9 -- "-$p" 2>/dev/null || kill -9 "$p" 2>/dev/null || true; done
  stop_background
}
trap cleanup EXIT

HTTP_PORT=$(free_port)
# The site's files, and /echo answering the Cookie header it got ("/set" also
# sets a cookie).
setsid python3 - "$HTTP_PORT" "$WORK/site" >/dev/null 2>&1 <<'PY' &
import functools, http.server, sys
class Site(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        if not self.path.startswith(("/echo", "/set")):
            return super().do_GET()
        body = ("cookie=[%s]" % self.headers.get("Cookie", "")).encode()
        self.send_response(200)
        if self.path.startswith("/set"):
            self.send_header("Set-Cookie", "srv=2; Max-Age=600; Path=/")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])),
                                functools.partial(Site, directory=sys.argv[2])).serve_forever()
PY
PIDS+=($!)

sandbox=(); [ "$(id -u)" -eq 0 ] && sandbox=(--no-sandbox)
setsid chromium --headless --remote-debugging-port=0 --user-data-dir="$WORK/profile" --no-first-run \
  --disable-gpu --disable-background-networking --disable-component-update --disable-sync \
  --disable-extensions --mute-audio --disable-renderer-backgrounding \
  --disable-background-timer-throttling "${sandbox[@]}" about:blank >"$WORK/chromium.log" 2>&1 &
CHROME=$!
disown $CHROME  # killed on purpose below; no job notice
PIDS+=($CHROME)
for _ in $(seq 150); do [ -s "$WORK/profile/DevToolsActivePort" ] && break; sleep 0.1; done
DT_PORT=$(head -1 "$WORK/profile/DevToolsActivePort" 2>/dev/null || true)
if [ -z "$DT_PORT" ]; then echo "FAIL: chromium starts"; exit 1; fi
for _ in $(seq 50); do curl -s "http://127.0.0.1:$HTTP_PORT/" >/dev/null 2>&1 && break; sleep 0.1; done
export PAGINET_ENGINE_DEVTOOLS=127.0.0.1:$DT_PORT
DLL=$(winepath -w "$WIN/engine/node.dll" 2>/dev/null)
URL=http://127.0.0.1:$HTTP_PORT/index.html

if [ "${1:-}" = "--bench" ]; then
  timeout 600 wine "$WIN/bench/engine_bench.exe" "$DLL" "$URL"
  exit
fi

# Views left open at exit, with the browser still there.
erc=0
timeout 120 wine "$WIN/tests/engine/engine_probe.exe" "$DLL" "$URL" --exit >"$WORK/exit.out" 2>"$WORK/exit.err" || erc=$?
if [ $erc -eq 0 ] && grep -q 'EXIT-WITH-VIEWS loaded' "$WORK/exit.out" &&
   ! grep -qiE 'signal|page fault|exception|after main returned' "$WORK/exit.out" "$WORK/exit.err"; then
  EXIT_LINE="PASS: process with open views exits cleanly"
else
  EXIT_LINE="FAIL: process with open views exits cleanly -- status $erc: $(tr '\n' ' ' <"$WORK/exit.out") $(grep -iE 'signal|fault|exception' "$WORK/exit.err" | head -3 | tr '\n' ' ')"
fi

# No endpoint given: the engine starts the browser it finds (here Linux
# Chromium, registered as Chrome) and ends it when the process ends.
wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\App Paths\chrome.exe' /ve \
  /d 'Z:\usr\lib\chromium\chromium' /f >/dev/null 2>&1
lrc=0
env -u PAGINET_ENGINE_DEVTOOLS timeout 180 wine "$WIN/tests/engine/engine_probe.exe" "$DLL" "$URL" --exit \
  >"$WORK/launch.out" 2>"$WORK/launch.err" || lrc=$?
own() { pgrep -f "user-data-dir=$WINEPREFIX/.*Paginet/browser-profile" || true; }
for _ in $(seq 50); do [ -z "$(own)" ] && break; sleep 0.2; done
left=$(own)
if [ $lrc -eq 0 ] && grep -q 'EXIT-WITH-VIEWS loaded' "$WORK/launch.out" && [ -z "$left" ]; then
  LAUNCH_LINE="PASS: browser started by the engine, ended with the process"
else
  LAUNCH_LINE="FAIL: browser started by the engine, ended with the process -- status $lrc, $(tr '\n' ' ' <"$WORK/launch.out") left running: ${left:-none}"
  for p in $left; do kill -9 "$p" 2>/dev/null || true; done
fi

MARK=$WORK/killed
MARK_W=$(winepath -w "$MARK" 2>/dev/null)
timeout 400 wine "$WIN/tests/engine/engine_probe.exe" "$DLL" "$URL" "$MARK_W" >"$WORK/probe.out" 2>"$WORK/probe.err" &
PROBE=$!
for _ in $(seq 3000); do
  grep -q KILL-NOW "$WORK/probe.out" 2>/dev/null && break
  kill -0 $PROBE 2>/dev/null || break
  sleep 0.1
done
kill -9 -- "-$CHROME" 2>/dev/null || true
touch "$MARK"
rc=0
wait $PROBE || rc=$?
echo "$EXIT_LINE"
[[ $EXIT_LINE == PASS* ]] || rc=1
echo "$LAUNCH_LINE"
[[ $LAUNCH_LINE == PASS* ]] || rc=1
grep -E '^(PASS|FAIL):' "$WORK/probe.out" || true
lost=$(grep -c 'DevTools connection lost' "$WORK/probe.err" || true)
if [ "$lost" = 1 ]; then echo "PASS: lost connection reported once"
else echo "FAIL: lost connection reported once -- $lost reports"; rc=1; fi
if [ $rc -ne 0 ]; then
  grep -q '^FAIL:' "$WORK/probe.out" || echo "FAIL: engine probe exited with $rc"
  tail -n 20 "$WORK/probe.err" >&2
  exit 1
fi
