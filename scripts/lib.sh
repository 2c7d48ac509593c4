# Shared by scripts/test and scripts/run: configure and build, and a private Wine
# session (prefix, Xvfb on a free display, warm wineserver) that is ended by pid.
#
# What we ship is the i686 build in $build/dist. Some hosts cannot execute 32-bit
# code at all (the kernel refuses i386 binaries, so 32-bit Wine cannot start);
# there the same sources are also built for x86_64 and run under wine64. The
# code is written to be correct at both pointer sizes.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TVNX_BUILD_DIR:-$root/build}
deps=${TVNX_DEPS_DIR:-$root/.deps}
session_pids=()

host_runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# Decided after setup, once Wine is installed (on a fresh machine it isn't yet).
# TVNX_RUN_ARCH=x86_64 runs the 64-bit tree even where 32-bit Wine works.
choose_run_arch() {
  if [ "${TVNX_RUN_ARCH:-}" != x86_64 ] && host_runs_i386; then
    run_arch=i686; run_build=$build; winebin=/usr/lib/wine/wine; winearch=win32
  else
    run_arch=x86_64; run_build=$build-x64; winebin=/usr/lib/wine/wine64; winearch=win64
  fi
}

configure_and_build() { # arch dir [target...]
  local arch=$1 dir=$2
  shift 2
  # Configured every time (a second or so): new folders and tests are found.
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    -DTVNX_DEPS_DIR="$deps/$arch" >/dev/null
  cmake --build "$dir" -j "$(nproc)" ${1:+--target} "$@"
}

# build_tree [target...]: the whole tree, or only the targets named.
build_tree() {
  "$root/scripts/setup"
  choose_run_arch
  # TVNX_FAST=1 builds only the tree that runs (quicker while working on a change).
  if [ "${TVNX_FAST:-0}" != 1 ] || [ "$run_arch" = i686 ]; then
    configure_and_build i686 "$build" "$@"
  fi
  if [ "$run_arch" != i686 ]; then
    echo "note: running the x86_64 build under wine64 (32-bit Wine does not start here, or TVNX_RUN_ARCH asked for it)"
    configure_and_build "$run_arch" "$run_build" "$@"
  fi
}

wine_down() {
  local pid
  if [ -n "${WINEPREFIX:-}" ] && [ -d "${WINEPREFIX:-/nonexistent}" ]; then
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  fi
  for pid in "${session_pids[@]}"; do
    kill "$pid" >/dev/null 2>&1 || true
  done
  for pid in "${session_pids[@]}"; do
    for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
    kill -9 "$pid" >/dev/null 2>&1 || true
  done
  session_pids=()
}

# The prefix settings every session needs, written at each start so that a kept
# prefix gets them too: without a window manager a managed window waits about
# 2 s on every hide; a crash dialog would hang the run until a timeout; Debian's
# Wine leaves the prefix's Fonts folder empty.
prefix_settings() {
  "$winebin" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  "$winebin" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}

# wine_up [use-display] [keep-prefix] [prefix=NAME]: a private session for the
# tree that runs.
#   use-display  run on $DISPLAY when there is one, else on a private Xvfb
#   keep-prefix  the program's own prefix, made once and kept between runs: the
#                user's settings (registry) and data folder live in it. Without
#                it the tests' prefix is made fresh, and the warm program keeps
#                the session's desktop up for the test executables.
#   prefix=NAME  a fresh prefix of another name, for a session that may run
#                beside scripts/test (the soak)
wine_up() {
  local use_display=0 keep_prefix=0 name=wineprefix arg
  for arg in "$@"; do
    case $arg in
      use-display) use_display=1 ;;
      keep-prefix) keep_prefix=1; name=wineprefix-run ;;
      prefix=*) name=${arg#prefix=} ;;
      *) echo "wine_up: unknown option $arg" >&2; return 1 ;;
    esac
  done
  export WINEPREFIX="$run_build/$name"
  export WINEARCH=$winearch WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINESERVER=/usr/lib/wine/wineserver
  if [ "$use_display" = 0 ] || [ -z "${DISPLAY:-}" ]; then
    local fifo num
    fifo=$(mktemp -u); mkfifo "$fifo"
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    session_pids+=($!)
    read -r -t 20 num <"$fifo" || { rm -f "$fifo"; echo "Xvfb did not start" >&2; return 1; }
    rm -f "$fifo"
    export DISPLAY=":$num"
    private_display=1
  fi
  # A kept prefix counts as made once wineboot has finished with it (the stamp
  # is written after); one left half-made by an interrupted start is made again.
  local made="$WINEPREFIX/.tvnx-prefix-made"
  if [ "$keep_prefix" = 0 ] || [ ! -f "$made" ]; then
    rm -rf "$WINEPREFIX"
    "$winebin" wineboot -i >/dev/null 2>&1 || true
    "$WINESERVER" -w
    [ "$keep_prefix" = 0 ] || touch "$made"
  fi
  prefix_settings
  "$WINESERVER" -w
  setsid "$WINESERVER" -p -f </dev/null >/dev/null 2>&1 &
  session_pids+=($!)
  [ "$keep_prefix" = 0 ] || return 0
  # The warm program starts the desktop process with output going nowhere; the
  # probe returns once the warm window exists (see KeepWarm.cpp), bounded.
  setsid "$winebin" "$run_build/tests/tools/keepwarm.exe" </dev/null >/dev/null 2>&1 &
  session_pids+=($!)
  timeout 300 "$winebin" "$run_build/tests/tools/keepwarm.exe" probe </dev/null >/dev/null 2>&1 || true
}
