# Shared start of the end-to-end scripts: sourced with E2E_NAME set (the
# label in FAIL lines and the session folder under build/). Checks the
# builds, readies Wine and Xvfb, opens a fresh session folder and gives
# the PASS/FAIL helpers; the caller sets its trap and watchdog.
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib.sh"   # sets ROOT and BUILD
for f in "$BUILD/win32/app/paginet.exe" "$BUILD/win32/engine/node.dll" \
         "$BUILD/win32/tests/app/paginet_driver.exe"; do
  [ -f "$f" ] || { echo "FAIL: $E2E_NAME setup (missing $f)"; exit 1; }
done
wine_ready
SESSION_DIR="$BUILD/${E2E_NAME// /-}"
rm -rf "$SESSION_DIR"; mkdir -p "$SESSION_DIR"
source "$ROOT/testsite/session.sh"

rc=0
pass() { echo "PASS: $1"; }
fail() { echo "FAIL: $1${2:+ ($2)}"; rc=1; }
# The first line of a box's text (after the driver line's six fields).
box_text() { box_field "$1" text; }
