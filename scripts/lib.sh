# Shared by the scripts: configure and build, and a private Wine session (prefix,
# Xvfb on a free display, warm wineserver) that is ended by pid.
#
# What we ship is the i686 build in $build/dist. Some hosts cannot execute 32-bit
# code at all (the kernel refuses i386 binaries, so 32-bit Wine cannot start);
# there the same sources are also built for x86_64 and run under wine64. The
# code is written to be correct at both pointer sizes.
#
# The flags a user may set (the README lists them):
#   TVNX_RUN_ARCH=x86_64  run the 64-bit tree even where 32-bit Wine works
#   TVNX_FAST=1           scripts/test and scripts/soak build only the tree that runs
#   TVNX_DIST32=1         scripts/run also builds the 32-bit program (build/dist/)
#                         where it does not run
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TVNX_BUILD_DIR:-$root/build}
deps=${TVNX_DEPS_DIR:-$root/.deps}
session_pids=()
say_as=$(basename "$0")

# Tells what a step does before it starts.
say() { echo "$say_as: $*"; }

host_runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# use_tree ARCH DIR: the tree that runs, and the Wine that runs it.
use_tree() {
  run_arch=$1 run_build=$2
  if [ "$run_arch" = i686 ]; then
    winebin=/usr/lib/wine/wine; winearch=win32
  else
    winebin=/usr/lib/wine/wine64; winearch=win64
  fi
}

# Decided after setup, once Wine is installed (on a fresh machine it isn't yet).
choose_run_arch() {
  if [ "${TVNX_RUN_ARCH:-}" != x86_64 ] && host_runs_i386; then
    use_tree i686 "$build"
  else
    use_tree x86_64 "$build-x64"
  fi
}

# build_plan KIND: what a script builds, one line per tree, "ARCH DIR [TARGET...]"
# (no target: the whole tree). The tree that runs comes last.
#   run      the program (dist/) and the helper that closes it on Ctrl+C; the
#            32-bit dist/ too where only the 64-bit tree runs, if TVNX_DIST32=1
#   gallery  the gallery and the program that keeps its Wine session warm
#   all      everything, of both trees unless TVNX_FAST=1 (scripts/test, soak)
build_plan() {
  local kind=$1 targets="" other=0
  case $kind in
    run) targets="dist programwindows"
         [ "${TVNX_DIST32:-0}" = 1 ] && other=1 ;;
    gallery) targets="gallery keepwarm" ;;
    all) [ "${TVNX_FAST:-0}" = 1 ] || other=1 ;;
    *) echo "build_plan: unknown kind $kind" >&2; return 1 ;;
  esac
  if [ "$run_arch" != i686 ] && [ "$other" = 1 ]; then
    [ "$kind" = run ] && echo "i686 $build dist" || echo "i686 $build"
  fi
  echo "$run_arch $run_build${targets:+ $targets}"
}

configure_and_build() { # arch dir [target...]
  local arch=$1 dir=$2 what
  shift 2
  case "$*" in
    "") what="every program and test" ;;
    dist*) what="the program (dist/)" ;;
    gallery*) what="the gallery" ;;
    *) what=$* ;;
  esac
  if [ -f "$dir/build.ninja" ]; then
    say "building $what of the $arch tree in ${dir#"$root"/}/"
  else
    say "building $what of the $arch tree in ${dir#"$root"/}/ (first build: configuring, then compiling; a few minutes without the compiler cache)"
  fi
  # Configured every time (a second or so): new folders and tests are found.
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    -DTVNX_DEPS_DIR="$deps/$arch" >/dev/null
  cmake --build "$dir" -j "$(nproc)" ${1:+--target} "$@"
}

# build_tree KIND (see build_plan).
build_tree() {
  local line arches plan
  "$root/scripts/setup" packages
  choose_run_arch
  arches=$(build_plan "$1" | cut -d' ' -f1 | tr '\n' ' ')
  # shellcheck disable=SC2086
  "$root/scripts/setup" $arches
  if [ "$run_arch" != i686 ]; then
    say "running the x86_64 build under wine64 (32-bit Wine does not start here, or TVNX_RUN_ARCH asked for it)"
  fi
  mapfile -t plan < <(build_plan "$1")
  for line in "${plan[@]}"; do
    # shellcheck disable=SC2086
    configure_and_build $line
  done
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
#   keep-prefix  a prefix made once and kept between runs (by default the
#                program's own, wineprefix-run: the user's settings and data
#                folder live in it). Without it the prefix is made fresh, and
#                the warm program keeps the session's desktop up for the test
#                executables.
#   prefix=NAME  a prefix of another name, for a session that may run beside
#                scripts/test (the soak) or beside the user's program
wine_up() {
  local use_display=0 keep_prefix=0 name="" arg
  for arg in "$@"; do
    case $arg in
      use-display) use_display=1 ;;
      keep-prefix) keep_prefix=1 ;;
      prefix=*) name=${arg#prefix=} ;;
      *) echo "wine_up: unknown option $arg" >&2; return 1 ;;
    esac
  done
  if [ -z "$name" ]; then
    name=wineprefix
    [ "$keep_prefix" = 0 ] || name=wineprefix-run
  fi
  export WINEPREFIX="$run_build/$name"
  export WINEARCH=$winearch WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINESERVER=/usr/lib/wine/wineserver
  private_display=0
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
  local made="$WINEPREFIX/.tvnx-prefix-made" started
  if [ "$keep_prefix" = 0 ] || [ ! -f "$made" ]; then
    if [ "$keep_prefix" = 1 ]; then
      say "making the Wine prefix ${WINEPREFIX#"$root"/} (first start only, about 20 s)"
    else
      say "making a fresh Wine prefix for this run (about 20 s)"
    fi
    started=$SECONDS
    rm -rf "$WINEPREFIX"
    if ! "$winebin" wineboot -i >/dev/null 2>&1; then
      echo "$say_as: wineboot could not make the prefix $WINEPREFIX" >&2
      return 1
    fi
    "$WINESERVER" -w
    [ "$keep_prefix" = 0 ] || touch "$made"
    say "the prefix took $((SECONDS - started)) s"
  fi
  say "starting the Wine session"
  prefix_settings
  "$WINESERVER" -w
  setsid "$WINESERVER" -p -f </dev/null >/dev/null 2>&1 &
  session_pids+=($!)
  [ "$keep_prefix" = 0 ] || return 0
  # The warm program starts the desktop process with output going nowhere; the
  # probe returns once the warm window exists (see KeepWarm.cpp), bounded.
  local keepwarm="$run_build/tests/tools/keepwarm.exe"
  if [ ! -f "$keepwarm" ]; then
    echo "$say_as: $keepwarm is missing (not built)" >&2
    return 1
  fi
  setsid "$winebin" "$keepwarm" </dev/null >/dev/null 2>&1 &
  session_pids+=($!)
  if ! timeout 300 "$winebin" "$keepwarm" probe </dev/null >/dev/null 2>&1; then
    echo "$say_as: the Wine desktop did not come up (keepwarm probe failed)" >&2
    return 1
  fi
}

# As an installer would: a data folder without a collection gets the demo
# collection of dist/ (the program never makes one). The folder is the one the
# program will use: its setting, else the default under the prefix's %APPDATA%.
install_demo() {
  local demo="$run_build/dist/demo.tvnx" win folder
  [ -f "$demo" ] || return 0
  # A fresh prefix has no setting yet: reg's failure is an answer, not an error.
  win=$("$winebin" reg query 'HKCU\Software\Mordale\Tarvenex' /v AppDataFolder 2>/dev/null | tr -d '\r' |
        sed -n 's/^ *AppDataFolder *REG_SZ *//p') || true
  [ -n "$win" ] || win=$("$winebin" cmd /c 'echo %APPDATA%\Mordale\Tarvenex' 2>/dev/null | tr -d '\r') || true
  [ -n "$win" ] || return 0
  folder=$("$winebin" winepath -u "$win" 2>/dev/null | tr -d '\r') || true
  [ -n "$folder" ] || return 0
  mkdir -p "$folder"
  if ! compgen -G "$folder/*.tvnx" >/dev/null; then
    cp "$demo" "$folder/"
    say "the data folder had no collection: the demo collection was copied there"
  fi
}

# run_program EXE [ARG...]: runs a program of the session until it ends, and
# returns its exit status. Ctrl+C (SIGINT, or SIGTERM) asks it to close: WM_CLOSE
# to its windows, then after at most 5 s the session's wineserver ends it; the
# script then exits with 130 (its EXIT trap ends the rest of the session).
# The program runs in the background, which keeps the terminal's SIGINT from it
# and lets the trap run at once (a foreground child would delay it until the
# program ended).
run_program() {
  local exe=$1 status=0 started=$SECONDS waiter ended="" first=0
  shift
  program_name=$(basename "$exe")
  program_helper="$run_build/tests/tools/programwindows.exe"
  if [ ! -f "$program_helper" ]; then
    echo "$say_as: $program_helper is missing (not built)" >&2
    return 1
  fi
  say "starting $program_name"
  "$winebin" "$exe" "$@" </dev/null &
  program_pid=$!
  trap 'close_program; exit 130' INT TERM
  "$winebin" "$program_helper" wait "$program_name" 120 </dev/null >/dev/null 2>&1 &
  waiter=$!
  # Whichever ends first: the window shows (or the wait gives up), or the
  # program ends.
  wait -n -p ended "$program_pid" "$waiter" || first=$?
  if [ "$ended" = "$waiter" ]; then
    if [ "$first" = 0 ]; then
      say "$program_name shows its window (after $((SECONDS - started)) s). To end it: close its window, or press Ctrl+C here."
    elif [ "$first" = 3 ]; then
      say "$program_name runs in the notification area (after $((SECONDS - started)) s): a click on its icon shows its window. To end it: Exit in the icon's menu, or press Ctrl+C here."
    else
      say "no window of $program_name after 120 s; Ctrl+C ends it"
    fi
    wait "$program_pid" || status=$?
  else
    kill "$waiter" 2>/dev/null || true
    wait "$waiter" 2>/dev/null || true
    status=$first
  fi
  trap - INT TERM
  return "$status"
}

close_program() {
  trap '' INT TERM
  echo
  say "Ctrl+C: asking $program_name to close"
  timeout 10 "$winebin" "$program_helper" close "$program_name" </dev/null >/dev/null 2>&1 || true
  for _ in $(seq 50); do
    kill -0 "$program_pid" 2>/dev/null || return 0
    sleep 0.1
  done
  say "it did not close within 5 s: ending its Wine session"
  "$WINESERVER" -k >/dev/null 2>&1 || true
}
