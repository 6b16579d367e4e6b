#!/usr/bin/env bash
# Runs Windows test programs under Wine with a private prefix and a private Xvfb display.
#   wine-session.sh start DIR        create the prefix once (DIR/prefix), start Xvfb and a
#                                    persistent wineserver; pids kept in DIR
#   wine-session.sh run DIR EXE ARGS run one program in that session, exit with its code
#   wine-session.sh stop DIR         end the wineserver and Xvfb
# The prefix is a 64-bit one, as on a user's 64-bit Windows: 64-bit programs run under wine64,
# 32-bit ones under Debian's 32-bit loader (wine32:i386), both in the same session.
set -u
cmd=${1:?start, run or stop}
dir=${2:?session folder}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
shift 2

WINE=/usr/lib/wine/wine64
WINE32=/usr/lib/wine/wine
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX="$dir/prefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

display_file="$dir/display"
xvfb_pid_file="$dir/xvfb.pid"

# The loader for a program: the 32-bit one when the file is an i386 PE image (machine 0x14c in the
# header that the DOS header points to at offset 60), else the 64-bit one.
loader_for() {
  local pe machine
  if [ -f "$1" ]; then
    pe=$(od -An -tu4 -j 60 -N4 "$1" 2>/dev/null | tr -d ' ')
    machine=$(od -An -tx2 -j "$((${pe:-0} + 4))" -N2 "$1" 2>/dev/null | tr -d ' ')
    if [ "$machine" = 014c ]; then
      [ -x "$WINE32" ] || { echo "no 32-bit Wine ($WINE32): run scripts/setup.sh" >&2; return 1; }
      echo "$WINE32"
      return
    fi
  fi
  echo "$WINE"
}

stop_xvfb() {
  if [ -f "$xvfb_pid_file" ]; then
    kill "$(cat "$xvfb_pid_file")" 2>/dev/null
    rm -f "$xvfb_pid_file" "$display_file"
  fi
}

case "$cmd" in
start)
  stop_xvfb
  # Xvfb picks a free display and writes its number to fd 3.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  echo $! >"$xvfb_pid_file"
  for _ in $(seq 1 100); do
    [ -s "$display_file" ] && break
    sleep 0.1
  done
  if [ ! -s "$display_file" ]; then
    echo "Xvfb did not start" >&2
    stop_xvfb
    exit 1
  fi
  export DISPLAY=":$(cat "$display_file")"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix in $WINEPREFIX"
    timeout 300 "$WINE" wineboot --init >/dev/null 2>&1 || { echo "wineboot failed" >&2; exit 1; }
  fi
  # A persistent server saves each test its start-up; stop ends it.
  "$WINESERVER" -p </dev/null >/dev/null 2>&1
  # Bring the prefix's services up now, away from any test's output.
  timeout 120 "$WINE" wineboot </dev/null >/dev/null 2>&1
  # The module's fonts ask for "宋体" (SimSun); both names map to an outline CJK font that setup
  # installs (the embedded bitmaps of WenQuanYi Zen Hei draw broken glyphs at 16 pixels here).
  # The value name is Chinese, so it goes in through a UTF-16 .reg file.
  fonts_reg="$dir/fonts.reg"
  printf '\xff\xfe' >"$fonts_reg"
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n"宋体"="WenQuanYi Micro Hei"\r\n"SimSun"="WenQuanYi Micro Hei"\r\n' |
    iconv -f UTF-8 -t UTF-16LE >>"$fonts_reg"
  timeout 60 "$WINE" regedit /S "$fonts_reg" </dev/null >/dev/null 2>&1
  echo "Wine session ready on display $DISPLAY"
  ;;
run)
  [ -s "$display_file" ] || { echo "no Wine session in $dir" >&2; exit 1; }
  export DISPLAY=":$(cat "$display_file")"
  exe=${1:?program}
  shift
  loader=$(loader_for "$exe") || exit 1
  # Wine starts helper processes (services, the desktop) that outlive the program and inherit its
  # output; writing to a file keeps them off CTest's pipe, which would otherwise stay open.
  out=$(mktemp "$dir/run.XXXXXX")
  "$loader" "$exe" "$@" </dev/null >"$out" 2>&1
  code=$?
  cat "$out"
  rm -f "$out"
  exit "$code"
  ;;
stop)
  "$WINESERVER" -k 2>/dev/null
  "$WINESERVER" -w 2>/dev/null
  stop_xvfb
  ;;
*)
  echo "usage: $0 start|run|stop DIR [EXE ARGS]" >&2
  exit 2
  ;;
esac
