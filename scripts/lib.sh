# Shared set-up for the scripts: packages, builds, Wine prefix, X display.
# Sourced, not run. Everything lives under $BUILD so a clean clone starts fresh.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
JOBS=${JOBS:-$(nproc)}

PACKAGES=(cmake ninja-build g++ g++-mingw-w64-i686 wine wine32:i386 xvfb xauth x11-utils
  xdotool imagemagick libgtest-dev googletest nlohmann-json3-dev chromium espeak-ng sox
  clang libclang-rt-14-dev python3 procps wine32-preloader:i386 wine64 fonts-wqy-microhei
  libz-mingw-w64-dev poppler-utils xclip libxfixes3:i386 pulseaudio pulseaudio-utils)

log() { printf '== %s\n' "$*" >&2; }

# apt-get update, tried three times; a mirror mid-sync often mends itself
# within seconds. Its output stays in $APT_LOG for the messages below.
APT_LOG=${APT_LOG:-/tmp/paginet-apt.log}
apt_update() {
  local n
  for n in 1 2 3; do
    $SUDO apt-get update -qq >"$APT_LOG" 2>&1 && return 0
    log "apt-get update failed (try $n of 3)"; sleep $((n * 5))
  done
  return 1
}

apt_install() {    # apt_install [APT OPTION...] -- PACKAGE...
  local opts=()
  while [ "$1" != -- ]; do opts+=("$1"); shift; done; shift
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get "${opts[@]}" install -y -qq --no-install-recommends "$@" >>"$APT_LOG" 2>&1
}

# With one index of the security archive missing (a mirror mid-sync), the
# i386 twins of its amd64 updates no longer resolve; the main archive's
# versions do, once security is held below it for this one install.
SECURITY_PIN='Package: *
Pin: release l=Debian-Security
Pin-Priority: 100'

install_deps() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -ne 0 ]; then
    log "installing: ${missing[*]}"
    SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO dpkg --add-architecture i386
    apt_update || log "going on with the indexes that did update"
    local failed pin
    failed=$(grep -o 'Failed to fetch [^ ]*' "$APT_LOG" | cut -d' ' -f4 | sort -u || true)
    if ! apt_install -- "${missing[@]}"; then
      pin=$(mktemp); printf '%s\n' "$SECURITY_PIN" > "$pin"
      log "install failed; trying once more with the security archive pinned below the main one"
      apt_install -o Dir::Etc::Preferences="$pin" -- "${missing[@]}" || {
        rm -f "$pin"
        tail -n 5 "$APT_LOG" >&2
        log "cannot install: ${missing[*]}"
        [ -z "$failed" ] || log "these package indexes failed to download: $failed"
        log "a mirror may be mid-sync: wait a few minutes and run this again (full apt output: $APT_LOG)"
        return 1
      }
      rm -f "$pin"
    fi
  fi
  enable_i386
}

# Some kernels boot with 32-bit emulation off; Wine's i386 loader then runs
# under qemu's user-mode emulator, registered through binfmt_misc. Only qemu
# 10 will do: 7.2 (Debian 12's) breaks Wine's exception handling, so the
# emulator comes from Debian 13's qemu-user, fetched under an apt set-up of
# its own that leaves the machine's sources and packages alone.
# PAGINET_I386=emulated forces the emulator on a kernel that runs i386 code;
# PAGINET_I386=native removes it again. wine64 is installed for its native
# wineserver, which serves 32-bit clients too and is far steadier than an
# emulated one.
QEMU_HOME=${QEMU_HOME:-/var/cache/paginet-qemu}   # outlives clones: 70 MB to fetch
BINFMT=/proc/sys/fs/binfmt_misc
I386_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
I386_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

qemu_good() {   # qemu_good BINARY: a qemu of major version 10 or later
  local v; v=$("$1" --version 2>/dev/null | sed -n '1s/.* version \([0-9]*\)\..*/\1/p')
  [ -n "$v" ] && [ "$v" -ge 10 ]
}

fetch_qemu() {
  local q=$QEMU_HOME/qemu-i386 apt=$QEMU_HOME/apt
  qemu_good "$q" && return 0
  log "fetching qemu-i386 from Debian 13's qemu-user"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/deb"
  echo 'deb http://deb.debian.org/debian trixie main' > "$apt/sources.list"
  local opts=(-qq -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o APT::Sandbox::User=root
    -o Debug::NoLocking=1)
  apt-get "${opts[@]}" update >/dev/null &&
    (cd "$apt/deb" && rm -f ./*.deb && apt-get "${opts[@]}" download qemu-user >/dev/null) &&
    dpkg-deb --fsys-tarfile "$apt"/deb/qemu-user_*.deb | tar -xO ./usr/bin/qemu-i386 > "$q.new" &&
    chmod 755 "$q.new" && mv "$q.new" "$q" || true
  rm -rf "$apt/deb" "$q.new"
  qemu_good "$q" || { log "cannot fetch qemu-i386 10 from Debian 13; 32-bit Wine would be unsound under qemu 7.2"; return 1; }
}

i386_entries() {   # binfmt_misc entries that take i386 ELF files
  grep -l '^magic 7f454c4601010100000000000000000002000300' "$BINFMT"/* 2>/dev/null || true
}

drop_i386_entries() {   # all of them, or all but the one named $1
  local e
  for e in $(i386_entries); do [ "$e" = "${1:-}" ] || echo -1 > "$e"; done
}

enable_i386() {
  [ -e $BINFMT/register ] || mount -t binfmt_misc binfmt_misc $BINFMT 2>/dev/null || true
  local ours=$BINFMT/paginet-i386 mode=${PAGINET_I386:-auto}
  # An emulator other than ours (Debian 12's 7.2, say) is never kept.
  drop_i386_entries "$ours"
  [ "$mode" = native ] && drop_i386_entries
  if [ "$mode" != emulated ] && [ ! -e "$ours" ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    log "32-bit code: native"; return 0
  fi
  [ "$mode" != native ] || { log "this kernel does not run 32-bit code"; return 1; }
  if ! grep -qx "interpreter $QEMU_HOME/qemu-i386" "$ours" 2>/dev/null || ! qemu_good "$QEMU_HOME/qemu-i386"; then
    fetch_qemu || return 1
    [ -e "$ours" ] && echo -1 > "$ours"
    printf '%s' ":paginet-i386:M::$I386_MAGIC:$I386_MASK:$QEMU_HOME/qemu-i386:F" > $BINFMT/register
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1 || { log "cannot run 32-bit Wine"; return 1; }
  log "32-bit code: $("$QEMU_HOME/qemu-i386" --version | head -1) through binfmt_misc"
}

build_native() {   # build/native: neutral core and its tests, sanitizers on
  cmake -S "$ROOT" -B "$BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPAGINET_SANITIZE=ON >/dev/null
  cmake --build "$BUILD/native" -j "$JOBS"
}

build_fuzz() {     # build/fuzz: libFuzzer targets (clang), and only what they link
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAGINET_FUZZ=ON >/dev/null
  cmake --build "$BUILD/fuzz" -j "$JOBS" --target fuzzers
}

# A short run in the test suite replays the checked-in corpus and explores a
# little; FUZZ_SECONDS=600 or more is for a search of its own. Each target is
# one process on one core, so $JOBS of them run side by side.
fuzz_one() {       # fuzz_one TARGET: its log in $BUILD/fuzz/NAME.log, status in NAME.rc
  local t=$1 name rc=0; name=$(basename "$t")
  mkdir -p "$BUILD/fuzz/corpus/$name"
  "$t" -max_total_time="${FUZZ_SECONDS:-5}" -rss_limit_mb=2048 "$BUILD/fuzz/corpus/$name" \
    "$ROOT/tests/fuzz/corpus/$name" >"$BUILD/fuzz/$name.log" 2>&1 || rc=$?
  echo "$rc" > "$BUILD/fuzz/$name.rc"
}

run_fuzzers() {    # every target for FUZZ_SECONDS (default 5) on its checked-in corpus
  local rc=0 t name targets=()
  for t in "$BUILD"/fuzz/tests/fuzz/*_fuzz; do [ -x "$t" ] && targets+=("$t"); done
  # A subshell of its own, so the pool counts and waits for these jobs
  # only, never for a display or anything else the caller keeps running.
  (
    for t in "${targets[@]}"; do
      while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do wait -n || true; done
      fuzz_one "$t" &
    done
    wait
  )
  for t in "${targets[@]}"; do
    name=$(basename "$t")
    if [ "$(cat "$BUILD/fuzz/$name.rc" 2>/dev/null)" = 0 ]; then
      echo "PASS: fuzz $name"
    else
      echo "FAIL: fuzz $name"; tail -n 30 "$BUILD/fuzz/$name.log"; rc=1
    fi
  done
  return $rc
}

configure_cross() {
  # Line tables keep Wine's backtraces readable; full debug information
  # made the build a fifth to a third slower.
  # The benchmarks only when asked (PAGINET_BENCH=ON, as bench/ sets it).
  cmake -S "$ROOT" -B "$BUILD/win32" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAGINET_BENCH="${PAGINET_BENCH:-OFF}" \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >/dev/null
}

build_cross() {    # build/win32: the program, the engine DLL, the Wine tests (and benchmarks)
  configure_cross && cmake --build "$BUILD/win32" -j "$JOBS" "$@"
}

# build_bench TARGET...: benchmarks and what they run, in build/win32 (the
# suite's builds leave bench/ out); the log only when it fails.
build_bench() {
  PAGINET_BENCH=ON configure_cross || return
  cmake --build "$BUILD/win32" -j "$JOBS" --target "$@" >"$BUILD/bench-build.log" 2>&1 ||
    { tail -n 20 "$BUILD/bench-build.log"; return 1; }
}

# What a capture run needs, and no test or benchmark: under half of the
# build steps of everything (the suite builds the rest).
build_for_run() {
  build_cross --target paginet node paginet_driver
}

start_xvfb() {     # a 1920 x 1080 display unless one is already usable
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n=97
  while [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
  Xvfb :$n -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=:$n
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  log "Xvfb did not start"; return 1
}

wine_env() {       # private 32-bit prefix with a file-backed sound device
  export WINEPREFIX="$BUILD/wineprefix" WINEARCH=win32 WINEDEBUG=-all
  # No Mono/Gecko prompts, and no debugger: a crash must end the process,
  # not leave winedbg waiting forever.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  export HOME="$BUILD/winehome"
  mkdir -p "$HOME"
  wine_stop   # whatever an interrupted earlier run left in this prefix
  export PAGINET_WAVE_OUT="$BUILD/wave-out.raw"
  # ALSA reads this alone, not the system's configuration, whose hooks
  # (PulseAudio's, where installed) need plugins a 32-bit ALSA lacks.
  export ALSA_CONFIG_PATH="$HOME/alsa.conf"
  cat > "$ALSA_CONFIG_PATH" <<ASOUND
pcm.sink { type null }
pcm.!default { type file slave.pcm "sink" file "$PAGINET_WAVE_OUT" format "raw" }
ASOUND
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating Wine prefix"
    timeout 300 wineboot -i >/dev/null 2>&1 || true
    # Chinese text: Wine links Tahoma (the dialog font) to SimSun, which
    # is not installed; point it and its Chinese name at the CJK font.
    local face
    for face in SimSun 宋体; do
      LC_ALL=C.UTF-8 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v "$face" /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1 || true
    done
    # With no window manager on the display, Wine draws the title bar
    # and frame itself only when asked to.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 || true
    # Sound goes to the file device above, even where PulseAudio is there.
    wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1 || true
  fi
  # Nor should it wait for one: a managed window waits up to a second on
  # every show and hide for a window manager's answer that never comes.
  if ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    timeout 120 wineserver -w || wineserver -k || true
  fi
  # A server that stays between programs spares each test executable
  # about 2.5 s of starting Wine afresh; wine_stop ends it. Wine's own
  # services start now, away from any caller's pipe: started by a test,
  # they would outlive it holding its output open.
  wineserver -p 2>/dev/null || true
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

wine_ready() {     # for the scripts under tests/wine, alone or from test.sh
  start_xvfb
  [ -n "${WINEPREFIX:-}" ] || wine_env
}

wine_pids() {      # processes that Wine runs for this prefix (not the shells)
  local e p
  for e in /proc/[0-9]*/environ; do
    p=${e#/proc/}; p=${p%/environ}
    grep -qzx "WINEPREFIX=$WINEPREFIX" "$e" 2>/dev/null || continue
    # Under the emulator the command line starts with qemu's own path.
    tr '\0' '\n' < "/proc/$p/cmdline" 2>/dev/null | sed '/qemu-i386$/d' | head -n 1 |
      grep -qiE '\.exe$|wine' && echo "$p"
  done
}

# Ends this prefix's Wine server and every Wine process of it, Wine's own
# services included: a services.exe left from an earlier run crashed the
# next start under the same prefix.
wine_stop() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  wineserver -k 2>/dev/null || true
  local p
  for p in $(wine_pids); do kill -9 "$p" 2>/dev/null || true; done
  timeout 30 wineserver -w 2>/dev/null || true
}

stop_background() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  wine_stop
}
