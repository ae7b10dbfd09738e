# Sourced by the scripts that run Windows programs: one Xvfb (when asked for)
# and one persistent wineserver with a private prefix, stopped by pid on exit.

WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[[ -x $WINESERVER ]] || WINESERVER=/usr/lib/wine/wineserver

_session_pids=()
_session_dirs=()

session_stop() {
  if [[ -n ${WINEPREFIX:-} ]]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
  fi
  local pid
  for pid in "${_session_pids[@]}"; do
    kill "$pid" >/dev/null 2>&1 || true
    wait "$pid" >/dev/null 2>&1 || true
  done
  _session_pids=()
  local dir
  for dir in "${_session_dirs[@]}"; do
    rm -rf "$dir"
  done
  _session_dirs=()
}

# session_start_xvfb: a private display; exports DISPLAY.
session_start_xvfb() {
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  _session_pids+=($!)
  local display
  read -r -t 30 display <"$fifo" || { rm -f "$fifo"; echo "Xvfb did not start" >&2; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$display"
}

# session_start_wine PREFIX: a private prefix (created on first use, without
# the Mono and Gecko installers) and a wineserver that stays up between
# program starts.
session_start_wine() {
  export WINEPREFIX=$1
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
  mkdir -p "$WINEPREFIX"
  "$WINESERVER" -p >/dev/null 2>&1
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "Creating the Wine prefix in $WINEPREFIX"
  fi
  "$WINE64" wineboot --init >/dev/null 2>&1 || true
  session_font_substitutes
  session_crash_reports
}

# A crashing program gets Wine's debugger, which by default waits for a
# click on its crash dialog: on a private display nobody clicks and the test
# hangs until its timeout; without the dialog the debugger ends the program
# with exit code 0, so a crashed test would pass. With no debugger at all,
# Wine prints the faulting address and the program ends with the
# exception's code, which fails the test at once.
session_crash_reports() {
  local marker=$WINEPREFIX/.qel-crash-reports
  [[ -f $marker ]] && return 0
  if "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
    /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1; then
    touch "$marker"
  else
    echo "could not switch off the crash debugger" >&2
  fi
}

# A Windows machine has the Chinese fonts the skins and pages name; here
# they are substitutes for WenQuanYi Micro Hei (Debian's fonts-wqy-microhei),
# without which Wine draws boxes. The .reg file is UTF-16 so that the names
# survive whatever locale the shell runs in.
session_font_substitutes() {
  local marker=$WINEPREFIX/.qel-font-substitutes
  [[ -f $marker ]] && return 0
  local reg
  reg=$(mktemp --suffix=.reg)
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
    '"微软雅黑"="WenQuanYi Micro Hei"' \
    '"Microsoft YaHei"="WenQuanYi Micro Hei"' \
    '"新宋体"="WenQuanYi Micro Hei"' \
    '"NSimSun"="WenQuanYi Micro Hei"' '' |
    iconv -f UTF-8 -t UTF-16 >"$reg"
  if "$WINE64" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1; then
    touch "$marker"
  else
    echo "could not register the font substitutes" >&2
  fi
  rm -f "$reg"
}

# winepath_of FILE: the Windows path of a Unix file (Z: maps the root).
winepath_of() {
  local path
  path=$(readlink -f "$1")
  echo "Z:${path//\//\\}"
}

# session_keep_desktop EXE: keeps Wine's desktop process up until the session
# stops, so each program start does not pay for a new one.
session_keep_desktop() {
  [[ -f $1 ]] || return 0
  local fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  "$WINE64" "$1" </dev/null >"$fifo" 2>/dev/null &
  _session_pids+=($!)
  local line
  read -r -t 60 line <"$fifo" || echo "the desktop keeper did not report" >&2
  rm -f "$fifo"
}

# session_start_web: the local web server (platform/server.py) on a free
# loopback port, stopped with the session. Exports QEL_WEB_PORT, the request
# log's path for Windows programs under Wine (QEL_WEB_LOG, a Z: path) and for
# shell scripts (QEL_WEB_LOG_UNIX).
session_start_web() {
  local here dir
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
  dir=$(mktemp -d)
  _session_dirs+=("$dir")
  python3 "$here/platform/server.py" --port-file "$dir/port" --log "$dir/requests.jsonl" \
    </dev/null >"$dir/server.out" 2>&1 &
  _session_pids+=($!)
  local tries=0
  while [[ ! -s $dir/port ]]; do
    if ((++tries > 100)); then
      echo "the web server did not start:" >&2
      cat "$dir/server.out" >&2
      return 1
    fi
    sleep 0.1
  done
  export QEL_WEB_PORT
  QEL_WEB_PORT=$(<"$dir/port")
  export QEL_WEB_LOG_UNIX="$dir/requests.jsonl"
  export QEL_WEB_LOG="Z:${QEL_WEB_LOG_UNIX//\//\\}"
}
