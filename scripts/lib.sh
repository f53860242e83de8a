# Shared set-up for the scripts: packages, builds, Wine prefix, X display.
# Sourced, not run. Everything lives under $BUILD so a clean clone starts fresh.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
JOBS=${JOBS:-$(nproc)}

PACKAGES=(cmake ninja-build g++ g++-mingw-w64-i686 wine wine32:i386 xvfb xauth x11-utils
  xdotool imagemagick libgtest-dev googletest nlohmann-json3-dev chromium espeak-ng sox
  clang libclang-rt-14-dev python3 procps qemu-user-static wine32-preloader:i386 wine64 fonts-wqy-microhei)

log() { printf '== %s\n' "$*" >&2; }

install_deps() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -ne 0 ]; then
  log "installing: ${missing[*]}"
  local sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
  enable_i386
}

# Some kernels boot with 32-bit emulation off; Wine's i386 loader then runs
# under qemu's user-mode emulator, registered through binfmt_misc. wine64 is
# installed for its native wineserver, which serves 32-bit clients too and
# is far steadier than an emulated one.
enable_i386() {
  /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0
  local bm=/proc/sys/fs/binfmt_misc
  [ -e $bm/register ] || mount -t binfmt_misc binfmt_misc $bm
  if [ ! -e $bm/qemu-i386 ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' > $bm/register
  fi
  /usr/lib/wine/wine --version >/dev/null 2>&1 || { log "cannot run 32-bit Wine"; return 1; }
}

build_native() {   # build/native: neutral core and its tests, sanitizers on
  cmake -S "$ROOT" -B "$BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPAGINET_SANITIZE=ON >/dev/null
  cmake --build "$BUILD/native" -j "$JOBS"
}

build_fuzz() {     # build/fuzz: libFuzzer targets (clang)
  CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAGINET_FUZZ=ON >/dev/null
  cmake --build "$BUILD/fuzz" -j "$JOBS"
}

run_fuzzers() {    # every target for FUZZ_SECONDS (default 20) on its checked-in corpus
  local rc=0 t name
  for t in "$BUILD"/fuzz/tests/fuzz/*_fuzz; do
    [ -x "$t" ] || continue
    name=$(basename "$t")
    mkdir -p "$BUILD/fuzz/corpus/$name"
    if "$t" -max_total_time="${FUZZ_SECONDS:-20}" -rss_limit_mb=2048 "$BUILD/fuzz/corpus/$name" "$ROOT/tests/fuzz/corpus/$name" >"$BUILD/fuzz/$name.log" 2>&1; then
      echo "PASS: fuzz $name"
    else
      echo "FAIL: fuzz $name"; tail -n 30 "$BUILD/fuzz/$name.log"; rc=1
    fi
  done
  return $rc
}

build_cross() {    # build/win32: the program, the engine DLL and the Wine tests
  cmake -S "$ROOT" -B "$BUILD/win32" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$BUILD/win32" -j "$JOBS"
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
  export PAGINET_WAVE_OUT="$BUILD/wave-out.raw"
  cat > "$HOME/.asoundrc" <<ASOUND
pcm.!default { type file slave.pcm "null" file "$PAGINET_WAVE_OUT" format "raw" }
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
    timeout 120 wineserver -w || wineserver -k || true
  fi
}

wine_ready() {     # for the scripts under tests/wine, alone or from test.sh
  start_xvfb
  [ -n "${WINEPREFIX:-}" ] || wine_env
}

stop_background() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
}
