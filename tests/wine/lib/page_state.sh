# Reading what the sample sign-in page reported and pointing into the view:
# sourced after e2e.sh and testsite/session.sh, with the program running.

# field NAME [WHY]: one field of the newest state the page reported (its
# lines may arrive out of order), or of the newest it reported for WHY.
field() {
  python3 - "$SESSION_DIR/site.log" "$1" "${2:-}" <<'PY' || true
import json, sys
states = []
for line in open(sys.argv[1], encoding="utf-8"):
    if line.startswith("s="):
        try: states.append(json.loads(line[2:]))
        except ValueError: pass
states = [s for s in states if not sys.argv[3] or s.get("why") == sys.argv[3]]
print(max(states, key=lambda s: s["n"]).get(sys.argv[2], "") if states else "")
PY
}
# wait_field FIELD VALUE [WHY]: waits up to 10 s for the page to report
# VALUE (in its newest report for WHY); the last value seen stays in $got.
wait_field() {
  local i
  for i in $(seq 40); do
    got=$(field "$1" "${3:-}")
    [ "$got" = "$2" ] && return 0
    sleep 0.25
  done
  return 1
}
# expect NAME FIELD VALUE [WHY]: a case that passes once the page reports VALUE.
expect() {
  if wait_field "$2" "$3" "${4:-}"; then pass "$1"; else fail "$1" "$2 is '$got', not '$3'"; fi
}
# Sets VX VY VW VH: the screen rectangle of the view (the largest child).
view_place() {
  read -r VX VY VW VH < <(session_controls | awk '$1 == "child" && $4 * $5 > best { best = $4 * $5; v = $2 " " $3 " " $4 " " $5 } END { print v }')
}
at() { xdotool mousemove $((VX + $1)) $((VY + $2)); }   # at X Y: page coordinates
click() { at "$1" "$2"; xdotool click 1; sleep 0.3; }
